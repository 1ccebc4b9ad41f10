#include "core/config_engine.h"
#include "core/utils.h"
#include "kor_test_helpers.h"
#include "platform/shell_runner.h"
#include "ui/pages/linkcom.h"
#include "ui/pages/linkoption.h"
#include "ui/pages/linkwlan.h"
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

// The connection menu: its keys, entries and refresh; the serial-link page behind its first entry,
// and the control-port network page behind its second: octet fields, the number keyboard, Apply.
class TestLinkOption : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        set_address("192.168.0.100", "255.255.255.0", "192.168.0.1");
        kor_open(kor_settings + " right ok", 10);
    }
    // The current address as the settings hold it, loaded as start-up does.
    static void set_address(const QString &ip, const QString &mask, const QString &gateway)
    {
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, ip);
        ConfigEngine::p_config->write_config_variant(ConfigItem::SubNetMask, mask);
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, gateway);
        Utils::getIPAddress();
    }
    // Types `text` into field `i`, opening the keyboard by a touch.
    void type(int i, const QString &text)
    {
        keyboard->answers << text;
        QTest::mouseClick(field(i), Qt::LeftButton);
    }

private slots:
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
        script.keys(kor_settings + " right ok");
        for (int i = 0; i < 3; ++i)
            script.keys("ok").step(entered).keys("back").step(returned).keys("right");
        script.keys("left-letter ok").step(entered).keys("back back");
        script.step([&] { seen << QString::number(g_page_focus); }).keys("back");
        QVERIFY(script.run());
        QCOMPARE(seen, QStringList({"21", "10 Communication", "22", "10 Communication", "26", "10 Communication",
                                    "26", "5"}));
        QVERIFY(!g_linkoption);
    }

    // Refresh and a new stick show the done tick and re-text the menu; other codes do neither.
    void refresh_shows_the_done_tick()
    {
        QCOMPARE(title(), QString::fromUtf8("通讯设置"));
        kor_save_screen(g_linkoption, "linkoption");
        kor_table()->ram[KorTable::kLanguage] = 2;
        for (int code : {105, 106, 100, 1}) {
            g_tip->hide();
            kor_refresh(code);
            const bool done = code < 105;
            QCOMPARE(g_tip->isVisible() && g_tip->kind() == 1, done);
            QCOMPARE(title(), done ? QString::fromUtf8("Подключение") : QString::fromUtf8("通讯设置"));
        }
        kor_check_mode_key(10);
    }


    void serial_link_fixed_values()
    {
        kor_keys("ok");
        QCOMPARE(kor_text(g_linkcom, "label_com"), QString::fromUtf8("串口连接"));
        QCOMPARE(kor_text(g_linkcom, "Button_baud") + ' ' + kor_text(g_linkcom, "pushButton") + ' ' +
                     kor_text(g_linkcom, "pushButton_2"), QString("115200 8 1"));
        kor_save_screen(g_linkcom, "linkcom");
        kor_check_mode_key(21);
    }

    // The page takes no refresh, yet a language the host sets meanwhile is taken, and the
    // menu shows it on return.
    void serial_link_host_language()
    {
        kor_keys("ok");
        kor_host_language(2);
        QCOMPARE(int(g_language), 2);
        kor_press(KorKey::Back);
        QCOMPARE(title(), QString::fromUtf8("Подключение"));
    }

    void fields_and_keyboard()
    {
        set_address("10.20.30.40", "255.255.0.0", "10.20.0.1");
        kor_open("right ok", 22);  // the network page
        const QStringList address{"10", "20", "30", "40", "255", "255", "0", "0", "10", "20", "0", "1"};
        QCOMPARE(row(0) + row(1) + row(2), address);
        kor_save_screen(g_linkwlan, "linkwlan");
        // OK on the first field, five to the right (a mask octet), then left past the first
        // item round to the last field; each keyboard is left without an answer.
        keyboard->answers << QString() << QString() << QString();
        kor_keys("ok right*5 ok left*8 ok");
        QStringList opened;
        for (const ScriptedNumberKeyboard::Call &c : keyboard->calls)
            opened << c.title + " " + c.start_text;
        QCOMPARE(opened, QStringList({"IP 10", "Mask 255", "IP 1"}));
        kor_host_language(1);
        QCOMPARE(kor_text(g_linkwlan, "label_wlan"), QString("Net connect"));
        kor_save_screen(g_linkwlan, "linkwlan-en");
        // Cancel returns to the menu, re-texted, and the mode key leaves both: what was typed is dropped.
        type(3, "5");
        kor_keys("right right ok");  // from the last field past Apply to Cancel
        kor_check_left(22, 10);
        QCOMPARE(title(), QString("Communication"));
        kor_keys("ok");
        QCOMPARE(row(0) + row(1) + row(2), address);
        type(3, "5");
        env->shell()->clear();
        kor_check_mode_key(22);
        QVERIFY(env->commands().empty() && g_str_ip == "10.20.30.40");
    }

    // The octets end up in shell command lines: anything but 0 to 255 in one to three digits
    // leaves the field as it was.
    void octet_entries_data()
    {
        kor_columns<QString, QString>({"typed", "shown"});
        QTest::newRow("255") << "255" << "255";
        QTest::newRow("leading zeros dropped") << "007" << "7";
        QTest::newRow("above 255") << "256" << "1";
        QTest::newRow("four digits") << "0012" << "1";
        QTest::newRow("not a digit") << "1;reboot" << "1";
        QTest::newRow("other digits") << QString::fromUtf8("١٢") << "1";
    }
    void octet_entries()
    {
        kor_open("right ok", 22);  // the network page
        keyboard->answers << kor_data<QString>("typed");
        kor_keys("left*3 ok");  // the last gateway octet
        QCOMPARE(keyboard->calls.size(), 1);
        QCOMPARE(row(2), QStringList({"192", "168", "0", kor_data<QString>("shown")}));
    }

    void apply_data()
    {
        // gateway: as stored at the start; typed: into its octets, null: untouched; new_gateway: empty: nothing written
        kor_columns<QString, QStringList, QString>({"gateway", "typed", "new_gateway"});
        const QString keep;
        QTest::newRow("nothing changed") << "192.168.0.1" << QStringList({keep, keep, keep, keep}) << "";
        QTest::newRow("gateway changed") << "192.168.0.1" << QStringList({keep, keep, keep, "254"}) << "192.168.0.254";
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
        kor_open("right ok", 22);  // the network page
        for (int i = 0; i < 4; ++i)
            if (!typed[i].isNull())
                type(8 + i, typed[i]);
        env->shell()->clear();
        kor_table()->ram[KorTable::kLanguage] = 1;  // a language the next refresh brings
        kor_keys("left left ok");  // Apply
        KorTestEnv::process_events();
        // An Apply that stores refreshes the page in front.
        QCOMPARE(kor_text(g_linkwlan, "label_wlan"),
                 new_gateway.isEmpty() ? QString::fromUtf8("网口设置") : QString("Net connect"));
        if (new_gateway.isEmpty()) {
            QVERIFY(env->commands().empty());
            QCOMPARE(env->read_file("/data/configs/tcpip.ini"), ini_before);
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
    }

    // Apply on a settings file with a comment first: the address is saved, on its own line.
    void apply_on_a_file_written_by_hand()
    {
        const char ini[] = "/data/configs/tcpip.ini";
        env->write_file(ini, "# network settings, set at the factory\n[config]\nIPAddress=10.1.2.3\n");
        ConfigEngine::destroy_instance();
        ConfigEngine::pInstance();
        Utils::getIPAddress();
        kor_open("right ok", 22);
        type(3, "4");
        env->shell()->clear();
        kor_keys("left left ok");  // Apply
        QCOMPARE(env->read_file(ini), QByteArray("# network settings, set at the factory\n[config]\nIPAddress=10.1.2.4\n"
                                                 "SubNetMask=255.255.255.0\nGateWay=192.168.0.1\n"));
        QVERIFY(ConfigEngine::p_config->saved());
        QCOMPARE(env->commands().at(3), std::string("ifconfig eth0 10.1.2.4 netmask 255.255.255.0"));
    }

    // Apply keeps the keys and groups of the rest of the system in the shared file; an address
    // whose save failed is written by the next Apply, although the fields show the address
    // in use by then.
    void apply_after_a_failed_save()
    {
        const QString ini = env->path("/data/configs/tcpip.ini");
        env->write_file("/data/configs/tcpip.ini", env->read_file("/data/configs/tcpip.ini") +
                                                       "MAC=00:11:22:33:44:55\nbarcode=KOR-0042\n[other]\nkey=value\n");
        QVERIFY(QFile::rename(ini, ini + ".aside") && QDir().mkpath(ini));  // cannot be replaced
        kor_open("right ok", 22);
        type(11, "254");
        kor_keys("left left ok");  // Apply
        QVERIFY(!ConfigEngine::p_config->saved());
        QCOMPARE(QString::fromStdString(g_str_gateway), QString("192.168.0.254"));
        QVERIFY(QDir().rmdir(ini) && QFile::rename(ini + ".aside", ini));
        env->shell()->clear();
        kor_keys("ok");  // Apply again, the fields unchanged
        QSettings settings(ini, QSettings::IniFormat);
        QCOMPARE(settings.value("config/GateWay").toString(), QString("192.168.0.254"));
        QCOMPARE(settings.value("config/MAC").toString() + " " + settings.value("config/barcode").toString() + " " +
                     settings.value("other/key").toString(),
                 QString("00:11:22:33:44:55 KOR-0042 value"));
        QVERIFY(ConfigEngine::p_config->saved());
        QCOMPARE(env->commands().back(), std::string("route del 255.255.255.255 wlan1"));
    }
};

QTEST_MAIN(TestLinkOption)
#include "test_linkoption.moc"
