#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class OutputSet;
}

// The output settings menu (page 6): the LED size page (13) and the output-port status
// page (14), and a line with the LED screen size of the table.
class OutputSet : public KorPage {
    Q_OBJECT
public:
    explicit OutputSet(QWidget *parent = nullptr);
    ~OutputSet() override;

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

public slots:
    void on_Button_ledset_clicked();
    void on_Button_lanset_clicked();

private:
    void menulist_init();

    Ui::OutputSet *ui;
};

extern OutputSet *g_outputset;
