#pragma once
#include "ui/shell/kor_combo_edit.h"
#include "ui/shell/kor_page.h"

#include <cstdint>

class Ui_lcdshow;

// Time before the panel returns to the main interface, and the automatic screen lock, in
// ticks of 10 ms. Set by the LCD display page only; they last until the program restarts.
extern uint32_t g_back_to_mainwindow_time;  // 3000, 6000 or 120000 (never)
extern uint32_t g_auto_lock_time;           // 30000, 60000 or 120000 (never)

// LCD display settings (page 15): two rows of three choices. OK starts choosing, left/right
// cycle the choices, OK sets the row's time; back leaves the page, also while choosing.
class lcdshow : public KorPage {
    Q_OBJECT
public:
    explicit lcdshow(QWidget *parent = nullptr);
    ~lcdshow() override;

    void para_init();
    void menulist_init();
    void on_button_backtolock_clicked();
    void on_button_autolock_clicked();
    // Title and labels only; the choices keep the language the page was built in. The
    // refresh re-texts them when the language changes (the shared page_refresh): without
    // that check a language set while this page is in front would never take effect.
    void language_changed() override;

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;

private:
    Ui_lcdshow *ui;
    KorComboEdit m_rows{focus};  // its entry is the choice being edited, 0..2
};

extern lcdshow *g_lcdshow;
