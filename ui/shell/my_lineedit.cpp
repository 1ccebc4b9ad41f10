#include "ui/shell/my_lineedit.h"

QPointer<My_lineEdit> g_lineedit;

My_lineEdit::My_lineEdit(QWidget *parent) : QLineEdit(parent) {}

void My_lineEdit::mousePressEvent(QMouseEvent *event)
{
    // The keyboard runs inside the signal; its page may close meanwhile.
    QPointer<My_lineEdit> self(this);
    emit send_show(text());
    if (self)
        QLineEdit::mousePressEvent(event);
}
