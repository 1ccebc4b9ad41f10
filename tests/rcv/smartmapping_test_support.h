#pragma once
// What the smart-mapping page tests share: the page over the simulated cards, its rows,
// cells and packs as the operator sees them.
#include "hostlink/host_events.h"
#include "kor_test_helpers.h"
#include "platform/data_root.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/smartmapping.h"
#include "ui/shell/kor_keyboard.h"
#include "ui/shell/tip.h"

#include <QAbstractButton>
#include <QDir>
#include <QIcon>
#include <QStackedWidget>
#include <QtEndian>
#include <algorithm>

using Cells = QVector<QPoint>;
Q_DECLARE_METATYPE(Cells)

template <class T = QWidget>
T *widget(const char *name) { return kor_child<T>(g_smartmapping, name); }
inline bool in_focus(const char *name) { return kor_focused(g_smartmapping, name); }  // also the cursor on a file row
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
    return encode_mapping_pack({QStringLiteral("pack %1").arg(seed), kor_block(seed, 700)});
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
                       s.contains("#4777FF") && kor_focused(l)};
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

const int kToolPage[4] = {0, 4, 6, 7};  // first stacked page of each tool

inline QByteArray line_bytes() { return QByteArray(reinterpret_cast<const char *>(line_type), 12); }

// The names the page lists, in its order: the device's packs in directory order, then the
// stick's, at most 100.
inline QStringList listed_names()
{
    QStringList names;
    for (const char *dir : {"/data/smartmapping", "/mnt/usb1"})
        for (const QFileInfo &fi : QDir(kor_path(QString::fromLatin1(dir))).entryInfoList(QDir::Files, QDir::Unsorted))
            if (fi.suffix() == "ykfile" && names.size() < 100)
                names << fi.fileName();
    return names;
}

inline QStringList shown_names()
{
    QStringList names;
    for (const Row &r : rows())
        names << r.text;
    return names;
}

inline bool shows_icon(QAbstractButton *b, bool on)
{
    const QIcon want(on ? QStringLiteral(":/png/button_on.png") : QStringLiteral(":/png/button_off.png"));
    return b->icon().pixmap(40, 20).toImage() == want.pixmap(40, 20).toImage();
}

inline bool paging(const char *name) { return kor_child(file_frame(), name); }

