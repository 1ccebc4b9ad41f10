#pragma once
#include "ui/shell/kor_page.h"

#include <QVector>

class QLabel;
namespace Ui {
class CustomMode;
}

// The user-modes page (page 4): the sixteen user-mode boxes. Opened by the main menu and by
// the mode key of any page (shown, not modal); back returns to the main window.
class CustomMode : public KorPage {
    Q_OBJECT
public:
    explicit CustomMode(QWidget *parent = nullptr);
    ~CustomMode() override;

    void language_changed() override;

protected:
    void key_back() override;
    void key_mode() override;

private:
    Ui::CustomMode *ui;
    QVector<QLabel *> m_boxes;
};

extern CustomMode *g_custommode;
