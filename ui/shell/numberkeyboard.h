#pragma once
#include "ui/shell/kor_modal.h"

#include <QDialog>
#include <QPointer>
#include <QVector>

class QPushButton;
namespace Ui {
class NumberKeyboard;
}

// The shared number keyboard (g_numberkeyboard, made by the main window; its form is built
// on first use, so start-up does not pay for it). A page titles it with label_show() and runs
// it with exec(); OK emits sendKeyBoardUIDataToLineEdit with the edit field's text and hides
// it, back hides it without an answer. Worked by the five keys (left/right move over the
// thirteen buttons, OK presses the highlighted one) and by touch.
//
// Its modal session (KorModal) lasts exactly as long as its window is shown, and a run asked
// for while one runs is refused at once.
class NumberKeyboard : public QDialog {
    Q_OBJECT
public:
    explicit NumberKeyboard(QWidget *parent = nullptr);
    ~NumberKeyboard() override;

    // Title, start text of the edit field; the typed string is cleared.
    void label_show(QString title, QString text);

    QString title() const;
    QString text() const;
    // The page running the keyboard now (set by KorPage's session), else null.
    QWidget *owner() const { return m_owner; }
    void set_owner(QWidget *owner) { m_owner = owner; }

    // What the OK button does.
    void confirm();
    // Typing, as the digit buttons and Del do.
    void type_digit(int digit);
    void delete_digit();

    void setVisible(bool visible) override;
    // Runs the keyboard modally until it is hidden; Rejected at once while it runs already.
    int exec() override;
    // A session runs.
    bool running() const { return m_modal.running(); }

signals:
    void sendKeyBoardUIDataToLineEdit(QString text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The form, built when first needed.
    Ui::NumberKeyboard *form();
    void press(int index);
    void highlight(int index);

    Ui::NumberKeyboard *ui = nullptr;
    QVector<QPushButton *> m_buttons;  // 1..9, 0, Del, OK, Back
    QString m_typed;
    int m_select = 0;
    QPointer<QWidget> m_owner;
    KorModal m_modal;
};

extern NumberKeyboard *g_numberkeyboard;
