#pragma once
// What the smart-mapping tests share: opening the page from the settings menu, reading its
// widgets as an operator sees them, and running the worker to the end of a job.
#include "core/global.h"
#include "fpga/pack_formats.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/smartmapping.h"
#include "ui/shell/mainmenu.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"

#include <QAbstractButton>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QStackedWidget>
#include <QVector>
#include <algorithm>

namespace sm {

// Parts of the style sheets that tell an item's state.
constexpr const char *kOrange = "rgb(255,171,84)";   // in focus / under the cursor
constexpr const char *kBlueBorder = "rgb(71, 119, 255)";
constexpr const char *kGrey = "background-color: gray";
constexpr const char *kRowBlue = "#4777FF";          // a file row drawn as chosen
constexpr const char *kCellGreen = "#00D65B";        // the port cell of line_type byte 8

inline void press(KorKey key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}

// Presses keys written as letters: L left, R right, O OK, B back.
inline void keys(const QString &script)
{
    for (QChar c : script) {
        switch (c.toLatin1()) {
        case 'L': kor_press(KorKey::Left); break;
        case 'R': kor_press(KorKey::Right); break;
        case 'O': kor_press(KorKey::Ok); break;
        case 'B': kor_press(KorKey::Back); break;
        default: break;
        }
    }
}

// The settings menu and, with the keys, the smart-mapping page (shown, not modal).
inline SmartMapping *open_page()
{
    kor_set_modal_pages(false);
    g_mainwindow->show_menu();
    g_mainmenu->open_page(5);
    press(KorKey::Right, 3);
    kor_press(KorKey::Ok);
    return g_smartmapping;
}

template <class T = QWidget>
T *widget(const char *name)
{
    return g_smartmapping ? g_smartmapping->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

inline QString style(const char *name)
{
    QWidget *w = widget(name);
    return w ? w->styleSheet() : QStringLiteral("<missing>");
}

inline bool in_focus(const char *name)
{
    return style(name).contains(QLatin1String(kOrange));
}

inline int shown_page()
{
    return widget<QStackedWidget>("stackedWidget")->currentIndex();
}

// The tool entry that carries the focus style, -1 for none.
inline int focused_entry()
{
    const char *names[4] = {"Button_shortcut", "Button_loadscan", "Button_paraweld", "Button_mapping"};
    int found = -1;
    for (int i = 0; i < 4; ++i)
        if (in_focus(names[i]))
            found = found < 0 ? i : 99;
    return found;
}

inline QByteArray pack_file(int seed, int size = 700)
{
    MappingPack pack;
    pack.description = QStringLiteral("pack %1").arg(seed);
    pack.data.resize(size);
    for (int i = 0; i < size; ++i)
        pack.data[i] = char(seed * 13 + i);
    return encode_mapping_pack(pack);
}

inline QByteArray pack_data(int seed, int size = 700)
{
    MappingPack pack;
    decode_mapping_pack(pack_file(seed, size), &pack);
    return pack.data;
}

// A file row of the list as drawn: its text, whether it is green (from the stick) and
// whether it is drawn as chosen.
struct Row {
    QString text;
    bool usb = false;
    bool chosen = false;
    bool cursor = false;
};

inline QFrame *file_frame()
{
    return widget<QFrame>("frame_file");
}

inline QVector<Row> rows()
{
    QVector<Row> out;
    QFrame *frame = file_frame();
    if (!frame)
        return out;
    QList<QLabel *> labels = frame->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() < b->y(); });
    for (QLabel *l : labels) {
        const QString s = l->styleSheet();
        if (l->width() != 190)  // not a file row: the no-file text
            continue;
        Row r;
        r.text = l->text();
        r.usb = s.contains(QLatin1String("#00FF00"));
        r.chosen = s.contains(QLatin1String(kRowBlue));
        r.cursor = r.chosen && s.contains(QLatin1String(kOrange));
        out << r;
    }
    return out;
}

inline QString no_file_text()
{
    QFrame *frame = file_frame();
    if (!frame)
        return QString();
    for (QLabel *l : frame->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
        if (l->geometry() == QRect(5, 5, 200, 40))
            return l->text();
    return QString();
}

inline bool paging_button(const char *name)
{
    QFrame *frame = file_frame();
    return frame && frame->findChild<QAbstractButton *>(QString::fromLatin1(name));
}

// The row drawn as chosen, -1 when none or more than one.
inline int chosen_row()
{
    const QVector<Row> r = rows();
    int found = -1;
    for (int i = 0; i < r.size(); ++i)
        if (r[i].chosen)
            found = found < 0 ? i : -2;
    return found < 0 ? -1 : found;
}

// The board path of a drawn row.
inline std::string path_of(const Row &r)
{
    return ((r.usb ? QStringLiteral("/mnt/usb1/") : QStringLiteral("/data/smartmapping/")) + r.text).toStdString();
}

// Label of the port cell drawn as chosen ("" when none or more than one).
inline QString chosen_cell()
{
    QFrame *frame = widget<QFrame>("frame_wlan");
    if (!frame)
        return QString();
    QString found;
    int n = 0;
    for (QFrame *cell : frame->findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!cell->styleSheet().contains(QLatin1String(kCellGreen)))
            continue;
        ++n;
        for (QLabel *l : frame->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
            if (l->text().startsWith(QLatin1String("LED")) && cell->geometry().intersects(l->geometry()))
                found = l->text();
    }
    return n == 1 ? found : QString();
}

// Runs the worker until the job reports 100 and lets the page see its progress.
inline KorJobProgress finish_job()
{
    const KorJobProgress p = kor_finish_job();
    KorTestEnv::process_events();
    return p;
}

inline int job_word()
{
    return g_send_para[0] | (g_send_para[1] << 8);
}

}  // namespace sm
