#include "ui/shell/numberkeyboard.h"

#include "ui/shell/kor_page.h"
#include "ui_numberkeyboard.h"

#include <QKeyEvent>

NumberKeyboard *g_numberkeyboard = nullptr;

namespace {
constexpr int kMaxDigits = 8;
constexpr int kDel = 10;
constexpr int kOk = 11;
constexpr int kBack = 12;
}

NumberKeyboard::NumberKeyboard(QWidget *parent) : QDialog(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

Ui::NumberKeyboard *NumberKeyboard::form()
{
    if (ui)
        return ui;
    ui = new Ui::NumberKeyboard;
    ui->setupUi(this);
    m_buttons = {ui->Button_1, ui->Button_2, ui->Button_3, ui->Button_4, ui->Button_5,
                 ui->Button_6, ui->Button_7, ui->Button_8, ui->Button_9, ui->Button_0,
                 ui->Button_del, ui->Button_ok, ui->Button_back};
    for (int i = 0; i < m_buttons.size(); ++i)
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { press(i); });
    highlight(0);
    return ui;
}

void NumberKeyboard::setVisible(bool visible)
{
    if (visible)
        form();
    QDialog::setVisible(visible);
}

int NumberKeyboard::exec()
{
    return m_modal.run(this);
}

NumberKeyboard::~NumberKeyboard()
{
    if (g_numberkeyboard == this)
        g_numberkeyboard = nullptr;
    delete ui;
}

void NumberKeyboard::label_show(QString title, QString text)
{
    form();
    ui->label_title->setText(title);
    ui->lineEdit_show->setText(text);
    m_typed.clear();
    highlight(0);
}

QString NumberKeyboard::title() const
{
    return const_cast<NumberKeyboard *>(this)->form()->label_title->text();
}

QString NumberKeyboard::text() const
{
    return const_cast<NumberKeyboard *>(this)->form()->lineEdit_show->text();
}

void NumberKeyboard::type_digit(int digit)
{
    if (m_typed.size() >= kMaxDigits)
        return;
    // The first digit replaces the start text.
    m_typed.append(QChar('0' + digit));
    form()->lineEdit_show->setText(m_typed);
}

void NumberKeyboard::delete_digit()
{
    m_typed.chop(1);
    form()->lineEdit_show->setText(m_typed);
}

void NumberKeyboard::confirm()
{
    const QString text = form()->lineEdit_show->text();
    emit sendKeyBoardUIDataToLineEdit(text);
    accept();
}

void NumberKeyboard::press(int index)
{
    if (index < 10)
        type_digit(index == 9 ? 0 : index + 1);
    else if (index == kDel)
        delete_digit();
    else if (index == kOk)
        confirm();
    else
        reject();
}

void NumberKeyboard::highlight(int index)
{
    m_buttons[m_select]->setStyleSheet(QString::fromLatin1(KorStyle::field_normal));
    m_select = index;
    m_buttons[m_select]->setStyleSheet(QString::fromLatin1(KorStyle::field_focus));
}

void NumberKeyboard::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    setFocus();
}

void NumberKeyboard::keyPressEvent(QKeyEvent *event)
{
    // Keys act on release; the dialog's own Escape and Enter handling stays out.
    event->accept();
}

void NumberKeyboard::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
    form();
    const int n = m_buttons.size();
    switch (kor_logical_key(event->key())) {
    case KorKey::Left:
        highlight((m_select + n - 1) % n);
        break;
    case KorKey::Right:
        highlight((m_select + 1) % n);
        break;
    case KorKey::Ok:
        press(m_select);
        break;
    case KorKey::Back:
        reject();
        break;
    default:
        if (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9)
            type_digit(event->key() - Qt::Key_0);
        break;
    }
}
