#pragma once
#include "ui/shell/kor_page.h"
#include "ui/shell/kor_value_edit.h"

#include <QString>
#include <cstdint>

class Ui_temperature;

// The colour temperature page (page 20, beneath the picture menu): the type (custom, warm,
// nature, cool), applied on OK, and the red, green and blue gains of the custom type, each
// step applied at once.
class temperature : public KorPage {
    Q_OBJECT
public:
    explicit temperature(QWidget *parent = nullptr);
    ~temperature() override;

    void para_init();
    void menulist_init();
    // Enters editing of the highlighted gain.
    void get_sel_value();
    // 0 up, 1 down, 2 keep (OK), 3 restore (back); then written, applied and shown.
    void updownset_sel_value(char mode);
    // Writes the shown type and has it applied.
    void on_button_type_clicked();

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
    void step_or_move(int step);

    Ui_temperature *ui;
    uint8_t m_type = 0;
    uint8_t m_remembered_type = 0;
    uint8_t m_edit = 0;
    KorValueEdit m_value;  // its field is the last gain highlighted
    QWidget *m_current_item = nullptr;
    const QString m_combo_normal;
    const QString m_combo_focus;
    const QString m_combo_edit;
};

extern temperature *g_temperature;
