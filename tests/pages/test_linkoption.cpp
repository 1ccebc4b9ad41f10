#include "core/config_engine.h"
#include "core/utils.h"
#include "kor_test_helpers.h"
#include "platform/shell_runner.h"
#include "ui/pages/linkcom.h"
#include "ui/pages/linkoption.h"
#include "ui/pages/linkwlan.h"
#include "ui/rcv/firmware_usbgrade.h"
#include "ui/shell/my_lineedit.h"
#include "ui/shell/tip.h"

#include <QSettings>

namespace {
QString title() { return kor_text(g_linkoption, "label_title"); }

const char *const kRows[3] = {"lineEditIp", "lineEditMask", "lineEditGate"};

// Field `i` of the twelve: row i / 4, octet i % 4.
My_lineEdit *field(int i) { return g_linkwlan->findChild<My_lineEdit *>(kRows[i / 4] + QString::number(i % 4 + 1)); }
QStringList row(int r)
{
    QStringList out;
    for (int i = 0; i < 4; ++i)
        out << field(r * 4 + i)->text();
    return out;
}
}

// The connection menu: its keys, its three entries and what the refresh step shows on it; the
// serial-link information page behind its first entry, and the control-port network page
// behind its second: octet fields, the number keyboard, Apply.
class TestLinkOption : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        set_address("192.168.0.100", "255.255.255.0", "192.168.0.1");
        kor_open(kor_settings + "RO", 10);
    }
    // The current address as the settings hold it, loaded as start-up does.
    static void set_address(const QString &ip, const QString &mask, const QString &gateway)
    {
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, ip);
        ConfigEngine::p_config->write_config_variant(ConfigItem::SubNetMask, mask);
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, gateway);
        Utils::getIPAddress();
    }
    static void open_linkwlan()
    {
        kor_keys("RO");
        QCOMPARE(int(g_page_focus), 22);
    }
    // Types `text` into field `i`, opening the keyboard by a touch.
    void type(int i, const QString &text)
    {
        keyboard->answers << text;
        QTest::mouseClick(field(i), Qt::LeftButton);
    }

