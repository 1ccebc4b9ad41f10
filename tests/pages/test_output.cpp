#include "kor_test_helpers.h"
#include "ui/pages/ledset.h"
#include "ui/pages/netset.h"
#include "ui/pages/outputset.h"
#include "ui/shell/tip.h"

namespace {
// The width and height fields as "w x h".
QString fields() { return kor_text(g_ledset, "lineEdit_ledw") + "x" + kor_text(g_ledset, "lineEdit_ledh"); }

void open_ledset() { kor_open(kor_settings + " ok ok", 13); }

// Table words as the host or an earlier session left them, then the refresh step.
void settle(std::initializer_list<std::pair<int, int>> words)
{
    for (const auto &w : words)
        kor_table()->set_u16(w.first, uint16_t(w.second));
    kor_refresh(1);
}

int window_word(int window, int field) { return kor_table()->u16(KorTable::Window::offset(window, field)); }

const uint16_t kLinks = 0x8005;  // ports 1, 3 and 16 online

// Where each port's x lies in the parameter-RAM image; y, width and height follow.
const int kXOffset[16] = {8, 19, 32, 43, 520, 528, 536, 544, 576, 584, 592, 600, 608, 616, 624, 632};

int port_value(int port, int i) { return 1000 * (port + 1) + 257 * i + 3; }

// The other bytes would show up as nonsense if read at the wrong offsets.
std::vector<uint8_t> ram_image()
{
    std::vector<uint8_t> image(1024, 0xEE);
    for (int p = 0; p < 16; ++p)
        for (int i = 0; i < 4; ++i) {
            image[kXOffset[p] + 2 * i] = uint8_t(port_value(p, i));
            image[kXOffset[p] + 2 * i + 1] = uint8_t(port_value(p, i) >> 8);
        }
    return image;
}

void open_netset() { kor_open(kor_settings + " ok left ok", 14); }

QString text(const QString &name) { return kor_text(g_netset, name); }

// The four link icons, 1 online, 0 offline.
QString icons()
{
    const QImage online = QPixmap(":/png/online_up.png").toImage(), offline = QPixmap(":/png/offline_up.png").toImage();
    QString out;
    for (int c = 1; c <= 4; ++c) {
        const QLabel *label = kor_child<QLabel>(g_netset, QString("L%1label").arg(c));
        const QImage icon = label->pixmap(Qt::ReturnByValue).toImage();
        out += icon == online ? '1' : icon == offline ? '0' : '?';
    }
    return out;
}
}

// The output menu and its two pages: the LED size page (entry checking, Apply, the hand-over
// to the workers, host changes) and the output-port status page over sixteen ports.
class TestOutput : public KorTest {
    Q_OBJECT
    void set_up() override { g_language = 1; }
    void open_menu() { kor_open(kor_settings + " ok", 6); }

private slots:

    void opens_and_follows_the_host_data()
    {
        kor_columns<int, QString>({"language", "titles"});
        QTest::newRow("zh-CN") << 0 << QString::fromUtf8("宽高");
        QTest::newRow("zh-TW") << 4 << QString::fromUtf8("寬高");
        QTest::newRow("ru: the keyboard in English") << 2 << "WH";
    }
    // Opened on the table's size; typed values stay over other changes, and a host-side width
    // or height alone reloads both fields.
    void opens_and_follows_the_host()
    {
        g_language = uint8_t(kor_data<int>("language"));
        settle({{KorTable::kLedWidth, 3840}, {KorTable::kLedHeight, 2160}});
        open_ledset();
        QCOMPARE(fields(), QString("3840x2160"));
        if (g_language == 0)
            kor_save_screen(g_ledset, "ledset");
        keyboard->answers << "5000" << "1500";
        kor_keys("ok right ok right");
        QTEST(keyboard->calls[0].title + keyboard->calls[1].title, "titles");
        settle({{KorTable::kContrast, 70}});
        QCOMPARE(fields(), QString("5000x1500"));
        settle({{KorTable::kLedWidth, 2560}});
        QCOMPARE(fields(), QString("2560x2160"));
        settle({{KorTable::kLedHeight, 1440}});
        QCOMPARE(fields(), QString("2560x1440"));
        kor_check_mode_key(13);
    }

