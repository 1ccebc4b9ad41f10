#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_manage.h"
#include "inputs/dizidezorar.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/shell_runner.h"
#include "scaler/v331_manage.h"
#include "ui/pages/factory.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
KorRamPara *table()
{
    return KorRamPara::p_korrampara_config;
}

const QString kComboNormal = "QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,255,255);\n}\n"
                             "QComboBox:drop-down{\nborder-style:none\n}";
const QString kComboFocus = "QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);\n}\n"
                            "QComboBox:drop-down{\nborder-style:none\n}";
const QString kComboEdit = "QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,0,0);\n}\n"
                           "QComboBox:drop-down{\nborder-style:none\n}";
const QString kButtonNormal = "color:rgb(255,255,255);\nborder:1px solid rgb(255, 255, 255);";
const QString kButtonFocus = "color:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);";

// Keys by letter: L left, R right, K OK, B back, M mode.
void press(const QString &keys)
{
    const QString letters = "LRKBM";
    const KorKey logical[] = { KorKey::Left, KorKey::Right, KorKey::Ok, KorKey::Back, KorKey::Mode };
    for (QChar k : keys)
        if (letters.contains(k))
            kor_press(logical[letters.indexOf(k)]);
}

// Home -> main menu -> settings -> advanced settings -> factory, by the keys.
void open_factory()
{
    kor_set_modal_pages(false);
    press("KRRKLKRRK");
}

QComboBox *combo()
{
    return g_factory->findChild<QComboBox *>("Box_lang_2");
}
QString text_of(const char *name)
{
    return g_factory->findChild<QLabel *>(name)->text();
}
QWidget *item(int i)
{
    const char *names[4] = { "Box_lang_2", "Button_rst1", "Button_rst2", "Button_rst3" };
    return g_factory->findChild<QWidget *>(names[i]);
}

// A table that differs from the defaults everywhere a reset may reach, applied and saved.
void scribble_table()
{
    for (int off = 0; off < KOR_TABLE_SIZE; ++off)
        table()->ram[off] = uint8_t(off * 7 + 3);
    table()->ram[0x300] = 1; // English, so the page opens in English
    table()->ram[0x301] = 0;
    std::memcpy(table()->shadow, table()->ram, KOR_TABLE_SIZE);
    g_language = 1;
}

QByteArray stored_defaults()
{
    QByteArray image(reinterpret_cast<const char *>(default_para_ramlist), 2 + KOR_STORED_SIZE);
    for (int k = 0; k < 16; ++k) {
        image[2 + 0xB00 + 4 * k - 0x300] = char(60);
        image[2 + 0xB02 + 4 * k - 0x300] = char(60);
    }
    return image;
}

int edid_flags()
{
    int bits = 0;
    for (int i = 0; i < dizidezorar::kInputs; ++i)
        bits |= dizidezorar::edid_rewrite[i].load() << i;
    return bits;
}

// What the scaler worker and the refresh step do after a change: apply, refresh, save.
void apply_and_refresh()
{
    v331_manage::p_v331_manage->run_pass();
    KorTestEnv::process_events();
}
}

