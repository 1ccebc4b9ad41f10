// The smart-mapping page: tool column, quick screen setup, port choice, ring, closing;
// the load scan (port step, file list, Load), curing and the mapping switch.
#include "hostlink/host_events.h"
#include "kor_test_helpers.h"
#include "platform/data_root.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/smartmapping.h"
#include "ui/shell/tip.h"
#include "ui/shell/kor_keyboard.h"

#include <QAbstractButton>
#include <QDir>
#include <QIcon>
#include <QStackedWidget>
#include <QtEndian>
#include <algorithm>

using Cells = QVector<QPoint>;
Q_DECLARE_METATYPE(Cells)

namespace {
template <class T = QWidget>
T *widget(const char *name) { return kor_child<T>(g_smartmapping, name); }
bool in_focus(const char *name) { return kor_focused(g_smartmapping, name); }  // also the cursor on a file row
int shown_page() { return widget<QStackedWidget>("stackedWidget")->currentIndex(); }
QFrame *file_frame() { return widget<QFrame>("frame_file"); }
int job_word() { return g_send_para[0] | (g_send_para[1] << 8); }

// The tool entry that carries the focus style: -1 for none, 99 for more than one.
int focused_entry()
{
    const char *names[4] = {"Button_shortcut", "Button_loadscan", "Button_paraweld", "Button_mapping"};
    int found = -1;
    for (int i = 0; i < 4; ++i)
        if (in_focus(names[i]))
            found = found < 0 ? i : 99;
    return found;
}

QByteArray pack_file(int seed)
{
    return encode_mapping_pack({QStringLiteral("pack %1").arg(seed), kor_block(seed, 700)});
}

// A file row as drawn: white text from the device, green from the stick; blue when chosen,
// with an orange border under the cursor.
struct Row {
    QString text;
    bool white = false, usb = false, chosen = false, cursor = false;
};

QVector<Row> rows()
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
int chosen_row()
{
    const QVector<Row> r = rows();
    const auto chosen = [](const Row &x) { return x.chosen; };
    const auto first = std::find_if(r.begin(), r.end(), chosen);
    return std::count_if(r.begin(), r.end(), chosen) == 1 ? int(first - r.begin()) : -1;
}

// Label of the one port cell drawn as chosen, "" when none or more than one.
QString chosen_cell()
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

QByteArray line_bytes() { return QByteArray(reinterpret_cast<const char *>(line_type), 12); }

// The names the page lists, in its order: the device's packs in directory order, then the
// stick's, at most 100.
QStringList listed_names()
{
    QStringList names;
    for (const char *dir : {"/data/smartmapping", "/mnt/usb1"})
        for (const QFileInfo &fi : QDir(kor_path(QString::fromLatin1(dir))).entryInfoList(QDir::Files, QDir::Unsorted))
            if (fi.suffix() == "ykfile" && names.size() < 100)
                names << fi.fileName();
    return names;
}

QStringList shown_names()
{
    QStringList names;
    for (const Row &r : rows())
        names << r.text;
    return names;
}

bool shows_icon(QAbstractButton *b, bool on)
{
    const QIcon want(on ? QStringLiteral(":/png/button_on.png") : QStringLiteral(":/png/button_off.png"));
    return b->icon().pixmap(40, 20).toImage() == want.pixmap(40, 20).toImage();
}

bool paging(const char *name) { return kor_child(file_frame(), name); }

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
}

class TestSmartMapping : public KorTest {
    Q_OBJECT
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

private slots:

    void tool_column_skips_the_greyed_load_scan_data()
    {
        kor_columns<QString, bool>({"file", "greyed"});
        QTest::newRow("no pack anywhere") << QString() << true;
        QTest::newRow("pack on the device") << "/data/smartmapping/a.ykfile" << false;
    }
    void tool_column_skips_the_greyed_load_scan()
    {
        QFETCH(QString, file);
        QFETCH(bool, greyed);
        if (!file.isEmpty())
            env->write_file(file, pack_file(1));
        start_page();
        QCOMPARE(kor_style(g_smartmapping, "Button_loadscan").contains("background-color: gray"), greyed);
        kor_save_screen(g_smartmapping, greyed ? "smartmapping-greyed" : "smartmapping");
        // Each tool is shown as soon as the focus reaches it, around in both directions.
        const QVector<int> order = greyed ? QVector<int>{0, 2, 3} : QVector<int>{0, 1, 2, 3};
        const int n = order.size();
        for (int i = 1; i <= 2 * n; ++i) {
            kor_press(i <= n ? KorKey::Right : KorKey::Left);
            const int entry = order[i <= n ? i % n : 2 * n - i];
            QCOMPARE(focused_entry(), entry);
            QCOMPARE(shown_page(), kToolPage[entry]);
        }
    }

