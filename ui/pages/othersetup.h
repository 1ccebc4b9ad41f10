#pragma once
#include "ui/shell/kor_page.h"

#include <QString>

class QComboBox;
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
    // Steps the entry being chosen by +1/-1, wrapping; a box without entries stays empty.
    void step_entry(int step);

    Ui_othersetup *ui;
    unsigned char m_edit = 0;
    unsigned char m_index = 0;        // entry being chosen
    unsigned char m_saved_index = 0;  // entry shown when choosing began
    QString m_style_normal;
    QString m_style_focus;
    QString m_style_edit;
    QComboBox *m_current = nullptr;
    QComboBox *m_items[6] = {};
    unsigned char m_counts[6] = {6, 2, 2, 1, 2, 2};
};

extern othersetup *g_othersetup;
