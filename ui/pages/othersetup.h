#pragma once
#include "ui/shell/kor_combo_edit.h"
#include "ui/shell/kor_page.h"

class Ui_othersetup;

// Other settings (page 17): audio window and its sound, switch effect, projection (no
// effect), WiFi access point, pixel-to-pixel. Each row is a combo box: OK starts choosing,
// left/right step the entries, OK applies that one row, back restores the shown entry.
class othersetup : public KorPage {
    Q_OBJECT
public:
    explicit othersetup(QWidget *parent = nullptr);
    ~othersetup() override;

    void menulist_init();
    void para_init();
    // Applies the row ui_select with the entry being chosen.
    void on_button_box_clicked();
    void language_changed() override;
    void syncUpdate();
    void page_refresh(int code) override;

public slots:
    void slot_Button_back_clicked() override;

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;

private:
    void apply_volume(unsigned char index);
    void apply_switch(unsigned char index);
    void apply_wifi(unsigned char index);
    void apply_dbd(unsigned char index);

    Ui_othersetup *ui;
    KorComboEdit m_rows{focus};
};

extern othersetup *g_othersetup;