// The page's texts in zh, en, ru, vi and zh-TW.
struct PageText {
    const char *name;  // "" the no-file text
    const char *text[5];
};
const PageText kTexts[] = {
    {"label_title", {"智能调屏", "Smart debugging screen", "Умная регулировка экрана", "Điều chỉnh màn hình thông minh", "智能調屏"}},
    {"Button_shortcut", {"快捷点屏", "Debugging\nscreen", "Быстрое каса\nние экрана", "Chạm vào màn\nhình nhanh", "快捷點屏"}},
    {"Button_loadscan", {"加载扫描", "Load scan", "Загрузить\nсканирование", "Cài đặt\nquét", "加載掃描"}},
    {"Button_paraweld", {"参数固化", "Curing\nparameter", "Фиксация\nпараметров", "Lưu thông\nsố", "參數固化"}},
    {"Button_mapping", {"Mapping", "Mapping", "Mapping", "Mapping", "Mapping"}},
    {"label_step1", {"步骤1箱体设置", "Step 1 Cabinet setup", "Шаг 1. Настройка кабинета", "Bước 1: Thiết lập cabin", "步驟1箱體設置"}},
    {"label_boxwidth", {"箱体宽度", "Cabinet width", "Ширина кабинета", "Chiều rộng cabin", "箱體寬度"}},
    {"label_boxheight", {"箱体高度", "Cabinet height", "Высота кабинета", "Chiều cao cabin", "箱體高度"}},
    {"Button_next", {"下一步", "Next", "Следующий\nшаг", "Bước tiếp theo", "下一步"}},
    {"label_step2", {"步骤2选择网口", "Step 2 Select port", "Шаг 2. Выберите сетевой порт", "Bước 2 :Chọn cổng mạng", "步驟2選擇網口"}},
    {"Button_wlan1", {"网口1~8", "LED1~8", "LED1~8", "LED1~8", "網口1~8"}},
    {"Button_wlan2", {"网口9~16", "LED9~16", "LED9~16", "LED9~16", "網口9~16"}},
    {"Button_front_2", {"上一步", "Previous", "Предыдущий\nшаг", "Thao tác\nphía trước", "上一步"}},
    {"Button_next_2", {"下一步", "Next", "Следующий\nшаг", "Bước tiếp theo", "下一步"}},
    {"label_step3", {"步骤3屏参设置", "Step 3 Screen parameter setting", "Шаг 3.Настройка параметров экрана", "Bước 3:Cài đặt thông số màn hình", "步驟3屏參設置"}},
    {"label_boxline", {"箱体行数", "Number of Cabinet in rows", "Кол-во рядов", "Số lượng hàng tủ", "箱體行數"}},
    {"label_boxlcolumn", {"箱体列数", "Number of Cabinet in lines", "Кол-во столбцов", "Số lượng cột tủ", "箱體列數"}},
    {"label_routeway", {"屏体走线方式", "Screen alignment mode", "Тип подключения кабинетов", "Chế độ căn chỉnh màn hình", "屏體走線方式"}},
    {"label_horizon", {"水平偏移", "Horizontal offset", "Горизонтальное\nсмещение", "Bù đắp theo\nchiều ngang", "水平偏移"}},
    {"label_vert", {"垂直偏移", "Vertical offset", "Вертикальное\nсмещение", "Bù đắp theo\nchiều dọc", "垂直偏移"}},
    {"Button_route", {"走线1", "Routing 1", "След1", "Dấu vết1", "走線1"}},
    {"Button_front_3", {"上一步", "Previous", "Предыдущий\nшаг", "Thao tác\nphía trước", "上一步"}},
    {"Button_send", {"发送", "Send", "Отправить", "Gửi", "髮送"}},
    {"Button_route16", {"走线16", "Routing 16", "След16", "Dấu vết16", "走線16"}},
    {"Button_cancel", {"取消", "Cancle", "Отмена", "Hủy bỏ", "取消"}},
    {"label_step1_5", {"步骤1选择网口", "Step 1 Select network port", "Шаг 1. Выбор LAN-порта", "Bước 1 Chọn cổng mạng", "步驟1選擇網口"}},
    {"Button_wlan5", {"网口1~8", "LED1~8", "LED1~8", "LED1~8", "網口1~8"}},
    {"Button_wlan6", {"网口9~16", "LED9~16", "LED9~16", "LED9~16", "網口9~16"}},
    {"Button_next_5", {"下一步", "Next", "Следующий\nшаг", "Bước tiếp theo", "下一步"}},
    {"label_step2_6", {"步骤2加载扫描参数", "Step 2 Upload scan parameters", "Шаг 2.Настройка сканирования", "Bước 2Tải thông số quét", "步驟2加載掃描參數"}},
    {"label_step2_7", {"检测到以下屏参文件", "Detected the following screen parameter\n files", "Были обнаружены следующие файлы \nпараметров экрана", "Các tập tin tham số màn hình sau đã\n được phát hiện", "檢測到以下屏參文件"}},
    {"Button_front_6", {"上一步", "Previous", "Предыдущий\nшаг", "Thao tác\nphía trước", "上一步"}},
    {"Button_load", {"加载", "Load", "Загрузка", "Tải về", "加載"}},
    {"", {"无加载文件!", "No loaded file!", "Нет файлов для загрузки!", "Không có tập tin để tải!", "無加載文件!"}},
    {"label_step1_6", {"参数固化操作", "Parameter curing operation", "Операция отверждения параметров", "Lưu thông số", "參數固化操作"}},
    {"Button_confirm", {"确定", "OK", "OK", "Đồng ý", "確定"}},
    {"label_step1_7", {"Mapping开关", "Mapping switch", "Переключатель сопоставления", "Bật mapping", "Mapping開關"}},
};
// The keyboard's titles for width, height, rows, columns and the two offsets.
const char *const kTitles[5][6] = {
    {"箱体宽度", "箱体高度", "箱体行数", "箱体列数", "水平偏移", "垂直偏移"},
    {"width", "height", "rows", "lines", "Horizontal", "Vertical"},
    {"width", "height", "rows", "lines", "Horizontal", "Vertical"},
    {"width", "height", "rows", "lines", "Horizontal", "Vertical"},
    {"箱體寬度", "箱體高度", "箱體行數", "箱體列數", "水平偏移", "垂直偏移"},
};

class SmartMappingTest : public KorTest {
protected:
    Start start() const override { return kNone; }
    // The panel over the simulated cards, the FPGA manager up (its thread not started), and the
    // page, from the settings menu.
    void start_page()
    {
        kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
        kor_fpga_up();
        kor_open(kor_settings + " right*3 ok", 24);
    }

    void add_packs(int device, int stick, int first = 0)
    {
        for (int i = first; i < first + device; ++i)
            env->write_file(QStringLiteral("/data/smartmapping/d%1.ykfile").arg(i, 3, 10, QChar('0')), pack_file(i));
        for (int i = first; i < first + stick; ++i)
            env->write_file(QStringLiteral("/mnt/usb1/u%1.ykfile").arg(i, 3, 10, QChar('0')), pack_file(100 + i));
    }
    // The one row drawn as chosen is the file Load sends.
    void check_choice()
    {
        const int row = chosen_row();
        QVERIFY(row >= 0);
        const Row r = rows().at(row);
        QCOMPARE(g_ykfile_name, ((r.usb ? "/mnt/usb1/" : "/data/smartmapping/") + r.text).toStdString());
    }

};
