#pragma once
#include "ui/shell/kor_value_rows_page.h"

class Ui_quality;

// The picture quality page (page 19, beneath the picture menu): brightness, sharpness,
// contrast and saturation, 0 to 100, each step applied at once, and the picture reset.
class quality : public KorValueRowsPage {
    Q_OBJECT
public:
    explicit quality(QWidget *parent = nullptr);
    ~quality() override;

    void para_init();
    void menulist_init();
    void on_Button_reset_clicked();

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

protected:
    int value_word(int row) const override;
    bool own_row_ok(int row) override;  // the picture reset

private:
    // The four values as the table holds them.
    void show_values();

    Ui_quality *ui;
};

extern quality *g_quality;