private slots:
    void opens()
    {
        QCOMPARE(title(), QString::fromUtf8("通讯设置"));
        kor_save_screen(g_linkoption, "linkoption");
        // A touch opens an entry too.
        QTest::mouseClick(kor_child<QPushButton>(g_linkoption, "Button_usb"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), 26);
        QVERIFY(g_firmware_usbgrade);
    }

    // The real run: each entry's exec() returns to the menu, re-texted for a language change
    // made while the entry was in front; right wraps from the last entry to the first, and
    // left (here the key board's letter) from the first to the last.
    void entries_open_and_return()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_set_modal_pages(true);
        QStringList seen;
        auto entered = [&] {
            seen << QString::number(g_page_focus);
            g_language = 1;
        };
        auto returned = [&] { seen << QString::number(g_page_focus) + " " + title(); };
        KorKeyScript script;
        script.keys(kor_settings + "RO");
        for (int i = 0; i < 3; ++i)
            script.keys("O").step(entered).keys("B").step(returned).keys("R");
        script.step([] { kor_press_code(kor_key_code(KorKey::Left, true)); });
        script.keys("O").step(entered).keys("BB").step([&] { seen << QString::number(g_page_focus); }).keys("B");
        QVERIFY(script.run());
        QCOMPARE(seen, QStringList({"21", "10 Communication", "22", "10 Communication", "26", "10 Communication",
                                    "26", "5"}));
        QVERIFY(!g_linkoption);
    }

    // Refresh and a new stick show the done tick and re-text the menu; other codes do neither.
    void refresh_shows_the_done_tick()
    {
        kor_table()->ram[0x300] = 2;
        for (int code : {105, 106, 100, 1}) {
            g_tip->hide();
            kor_refresh(code);
            const bool done = code < 105;
            QCOMPARE(g_tip->isVisible() && g_tip->kind() == 1, done);
            QCOMPARE(title(), done ? QString::fromUtf8("Подключение") : QString::fromUtf8("通讯设置"));
        }
    }

    void mode_key() { kor_check_mode_key(10); }

    void serial_link_fixed_values()
    {
        kor_keys("O");
        QCOMPARE(kor_text(g_linkcom, "label_com"), QString::fromUtf8("串口连接"));
        QCOMPARE(QStringList({kor_text(g_linkcom, "Button_baud"), kor_text(g_linkcom, "pushButton"),
                              kor_text(g_linkcom, "pushButton_2")}),
                 QStringList({"115200", "8", "1"}));
        kor_save_screen(g_linkcom, "linkcom");
        // Nothing to select or change, and the refresh step leaves the page alone.
        const QImage before = g_linkcom->grab().toImage();
        kor_keys("LRO");
        kor_host_language(1);
        QCOMPARE(int(g_page_focus), 21);
        QCOMPARE(g_linkcom->grab().toImage(), before);
    }

    void fields_and_keyboard()
    {
        set_address("10.20.30.40", "255.255.0.0", "10.20.0.1");
        open_linkwlan();
        QCOMPARE(row(0), QStringList({"10", "20", "30", "40"}));
        QCOMPARE(row(1), QStringList({"255", "255", "0", "0"}));
        QCOMPARE(row(2), QStringList({"10", "20", "0", "1"}));
        kor_save_screen(g_linkwlan, "linkwlan");
        // OK on the first field, five to the right (a mask octet), then left past the first
        // item round to the last field; each keyboard is left without an answer.
        keyboard->answers << QString() << QString() << QString();
        kor_keys("ORRRRROLLLLLLLLO");
        QStringList opened;
        for (const ScriptedNumberKeyboard::Call &c : keyboard->calls)
            opened << c.title + " " + c.start_text;
        QCOMPARE(opened, QStringList({"IP 10", "Mask 255", "IP 1"}));
        kor_host_language(1);
        QCOMPARE(kor_text(g_linkwlan, "label_wlan"), QString("Net connect"));
        kor_save_screen(g_linkwlan, "linkwlan-en");
    }

    // The octets end up in shell command lines: anything but 0 to 255 in one to three digits
    // leaves the field as it was.
    void octet_entries_data()
    {
        // typed: null: keyboard left with back
        kor_columns<QString, QString>({"typed", "shown"});
        QTest::newRow("zero") << "0" << "0";
        QTest::newRow("255") << "255" << "255";
        QTest::newRow("leading zeros dropped") << "007" << "7";
        QTest::newRow("above 255") << "256" << "1";
        QTest::newRow("four digits") << "0012" << "1";
        QTest::newRow("empty") << "" << "1";
        QTest::newRow("not a digit") << "1;reboot" << "1";
        QTest::newRow("blank") << " 12" << "1";
        QTest::newRow("other digits") << QString::fromUtf8("١٢") << "1";
        QTest::newRow("keyboard back") << QString() << "1";
    }
    void octet_entries()
    {
        open_linkwlan();
        keyboard->answers << kor_data<QString>("typed");
        kor_keys("LLLO");  // the last gateway octet
        QCOMPARE(keyboard->calls.size(), 1);
        QCOMPARE(row(2), QStringList({"192", "168", "0", kor_data<QString>("shown")}));
    }

    void apply_data()
    {
        // gateway: as the settings hold it at the start; typed: into gateway octets 1 to 4; null: untouched
        // new_gateway: empty: nothing written
        kor_columns<QString, QStringList, QString>({"gateway", "typed", "new_gateway"});
        const QString keep;
        QTest::newRow("nothing changed") << "192.168.0.1" << QStringList({keep, keep, keep, keep}) << "";
        QTest::newRow("same value typed") << "192.168.0.1" << QStringList({keep, keep, keep, "1"}) << "";
        QTest::newRow("gateway changed") << "192.168.0.1" << QStringList({keep, keep, keep, "254"}) << "192.168.0.254";
        QTest::newRow("refused entry") << "192.168.0.1" << QStringList({keep, keep, keep, "300"}) << "";
        QTest::newRow("a missing octet blocks Apply") << "192.168.0" << QStringList({"10", keep, keep, keep}) << "";
        QTest::newRow("filled in, it applies") << "192.168.0" << QStringList({keep, keep, keep, "9"}) << "192.168.0.9";
        QTest::newRow("a bad stored octet blocks Apply")
            << "192.168.0.1;reboot" << QStringList({"10", keep, keep, keep}) << "";
        QTest::newRow("stored leading zeros go out plain")
            << "192.168.000.001" << QStringList({keep, keep, keep, keep}) << "192.168.0.1";
    }
    void apply()
    {
        QFETCH(QString, gateway);
        QFETCH(QStringList, typed);
        QFETCH(QString, new_gateway);
        set_address("192.168.0.100", "255.255.255.0", gateway);
        const QByteArray ini_before = env->read_file("/data/configs/tcpip.ini");
        open_linkwlan();
        for (int i = 0; i < 4; ++i)
            if (!typed[i].isNull())
                type(8 + i, typed[i]);
        env->shell()->clear();
        kor_keys("LLO");  // Apply
        KorTestEnv::process_events();
        QCOMPARE(int(g_page_focus), 22);
        if (new_gateway.isEmpty()) {
            QVERIFY(env->commands().empty());
            QCOMPARE(env->read_file("/data/configs/tcpip.ini"), ini_before);
            QCOMPARE(QString::fromStdString(g_str_gateway), gateway);
            return;
        }
        QSettings settings(env->path("/data/configs/tcpip.ini"), QSettings::IniFormat);
        QCOMPARE(settings.value("config/IPAddress").toString(), QString("192.168.0.100"));
        QCOMPARE(settings.value("config/SubNetMask").toString(), QString("255.255.255.0"));
        QCOMPARE(settings.value("config/GateWay").toString(), new_gateway);
        const std::vector<std::string> expected = {"sync", "ifconfig eth0 >/dev/null 2>&1", "route del default wlan0",
            "ifconfig eth0 192.168.0.100 netmask 255.255.255.0", "route add -host 192.168.0.100 dev eth0",
            "route add default gw " + new_gateway.toStdString() + " metric 100", "route add -host 255.255.255.255 eth0",
            "route del 255.255.255.255 wlan1"};
        QCOMPARE(env->commands(), expected);
        QCOMPARE(QString::fromStdString(g_str_gateway), new_gateway);
        // Opened again, the page shows the applied address.
        kor_keys("BO");
        QCOMPARE(row(2).join('.'), new_gateway);
    }

    // Back (also the key board's letter) and Cancel return to the menu, re-texted; mode leaves
    // both. The network page drops what was typed.
    void leaving_data()
    {
        kor_columns<int, QString>({"page", "keys"});
        QTest::newRow("serial link: back") << 21 << "B";
        QTest::newRow("serial link: key-board O") << 21 << "b";
        QTest::newRow("serial link: mode") << 21 << "M";
        QTest::newRow("network: cancel") << 22 << "LO";
        QTest::newRow("network: back") << 22 << "B";
        QTest::newRow("network: mode") << 22 << "M";
    }
    void leaving()
    {
        QFETCH(int, page);
        QFETCH(QString, keys);
        LinkOption *menu = g_linkoption;
        if (page == 22) {
            open_linkwlan();
            type(3, "5");
        } else {
            kor_keys("O");
        }
        g_language = 1;
        env->shell()->clear();
        kor_keys(keys);
        kor_check_left(page, keys == "M" ? 4 : 10);
        QCOMPARE(g_linkoption, keys == "M" ? nullptr : menu);
        if (menu == g_linkoption)  // re-texted on the way back
            QCOMPARE(title(), QString("Communication"));
        QVERIFY(env->commands().empty());
    }
};

QTEST_MAIN(TestLinkOption)
#include "test_linkoption.moc"
