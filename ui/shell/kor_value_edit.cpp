#include "ui/shell/kor_value_edit.h"

#include "core/korrampara.h"
#include "core/table_write.h"
#include "scaler/v331_manage.h"

#include <QLineEdit>

const QString &KorValueEdit::normal_style()
{
    static const QString style = QStringLiteral(
        "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255, 255, 255);");
    return style;
}

const QString &KorValueEdit::focus_style()
{
    static const QString style = QStringLiteral(
        "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,171,84);");
    return style;
}

const QString &KorValueEdit::edit_style()
{
    static const QString style =
        QStringLiteral("color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,0,0);");
    return style;
}

void KorValueEdit::remember_shown()
{
    m_remembered = m_field->text().toInt();
}

void KorValueEdit::begin()
{
    m_value = m_field->text().toInt();
    m_remembered = m_value;
    m_field->setStyleSheet(edit_style());
}

void KorValueEdit::step(char mode, int word)
{
    // The scaler has not taken the previous change yet: the step is dropped.
    if (v331_manage::para_changed.load(std::memory_order_acquire) != 0)
        return;
    switch (mode) {
    case 0:
        ++m_value;
        break;
    case 1:
        --m_value;
        break;
    case 2:
        m_remembered = m_value;
        break;
    case 3:
        m_value = m_remembered;
        break;
    default:
        break;
    }
    if (m_value <= 0)
        m_value = 0;
    else if (m_value > 99)
        m_value = 100;
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (word >= 0 && t) {
        KorTableWrite change;
        // The whole word: a high byte left from a host write would make the table hold
        // something else than the number shown.
        change.set_u16(word, uint16_t(m_value));
    }
    m_field->setText(QString::number(m_value));
}

void KorValueEdit::show_focus() const
{
    m_field->setStyleSheet(focus_style());
}
