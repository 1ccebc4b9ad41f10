#include "ui/rcv/smartmapping_part.h"

#include "fpga/rcv_recovery_file.h"
#include "platform/data_root.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/smartmapping.h"
#include "ui/shell/kor_look.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMetaMethod>

namespace SmStyle {
const char normal[] =
    "background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);";
const char focus[] = "background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);";
const char greyed[] = "background-color: gray;border:2px;border-radius:10px;padding:2px 4px;color:rgb(255,255,255)";
const char group_shown[] = "background-color: #4777FF;color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);";
const char port_cell[] = "background-color: #212435;border:1px solid #FFFFFF;";
const char port_cell_chosen[] = "background-color: #212435;border:1px solid #00D65B;";
const char transparent[] = "background-color: transparent;";
}

const char kSmSmartDir[] = "/data/smartmapping";
const char kSmUsbDir[] = "/mnt/usb1/";

const KorText kSmNext = {"下一步", "Next", "Следующий\nшаг", "Bước tiếp theo", "下一步"};
const KorText kSmPrevious = {"上一步", "Previous", "Предыдущий\nшаг", "Thao tác\nphía trước", "上一步"};

void sm_show(QWidget *widget, const char *style)
{
    if (widget)
        kor_show_style(widget, QString::fromLatin1(style));
}

void sm_point_size(QWidget *widget, int points)
{
    QFont f = widget->font();
    if (f.pointSize() == points)
        return;
    f.setPointSize(points);
    widget->setFont(f);
}

int sm_points(int chinese, int english, int other)
{
    switch (kor_shown_language()) {
    case 0:
    case 4:
        return chinese;
    case 1:
        return english;
    default:
        return other;
    }
}

void sm_text(QLabel *label, const KorText &text)
{
    label->setText(kor_tr(text));
    sm_point_size(label, sm_points(9, 8, 7));
}

void sm_text(QAbstractButton *button, const KorText &text)
{
    button->setText(kor_tr(text));
    sm_point_size(button, sm_points(9, 7, 7));
}

QString sm_group_text(int first)
{
    static const KorText kGroup = {"网口%d~%d", "LED%d~%d", "LED%d~%d", "LED%d~%d", "網口%d~%d"};
    return kor_fill_numbers(kor_tr(kGroup), {first, first + 7});
}

QStringList sm_list_ykfiles(const QString &board_dir, int room)
{
    return rcvRecovery::list_files(board_dir, {QStringLiteral("ykfile")}, room);
}

void sm_connect_clicked(QWidget *form, QObject *receiver)
{
    static const QMetaMethod clicked =
        QAbstractButton::staticMetaObject.method(QAbstractButton::staticMetaObject.indexOfSignal("clicked()"));
    const QMetaObject *meta = receiver->metaObject();
    for (QObject *child : form->children()) {
        QAbstractButton *button = qobject_cast<QAbstractButton *>(child);
        const int slot =
            button ? meta->indexOfSlot("on_" + button->objectName().toLatin1() + "_clicked()") : -1;
        if (slot >= 0)
            QObject::connect(button, clicked, receiver, meta->method(slot));
    }
}

SmartMappingPart::SmartMappingPart(SmartMapping *page, int entry)
    : QObject(page), m_page(page), m_entry(entry)
{
}

void SmartMappingPart::key_move(int) {}

bool SmartMappingPart::ring_shown()
{
    return g_qround_bar != nullptr;
}
