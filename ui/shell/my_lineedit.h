#pragma once
#include <QLineEdit>
#include <QPointer>

// A number field: a pointer press asks the page for the number keyboard.
class My_lineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit My_lineEdit(QWidget *parent = nullptr);

signals:
    // Emitted with the field's text on a pointer press; a page emits it with the field's
    // object name for the selected field on OK.
    void send_show(QString text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// The field that receives the number keyboard's result (null once the field is gone).
extern QPointer<My_lineEdit> g_lineedit;