    void entry_checking_data()
    {
        kor_columns<int, int, bool, QString, QString>({"width", "height", "edit_height", "typed", "shown"});
        QTest::newRow("9000, height over budget") << 1920 << 1300 << false << "9000" << "8188x1280";
        QTest::newRow("5000 forces the height down") << 1920 << 2160 << false << "5000" << "5000x2097";
        QTest::newRow("exactly the budget") << 1920 << 2048 << false << "5120" << "5120x2048";
        QTest::newRow("height 3000 forces the width") << 4000 << 1080 << true << "3000" << "3495x3000";
        QTest::newRow("12 is 64") << 1920 << 1080 << false << "12" << "64x1080";
        QTest::newRow("empty is 64") << 1920 << 1080 << true << "" << "1920x64";
        // Host-set sizes beyond the page's own limits.
        QTest::newRow("width above 32767 read unsigned") << 40000 << 1080 << true << "2000" << "5242x2000";
        QTest::newRow("forced side at most 8188") << 1920 << 20000 << false << "1000" << "1000x8188";
    }
    void entry_checking()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        settle({{KorTable::kLedWidth, width}, {KorTable::kLedHeight, height}});
        open_ledset();
        keyboard->answers << kor_data<QString>("typed");
        kor_keys(kor_data<bool>("edit_height") ? "right ok" : "ok");
        QCOMPARE(keyboard->calls.size(), 1);
        QTEST(fields(), "shown");
        if (QByteArray(QTest::currentDataTag()) == "9000, height over budget")
            kor_save_screen(g_ledset, "ledset-clamped");
        // Only Apply writes the table: Cancel leaves it as it was.
        const QByteArray before = kor_ram();
        kor_keys(kor_data<bool>("edit_height") ? "right right ok" : "left ok");
        kor_check_left(13, 6);
        QVERIFY(kor_ram() == before && !v331_manage::para_changed);
    }

    // A size differing from the table's is new; the LED parameters go to the FPGA worker
    // only while it runs (register 80 of FPGA 0 reads 3).
    void apply_data()
    {
        // width: table width before (height 1080); typed: into the width (or the height), null: none;
        // fpga_state: -1: no FPGA manager
        kor_columns<int, QString, bool, int>({"width", "typed", "height", "fpga_state"});
        QTest::newRow("new size, FPGA running") << 1920 << "3840" << false << 3;
        QTest::newRow("new height, FPGA running") << 1920 << "720" << true << 3;
        QTest::newRow("new size, FPGA starting") << 1920 << "3840" << false << 1;
        QTest::newRow("new size, no FPGA manager") << 1920 << "3840" << false << -1;
        QTest::newRow("same size") << 1920 << QString() << false << 3;
        QTest::newRow("host width above 32767 kept") << 40000 << QString() << false << 3;
    }
    void apply()
    {
        QFETCH(int, width);
        QFETCH(QString, typed);
        QFETCH(bool, height);
        QFETCH(int, fpga_state);
        const int new_w = typed.isNull() || height ? width : typed.toInt();
        const int new_h = !typed.isNull() && height ? typed.toInt() : 1080;
        const bool changed = new_w != width || new_h != 1080;
        if (fpga_state >= 0) {
            sim_fpga()->set_state_after_bring_up(uint8_t(fpga_state));
            kor_fpga_up();
        }
        using namespace KorTable;
        using namespace KorTable::Window;
        const int rectangle[4] = {kX, kY, kWidth, kHeight};
        // A split layout from the host, and six windows (enable word, source, rectangle).
        for (int w = 0; w < kCount; ++w)
            for (int f : {kEnable, kSource, kX, kY, kWidth, kHeight})
                kor_table()->set_u16(offset(w, f), uint16_t(f == kEnable ? 1 : f == kSource ? w : 100 * w + f));
        settle({{kSpliceMode, 3}, {kLedWidth, width}, {kLedHeight, 1080}, {output_x(0), 5}, {output_y(0), 6},
                {output_width(0), 7}, {output_height(0), 8}, {output_x(1), 9}, {output_y(1), 10},
                {output_width(1), 11}, {output_height(1), 12}});
        open_ledset();
        keyboard->answers << typed;  // null: the keyboard left without an answer
        kor_keys(height ? "right ok right" : "ok right right");
        QVERIFY(!g_tip->isVisible());
        kor_press(KorKey::Ok);  // Apply

        // Splice mode off and both output rectangles the whole screen.
        const int expected[][2] = {{kSpliceMode, 0}, {kLedWidth, new_w}, {kLedHeight, new_h},
                                   {output_x(0), 0}, {output_y(0), 0}, {output_width(0), new_w},
                                   {output_height(0), new_h}, {output_x(1), 0}, {output_y(1), 0},
                                   {output_width(1), new_w}, {output_height(1), new_h}};
        for (const auto &e : expected)
            QCOMPARE(int(kor_table()->u16(e[0])), e[1]);
        // A new size: window 0 fills it and the others are switched off.
        const int whole[4] = {0, 0, new_w, new_h};
        for (int w = 0; w < kCount; ++w) {
            QCOMPARE(window_word(w, kSource), w);
            for (int f = 0; f < 4; ++f)
                QCOMPARE(window_word(w, rectangle[f]), changed && w == 0 ? whole[f] : 100 * w + rectangle[f]);
            QCOMPARE(window_word(w, kEnable), changed && w > 0 ? 0 : 1);
        }
        QCOMPARE(int(v331_manage::para_changed), 1);
        QCOMPARE(int(g_set_led_para), changed && fpga_state == 3 ? 1 : 0);
        QCOMPARE(int(g_set_led_setup), 0);
        QCOMPARE(g_tip->isVisible() && g_tip->kind() == 1, changed);
    }

    // Apply, the FPGA worker's hand-over, the scaler's panel set-up and the table file.
    void apply_end_to_end()
    {
        fpga_manage *fpga = kor_fpga_up();
        open_ledset();
        keyboard->answers << "2560" << "1440";
        kor_keys("ok right ok right ok");  // the width, the height, Apply
        QCOMPARE(int(g_set_led_para), 1);
        fpga->run_pass();
        KorTestEnv::tick(11);
        fpga->run_pass();
        KorTestEnv::tick(31);
        fpga->run_pass();
        v331_manage::pInstance()->run_pass();
        fpga->run_pass();
        QCOMPARE(int(g_set_led_para), 0);
        QCOMPARE(sim_fpga()->reset_pulses(), 1);
        QCOMPARE(kor_scaler_calls(env->scaler()).filter("panel_init"),
                 QStringList("panel_init(2560,1440,2560,1440,0)"));
        KorTestEnv::process_events();  // the scaler's refresh saves the table
        QCOMPARE(env->read_file("/data/ram_device_info").mid(kor_file_index(KorTable::kLedWidth), 4),
                 QByteArray::fromHex("000aa005"));
        QCOMPARE(fields(), QString("2560x1440"));
    }

    // The selected port's values from its place in the parameter RAM, the links while the FPGA runs.
    void selection_data()
    {
        // first: caption number of the first column; fpga: its state, -1: no FPGA manager
        kor_columns<QString, int, int, int>({"keys", "port", "first", "fpga"});
        QTest::newRow("opened") << "" << 0 << 1 << 3;
        QTest::newRow("OK changes nothing") << "right ok" << 1 << 1 << 3;
        QTest::newRow("three rights") << "right*3" << 3 << 1 << 3;
        QTest::newRow("fourth right scrolls") << "right*4" << 4 << 2 << 3;
        QTest::newRow("stops at LED16") << "right*20" << 15 << 13 << 3;
        QTest::newRow("stops at LED1") << "left left" << 0 << 1 << 3;
        QTest::newRow("left scrolls back") << "right*7 left*4" << 3 << 4 << 3;
        QTest::newRow("FPGA starting") << "right*15" << 15 << 13 << 1;
        QTest::newRow("no FPGA manager") << "right*15" << 15 << 13 << -1;
    }
    void selection()
    {
        QFETCH(int, port);
        QFETCH(int, first);
        QFETCH(int, fpga);
        sim_fpga()->set_flash_ram_copy(0, ram_image(), true);
        sim_fpga()->set_link_bits(kLinks);
        if (fpga >= 0) {
            sim_fpga()->set_state_after_bring_up(uint8_t(fpga));
            kor_fpga_up();
        }
        open_netset();
        kor_keys(kor_data<QString>("keys"));
        QStringList expected, shown;
        for (int i = 0; i < 4; ++i) {
            expected << QString::number(fpga >= 0 ? port_value(port, i) : 0);
            shown << text(QStringList{"x_lineEdit", "y_lineEdit", "w_lineEdit", "h_lineEdit"}[i]);
        }
        QCOMPARE(shown, expected);
        QString links;
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(text(QString("LED%1label").arg(c + 1)), QString("LED%1").arg(first + c));
            links += fpga == 3 && (kLinks >> (first - 1 + c)) & 1 ? '1' : '0';
        }
        QCOMPARE(icons(), links);
        QCOMPARE(kor_child(g_netset, "net_frame")->geometry(), QRect(24 + 68 * (port + 1 - first), 40, 58, 41));
        QString selected;  // the column buttons drawn without a border
        for (int c = 1; c <= 4; ++c)
            selected += kor_style(g_netset, QString("LED%1Button").arg(c)).contains("border:0px") ? '1' : '0';
        QCOMPARE(selected, QString("0000").replace(port + 1 - first, 1, '1'));
        if (port == 15) {  // a change of the links shows at the next key, also when the selection cannot move
            sim_fpga()->set_link_bits(uint16_t(~kLinks));
            kor_press(KorKey::Right);
            QCOMPARE(icons(), QString(fpga == 3 ? "1110" : "0000"));
        }
        if (port == 0 || fpga < 0)
            kor_save_screen(g_netset, fpga < 0 ? "netset-no-fpga" : "netset");
    }

    void port_page_language_and_mode_key()
    {
        open_netset();
        kor_host_language(4);
        QCOMPARE(text("label_netset"), QString::fromUtf8("網口輸出"));
        // The column captions follow at the next key.
        kor_press(KorKey::Right);
        QCOMPARE(text("LED1label"), QString::fromUtf8("網口LED1"));
        kor_save_screen(g_netset, "netset-tw");
        kor_check_mode_key(14);
    }

    void size_line_follows_the_led_page()
    {
        open_menu();
        QCOMPARE(kor_text(g_outputset, "label_info"), QString("LED Screen can be set:1920x1080"));
        keyboard->answers << "2560";
        kor_keys("ok ok right right ok back");  // Apply
        QCOMPARE(kor_text(g_outputset, "label_info"), QString("LED Screen can be set:2560x1080"));
        // A language change re-texts the menu at the next refresh, size line included.
        kor_host_language(3);
        QCOMPARE(kor_text(g_outputset, "label_info"),
                 QString::fromUtf8("Gợi ý: Kích thước màn hình LED hiện tại::2560x1080"));
        kor_save_screen(g_outputset, "outputset-vi");
        kor_check_mode_key(6);
    }

    // Back from each page, with the pages run modally as on the panel.
    void modal_walk()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_set_modal_pages(true);
        QList<int> seen;
        auto note = [&seen] { seen << g_page_focus; };
        KorKeyScript script;
        script.keys(kor_settings + " ok").step(note).keys("ok").step(note).keys("back").step(note);
        script.keys("right ok").step(note).keys("right back").step(note);
        script.keys("back").step(note).keys("back").step(note);
        QVERIFY(script.run());
        QCOMPARE(seen, QList<int>({6, 13, 6, 14, 6, 5, 1}));
        QVERIFY(!g_outputset && !g_ledset && !g_netset);
    }
};

QTEST_MAIN(TestOutput)
#include "test_output.moc"
