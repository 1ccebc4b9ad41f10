#pragma once
#include "ui/shell/kor_value_rows_page.h"

#include <QString>
#include <cstdint>

class Ui_temperature;

// The colour temperature page (page 20, beneath the picture menu): the type (custom, warm,
// nature, cool), applied on OK, and the red, green and blue gains of the custom type, each
// step applied at once.
class temperature : public KorValueRowsPage {
    Q_OBJECT
public:
    explicit temperature(QWidget *parent = nullptr);
    ~temperature() override;

    void para_init();
    void menulist_init();
    // Writes the shown type and has it applied.
    void on_button_type_clicked();

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

protected:
    int value_word(int row) const override;
    // The type row: OK edits it, left and right choose, OK writes it, back restores it.
    bool own_row_ok(int row) override;
    void own_row_step(int step) override;
    void own_row_end(bool kept) override;

private:
    Ui_temperature *ui;
    uint8_t m_type = 0;
    uint8_t m_remembered_type = 0;
    const QString m_combo_normal;
    const QString m_combo_focus;
    const QString m_combo_edit;
};

extern temperature *g_temperature;