    void quick_setup_places_the_cards_data()
    {
        // answers: width, height, rows, columns, offsets; moves: port cells moved to the right; picker: keys
        // in it, opened on pattern 1; line: width, height, x, y (16 bits), port, rows, columns, pattern
        kor_columns<QStringList, int, int, QString, QByteArray, int, Cells>(
            {"answers", "group", "moves", "picker", "line", "cards", "cells"});
        // Pattern 5 stored, the picker opens again on it: three to the left is 2.
        QTest::newRow("2 x 3 serpentine on LED3")
            << QStringList{"128", "96", "2", "3", "10", "20"} << 0 << 2 << "right*4 ok ok left*3 ok"
            << QByteArray::fromHex("8000 6000 0a00 1400 02 02 03 02") << 6
            << Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}};  // each card's column and row
        // Cancel, and back in the picker, keep the stored pattern.
        QTest::newRow("values cut to their fields on LED13")
            << QStringList{"70000", "abc", "300", "1", "65537", "-1"} << 1 << 4
            << "left ok ok right right back ok right*15 ok"
            << QByteArray::fromHex("7011 0000 0100 ffff 0c 2c 01 10") << 2 << Cells{};
    }
    void quick_setup_places_the_cards()
    {
        QFETCH(int, group);
        QFETCH(int, moves);
        QFETCH(QString, picker);
        QFETCH(QByteArray, line);
        QFETCH(int, cards);
        QFETCH(Cells, cells);
        const int port = 8 * group + moves;
        sim_fpga()->set_chain(port, cards);
        sim_fpga()->set_chain(port ^ 1, 2);
        start_page();
        kor_table()->set_u16(KorTable::Window::offset(2, KorTable::Window::kEnable), 1);
        keyboard->answers = kor_data<QStringList>("answers");
        auto shot = [&](const char *name) {
            if (group == 0)
                kor_save_screen(g_smartmapping, name);
        };

        kor_keys("ok ok right ok right ok");  // Step 1: width, height, Next
        kor_keys(QString(group ? "right ok" : "ok") + QString(" right*%1").arg(moves));  // from the group's first port
        QCOMPARE(chosen_cell(), QStringLiteral("LED%1").arg(port + 1));
        shot("smartmapping-step2");
        kor_keys(QString("ok right*%1 ok").arg(3 - group));  // confirmed, Next
        QCOMPARE(shown_page(), 2);
        shot("smartmapping-step3");
        kor_keys("ok right ok right ok");  // rows, columns, the routing picker
        QCOMPARE(shown_page(), 3);
        shot("smartmapping-route");
        kor_keys(picker);
        QCOMPARE(widget<QAbstractButton>("Button_route")->text(), QStringLiteral("走线%1").arg(int(line[11])));
        kor_keys("right ok right ok right right ok");  // offsets, Send
        QVERIFY(g_qround_bar && g_qround_bar->isVisible());
        shot("smartmapping-ring");
        const QByteArray request(reinterpret_cast<const char *>(g_send_para), 36);
        // While the ring is shown neither keys nor touch change the step, the focus, the port
        // or a field; the key board's window keys still work.
        kor_keys("left ok back");
        QVERIFY(in_focus("Button_send") && !in_focus("lineEdit_line"));
        for (const char *name : {"Button_front_3", "Button_route", "Button_send", "Button_shortcut", "Button_loadscan",
                                 "Button_paraweld", "Button_mapping", "Button_next", "Button_next_2",
                                 "Button_wlan2", "Button_wlan6", "Button_next_5", "Button_confirm",
                                 "Button_mapping_state", "Button_route7", "5" /* a port cell */}) {
            widget<QAbstractButton>(name)->click();
            QCOMPARE(shown_page(), 2);
        }
        QTest::mouseClick(widget("lineEdit_line"), Qt::LeftButton);
        QCOMPARE(keyboard->calls.size(), 6);
        QCOMPARE(line_bytes(), line);
        QCOMPARE(job_word(), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_send_para), 36), request);
        QCOMPARE(kor_keyboard::current_window(), 0);
        kor_press_code(Qt::Key_C);
        QCOMPARE(kor_keyboard::current_window(), 2);

        QCOMPARE(kor_finish_job().job, 1);
        QVERIFY(!g_qround_bar);
        auto word = [&line](int i) { return int(uint8_t(line[i])) | (int(uint8_t(line[i + 1])) << 8); };
        for (int k = 0; k < cards; ++k) {
            const SimRcvCard c = sim_fpga()->card(port, k);
            QVERIFY(c.positioned);
            if (!cells.isEmpty())
                QCOMPARE(QPoint(c.x, c.y), QPoint(word(4) + cells[k].x() * word(0), word(6) + cells[k].y() * word(2)));
        }
        QVERIFY(sim_fpga()->received(port ^ 1, 0).empty());
    }

    // Every text of every stacked page, and the keyboard's titles, in the language shown:
    // the page opened in it or switched to it by the host, English where it is not enabled.
    void texts_in_every_language_data()
    {
        kor_columns<int, int, bool, int>({"language", "enabled", "host", "shown"});
        QTest::newRow("zh") << 0 << 0x1F << false << 0;
        QTest::newRow("en") << 1 << 0x1F << false << 1;
        QTest::newRow("ru from the host") << 2 << 0x1F << true << 2;
        QTest::newRow("vi") << 3 << 0x1F << false << 3;
        QTest::newRow("zh-TW from the host") << 4 << 0x1F << true << 4;
        QTest::newRow("ru not enabled") << 2 << 0x1B << false << 1;
    }
    void texts_in_every_language()
    {
        QFETCH(int, language);
        QFETCH(int, shown);
        kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
        g_lcd_lang_valid = uint8_t(kor_data<int>("enabled"));
        if (!kor_data<bool>("host"))
            g_language = uint8_t(language);
        kor_open(kor_settings + " right*3 ok", 24);
        if (kor_data<bool>("host"))
            kor_host_language(language);
        // Each stacked page is visited by touch, and each field pressed while its page is shown.
        const auto click = [](const char *name) { widget<QAbstractButton>(name)->click(); };
        const auto press = [](const char *name) { QTest::mouseClick(widget(name), Qt::LeftButton); };
        click("Button_shortcut");
        press("lineEdit_X");
        press("lineEdit_Y");
        for (const char *name : {"Button_next", "Button_next_2"})
            click(name);
        for (const char *name : {"lineEdit_line", "lineEdit_column", "lineEdit_horzion", "lineEdit_vert"})
            press(name);
        for (const char *name : {"Button_route", "Button_loadscan", "Button_next_5", "Button_paraweld", "Button_mapping"})
            click(name);
        for (const PageText &t : kTexts) {
            const QString text = *t.name ? kor_text(g_smartmapping, t.name) : kor_label_texts(file_frame()).value(0);
            QVERIFY2(text == QString::fromUtf8(t.text[shown]), t.name);
        }
        QStringList titles;
        for (const ScriptedNumberKeyboard::Call &c : keyboard->calls)
            titles << c.title;
        QStringList want;
        for (const char *title : kTitles[shown])
            want << QString::fromUtf8(title);
        QCOMPARE(titles, want);
        // The tool column: taller entries where the texts are long.
        const bool chinese = shown == 0 || shown == 4;
        QCOMPARE(widget("Button_mapping")->geometry(), chinese ? QRect(5, 145, 65, 20) : QRect(5, 177, 65, 30));
        if (shown == 2 || shown == 3)
            kor_save_row_screen(g_smartmapping, "smartmapping");
    }

    // A language change re-texts the page in front; a stacked page shown later, also by a
    // button that sets no texts, comes in the new language and in its own style.
    void a_page_shown_later_takes_the_new_language()
    {
        start_page();
        kor_keys("ok right right ok right*3 ok");  // Step 3
        kor_host_language(1);
        QCOMPARE(kor_text(g_smartmapping, "label_step3"), QString("Step 3 Screen parameter setting"));
        kor_keys("back");  // Step 2, shown as it was
        QCOMPARE(shown_page(), 1);
        QCOMPARE(kor_text(g_smartmapping, "label_step2"), QString("Step 2 Select port"));
        widget<QAbstractButton>("Button_paraweld")->click();
        QCOMPARE(widget("label_step1_6")->palette().color(QPalette::WindowText), QColor(Qt::white));
    }

    // The sixteen orders of the routing picker: those from the top-right corner and the
    // straight column-first ones; 2 x 3 cabinets of 128 x 96 on LED1.
    void routing_patterns_data()
    {
        // cells: (column, row) of each card in chain order
        kor_columns<int, Cells>({"pattern", "cells"});
        QTest::newRow("3 top-left columns straight") << 3 << Cells{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
        QTest::newRow("5 top-right rows straight") << 5 << Cells{{2, 0}, {1, 0}, {0, 0}, {2, 1}, {1, 1}, {0, 1}};
        QTest::newRow("6 top-right rows serpentine") << 6 << Cells{{2, 0}, {1, 0}, {0, 0}, {0, 1}, {1, 1}, {2, 1}};
        QTest::newRow("7 top-right columns straight") << 7 << Cells{{2, 0}, {2, 1}, {1, 0}, {1, 1}, {0, 0}, {0, 1}};
        QTest::newRow("8 top-right columns serpentine") << 8 << Cells{{2, 0}, {2, 1}, {1, 1}, {1, 0}, {0, 0}, {0, 1}};
        QTest::newRow("11 bottom-left columns straight") << 11 << Cells{{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}};
        QTest::newRow("15 bottom-right columns straight") << 15 << Cells{{2, 1}, {2, 0}, {1, 1}, {1, 0}, {0, 1}, {0, 0}};
    }
    void routing_patterns()
    {
        QFETCH(int, pattern);
        QFETCH(Cells, cells);
        sim_fpga()->set_chain(0, 6);
        start_page();
        keyboard->answers = QStringList{"2", "3"};
        kor_keys("ok right right ok right*3 ok");  // Step 1 as the form has it, Step 2 on LED1
        kor_keys("ok right ok right ok");  // rows, columns, the picker on pattern 1
        kor_keys(QString("right*%1 ok right*4 ok").arg(pattern - 1));  // the pattern, Send
        QCOMPARE(int(line_type[11]), pattern);
        QCOMPARE(kor_finish_job().job, 1);
        for (int k = 0; k < 6; ++k) {
            const SimRcvCard c = sim_fpga()->card(0, k);
            QCOMPARE(QPoint(c.x, c.y), QPoint(128 * cells[k].x(), 96 * cells[k].y()));
        }
    }

    void port_choice_data()
    {
        // cell: the cell drawn as chosen ("" none of the group shown)
        kor_columns<QString, int, QString>({"script", "port", "cell"});
        // Step 2: back restores the port held before OK.
        const QString step2 = "ok right right ok";
        QTest::newRow("step 2: seven to the right and around") << step2 + " right ok right*8" << 8 << "LED9";
        QTest::newRow("step 2: back restores") << step2 + " right ok right*8 back" << 0 << "";
        QTest::newRow("step 2: a kept port comes back after a later back")
            << step2 + " ok left left ok right ok back" << 6 << "";
        // The load scan: back keeps the port moved to, unless one was confirmed since.
        const QString scan = "right ok";
        QTest::newRow("load scan: moved, not confirmed: back keeps it") << scan + " ok right right back" << 2 << "LED3";
        QTest::newRow("load scan: confirmed, moved again: back restores")
            << scan + " ok right ok ok right*3 back" << 1 << "LED2";
    }
    void port_choice()
    {
        env->write_file("/data/smartmapping/a.ykfile", pack_file(1));
        start_page();
        kor_keys(kor_data<QString>("script"));
        QTEST(int(line_type[8]), "port");
        QTEST(chosen_cell(), "cell");
    }

    void a_job_that_ends_at_once_closes_the_ring()
    {
        // Port 0 has no link: the worker thread refuses the job on its first pass.
        start_page();
        QCOMPARE(fpga_manage::p_fpga_manage->start_worker(), 0);
        kor_keys("ok right right ok right*3 ok left ok");  // Send in Step 3
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QCOMPARE(kor_job(), 0);
        kor_keys("back");
        QCOMPARE(shown_page(), 1);
    }

    void closing_data()
    {
        // how: "lock" the key lock set first; keys; "host" the host's news of a pack last
        // focus: the page in front after: 5 the settings, 4 the custom mode, 24 still this
        kor_columns<QString, int>({"how", "focus"});
        QTest::newRow("back in the column") << "back" << 5;
        QTest::newRow("host sent a pack") << "host" << 5;
        QTest::newRow("mode key") << "mode" << 4;
        QTest::newRow("mode key, key lock set") << "lock mode" << 24;
        QTest::newRow("mode key, ring shown") << "right ok ok mode" << 24;  // curing started
        QTest::newRow("host's news, ring shown") << "right ok ok host" << 24;
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, focus);
        sim_fpga()->set_chain(3, 1);
        start_page();
        kor_table()->set_u16(KorTable::kKeyLock, how.startsWith("lock"));
        kor_keys(how.remove(QRegularExpression("lock|host")));
        if (kor_data<QString>("how").endsWith("host"))
            host_pack_file_received();
        KorTestEnv::process_events();
        kor_check_left(24, focus);  // refused keys reach no glue
    }

    void file_list_keys_data()
    {
        kor_columns<int, int, QString, int, int>({"device", "stick", "script", "page", "row"});
        QTest::newRow("four: first page") << 2 << 2 << "" << 0 << 0;
        QTest::newRow("four: past the last page") << 2 << 2 << "right*4" << 0 << 0;
        QTest::newRow("six: left on the second page") << 3 << 3 << "right*3 left" << 0 << 2;
        QTest::newRow("a hundred at most, and around") << 60 << 60 << "right*100" << 0 << 0;
        // Touch: a row by its number, n the next page.
        QTest::newRow("touched onto a shorter page") << 2 << 2 << "2 n" << 1 << 0;
    }
    void file_list_keys()
    {
        QFETCH(int, device);
        QFETCH(int, stick);
        QFETCH(QString, script);
        QFETCH(int, page);
        QFETCH(int, row);
        add_packs(device, stick);
        start_page();
        kor_keys("right ok left ok");  // the load scan's port step, then Next
        QCOMPARE(shown_page(), 5);
        for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
            if (step[0].isDigit() || step == "n")
                file_frame()->findChild<QPushButton *>(step == "n" ? "Button_next_page" : step)->click();
            else
                kor_keys(step);
        }

        const QStringList all = listed_names();
        QCOMPARE(shown_names(), all.mid(3 * page, 3));
        const QVector<Row> r = rows();
        for (int i = 0; i < r.size(); ++i) {
            QCOMPARE(r[i].usb, 3 * page + i >= device);
            QCOMPARE(r[i].white, !r[i].usb);
        }
        QCOMPARE(chosen_row(), row);
        QVERIFY(r[row].cursor || script.endsWith('2'));  // a touched row is chosen, not under the cursor
        check_choice();
        QCOMPARE(paging("Button_previous"), page > 0);
        QCOMPARE(paging("Button_next_page"), page < (all.size() + 2) / 3 - 1);
        if (device == 2 && script.isEmpty())
            kor_save_screen(g_smartmapping, "smartmapping-files");
    }

    // The stick is pulled once the worker has taken the file: the list is rebuilt only once
    // the job has ended.
    void load_sends_the_chosen_file_to_the_chosen_port()
    {
        add_packs(2, 1);
        sim_fpga()->set_chain(5, 3);
        sim_fpga()->set_chain(0, 2);
        start_page();
        kor_keys("right ok ok right*5 ok");  // the load scan: first group, LED6 confirmed
        kor_save_screen(g_smartmapping, "smartmapping-loadscan");
        kor_keys("left ok right right ok");  // Next, the stick's file chosen, Load in focus
        QVERIFY(in_focus("Button_load"));
        const std::string chosen = g_ykfile_name;
        QVERIFY(chosen.rfind("/mnt/usb1/", 0) == 0);
        kor_keys("ok");  // Load
        QCOMPARE(job_word(), 2);
        QVERIFY(g_qround_bar);
        const QByteArray file = env->read_file(QString::fromStdString(chosen));
        fpga_manage::p_fpga_manage->run_pass();
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        kor_refresh(101);
        QCOMPARE(rows().size(), 3);
        QCOMPARE(g_ykfile_name, chosen);
        QCOMPARE(kor_finish_job().job, 2);
        QVERIFY(!g_qround_bar);
        MappingPack pack;
        QVERIFY(decode_mapping_pack(file, &pack));
        for (int k = 0; k < 3; ++k)
            QCOMPARE(sim_fpga()->card(5, k).pack, std::vector<uint8_t>(pack.data.begin(), pack.data.end()));
        QVERIFY(sim_fpga()->received(0, 0).empty());
        QCOMPARE(shown_names().size(), 2);
        check_choice();
    }

    // A pack refused as corrupt (or empty) closes the ring with a failure shown, not as a success.
    void load_of_a_refused_pack_data()
    {
        kor_columns<QByteArray, bool>({"file", "refused"});
        const QByteArray whole = encode_mapping_pack(MappingPack{QString(), QByteArray(600, 'p')});
        QTest::newRow("whole") << whole << false;
        QTest::newRow("truncated") << whole.chopped(10) << true;
        QTest::newRow("empty") << encode_mapping_pack(MappingPack{QString(), QByteArray()}) << true;
    }
    void load_of_a_refused_pack()
    {
        QFETCH(bool, refused);
        sim_fpga()->set_chain(0, 2);
        env->write_file("/data/smartmapping/chosen.ykfile", kor_data<QByteArray>("file"));
        start_page();
        kor_keys("right ok ok ok");  // the load scan, first group's first port confirmed
        kor_keys("left ok ok ok");  // Next, the only file chosen, Load
        QCOMPARE(job_word(), 2);
        QCOMPARE(kor_finish_job().job, 2);
        KorTestEnv::process_events();
        QVERIFY(!g_qround_bar);
        QCOMPARE(g_tip->isVisible() && g_tip->kind() == 6, refused);
        QCOMPARE(sim_fpga()->card(0, 0).pack.empty(), refused);
    }

    // The stick pulled leaves an empty list; a stick mounted fills it, its names as plain text.
    void usb_changes_while_the_list_is_shown()
    {
        add_packs(0, 2);
        start_page();
        kor_keys("right ok left ok right");  // the list, second row
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        kor_refresh(101);
        QVERIFY(shown_names().isEmpty() && !paging("Button_previous") && !paging("Button_next_page"));
        QVERIFY(g_ykfile_name.empty() && in_focus("Button_front_6"));
        kor_save_screen(g_smartmapping, "smartmapping-nofile");
        add_packs(0, 3, 10);  // a stick with four packs, one named as markup, is mounted
        env->write_file("/mnt/usb1/<b>bold<br>x.ykfile", pack_file(1));
        kor_refresh(102);
        QCOMPARE(shown_names(), listed_names().mid(0, 3));
        for (QLabel *label : file_frame()->findChildren<QLabel *>())
            QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(paging("Button_next_page"));
        kor_keys("right");  // from the first row
        QCOMPARE(chosen_row(), 1);
        check_choice();
    }

    // Curing, then the mapping switch turned off and on again; OK while the ring is shown
    // does nothing.
    void curing_and_the_mapping_switch()
    {
        sim_fpga()->set_chain(0, 2);
        sim_fpga()->set_chain(9, 1);
        sim_fpga()->set_register(0, 0, 0x85);
        start_page();
        kor_keys("right ok");  // no pack: the load scan is skipped
        QCOMPARE(shown_page(), 6);
        QVERIFY(in_focus("Button_confirm"));
        kor_save_screen(g_smartmapping, "smartmapping-curing");
        kor_keys("ok");
        QCOMPARE(job_word(), 3);
        kor_keys("ok back");  // refused while the ring is shown
        QVERIFY(in_focus("Button_confirm") && g_qround_bar);
        QCOMPARE(kor_finish_job().job, 3);
        QVERIFY(sim_fpga()->card(0, 1).cured && sim_fpga()->card(9, 0).cured);

        kor_keys("back right");
        QCOMPARE(shown_page(), 7);
        QAbstractButton *state = widget<QAbstractButton>("Button_mapping_state");
        QVERIFY(shows_icon(state, true));
        kor_keys("ok");
        QVERIFY(in_focus("Button_mapping_state"));
        kor_save_screen(g_smartmapping, "smartmapping-mapping");
        for (bool now : {false, true}) {
            kor_keys("ok ok");  // the second press comes while the ring is shown: nothing
            QCOMPARE(int(sim_fpga()->register_value(0, 0)), now ? 0x85 : 0x05);
            QVERIFY(shows_icon(state, now));
            QCOMPARE(job_word(), 4);
            const uint32_t value = qFromLittleEndian<quint32>(g_send_para + 16);
            QCOMPARE(value, now ? 9u : 0u);
            kor_finish_job();
            QCOMPARE(sim_fpga()->card(9, 0).mapping, value);
        }
    }
};

QTEST_MAIN(TestSmartMapping)
#include "test_smartmapping.moc"
