#pragma once
#include "ui/shell/kor_page.h"
#include "ui/shell/kor_value_edit.h"

#include <cstdint>

// A page of values edited in place (picture quality, colour temperature). Left and right
// move the highlight; OK edits the highlighted value (red), left and right then step it,
// each step written and applied at once, OK keeps it and back restores it; back while not
// editing leaves. A row that is not a value (a reset, a type choice) has its own OK, and may
// start an edit of its own with its own steps and end. The mode key also closes the settings
// menu, which can be open beside the picture menu.
class KorValueRowsPage : public KorPage {
    Q_OBJECT
public:
    using KorPage::KorPage;

    // Enters editing of the highlighted value.
    void get_sel_value();
    // 0 up, 1 down, 2 keep (OK), 3 restore (back); then written, applied and shown.
    void updownset_sel_value(char mode);

protected:
    // The table word of value row `row`; -1 for a row of the page's own.
    virtual int value_word(int row) const = 0;
    // OK on a row of the page's own while not editing; true when it starts an edit.
    virtual bool own_row_ok(int row) = 0;
    // An edit of the page's own row: a step, and its end (kept by OK or restored by back).
    virtual void own_row_step(int step) { (void)step; }
    virtual void own_row_end(bool kept) { (void)kept; }

    void key_left() override { step_or_move(-1); }
    void key_right() override { step_or_move(1); }
    void key_ok() override;
    void key_back() override;
    void key_mode() override;

    uint8_t m_edit = 0;
    KorValueEdit m_value;  // its field is the last value highlighted

private:
    void step_or_move(int step);
    bool on_value() const { return value_word(ui_select) >= 0; }
};
