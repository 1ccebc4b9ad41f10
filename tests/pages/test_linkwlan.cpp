#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/utils.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/shell_runner.h"
#include "ui/pages/linkoption.h"
#include "ui/pages/linkwlan.h"
#include "ui/shell/custommode.h"
#include "ui/shell/my_lineedit.h"
#include "ui/shell/option.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <memory>

namespace {
const char *const kFields[12] = {"lineEditIp1",   "lineEditIp2",   "lineEditIp3",   "lineEditIp4",
                                 "lineEditMask1", "lineEditMask2", "lineEditMask3", "lineEditMask4",
                                 "lineEditGate1", "lineEditGate2", "lineEditGate3", "lineEditGate4"};
const char kFieldFocus[] =
    "color: rgb(255, 255, 255); background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);";
const char kButtonFocus[] = "color: rgb(255, 255, 255);border:1px solid rgb(255,171,84);";

My_lineEdit *field(int i)
{
    return g_linkwlan->findChild<My_lineEdit *>(kFields[i]);
}
QStringList row(int r)
{
    QStringList out;
    for (int i = 0; i < 4; ++i)
        out << field(r * 4 + i)->text();
    return out;
}
void press_times(KorKey key, int n)
{
    for (int i = 0; i < n; ++i)
        kor_press(key);
}
// Moves the selection from item 0 to `item` the short way.
void select_item(int item)
{
    if (item <= 7)
        press_times(KorKey::Right, item);
    else
        press_times(KorKey::Left, 14 - item);
}
}

