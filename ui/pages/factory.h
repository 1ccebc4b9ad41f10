#pragma once
#include "ui/shell/kor_page.h"

#include <QString>

class QWidget;
namespace Ui {
class factory;
}

// The factory settings (page 18, beneath the advanced settings): the panel language and
// three resets of the stored table ("Keep IP", "Keep IP,EDIP", "Reset ALL"), plus which OSD
// fonts the scaler's flash holds.
class factory : public KorPage {
    Q_OBJECT
public:
    explicit factory(QWidget *parent = nullptr);
    ~factory() override;

    void para_init();
    void menulist_init();
    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

    void lcdlang_current_checkplus();
    void lcdlang_current_checkmin();

    // The item actions (no form object carries these names, so they are plain members).
    void on_Button_lang_clicked();
    void on_Button_reset1_clicked();
    void on_Button_reset2_clicked();
    void on_Button_reset3_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;

private:
    enum RestoreKind { KeepIp, KeepIpEdid };
    // The restore shared by the three resets, in one section under the change lock.
    void restore_table(RestoreKind kind);
    void show_lang_index();
    // A disabled candidate moves on to the next enabled language in the step's direction,
    // wrapping.
    void skip_disabled_lang(int step);

    Ui::factory *ui;
    unsigned char lang_editing = 0;
    unsigned char lang_index = 0;
    QString combo_normal;
    QString combo_focus;
    QString combo_edit;
    QString button_normal;
    QString button_focus;
    QWidget *menulist[4] = {};
};

extern factory *g_factory;
