#include "core/global.h"
#include "core/korrampara.h"
#include "core/utils.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/scaler_device.h"
#include "scaler/v331_manage.h"
#include "ui/pages/ledset.h"
#include "ui/pages/outputset.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/tip.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }

void press_times(KorKey key, int times)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}

QString field(const char *name)
{
    return g_ledset->findChild<QLineEdit *>(name)->text();
}

// Home -> main menu -> settings -> output settings -> LED size, by the keys.
void open_ledset()
{
    kor_set_modal_pages(false);
    kor_press(KorKey::Ok);
    press_times(KorKey::Right, 2);
    kor_press(KorKey::Ok);
    kor_press(KorKey::Ok);
    kor_press(KorKey::Ok);
}

// Table words as the host or an earlier session left them, both live and applied.
void settle(std::initializer_list<std::pair<int, int>> words)
{
    for (const auto &w : words)
        table()->set_u16(w.first, uint16_t(w.second));
    table()->test_signal(1);
    KorTestEnv::process_events();
}

int window_word(int window, int field) { return table()->u16(KorWindowRecord::offset(window, field)); }

// The size typed into the width field (item 0) and height field (item 1).
void type_size(ScriptedNumberKeyboard *keyboard, const QString &w, const QString &h)
{
    keyboard->answers << w << h;
    kor_press(KorKey::Ok);
    kor_press(KorKey::Right);
    kor_press(KorKey::Ok);
    kor_press(KorKey::Right);  // Apply
}
}

