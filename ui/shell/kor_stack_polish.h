#pragma once
#include <QObject>
#include <QSet>
#include <QVector>

class QStackedWidget;
class QWidget;

// Polishes the pages of a stacked widget when each is first shown instead of all of them
// when the dialog holding them is: polishing a widget under style sheets is the dearest part
// of opening a page, and most stacked pages of a dialog are never shown in one visit. The
// widgets are built as the form says; only their polish waits. Install it after the form is
// set up and before the dialog is shown; it lives as a child of the stacked widget.
class KorStackPolish : public QObject {
    Q_OBJECT
public:
    explicit KorStackPolish(QStackedWidget *stack);

    // Polishes page `index` now if it still waits (done by itself when the page is shown).
    void release(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *widget);
    void polish_tree(QWidget *widget);

    QStackedWidget *m_stack;
    QVector<QWidget *> m_waiting;  // pages not shown yet
    QSet<QObject *> m_held;         // widgets whose polish waits
};
