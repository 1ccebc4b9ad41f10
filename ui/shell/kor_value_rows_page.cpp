#include "ui/shell/kor_value_rows_page.h"

#include "ui/shell/option.h"

#include <QLineEdit>

void KorValueRowsPage::get_sel_value()
{
    m_value.begin();
}

void KorValueRowsPage::updownset_sel_value(char mode)
{
    m_value.step(mode, value_word(ui_select));
}

void KorValueRowsPage::step_or_move(int step)
{
    if (!m_edit) {
        focus.move(step);
        if (on_value())
            m_value.set_field(qobject_cast<QLineEdit *>(focus.current()));
        return;
    }
    if (on_value())
        updownset_sel_value(step > 0 ? 0 : 1);
    else
        own_row_step(step);
}

void KorValueRowsPage::key_ok()
{
    if (!m_edit) {
        if (on_value()) {
            m_edit = 1;
            get_sel_value();
        } else if (own_row_ok(ui_select)) {
            m_edit = 1;
        }
        return;
    }
    m_edit = 0;
    if (!on_value()) {
        own_row_end(true);
        return;
    }
    updownset_sel_value(2);
    m_value.show_focus();
}

void KorValueRowsPage::key_back()
{
    if (!m_edit) {
        slot_Button_back_clicked();
        return;
    }
    m_edit = 0;
    if (!on_value()) {
        own_row_end(false);
        return;
    }
    updownset_sel_value(3);
    m_value.show_focus();
}

void KorValueRowsPage::key_mode()
{
    run_mode_key();
    if (g_option)
        g_option->close_page();
}