class TestFactory : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
        v331_manage::pInstance()->led_para_wait_limit = std::chrono::milliseconds(0);
        g_lcd_lang_valid = 0x1F;
    }
    void cleanup()
    {
        env.reset();
        fpga_manage::destroy_instance();
    }

    void opens_and_goes_back()
    {
        open_factory();
        QVERIFY(g_factory);
        QCOMPARE(int(g_page_focus), 18);
        QCOMPARE(g_factory->size(), QSize(320, 240));
        QCOMPARE(combo()->count(), 5);
        QCOMPARE(combo()->itemText(3), QString("Tiếng việt"));
        QCOMPARE(combo()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(combo()->styleSheet(), kComboFocus);
        QCOMPARE(text_of("label_factory"), QString("工厂设置"));
        kor_save_screen(g_factory, "factory");
        // Right wraps from the last item to the combo, left back again; only two items restyle.
        press("RRR");
        QCOMPARE(item(3)->styleSheet(), kButtonFocus);
        QCOMPARE(item(2)->styleSheet(), kButtonNormal);
        QCOMPARE(combo()->styleSheet(), kComboNormal);
        press("R");
        QCOMPARE(combo()->styleSheet(), kComboFocus);
        QCOMPARE(item(3)->styleSheet(), kButtonNormal);
        {
            KorTraceCapture trace;
            press("L");
            QVERIFY(trace.text().contains("this is left-code [factory][Release]"));
        }
        QCOMPARE(item(3)->styleSheet(), kButtonFocus);
        g_advancedoption->findChild<QLabel *>("label_title")->setText("stale");
        press("B");
        QVERIFY(!g_factory);
        QCOMPARE(int(g_page_focus), 12);
        QCOMPARE(g_advancedoption->findChild<QLabel *>("label_title")->text(), QString("高级设置"));
    }

    void texts_by_language_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("valid");
        QTest::addColumn<int>("shown"); // combo index
        QTest::addColumn<QStringList>("texts"); // title, language, reset caption, items 1-3, button
        QTest::newRow("vi") << 3 << 0x1F << 3
                            << QStringList { "Khôi phục cài đăt gốc", "Ngôn ngữ", "Khôi phục cài đặt gốc",
                                   "Giữ nguyên IP", "IP và EDID vẫn giữ nguyên", "Khôi phục cài đặt gốc tất cả",
                                   "Đồng ý" };
        QTest::newRow("ru not enabled: English") << 2 << 0x1B << 1
                                                 << QStringList { "Factory setup", "language", "Factory reset",
                                                        "Keep IP", "Keep IP,EDIP", "Reset ALL", "Press Ok" };
    }
    void texts_by_language()
    {
        QFETCH(int, lang);
        QFETCH(int, valid);
        QFETCH(int, shown);
        QFETCH(QStringList, texts);
        g_lcd_lang_valid = uint8_t(valid);
        g_language = uint8_t(lang);
        open_factory();
        QCOMPARE(combo()->currentIndex(), shown);
        const QStringList got { text_of("label_factory"), text_of("label_lang"), text_of("label_rst"),
            text_of("label_ip"), text_of("label_edid"), text_of("label_all"),
            g_factory->findChild<QPushButton *>("Button_rst2")->text() };
        QCOMPARE(got, texts);
        if (!QByteArray(QTest::currentDataTag()).contains(' '))
            kor_save_screen(g_factory, QStringLiteral("factory-%1").arg(QTest::currentDataTag()));
    }

    void language_steps_data()
    {
        QTest::addColumn<int>("valid");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("keys"); // after OK on the combo
        QTest::addColumn<QList<int>>("shown"); // the combo after each key
        QTest::newRow("all, right") << 0x1F << 0 << "RRRRR" << QList<int> { 1, 2, 3, 4, 0 };
        QTest::newRow("zh, en, zh-tw") << 0x13 << 1 << "RRLL" << QList<int> { 4, 0, 4, 1 };
        QTest::newRow("English only") << 0x02 << 1 << "RRLL" << QList<int> { 1, 1, 1, 1 };
        QTest::newRow("none: right steps through all") << 0x00 << 1 << "RRRRR" << QList<int> { 2, 3, 4, 0, 1 };
        QTest::newRow("none: left steps through all") << 0x00 << 1 << "LLLLL" << QList<int> { 0, 4, 3, 2, 1 };
    }
    void language_steps()
    {
        QFETCH(int, valid);
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(QList<int>, shown);
        g_lcd_lang_valid = uint8_t(valid);
        g_language = uint8_t(start);
        open_factory();
        QCOMPARE(combo()->currentIndex(), start);
        const QByteArray before(reinterpret_cast<const char *>(table()->ram), KOR_TABLE_SIZE);
        press("K");
        QCOMPARE(combo()->styleSheet(), kComboEdit);
        if (keys == "RRRRR" && valid == 0x1F)
            kor_save_screen(g_factory, "factory-editing");
        QList<int> got;
        for (QChar k : keys) {
            press(k);
            got << combo()->currentIndex();
        }
        QCOMPARE(got, shown);
        // Stepping writes nothing and keeps the edit state on the combo.
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(table()->ram), KOR_TABLE_SIZE), before);
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(combo()->styleSheet(), kComboEdit);
        QCOMPARE(item(1)->styleSheet(), kButtonNormal);
    }

    void language_item_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored"); // table byte 0x300 afterwards
        QTest::addColumn<bool>("applied"); // an apply was requested
        QTest::addColumn<QString>("title"); // empty: the page closed
        QTest::newRow("OK, right twice, OK applies Russian") << "KRRK" << 2 << true << "Системные настройки";
        // Nothing written, nothing applied, not even re-texted.
        QTest::newRow("OK twice on the stored language") << "KK" << 0 << false << "untouched";
        QTest::newRow("there and back again") << "KRLK" << 0 << false << "untouched";
        QTest::newRow("back while editing drops the choice") << "KRB" << 0 << false << "";
    }
    void language_item()
    {
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(bool, applied);
        QFETCH(QString, title);
        open_factory();
        g_factory->findChild<QLabel *>("label_factory")->setText("untouched");
        press(keys);
        QCOMPARE(int(table()->ram[0x300]), stored);
        QCOMPARE(int(v331_manage::para_changed), applied ? 1 : 0);
        QCOMPARE(int(g_language), stored);
        if (title.isEmpty()) {
            QVERIFY(!g_factory);
            QCOMPARE(int(g_page_focus), 12);
            return;
        }
        QCOMPARE(text_of("label_factory"), title);
        QCOMPARE(combo()->styleSheet(), kComboFocus);
        if (!applied)
            return;
        // The refresh after the scaler's pass stores the byte with the table.
        apply_and_refresh();
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(uint8_t(env->read_file("/data/ram_device_info").at(2)), uint8_t(stored));
        QCOMPARE(combo()->currentIndex(), stored);
        // Back re-texts the advanced settings in the new language.
        press("B");
        QCOMPARE(g_advancedoption->findChild<QLabel *>("label_title")->text(), QString("Дополнительно"));
    }

    void language_changed_elsewhere_while_editing()
    {
        open_factory();
        press("K");
        {
            QMutexLocker lock(&v331_manage::para_mutex);
            table()->ram[0x300] = 3; // the host
        }
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(combo()->currentIndex(), 3);
        QCOMPARE(text_of("label_lang"), QString("Ngôn ngữ"));
        // Still editing: the keys step from the new language.
        QCOMPARE(combo()->styleSheet(), kComboEdit);
        press("R");
        QCOMPARE(combo()->currentIndex(), 4);
    }

    void resets_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("keeps_edid");
        QTest::newRow("Keep IP") << 1 << false;
        QTest::newRow("Keep IP,EDIP") << 2 << true;
        QTest::newRow("Reset ALL") << 3 << false;
    }
    void resets()
    {
        QFETCH(int, item);
        QFETCH(bool, keeps_edid);
        dizidezorar::pInstance();
        g_str_ip = "192.168.1.199"; // Reset ALL leaves the network alone here
        scribble_table();
        const QByteArray before(reinterpret_cast<const char *>(table()->ram), KOR_TABLE_SIZE);
        const QByteArray file_before = env->read_file("/data/ram_device_info");
        open_factory();
        press(QString(item, 'R') + "K");

        QByteArray expected = before;
        const QByteArray defaults = stored_defaults();
        for (int off = 0x300; off < KOR_TABLE_SIZE; ++off)
            if (!(keeps_edid && off >= 0x380 && off < 0x560))
                expected[off] = defaults[2 + off - 0x300];
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(table()->ram), KOR_TABLE_SIZE).toHex(), expected.toHex());
        // The shadow is the refresh step's; no file is written by the page.
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(table()->shadow), KOR_TABLE_SIZE), before);
        QCOMPARE(env->read_file("/data/ram_device_info"), file_before);
        QCOMPARE(int(v331_manage::para_changed), 1);
        QCOMPARE(edid_flags(), keeps_edid ? 0 : 0x3F);
        QVERIFY(env->commands().empty());

        // After the scaler's pass the refresh saves the restored table and re-texts the page:
        // the default language is simplified Chinese.
        apply_and_refresh();
        QByteArray stored = env->read_file("/data/ram_device_info");
        QByteArray want = defaults;
        if (keeps_edid)
            want.replace(2 + 0x80, 0x1E0, before.mid(0x380, 0x1E0));
        QCOMPARE(stored.toHex(), want.toHex());
        QCOMPARE(int(g_language), 0);
        QCOMPARE(text_of("label_factory"), QString("工厂设置"));
        QCOMPARE(combo()->currentIndex(), 0);
        QCOMPARE(int(g_page_focus), 18);
        // The key lock went with the rest: the mode key works again.
        press("M");
        QCOMPARE(int(g_page_focus), 4);
    }

    void reset_language_falls_back_to_first_enabled()
    {
        g_lcd_lang_valid = 0x1E;
        scribble_table();
        table()->ram[0x300] = 2;
        table()->shadow[0x300] = 2;
        g_language = 2;
        open_factory();
        press("RK");
        apply_and_refresh();
        QCOMPARE(int(g_language), 1);
        QCOMPARE(int(table()->ram[0x300]), 1);
        QCOMPARE(combo()->currentIndex(), 1);
        QCOMPARE(text_of("label_factory"), QString("Factory setup"));
    }

    void reset_all_network_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("eth0");
        QTest::addColumn<QStringList>("ini"); // address, mask, gateway after the reset
        QTest::addColumn<QStringList>("commands");
        const QStringList reconfigured { "sync", "ifconfig eth0 >/dev/null 2>&1", "route del default wlan0",
            "ifconfig eth0 192.168.1.199 netmask 255.255.255.0", "route add -host 192.168.1.199 dev eth0",
            "route add default gw 192.168.1.1 metric 100", "route add -host 255.255.255.255 eth0",
            "route del 255.255.255.255 wlan1" };
        QTest::newRow("other address") << "10.0.0.5" << true
                                       << QStringList { "192.168.1.199", "255.255.255.0", "192.168.1.1" }
                                       << reconfigured;
        QTest::newRow("no eth0") << "10.0.0.5" << false
                                 << QStringList { "192.168.1.199", "255.255.255.0", "192.168.1.1" }
                                 << QStringList { "sync", "ifconfig eth0 >/dev/null 2>&1" };
        QTest::newRow("address already the default")
            << "192.168.1.199" << true << QStringList { "192.168.1.199", "255.0.0.0", "10.0.0.1" } << QStringList {};
    }
    void reset_all_network()
    {
        QFETCH(QString, ip);
        QFETCH(bool, eth0);
        QFETCH(QStringList, ini);
        QFETCH(QStringList, commands);
        ConfigEngine *config = ConfigEngine::p_config;
        config->write_config_variant(ConfigItem::IPAddress, ip);
        config->write_config_variant(ConfigItem::SubNetMask, "255.0.0.0");
        config->write_config_variant(ConfigItem::GateWay, "10.0.0.1");
        g_str_ip = ip.toStdString();
        if (!eth0)
            env->shell()->set_status_for("ifconfig eth0 >", 1);
        scribble_table();
        open_factory();
        press("LK"); // the last item
        QSettings file(env->path("/data/configs/tcpip.ini"), QSettings::IniFormat);
        QCOMPARE((QStringList { file.value("config/IPAddress").toString(), file.value("config/SubNetMask").toString(),
                     file.value("config/GateWay").toString() }),
            ini);
        QStringList ran;
        for (const std::string &c : env->commands())
            ran << QString::fromStdString(c);
        QCOMPARE(ran, commands);
        if (eth0 && !commands.isEmpty())
            QCOMPARE(QString::fromStdString(g_str_ip), QString("192.168.1.199"));
        // The table is restored whatever the network did.
        QCOMPARE(int(table()->ram[0x304]), 0);
        QCOMPARE(int(table()->ram[0xB00]), 60);
        QCOMPARE(int(v331_manage::para_changed), 1);
    }

    void led_hand_over_data()
    {
        QTest::addColumn<bool>("manager");
        QTest::addColumn<int>("reg80");
        QTest::addColumn<int>("splice"); // applied before the reset
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("hand_over");
        QTest::newRow("already 1920x1080, no splice") << true << 3 << 0 << 1920 << 1080 << false;
        QTest::newRow("width differed") << true << 3 << 0 << 2560 << 1080 << true;
        QTest::newRow("splice differed") << true << 3 << 1 << 1920 << 1080 << true;
        QTest::newRow("fpga not running") << true << 2 << 0 << 2560 << 1080 << false;
        QTest::newRow("no fpga manager") << false << 3 << 0 << 2560 << 1080 << false;
    }
    void led_hand_over()
    {
        QFETCH(bool, manager);
        QFETCH(int, reg80);
        QFETCH(int, splice);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, hand_over);
        if (manager)
            fpga_manage::pInstance()->MCU_REG_func[0][80] = uint8_t(reg80);
        table()->set_u16(0x560, uint16_t(splice));
        table()->set_u16(0x562, uint16_t(width));
        table()->set_u16(0x564, uint16_t(height));
        std::memcpy(table()->shadow, table()->ram, KOR_TABLE_SIZE);
        g_set_led_setup = 7;
        open_factory();
        press("RRK"); // Keep IP,EDIP
        QCOMPARE(int(g_set_led_para), hand_over ? 1 : 0);
        QCOMPARE(int(g_set_led_setup), hand_over ? 0 : 7);
        QCOMPARE(int(table()->u16(0x562)), 1920);
        QCOMPARE(int(v331_manage::para_changed), 1);
    }

    void no_input_manager_no_edid_request()
    {
        open_factory();
        press("RK");
        QCOMPARE(edid_flags(), 0);
        QCOMPARE(int(v331_manage::para_changed), 1);
        QCOMPARE(int(table()->u16(0x380)), 1920);
    }

    void font_lines_data()
    {
        QTest::addColumn<int>("fonts");
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("valid");
        QTest::addColumn<QString>("cn");
        QTest::addColumn<QString>("en");
        const QString w = "<font style = 'font-size:12px' color = #ffffff >%1</font>";
        const QString g = "<font style = 'font-size:13px' color = #00ff00 >%1</font>";
        const QString r = "<font style = 'font-size:13px' color = #ff0000 >%1</font>";
        const QString bar = w.arg("|");
        QTest::newRow("none, English") << 0 << 1 << 0x1F
                                       << w.arg("CN:") + r.arg("32") + bar + r.arg("64") + bar + r.arg("128")
                                       << w.arg("EN:") + r.arg("32") + bar + r.arg("64") + bar + r.arg("128");
        QTest::newRow("32 Chinese, 64 English, simplified")
            << 0x09 << 0 << 0x1F << w.arg("中文:") + g.arg("32宽") + bar + r.arg("64宽") + bar + r.arg("128宽")
            << w.arg("英文:") + r.arg("32宽") + bar + g.arg("64宽") + bar + g.arg("128宽");
        QTest::newRow("64 Chinese, 32 English, traditional")
            << 0x06 << 4 << 0x1F << w.arg("CN:") + r.arg("32寬") + bar + g.arg("64寬") + bar + g.arg("128寬")
            << w.arg("EN:") + g.arg("32寬") + bar + r.arg("64寬") + bar + r.arg("128寬");
        // Without the scaler manager nothing is known to be there.
        QTest::newRow("no scaler manager")
            << -1 << 0 << 0x1F << w.arg("中文:") + r.arg("32宽") + bar + r.arg("64宽") + bar + r.arg("128宽")
            << w.arg("英文:") + r.arg("32宽") + bar + r.arg("64宽") + bar + r.arg("128宽");
        QTest::newRow("all, simplified not enabled")
            << 0x0F << 0 << 0x1E << w.arg("CN:") + g.arg("32") + bar + g.arg("64") + bar + g.arg("128")
            << w.arg("EN:") + g.arg("32") + bar + g.arg("64") + bar + g.arg("128");
    }
    void font_lines()
    {
        QFETCH(int, fonts);
        QFETCH(int, lang);
        QFETCH(int, valid);
        QFETCH(QString, cn);
        QFETCH(QString, en);
        if (fonts < 0)
            v331_manage::destroy_instance();
        else
            v331_manage::p_v331_manage->font_valid = uint8_t(fonts);
        g_lcd_lang_valid = uint8_t(valid);
        g_language = uint8_t(lang);
        open_factory();
        QCOMPARE(text_of("FontCN"), cn);
        QCOMPARE(text_of("FontEN"), en);
        if (fonts == 0x09)
            kor_save_screen(g_factory, "factory-fonts");
    }

    void mode_key_data()
    {
        QTest::addColumn<int>("lock");
        QTest::addColumn<bool>("editing");
        QTest::newRow("unlocked") << 0 << false;
        QTest::newRow("unlocked, editing") << 0 << true;
        QTest::newRow("locked, editing") << 0x100 << true;
    }
    void mode_key()
    {
        QFETCH(int, lock);
        QFETCH(bool, editing);
        table()->set_u16(0x304, uint16_t(lock));
        open_factory();
        if (editing)
            press("K");
        press("M");
        if (lock) {
            QVERIFY(g_factory);
            QCOMPARE(int(g_page_focus), 18);
            QVERIFY(!g_custommode);
            QCOMPARE(int(g_mode_shortcut_key), 0);
            QCOMPARE(combo()->styleSheet(), editing ? kComboEdit : kComboFocus);
            return;
        }
        QVERIFY(!g_factory);
        QVERIFY(!g_advancedoption);
        QVERIFY(!g_option);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
        QCOMPARE(int(table()->ram[0x300]), 0);
    }
};

QTEST_MAIN(TestFactory)
#include "test_factory.moc"
