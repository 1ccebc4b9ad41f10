#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class LockWindow;
}

// The home screen (page 0): the LED screen size, the enabled windows with their sources and
// the key lock. OK opens the main menu.
class LockWindow : public KorPage {
    Q_OBJECT
public:
    explicit LockWindow(QWidget *parent = nullptr);
    ~LockWindow() override;

    void language_changed() override;
    void page_refresh(int code) override;
    // Re-reads the table into the screen.
    void refresh_view();

protected:
    void key_ok() override;
    void key_back() override;

private:
    Ui::LockWindow *ui;
};

extern LockWindow *g_lockwindow;
