#include "ui/shell/kor_stack_polish.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStackedWidget>

KorStackPolish::KorStackPolish(QStackedWidget *stack) : QObject(stack), m_stack(stack)
{
    for (int i = 0; i < stack->count(); ++i) {
        if (i == stack->currentIndex())
            continue;
        m_waiting.append(stack->widget(i));
        watch(stack->widget(i));
    }
    connect(stack, &QStackedWidget::currentChanged, this, &KorStackPolish::release);
}

void KorStackPolish::watch(QWidget *widget)
{
    widget->installEventFilter(this);
    for (QObject *child : widget->children())
        if (child->isWidgetType())
            watch(static_cast<QWidget *>(child));
}

bool KorStackPolish::eventFilter(QObject *watched, QEvent *event)
{
    // The widget counts as polished from here on; release() sends the event again.
    if (event->type() != QEvent::Polish)
        return false;
    m_held.insert(watched);
    return true;
}

void KorStackPolish::release(int index)
{
    QWidget *page = m_stack->widget(index);
    if (!page || !m_waiting.removeOne(page))
        return;
    polish_tree(page);
}

// Parent first, then the children in order, as Qt polishes a tree.
void KorStackPolish::polish_tree(QWidget *widget)
{
    widget->removeEventFilter(this);
    if (m_held.remove(widget)) {
        QEvent polish(QEvent::Polish);
        QCoreApplication::sendEvent(widget, &polish);
    }
    for (QObject *child : widget->children())
        if (child->isWidgetType())
            polish_tree(static_cast<QWidget *>(child));
}
