#include "kor_probe_page.h"

#include "ui/shell/my_lineedit.h"

#include <QCoreApplication>

namespace {
KorProbePage *s_probes[kKorPages] = {};
}

KorProbePage::KorProbePage(int number, QWidget *parent) : KorPage(number, parent)
{
    resize(320, 240);
    setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));
    field_a = new My_lineEdit(this);
    field_a->setObjectName(QStringLiteral("lineEdit_a"));
    field_a->setGeometry(20, 40, 100, 24);
    field_a->setFocusPolicy(Qt::NoFocus);
    field_a->setText(QStringLiteral("10"));
    field_b = new My_lineEdit(this);
    field_b->setObjectName(QStringLiteral("lineEdit_b"));
    field_b->setGeometry(20, 80, 100, 24);
    field_b->setFocusPolicy(Qt::NoFocus);
    field_b->setText(QStringLiteral("20"));
    connect_number_field(field_a);
    connect_number_field(field_b);
    focus.add(field_a, QString::fromLatin1(KorStyle::field_normal), QString::fromLatin1(KorStyle::field_focus));
    focus.add(field_b, QString::fromLatin1(KorStyle::field_normal), QString::fromLatin1(KorStyle::field_focus));
    focus.start(0);
}

void KorProbePage::page_refresh(int code)
{
    events << QStringLiteral("refresh:%1").arg(code);
}

void KorProbePage::child_returned(int child_page)
{
    events << QStringLiteral("child:%1").arg(child_page);
}

void KorProbePage::confirmString(QString text)
{
    events << QStringLiteral("confirm:") + text;
    KorPage::confirmString(text);
}

void KorProbePage::key_left()
{
    events << QStringLiteral("left");
    KorPage::key_left();
}

void KorProbePage::key_right()
{
    events << QStringLiteral("right");
    KorPage::key_right();
}

void KorProbePage::key_ok()
{
    events << QStringLiteral("ok");
    if (child >= 0) {
        open_page(child);
        if (spin_after_child) {
            QCoreApplication::processEvents();
            events << QStringLiteral("after child");
        }
    } else
        emit_send_show(qobject_cast<My_lineEdit *>(focus.current()));
}

void KorProbePage::key_back()
{
    events << QStringLiteral("back");
    KorPage::key_back();
}

void KorProbePage::key_other(int qt_key)
{
    events << QStringLiteral("other:%1").arg(qt_key);
}

bool KorProbePage::mode_key_refused() const
{
    return refuse_mode;
}

QString KorProbePage::number_keyboard_title(My_lineEdit *field) const
{
    return field == field_a ? QStringLiteral("title A") : QStringLiteral("title B");
}

void kor_register_probe(int number, int parent)
{
    if (number < 0 || number >= kKorPages)
        return;
    KorPageSlot slot;
    slot.parent = parent;
    slot.make = [number] { return static_cast<KorPage *>(new KorProbePage(number)); };
    slot.get = [number] { return static_cast<KorPage *>(s_probes[number]); };
    slot.set = [number](KorPage *page) { s_probes[number] = static_cast<KorProbePage *>(page); };
    kor_page_register_slot(number, std::move(slot));
}

KorProbePage *kor_probe(int number)
{
    return number >= 0 && number < kKorPages ? s_probes[number] : nullptr;
}
