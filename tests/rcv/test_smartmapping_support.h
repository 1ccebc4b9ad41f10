#pragma once
// What the smart-mapping tests share: opening the page and reading its widgets as an
// operator sees them.
#include "kor_test_helpers.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/smartmapping.h"

#include <QAbstractButton>
#include <QStackedWidget>
#include <algorithm>

namespace sm {

constexpr const char *kOrange = "rgb(255,171,84)";  // focus, or the cursor on a file row

// The settings menu, then the page by the keys (shown, not modal).
inline SmartMapping *open_page()
{
    kor_open(kor_settings + "RRRO", 24);
    return g_smartmapping;
}

// The panel over the simulated cards, the FPGA manager up (its thread not started), and the page.
inline SmartMapping *start_page(KorTestEnv &env, bool fpga = true)
{
    kor_start_ui(env);
    if (fpga)
        kor_fpga_up();
    return open_page();
}

template <class T = QWidget>
T *widget(const char *name)
{
    return g_smartmapping ? kor_child<T>(g_smartmapping, name) : nullptr;
}
inline QString style(const char *name) { return widget(name) ? widget(name)->styleSheet() : "<missing>"; }
inline bool in_focus(const char *name) { return style(name).contains(QLatin1String(kOrange)); }
inline int shown_page() { return widget<QStackedWidget>("stackedWidget")->currentIndex(); }
inline QFrame *file_frame() { return widget<QFrame>("frame_file"); }
inline int job_word() { return g_send_para[0] | (g_send_para[1] << 8); }

// The tool entry that carries the focus style: -1 for none, 99 for more than one.
inline int focused_entry()
{
    const char *names[4] = {"Button_shortcut", "Button_loadscan", "Button_paraweld", "Button_mapping"};
    int found = -1;
    for (int i = 0; i < 4; ++i)
        if (in_focus(names[i]))
            found = found < 0 ? i : 99;
    return found;
}

inline QByteArray pack_file(int seed)
{
    MappingPack pack{QStringLiteral("pack %1").arg(seed), QByteArray()};
    for (int i = 0; i < 700; ++i)
        pack.data.append(char(seed * 13 + i));
    return encode_mapping_pack(pack);
}

// A file row as drawn: white text from the device, green from the stick; blue when chosen,
// with an orange border under the cursor.
struct Row {
    QString text;
    bool white = false, usb = false, chosen = false, cursor = false;
};

inline QVector<Row> rows()
{
    QVector<Row> out;
    QList<QLabel *> labels = file_frame()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() < b->y(); });
    for (QLabel *l : labels) {
        const QString s = l->styleSheet();
        if (l->width() == 190)  // the no-file text is wider
            out << Row{l->text(), s.contains("color: #FFFFFF"), s.contains("color: #00FF00"), s.contains("#4777FF"),
                       s.contains("#4777FF") && s.contains(QLatin1String(kOrange))};
    }
    return out;
}

// The row drawn as chosen, -1 when none or more than one.
inline int chosen_row()
{
    const QVector<Row> r = rows();
    const auto chosen = [](const Row &x) { return x.chosen; };
    const auto first = std::find_if(r.begin(), r.end(), chosen);
    return std::count_if(r.begin(), r.end(), chosen) == 1 ? int(first - r.begin()) : -1;
}

// Label of the one port cell drawn as chosen, "" when none or more than one.
inline QString chosen_cell()
{
    QFrame *frame = widget<QFrame>("frame_wlan");
    QStringList found;
    for (QFrame *cell : frame->findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly))
        for (QLabel *l : frame->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
            if (cell->styleSheet().contains("#00D65B") && l->text().startsWith("LED") &&
                cell->geometry().intersects(l->geometry()))
                found << l->text();
    return found.size() == 1 ? found[0] : QString();
}

}  // namespace sm