class TestLedset : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    ScriptedNumberKeyboard *keyboard = nullptr;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
        g_language = 1;
    }
    void cleanup() { env.reset(); }

    void opens_with_the_table_size()
    {
        g_language = 0;
        settle({{0x562, 3840}, {0x564, 2160}});
        open_ledset();
        QCOMPARE(int(g_page_focus), 13);
        QVERIFY(g_ledset);
        QCOMPARE(field("lineEdit_ledw"), QString("3840"));
        QCOMPARE(field("lineEdit_ledh"), QString("2160"));
        QCOMPARE(g_ledset->findChild<QLabel *>("label_tip")->text(), QString::fromUtf8("可设LED屏最大点数:8188(宽),8188(高)"));
        QCOMPARE(g_ledset->findChild<QWidget *>("lineEdit_ledw")->styleSheet(), QString(KorStyle::field_focus));
        QCOMPARE(g_ledset->findChild<QWidget *>("Button_apply")->styleSheet(), QString(KorStyle::button_normal));
        kor_save_screen(g_ledset, "ledset");
        // Left wraps to Cancle, whose OK goes back.
        kor_press(KorKey::Left);
        QCOMPARE(g_ledset->findChild<QWidget *>("Button_cancle")->styleSheet(), QString(KorStyle::button_focus));
        QCOMPARE(g_ledset->findChild<QWidget *>("lineEdit_ledw")->styleSheet(), QString(KorStyle::field_normal));
        kor_press(KorKey::Ok);
        QVERIFY(!g_ledset);
        QCOMPARE(int(g_page_focus), 6);
    }

    void entry_checking_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("edit_height");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown_w");
        QTest::addColumn<QString>("shown_h");
        QTest::newRow("9000, height over budget") << 1920 << 1300 << false << "9000" << "8188" << "1280";
        QTest::newRow("9000, height within budget") << 1920 << 1280 << false << "9000" << "8188" << "1280";
        QTest::newRow("5000 forces the height down") << 1920 << 2160 << false << "5000" << "5000" << "2097";
        QTest::newRow("exactly the budget") << 1920 << 2048 << false << "5120" << "5120" << "2048";
        QTest::newRow("height 3000 forces the width") << 4000 << 1080 << true << "3000" << "3495" << "3000";
        QTest::newRow("12 is 64") << 1920 << 1080 << false << "12" << "64" << "1080";
        QTest::newRow("empty is 64") << 1920 << 1080 << true << "" << "1920" << "64";
        QTest::newRow("too many digits is large") << 1920 << 1080 << false << "99999999999" << "8188" << "1080";
        // Host-set sizes beyond the page's own limits.
        QTest::newRow("width above 32767 read unsigned") << 40000 << 1080 << true << "2000" << "5242" << "2000";
        QTest::newRow("forced side at most 8188") << 1920 << 20000 << false << "1000" << "1000" << "8188";
    }
    void entry_checking()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, edit_height);
        QFETCH(QString, typed);
        QFETCH(QString, shown_w);
        QFETCH(QString, shown_h);
        settle({{0x562, width}, {0x564, height}});
        open_ledset();
        if (edit_height)
            kor_press(KorKey::Right);
        keyboard->answers << typed;
        kor_press(KorKey::Ok);
        QCOMPARE(keyboard->calls.size(), 1);
        QCOMPARE(keyboard->calls[0].title, QString(edit_height ? "H" : "W"));
        QCOMPARE(keyboard->calls[0].start_text, QString::number(edit_height ? height : width));
        QCOMPARE(field("lineEdit_ledw"), shown_w);
        QCOMPARE(field("lineEdit_ledh"), shown_h);
        // Only Apply writes the table.
        QCOMPARE(int(table()->u16(0x562)), width);
        QCOMPARE(int(table()->u16(0x564)), height);
        QCOMPARE(int(v331_manage::para_changed), 0);
        if (QByteArray(QTest::currentDataTag()) == "9000, height over budget")
            kor_save_screen(g_ledset, "ledset-clamped");
    }

    void keyboard_titles_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("valid");
        QTest::addColumn<QString>("w");
        QTest::addColumn<QString>("h");
        QTest::newRow("simplified") << 0 << 0x1F << QString::fromUtf8("宽") << QString::fromUtf8("高");
        QTest::newRow("traditional") << 4 << 0x1F << QString::fromUtf8("寬") << QString::fromUtf8("高");
        QTest::newRow("russian") << 2 << 0x1F << "W" << "H";
        QTest::newRow("simplified not enabled") << 0 << 0x1E << "W" << "H";
    }
    void keyboard_titles()
    {
        QFETCH(int, language);
        QFETCH(int, valid);
        QFETCH(QString, w);
        QFETCH(QString, h);
        g_language = uint8_t(language);
        g_lcd_lang_valid = uint8_t(valid);
        open_ledset();
        keyboard->answers << QString() << QString();  // back: no answer
        kor_press(KorKey::Ok);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(keyboard->calls.size(), 2);
        QCOMPARE(keyboard->calls[0].title, w);
        QCOMPARE(keyboard->calls[1].title, h);
        QCOMPARE(field("lineEdit_ledw"), QString("1920"));
    }

    void apply_data()
    {
        QTest::addColumn<int>("width");      // table width before
        QTest::addColumn<QString>("typed");  // null: the size is left as shown
        QTest::addColumn<int>("fpga_state"); // register 80 of FPGA 0; -1: no FPGA manager
        QTest::addColumn<int>("new_w");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("hand_over");
        QTest::newRow("new size, FPGA running") << 1920 << "3840" << 3 << 3840 << true << true;
        QTest::newRow("new size, FPGA starting") << 1920 << "3840" << 1 << 3840 << true << false;
        QTest::newRow("new size, no FPGA manager") << 1920 << "3840" << -1 << 3840 << true << false;
        QTest::newRow("same size") << 1920 << QString() << 3 << 1920 << false << false;
        QTest::newRow("same size typed again") << 1920 << "1920" << 3 << 1920 << false << false;
        QTest::newRow("host width above 32767 kept") << 40000 << QString() << 3 << 40000 << false << false;
    }
    void apply()
    {
        QFETCH(int, width);
        QFETCH(QString, typed);
        QFETCH(int, fpga_state);
        QFETCH(int, new_w);
        QFETCH(bool, changed);
        QFETCH(bool, hand_over);
        if (fpga_state >= 0) {
            sim_fpga()->set_state_after_bring_up(uint8_t(fpga_state));
            kor_fpga_up();
        }
        // A split layout from the host, and six windows.
        settle({{0x560, 3}, {0x562, width}, {0x564, 1080}, {0x580, 5}, {0x582, 6}, {0x584, 7}, {0x586, 8},
                {0x588, 9}, {0x58A, 10}, {0x58C, 11}, {0x58E, 12}});
        for (int w = 0; w < 6; ++w) {
            table()->set_u16(KorWindowRecord::offset(w, KorWindowRecord::kEnable), 1);
            table()->set_u16(KorWindowRecord::offset(w, KorWindowRecord::kSource), w);
            for (int f = 10; f <= 16; f += 2)
                table()->set_u16(KorWindowRecord::offset(w, f), 100 * w + f);
        }
        settle({});
        open_ledset();
        if (!typed.isNull()) {
            keyboard->answers << typed;
            kor_press(KorKey::Ok);
        }
        press_times(KorKey::Right, 2);
        QVERIFY(!g_tip->isVisible());
        kor_press(KorKey::Ok);  // Apply

        const int expected[][2] = {{0x560, 0},     {0x562, new_w}, {0x564, 1080}, {0x580, 0},     {0x582, 0},
                                   {0x584, new_w}, {0x586, 1080},  {0x588, 0},    {0x58A, 0},     {0x58C, new_w},
                                   {0x58E, 1080}};
        for (const auto &e : expected)
            QCOMPARE(int(table()->u16(e[0])), e[1]);
        for (int w = 0; w < 6; ++w) {
            QCOMPARE(window_word(w, KorWindowRecord::kSource), w);
            const bool reset = changed && w == 0;
            QCOMPARE(window_word(w, 10), reset ? 0 : 100 * w + 10);
            QCOMPARE(window_word(w, 12), reset ? 0 : 100 * w + 12);
            QCOMPARE(window_word(w, 14), reset ? new_w : 100 * w + 14);
            QCOMPARE(window_word(w, 16), reset ? 1080 : 100 * w + 16);
            QCOMPARE(window_word(w, KorWindowRecord::kEnable), changed && w > 0 ? 0 : 1);
        }
        QCOMPARE(int(v331_manage::para_changed), 1);
        QCOMPARE(int(g_set_led_para), hand_over ? 1 : 0);
        QCOMPARE(int(g_set_led_setup), 0);
        QCOMPARE(g_tip->isVisible(), changed);
        if (changed)
            QCOMPARE(g_tip->kind(), 1);
        QCOMPARE(int(g_page_focus), 13);
    }

    // Apply, the FPGA worker's hand-over, the scaler's panel set-up and the table file.
    void apply_end_to_end()
    {
        fpga_manage *fpga = kor_fpga_up();
        v331_manage *scaler = v331_manage::pInstance();
        open_ledset();
        type_size(keyboard, "2560", "1440");
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_set_led_para), 1);

        fpga->run_pass();
        KorTestEnv::tick(11);
        fpga->run_pass();
        KorTestEnv::tick(31);
        fpga->run_pass();
        QCOMPARE(sim_fpga()->screen_controls(), std::vector<int>({0, 5}));
        QCOMPARE(int(g_set_led_para), 0);

        scaler->run_pass();
        const auto inits = env->scaler()->calls_named("panel_init");
        QCOMPARE(int(inits.size()), 1);
        QCOMPARE(inits[0].args, std::vector<int>({2560, 1440, 2560, 1440, 0}));
        QCOMPARE(int(g_set_led_para), 2);
        fpga->run_pass();
        QCOMPARE(sim_fpga()->reset_pulses(), 1);
        QCOMPARE(int(g_set_led_para), 0);

        KorTestEnv::process_events();  // the scaler's refresh
        const QByteArray file = env->read_file("/data/ram_device_info");
        auto stored = [&file](int offset) {
            const int i = 2 + offset - 0x300;
            return uint8_t(file[i]) | (uint8_t(file[i + 1]) << 8);
        };
        QCOMPARE(file.size(), 2 + 3328);
        QCOMPARE(stored(0x562), 2560);
        QCOMPARE(stored(0x564), 1440);
        QCOMPARE(stored(0x586), 1440);
        QCOMPARE(stored(KorWindowRecord::offset(0, 14)), 2560);
        QCOMPARE(int(table()->shadow_u16(0x562)), 2560);
        QCOMPARE(field("lineEdit_ledw"), QString("2560"));
    }

    void host_change_reloads_the_fields()
    {
        open_ledset();
        type_size(keyboard, "5000", "1500");
        QCOMPARE(field("lineEdit_ledw"), QString("5000"));
        // Another change: typed values stay.
        settle({{0x882, 70}});
        QCOMPARE(field("lineEdit_ledw"), QString("5000"));
        QCOMPARE(field("lineEdit_ledh"), QString("1500"));
        // The host writes the width: both fields reload.
        settle({{0x562, 2560}});
        QCOMPARE(field("lineEdit_ledw"), QString("2560"));
        QCOMPARE(field("lineEdit_ledh"), QString("1080"));
        // A language change re-texts the page.
        table()->ram[0x300] = 2;
        settle({});
        QCOMPARE(g_ledset->findChild<QLabel *>("label_ledset")->text(), QString::fromUtf8("Настройки LED"));
        QCOMPARE(g_ledset->findChild<QWidget *>("Button_cancle")->property("text").toString(), QString::fromUtf8("Отмена"));
        QCOMPARE(field("lineEdit_ledw"), QString("2560"));
    }
};

QTEST_MAIN(TestLedset)
#include "test_ledset.moc"
