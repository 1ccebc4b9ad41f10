#include "ui/shell/kor_focus_list.h"

#include "ui/shell/kor_look.h"
#include "ui/shell/kor_page.h"

#include <QWidget>

KorFocusList::KorFocusList(unsigned char *select) : m_select(select ? select : &m_own) {}

int KorFocusList::add(QWidget *item, const QString &normal, const QString &focus, std::function<void()> action)
{
    m_items.append(Item{item, normal, focus, std::move(action)});
    return m_items.size() - 1;
}

int KorFocusList::add_menu(QWidget *item, std::function<void()> action)
{
    return add(item, QString::fromLatin1(KorStyle::menu_normal), QString::fromLatin1(KorStyle::menu_focus),
               std::move(action));
}

void KorFocusList::clear()
{
    m_items.clear();
    set_index(0);
}

int KorFocusList::index() const
{
    return *m_select;
}

QWidget *KorFocusList::at(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items[index].widget : nullptr;
}

QWidget *KorFocusList::current() const
{
    return at(index());
}

void KorFocusList::set_index(int index)
{
    *m_select = static_cast<unsigned char>(index);
}

void KorFocusList::start(int index)
{
    if (m_items.isEmpty())
        return;
    set_index(index >= 0 && index < m_items.size() ? index : 0);
    show_focus(this->index());
}

void KorFocusList::select(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    if (index != this->index())
        show_normal(this->index());
    set_index(index);
    show_focus(index);
}

void KorFocusList::move(int step)
{
    const int n = m_items.size();
    if (n == 0)
        return;
    select(((index() + step) % n + n) % n);
}

bool KorFocusList::activate() const
{
    const int i = index();
    if (i >= m_items.size() || !m_items[i].action)
        return false;
    // A copy: the action may rebuild the list.
    const std::function<void()> action = m_items[i].action;
    action();
    return true;
}

void KorFocusList::set_styles(int index, const QString &normal, const QString &focus)
{
    if (index < 0 || index >= m_items.size())
        return;
    m_items[index].normal = normal;
    m_items[index].focus = focus;
}

void KorFocusList::show_normal(int index) const
{
    if (index >= 0 && index < m_items.size() && m_items[index].widget)
        kor_show_style(m_items[index].widget, m_items[index].normal);
}

void KorFocusList::show_focus(int index) const
{
    if (index >= 0 && index < m_items.size() && m_items[index].widget)
        kor_show_style(m_items[index].widget, m_items[index].focus);
}
