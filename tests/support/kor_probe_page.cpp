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
    auto field = [this](const char *name, int y, const char *text) {
        My_lineEdit *f = new My_lineEdit(this);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(20, y, 100, 24);
        f->setFocusPolicy(Qt::NoFocus);
        f->setText(QString::fromLatin1(text));
        connect_number_field(f);
        focus.add(f, QString::fromLatin1(KorStyle::field_normal), QString::fromLatin1(KorStyle::field_focus));
        return f;
    };
    field_a = field("lineEdit_a", 40, "10");
    field_b = field("lineEdit_b", 80, "20");
    focus.start(0);
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

KorProbePage *kor_probe(int number) { return number >= 0 && number < kKorPages ? s_probes[number] : nullptr; }
