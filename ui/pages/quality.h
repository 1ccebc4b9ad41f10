#pragma once
#include "ui/shell/kor_page.h"
#include "ui/shell/kor_value_edit.h"

#include <cstdint>

class Ui_quality;

// The picture quality page (page 19, beneath the picture menu): brightness, sharpness,
// contrast and saturation, 0 to 100, each step applied at once, and the picture reset.
class quality : public KorPage {
    Q_OBJECT
public:
    explicit quality(QWidget *parent = nullptr);
    ~quality() override;

    void para_init();
    void menulist_init();
    // Enters editing of the highlighted value.
    void get_sel_value();
    // 0 up, 1 down, 2 keep (OK), 3 restore (back); then written, applied and shown.
    void updownset_sel_value(char mode);
    void on_Button_reset_clicked();

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    void key_mode() override;

private:
    // The four values as the table holds them.
    void show_values();
    void step_or_move(int step);

    Ui_quality *ui;
    uint8_t m_edit = 0;
    KorValueEdit m_value;  // its field is the highlighted one
};

extern quality *g_quality;