// The control-port network page: octet fields, the number keyboard, Apply.
class TestLinkWlan : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    ScriptedNumberKeyboard *keyboard = nullptr;

    // The current address as the settings hold it, loaded as start-up does.
    void set_address(const char *ip, const char *mask, const char *gateway)
    {
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, ip);
        ConfigEngine::p_config->write_config_variant(ConfigItem::SubNetMask, mask);
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, gateway);
        Utils::getIPAddress();
    }
    // Home -> main menu -> settings -> connection -> network.
    void open_linkwlan()
    {
        kor_set_modal_pages(false);
        for (KorKey k : {KorKey::Ok, KorKey::Right, KorKey::Right, KorKey::Ok, KorKey::Right, KorKey::Ok,
                         KorKey::Right, KorKey::Ok})
            kor_press(k);
    }
    QByteArray ini() const { return env->read_file("/data/configs/tcpip.ini"); }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
        set_address("192.168.0.100", "255.255.255.0", "192.168.0.1");
    }
    void cleanup() { env.reset(); }

    void octets_from_the_current_address_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QStringList>("ip_fields");
        QTest::newRow("four parts") << "10.20.30.40" << QStringList({"10", "20", "30", "40"});
        QTest::newRow("three parts") << "10.20.30" << QStringList({"10", "20", "30", ""});
        QTest::newRow("empty") << "" << QStringList({"", "", "", ""});
    }
    void octets_from_the_current_address()
    {
        QFETCH(QString, ip);
        QFETCH(QStringList, ip_fields);
        set_address(qPrintable(ip), "255.255.0.0", "10.20.0.1");
        open_linkwlan();
        QCOMPARE(int(g_page_focus), 22);
        QVERIFY(g_linkwlan);
        QCOMPARE(row(0), ip_fields);
        QCOMPARE(row(1), QStringList({"255", "255", "0", "0"}));
        QCOMPARE(row(2), QStringList({"10", "20", "0", "1"}));
        QCOMPARE(field(0)->styleSheet(), QString(kFieldFocus));
        if (ip_fields.first() == "10" && ip_fields.last() == "40")
            kor_save_screen(g_linkwlan, "linkwlan");
    }

    void keyboard_titles_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("start");
        QTest::newRow("address, first octet") << 0 << "IP" << "192";
        QTest::newRow("mask") << 5 << "Mask" << "255";
        QTest::newRow("gateway, last octet") << 11 << "IP" << "1";
    }
    void keyboard_titles()
    {
        QFETCH(int, item);
        QFETCH(QString, title);
        QFETCH(QString, start);
        open_linkwlan();
        select_item(item);
        QCOMPARE(field(item)->styleSheet(), QString(kFieldFocus));
        keyboard->answers << QString();  // left without an answer
        kor_press(KorKey::Ok);
        QCOMPARE(keyboard->calls.size(), 1);
        QCOMPARE(keyboard->calls[0].title, title);
        QCOMPARE(keyboard->calls[0].start_text, start);
        QCOMPARE(field(item)->text(), start);
        // A touch on the field opens the keyboard the same way.
        keyboard->answers << QString();
        QTest::mouseClick(field(item), Qt::LeftButton);
        QCOMPARE(keyboard->calls.size(), 2);
        QCOMPARE(keyboard->calls[1].title, title);
    }

    void octet_entries_data()
    {
        QTest::addColumn<QString>("typed");  // null: keyboard left with back
        QTest::addColumn<QString>("shown");
        QTest::newRow("one digit") << "7" << "7";
        QTest::newRow("three digits") << "254" << "254";
        QTest::newRow("zero") << "0" << "0";
        QTest::newRow("255") << "255" << "255";
        QTest::newRow("leading zeros dropped") << "007" << "7";
        QTest::newRow("above 255") << "256" << "1";
        QTest::newRow("999") << "999" << "1";
        QTest::newRow("four digits") << "0012" << "1";
        QTest::newRow("empty") << "" << "1";
        QTest::newRow("not a digit") << "1;reboot" << "1";
        QTest::newRow("blank") << " 12" << "1";
        QTest::newRow("sign") << "-1" << "1";
        QTest::newRow("other digits") << QString::fromUtf8("١٢") << "1";
        QTest::newRow("keyboard back") << QString() << "1";
    }
    void octet_entries()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        open_linkwlan();
        select_item(11);
        keyboard->answers << typed;
        kor_press(KorKey::Ok);
        QCOMPARE(keyboard->calls.size(), 1);
        QCOMPARE(field(11)->text(), shown);
        // Only that field took the answer.
        QCOMPARE(row(2).mid(0, 3), QStringList({"192", "168", "0"}));
        QCOMPARE(row(0), QStringList({"192", "168", "0", "100"}));
    }

    void apply_data()
    {
        QTest::addColumn<QString>("gateway");      // as the settings hold it at the start
        QTest::addColumn<QStringList>("typed");    // into gateway octets 1 to 4; null: untouched
        QTest::addColumn<bool>("writes");
        QTest::addColumn<QString>("new_gateway");
        const QString keep;
        QTest::newRow("nothing changed") << "192.168.0.1" << QStringList({keep, keep, keep, keep}) << false << "";
        QTest::newRow("same value typed") << "192.168.0.1" << QStringList({keep, keep, keep, "1"}) << false << "";
        QTest::newRow("gateway changed") << "192.168.0.1" << QStringList({keep, keep, keep, "254"}) << true
                                         << "192.168.0.254";
        QTest::newRow("refused entry changes nothing")
            << "192.168.0.1" << QStringList({keep, keep, keep, "300"}) << false << "";
        QTest::newRow("a missing octet blocks Apply")
            << "192.168.0" << QStringList({"10", keep, keep, keep}) << false << "";
        QTest::newRow("filled in, it applies")
            << "192.168.0" << QStringList({keep, keep, keep, "9"}) << true << "192.168.0.9";
        QTest::newRow("a bad stored octet blocks Apply")
            << "192.168.0.1;reboot" << QStringList({"10", keep, keep, keep}) << false << "";
        QTest::newRow("stored leading zeros go out plain")
            << "192.168.000.001" << QStringList({keep, keep, keep, keep}) << true << "192.168.0.1";
    }
    void apply()
    {
        QFETCH(QString, gateway);
        QFETCH(QStringList, typed);
        QFETCH(bool, writes);
        QFETCH(QString, new_gateway);
        set_address("192.168.0.100", "255.255.255.0", qPrintable(gateway));
        const QByteArray ini_before = ini();
        open_linkwlan();
        for (int i = 0; i < 4; ++i) {
            if (typed[i].isNull())
                continue;
            keyboard->answers << typed[i];
            QTest::mouseClick(field(8 + i), Qt::LeftButton);
        }
        env->shell()->clear();
        select_item(12);
        QCOMPARE(g_linkwlan->findChild<QPushButton *>("Button_apply")->styleSheet(), QString(kButtonFocus));
        kor_press(KorKey::Ok);
        KorTestEnv::process_events();
        // The page stays open with its selection.
        QVERIFY(g_linkwlan);
        QCOMPARE(int(g_page_focus), 22);
        QCOMPARE(g_linkwlan->findChild<QPushButton *>("Button_apply")->styleSheet(), QString(kButtonFocus));
        if (!writes) {
            QVERIFY(env->commands().empty());
            QCOMPARE(ini(), ini_before);
            QCOMPARE(QString::fromStdString(g_str_gateway), gateway);
            return;
        }
        QSettings settings(env->path("/data/configs/tcpip.ini"), QSettings::IniFormat);
        QCOMPARE(settings.value("config/IPAddress").toString(), QString("192.168.0.100"));
        QCOMPARE(settings.value("config/SubNetMask").toString(), QString("255.255.255.0"));
        QCOMPARE(settings.value("config/GateWay").toString(), new_gateway);
        const std::vector<std::string> expected = {
            "sync",
            "ifconfig eth0 >/dev/null 2>&1",
            "route del default wlan0",
            "ifconfig eth0 192.168.0.100 netmask 255.255.255.0",
            "route add -host 192.168.0.100 dev eth0",
            "route add default gw " + new_gateway.toStdString() + " metric 100",
            "route add -host 255.255.255.255 eth0",
            "route del 255.255.255.255 wlan1",
        };
        QCOMPARE(env->commands(), expected);
        QCOMPARE(QString::fromStdString(g_str_gateway), new_gateway);
        // Opened again, the page shows the applied address.
        kor_press(KorKey::Back);
        kor_press(KorKey::Ok);
        QCOMPARE(row(2).join('.'), new_gateway);
    }

    void apply_without_the_interface()
    {
        env->shell()->set_status_for("ifconfig eth0 >", 256);
        open_linkwlan();
        keyboard->answers << "2";
        QTest::mouseClick(field(11), Qt::LeftButton);
        env->shell()->clear();
        select_item(12);
        kor_press(KorKey::Ok);
        // Stored, but eth0 is left alone and the globals keep the old address.
        QCOMPARE(ConfigEngine::p_config->read_config(ConfigItem::GateWay).toString(), QString("192.168.0.2"));
        QCOMPARE(env->commands(), std::vector<std::string>({"sync", "ifconfig eth0 >/dev/null 2>&1"}));
        QCOMPARE(QString::fromStdString(g_str_gateway), QString("192.168.0.1"));
    }

    void selection_wraps_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("selected");
        QTest::newRow("left from the first field") << "L" << "Button_cancle";
        QTest::newRow("right from cancel") << "LR" << "lineEditIp1";
        QTest::newRow("right to the second row") << "RRRR" << "lineEditMask1";
        QTest::newRow("left twice") << "LL" << "Button_apply";
    }
    void selection_wraps()
    {
        QFETCH(QString, keys);
        QFETCH(QString, selected);
        open_linkwlan();
        for (QChar k : keys)
            kor_press(k == 'L' ? KorKey::Left : KorKey::Right);
        QWidget *w = g_linkwlan->findChild<QWidget *>(selected);
        QVERIFY(w);
        const bool is_field = selected.startsWith("lineEdit");
        QCOMPARE(w->styleSheet(), QString(is_field ? kFieldFocus : kButtonFocus));
        // Only one item is highlighted; a field left behind is drawn as part of its row.
        int highlighted = 0;
        for (int i = 0; i < 12; ++i)
            highlighted += field(i)->styleSheet() == QLatin1String(kFieldFocus);
        for (const char *b : {"Button_apply", "Button_cancle"})
            highlighted += g_linkwlan->findChild<QPushButton *>(b)->styleSheet() == QLatin1String(kButtonFocus);
        QCOMPARE(highlighted, 1);
        if (keys == "L") {
            QCOMPARE(field(0)->styleSheet(),
                     QString("color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);border-top:1px solid "
                             "rgb(255, 255, 255);border-bottom:1px solid rgb(255, 255, 255);border-left:1px solid "
                             "rgb(255, 255, 255);"));
            kor_save_screen(g_linkwlan, "linkwlan-cancel");
        }
    }

    void leaving_data()
    {
        QTest::addColumn<bool>("cancel");  // OK on Cancel, else back
        QTest::newRow("cancel") << true;
        QTest::newRow("back") << false;
    }
    void leaving()
    {
        QFETCH(bool, cancel);
        open_linkwlan();
        keyboard->answers << "5";
        QTest::mouseClick(field(3), Qt::LeftButton);
        LinkOption *menu = g_linkoption;
        g_language = 1;
        env->shell()->clear();
        if (cancel) {
            select_item(13);
            kor_press(KorKey::Ok);
        } else {
            kor_press(KorKey::Back);
        }
        QVERIFY(!g_linkwlan);
        QCOMPARE(g_linkoption, menu);
        QCOMPARE(int(g_page_focus), 10);
        QCOMPARE(menu->findChild<QLabel *>("label_title")->text(), QString("Communication"));
        // What was typed is dropped with the page.
        QVERIFY(env->commands().empty());
        QCOMPARE(QString::fromStdString(g_str_ip), QString("192.168.0.100"));
    }

    void texts_follow_the_language()
    {
        open_linkwlan();
        QCOMPARE(g_linkwlan->findChild<QLabel *>("label_wlan")->text(), QString::fromUtf8("网口设置"));
        KorRamPara::p_korrampara_config->ram[0x300] = 1;
        KorRamPara::p_korrampara_config->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(g_linkwlan->findChild<QLabel *>("label_wlan")->text(), QString("Net connect"));
        QCOMPARE(g_linkwlan->findChild<QLabel *>("label_netmask")->text(), QString("Mask"));
        QCOMPARE(g_linkwlan->findChild<QPushButton *>("Button_cancle")->text(), QString("Cancle"));
        kor_save_screen(g_linkwlan, "linkwlan-en");
    }

    void mode_key_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("free") << false;
        QTest::newRow("key lock") << true;
    }
    void mode_key()
    {
        QFETCH(bool, locked);
        KorRamPara::p_korrampara_config->set_u16(0x304, locked ? 1 : 0);
        open_linkwlan();
        kor_press(KorKey::Mode);
        QCOMPARE(g_linkwlan != nullptr, locked);
        QCOMPARE(g_linkoption != nullptr, locked);
        QCOMPARE(g_option != nullptr, locked);
        QCOMPARE(int(g_page_focus), locked ? 22 : 4);
    }
};

QTEST_MAIN(TestLinkWlan)
#include "test_linkwlan.moc"
