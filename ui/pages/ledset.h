#pragma once
#include "ui/shell/kor_page.h"

#include <cstdint>

namespace Ui {
class ledset;
}

// The LED size page (page 13): width and height of the LED screen. Apply makes the output
// one full-canvas output of that size; a new size also moves window 0 over the whole canvas,
// switches the other windows off and, while the FPGA runs, asks for the LED hand-over.
class ledset : public KorPage {
    Q_OBJECT
public:
    // One pixel budget for the whole page.
    static constexpr int kMinSide = 64;
    static constexpr int kMaxSide = 8188;
    static constexpr long kMaxPixels = 10485760;

    explicit ledset(QWidget *parent = nullptr);
    ~ledset() override;

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }
    // Apply (OK on Button_apply). Not a slot: the button acts only through the keys.
    void on_Button_apply1_clicked();

public slots:
    void show_numberkeyboard_ui(QString text) override;
    void confirmString(QString text) override;

protected:
    QString number_keyboard_title(My_lineEdit *field) const override;

private:
    void para_init();
    void menulist_init();

    Ui::ledset *ui;
    QString m_edit_name;  // the field the number keyboard was last opened for
};

extern ledset *g_ledset;
