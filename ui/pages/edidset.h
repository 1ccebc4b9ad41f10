#pragma once
#include "ui/shell/kor_page.h"

#include <QList>
#include <QString>

class QFrame;
class QPushButton;
class QWidget;

namespace Ui {
class EDIDset;
}

// The EDID page (page 8, opened from the input page): the timing each input's EDID offers,
// width, height and a 60 or 30 Hz rate, kept in the input's EDID record of the table.
// Six tabs in list order, a card with the selected input's timing, and an edit box
// (width, height, rate, delete, cancel, save) opened by OK on a tab.
class EDIDset : public KorPage {
    Q_OBJECT
public:
    explicit EDIDset(QWidget *parent = nullptr);
    ~EDIDset() override;

    void menulist_init();
    // Rebuilds the card of the selected input from the table.
    void source_init();
    void language_changed() override;
    // Refresh hook: re-texts on a new language; at the tab row, rebuilds the card when the
    // selected input's record is not yet applied.
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

    // Relabels the rate item from freq_60.
    void on_Button_freq_clicked();

public slots:
    void kor_button_input_clicked();
    void kor_button_source_clicked();
    void kor_button_ok_clicked();
    void kor_button_cancel_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    void trace_release(KorKey key) override;
    QString number_keyboard_title(My_lineEdit *field) const override;

private:
    // Moves the edit-box highlight by one item (wrapping over width, height, rate, delete,
    // cancel, save).
    void move_line_select(int step);
    void show_item_normal(int item);
    void show_item_focus(int item);
    void toggle_rate();
    void set_box_closed_styles();
    QString source_caption() const;

    Ui::EDIDset *ui;

    unsigned char ui_seltype = 0;      // 0 tab row, 1 edit box, 2 rate being changed
    unsigned char ui_line_select = 0;  // 0 width, 1 height, 2 rate, 3 delete, 4 cancel, 5 save
    unsigned char freq_60 = 0;
    unsigned char freq_60_saved = 0;
    // What the rate item showed when it was entered, and whether it was toggled since: a
    // rate other than 60 or 30 (set by the host) survives leaving the item unchanged.
    QString rate_text_saved;
    bool rate_toggled = false;
    unsigned char source_id = 2;
    QString source_name;

    QList<QWidget *> menulist;          // delete, cancel, save, lineEdit_W, lineEdit_H
    QWidget *line_focus = nullptr;
    QWidget *button_focus = nullptr;
    QFrame *frame_tab = nullptr;
    QFrame *frame_source = nullptr;     // the card
    QPushButton *button_delete = nullptr;
    QPushButton *button_cancel = nullptr;
    QPushButton *button_save = nullptr;
};

extern EDIDset *g_edidset;
