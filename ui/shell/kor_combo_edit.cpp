#include "ui/shell/kor_combo_edit.h"

#include "ui/shell/kor_focus_list.h"

#include <QComboBox>

QString kor_combo_style(const char *border)
{
    return QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid %1;\n}\nQComboBox:drop-down{\nborder-style:none\n}")
        .arg(QLatin1String(border));
}

namespace {
// The entry a box shows, as a step can start from it (0 for an empty box).
int shown_entry(const QComboBox *box)
{
    const int shown = box->currentIndex();
    return shown >= 0 && shown < box->count() ? shown : 0;
}
}

void KorComboEdit::start(std::initializer_list<QComboBox *> boxes, const QString &normal, const QString &focus,
                         const QString &edit)
{
    m_focus_style = focus;
    m_edit_style = edit;
    m_focus.clear();
    for (QComboBox *box : boxes)
        m_focus.add(box, normal, focus);
    m_editing = false;
    m_focus.start(0);
    m_index = shown_entry(current());
    m_saved_index = m_index;
}

QComboBox *KorComboEdit::current() const
{
    return static_cast<QComboBox *>(m_focus.current());
}

void KorComboEdit::move(int step)
{
    if (!m_editing) {
        m_focus.move(step);
        return;
    }
    const int count = current()->count();
    if (count == 0)
        return;
    m_index = ((m_index + step) % count + count) % count;
    current()->setCurrentIndex(m_index);
}

bool KorComboEdit::ok()
{
    if (!m_editing) {
        m_editing = true;
        m_index = shown_entry(current());
        m_saved_index = m_index;
        current()->setStyleSheet(m_edit_style);
        return false;
    }
    m_editing = false;
    current()->setStyleSheet(m_focus_style);
    return true;
}

bool KorComboEdit::back()
{
    if (!m_editing)
        return false;
    m_editing = false;
    current()->setCurrentIndex(m_saved_index < current()->count() ? m_saved_index : 0);
    current()->setStyleSheet(m_focus_style);
    return true;
}
