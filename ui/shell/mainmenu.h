#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class MainMenu;
}

// The main menu (page 1): the input page (3), the user modes (4), the settings menu (5)
// and the picture menu (11). Back returns to the home screen.
class MainMenu : public KorPage {
    Q_OBJECT
public:
    explicit MainMenu(QWidget *parent = nullptr);
    ~MainMenu() override;

    void language_changed() override;

public slots:
    void on_Button_input_clicked();
    void on_Button_usermode_clicked();
    void on_Button_option_clicked();
    void on_Button_quality_clicked();

protected:
    void key_back() override;

private:
    Ui::MainMenu *ui;
};

extern MainMenu *g_mainmenu;
