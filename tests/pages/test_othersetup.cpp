#include "core/global.h"
#include "core/korrampara.h"
#include "hostlink/z73_wifi_config.h"
#include "kor_form_check.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/shell_runner.h"
#include "scaler/v331_manage.h"
#include "ui/pages/othersetup.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"

#include <QComboBox>
#include <QLabel>
#include <QtTest>
#include <cstring>
#include <memory>
#include <vector>

namespace {
const char kKillHostapd[] = "kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`";
const char kKillUdhcpd[] = "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`";

KorRamPara *table() { return KorRamPara::p_korrampara_config; }
int record(int w) { return 0x8E0 + 26 * w; }

void press(KorKey key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}
QComboBox *box(const char *name)
{
    return g_othersetup->findChild<QComboBox *>(name);
}
QStringList entries(QComboBox *b)
{
    QStringList out;
    for (int i = 0; i < b->count(); ++i)
        out << b->itemText(i);
    return out;
}
QString label(const char *name)
{
    return g_othersetup->findChild<QLabel *>(name)->text();
}
void enable_windows(unsigned mask)
{
    for (int w = 0; w < 6; ++w)
        table()->set_u16(record(w), (mask >> w) & 1);
}
std::vector<unsigned char> snapshot()
{
    return std::vector<unsigned char>(table()->ram, table()->ram + KOR_TABLE_SIZE);
}
// Table offsets where the live table differs from `before`.
QList<int> changed_offsets(const std::vector<unsigned char> &before)
{
    QList<int> out;
    for (int i = 0; i < KOR_TABLE_SIZE; ++i)
        if (table()->ram[i] != before[size_t(i)])
            out << i;
    return out;
}
// The scaler applies the change; its refresh saves the table.
void apply_and_save()
{
    v331_manage::p_v331_manage->run_pass();
    KorTestEnv::process_events();
}
}

// The other settings page, worked with the panel keys from the advanced settings.
class TestOthersetup : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    void open_page()
    {
        kor_set_modal_pages(false);
        kor_press(KorKey::Ok);         // home -> main menu
        press(KorKey::Right, 2);
        kor_press(KorKey::Ok);         // settings
        kor_press(KorKey::Left);
        kor_press(KorKey::Ok);         // advanced settings
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);         // other settings
        QVERIFY(g_othersetup);
        QCOMPARE(int(g_page_focus), 17);
        v331_manage::para_changed = 0;
    }
    // Moves right `moves` rows while browsing to row `row`, chooses entry `index` there and
    // applies it.
    void choose(int moves, int row, int index)
    {
        press(KorKey::Right, moves);
        kor_press(KorKey::Ok);
        const int shown = box_at(row)->currentIndex();
        press(KorKey::Right, (index - shown + box_at(row)->count()) % box_at(row)->count());
        kor_press(KorKey::Ok);
    }
    QComboBox *box_at(int row)
    {
        static const char *const names[6] = {"ImageVolume", "volume_state", "switch_state",
                                             "mode_state", "wifi_state", "dbd_state"};
        return box(names[row]);
    }
    QByteArray saved_bytes(int offset, int len)
    {
        return env->read_file("/data/ram_device_info").mid(2 + offset - 0x300, len);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        v331_manage::pInstance();
        g_language = 1;
    }
    void cleanup() { env.reset(); }

    void form_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("style");  // null: set by the page
        const QString label = "color:rgb(255,255,255);\nbackground-color: rgb(16, 16, 28);";
        QTest::newRow("title") << "label_other" << "QLabel" << "othersetup" << QRect(50, 10, 220, 22) << 10
                               << "color:rgb(255,255,255);";
        QTest::newRow("frame") << "frame" << "QFrame" << "othersetup" << QRect(10, 42, 300, 180) << 0
                               << "#frame{background-color: rgb(16, 16, 28);border:1px solid rgb(255, 255, 255);\n"
                                  "border-radius:6px;padding:2px 4px}";
        QTest::newRow("volume label") << "label_name_volume" << "QLabel" << "frame" << QRect(10, 14, 50, 17) << 9 << label;
        QTest::newRow("switch label") << "label_name_switch" << "QLabel" << "frame" << QRect(10, 48, 140, 17) << 9 << label;
        QTest::newRow("mode label") << "label_name_mode" << "QLabel" << "frame" << QRect(10, 82, 160, 17) << 9 << label;
        QTest::newRow("wifi label") << "label_wifi" << "QLabel" << "frame" << QRect(10, 116, 80, 17) << 9 << label;
        QTest::newRow("DBD label") << "label_name_DBD" << "QLabel" << "frame" << QRect(10, 150, 160, 17) << 9 << label;
        QTest::newRow("window list") << "ImageVolume" << "QComboBox" << "frame" << QRect(80, 10, 100, 24) << 9 << QString();
        QTest::newRow("volume") << "volume_state" << "QComboBox" << "frame" << QRect(190, 10, 100, 24) << 9 << QString();
        QTest::newRow("switch") << "switch_state" << "QComboBox" << "frame" << QRect(190, 44, 100, 24) << 9 << QString();
        QTest::newRow("mode") << "mode_state" << "QComboBox" << "frame" << QRect(190, 78, 100, 25) << 9 << QString();
        QTest::newRow("wifi") << "wifi_state" << "QComboBox" << "frame" << QRect(190, 112, 100, 24) << 9 << QString();
        QTest::newRow("DBD") << "dbd_state" << "QComboBox" << "frame" << QRect(190, 146, 100, 24) << 9 << QString();
    }
    void form()
    {
        QFETCH(QString, name);
        QFETCH(QString, cls);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(int, points);
        QFETCH(QString, style);
        open_page();
        QCOMPARE(g_othersetup->size(), QSize(320, 240));
        QCOMPARE(g_othersetup->styleSheet(), QString("background-color: rgb(16, 16, 28);"));
        QCOMPARE(g_othersetup->windowTitle(), QString("Dialog"));
        QCOMPARE(kor_form_mismatch(g_othersetup, name, cls, parent, geometry, points, style), QString());
        if (cls == "QComboBox")
            QCOMPARE(g_othersetup->findChild<QWidget *>(name)->focusPolicy(), Qt::NoFocus);
    }

    void boxes_open_on_the_stored_state_data()
    {
        QTest::addColumn<int>("windows");  // enabled windows, bit w
        QTest::addColumn<int>("audio_window");
        QTest::addColumn<int>("audio_byte");  // +21 of window audio_window as stored
        QTest::addColumn<int>("fade");        // u16 0x846
        QTest::addColumn<int>("wifi_off");    // u16 0x306
        QTest::addColumn<int>("dbd");         // u16 0x842
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("stored_window");  // 0x840 once the page is built
        QTest::addColumn<QString>("screen");
        QTest::newRow("defaults, no window")
            << 0 << 0 << 0 << 0 << 0 << 0 << QStringList{}
            << QStringList{"", "OFF", "Seamless", "Click OK", "ON", "OFF"} << 0 << "othersetup";
        QTest::newRow("windows 1 and 3, sound on window 3")
            << 0x05 << 2 << 0x80 << 0 << 0 << 0 << QStringList{"image1", "image3"}
            << QStringList{"image3", "ON", "Seamless", "Click OK", "ON", "OFF"} << 2 << "othersetup-two-windows";
        QTest::newRow("audio window out of range is repaired")
            << 0x03 << 7 << 0 << 0 << 0 << 0 << QStringList{"image1", "image2"}
            << QStringList{"image1", "OFF", "Seamless", "Click OK", "ON", "OFF"} << 0 << "";
        QTest::newRow("audio window switched off is repaired")
            << 0x21 << 4 << 0x80 << 0 << 0 << 0 << QStringList{"image1", "image6"}
            << QStringList{"image1", "OFF", "Seamless", "Click OK", "ON", "OFF"} << 0 << "";
        QTest::newRow("fade, WiFi off, pixel-to-pixel on")
            << 0x3F << 5 << 0x80 << 1 << 1 << 1
            << QStringList{"image1", "image2", "image3", "image4", "image5", "image6"}
            << QStringList{"image6", "ON", "Fade", "Click OK", "OFF", "ON"} << 5 << "othersetup-all-on";
        // The stored states are read as words.
        QTest::newRow("states in the high bytes")
            << 0x01 << 0 << 0x7F << 0x100 << 0x100 << 0x100 << QStringList{"image1"}
            << QStringList{"image1", "OFF", "Fade", "Click OK", "OFF", "ON"} << 0 << "";
    }
    void boxes_open_on_the_stored_state()
    {
        QFETCH(int, windows);
        QFETCH(int, audio_window);
        QFETCH(int, audio_byte);
        QFETCH(int, fade);
        QFETCH(int, wifi_off);
        QFETCH(int, dbd);
        QFETCH(QStringList, list);
        QFETCH(QStringList, shown);
        QFETCH(int, stored_window);
        QFETCH(QString, screen);
        enable_windows(unsigned(windows));
        table()->set_u16(0x840, uint16_t(audio_window));
        if (audio_window < 6)
            table()->ram[record(audio_window) + 21] = uint8_t(audio_byte);
        table()->set_u16(0x846, uint16_t(fade));
        table()->set_u16(0x306, uint16_t(wifi_off));
        table()->set_u16(0x842, uint16_t(dbd));
        open_page();
        QCOMPARE(entries(box("ImageVolume")), list);
        QStringList current;
        for (int row = 0; row < 6; ++row)
            current << box_at(row)->currentText();
        QCOMPARE(current, shown);
        QCOMPARE(int(table()->u16(0x840)), stored_window);
        // The repair is not a change for the scaler.
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(label("label_other"), QString("Other Settings"));
        QVERIFY(box("ImageVolume")->styleSheet().contains("rgb(255,171,84)"));
        if (!screen.isEmpty())
            kor_save_screen(g_othersetup, screen);
    }

    void switch_effect_data()
    {
        QTest::addColumn<int>("stored");  // 0x846 before
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("trace");
        QTest::newRow("fade") << 0 << 1 << "fade temp = 1\n";
        QTest::newRow("seamless") << 1 << 0 << "seamless ,temp = 0\n";
        QTest::newRow("fade again") << 1 << 1 << "fade temp = 1\n";
    }
    void switch_effect()
    {
        QFETCH(int, stored);
        QFETCH(int, choice);
        QFETCH(QString, trace);
        table()->ram[0x846] = uint8_t(stored);
        for (int k = 0; k < 16; ++k) {
            table()->set_u16(0xB00 + 4 * k, 0x3322);
            table()->set_u16(0xB02 + 4 * k, 0x5544);
        }
        for (int w = 0; w < 6; ++w) {
            table()->ram[record(w) + 18] = uint8_t(w % 2 ? 0xFB : 0x04);  // bit 2 set or clear
            table()->ram[record(w) + 19] = 0x77;
        }
        open_page();
        const std::vector<unsigned char> before = snapshot();
        KorTraceCapture capture;
        choose(2, 2, choice);
        QVERIFY(capture.text().contains(trace));
        QCOMPARE(int(table()->ram[0x846]), choice);
        for (int w = 0; w < 6; ++w) {
            const int flags = w % 2 ? 0xFB : 0x04;
            QCOMPARE(int(table()->ram[record(w) + 18]), choice ? (flags | 4) : (flags & ~4));
            QCOMPARE(int(table()->ram[record(w) + 19]), 0x77);  // the high byte of the word stays
        }
        for (int k = 0; k < 16; ++k) {
            QCOMPARE(int(table()->ram[0xB00 + 4 * k]), choice ? 60 : 0x22);
            QCOMPARE(int(table()->ram[0xB02 + 4 * k]), choice ? 60 : 0x44);
            QCOMPARE(int(table()->ram[0xB01 + 4 * k]), 0x33);
            QCOMPARE(int(table()->ram[0xB03 + 4 * k]), 0x55);
        }
        for (int offset : changed_offsets(before)) {
            const bool pair = offset >= 0xB00 && offset < 0xB40;
            const bool flags = offset >= 0x8E0 && offset < 0x8E0 + 6 * 26 && (offset - 0x8E0) % 26 == 18;
            QVERIFY2(offset == 0x846 || pair || flags, qPrintable(QString::number(offset, 16)));
        }
        QCOMPARE(int(v331_manage::para_changed), 1);
        QCOMPARE(box("switch_state")->currentIndex(), choice);
        apply_and_save();
        QCOMPARE(saved_bytes(0x846, 1), QByteArray(1, char(choice)));
    }

    void sound_of_the_chosen_window_data()
    {
        QTest::addColumn<int>("audio_byte");  // +21 of window 3 (index 2) before
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("written");
        QTest::addColumn<int>("volume");     // +20 after
        QTest::addColumn<int>("audio");      // +21 after
        QTest::newRow("on -> off") << 0x81 << 0 << true << 0 << 0;
        QTest::newRow("off -> on") << 0x01 << 1 << true << 255 << 0x80;
        QTest::newRow("on, ON again writes nothing") << 0x81 << 1 << false << 0x40 << 0x81;
        QTest::newRow("off, OFF again writes nothing") << 0x01 << 0 << false << 0x40 << 0x01;
    }
    void sound_of_the_chosen_window()
    {
        QFETCH(int, audio_byte);
        QFETCH(int, choice);
        QFETCH(bool, written);
        QFETCH(int, volume);
        QFETCH(int, audio);
        enable_windows(0x05);
        table()->set_u16(0x840, 0);
        table()->ram[record(0) + 20] = 255;
        table()->ram[record(0) + 21] = 0x80;
        table()->ram[record(2) + 20] = 0x40;
        table()->ram[record(2) + 21] = uint8_t(audio_byte);
        open_page();
        const std::vector<unsigned char> before = snapshot();
        // Window 3 in the list: choosing it applies nothing by itself.
        choose(0, 0, 1);
        QCOMPARE(box("ImageVolume")->currentText(), QString("image3"));
        QCOMPARE(int(v331_manage::para_changed), 0);
        kor_press(KorKey::Right);  // the sound row
        kor_press(KorKey::Ok);
        const int shown = box("volume_state")->currentIndex();
        press(KorKey::Right, (choice - shown + 2) % 2);
        kor_press(KorKey::Ok);
        QCOMPARE(int(table()->ram[record(2) + 20]), volume);
        QCOMPARE(int(table()->ram[record(2) + 21]), audio);
        QCOMPARE(int(table()->u16(0x840)), written ? 2 : 0);
        QList<int> expected;
        if (written) {
            expected << 0x840;
            if (volume != 0x40)
                expected << record(2) + 20;
            if (audio != audio_byte)
                expected << record(2) + 21;
        }
        QCOMPARE(changed_offsets(before), expected);  // window 1's record is not touched
        // Raised also when nothing was written.
        QCOMPARE(int(v331_manage::para_changed), 1);
    }

    void no_window_enabled()
    {
        enable_windows(0);
        table()->set_u16(0x840, 3);
        open_page();
        table()->set_u16(0x840, 3);  // as the host might have left it meanwhile
        const std::vector<unsigned char> before = snapshot();
        kor_press(KorKey::Ok);
        press(KorKey::Right, 3);
        press(KorKey::Left, 5);
        QCOMPARE(box("ImageVolume")->count(), 0);
        kor_press(KorKey::Back);  // nothing to restore either
        QCOMPARE(box("ImageVolume")->count(), 0);
        QVERIFY(g_othersetup);
        kor_press(KorKey::Ok);
        kor_press(KorKey::Ok);  // applies the empty list: nothing
        QCOMPARE(int(v331_manage::para_changed), 0);
        choose(1, 1, 1);
        QCOMPARE(changed_offsets(before), QList<int>{});
        QCOMPARE(box("ImageVolume")->count(), 0);
    }

    void wifi_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<bool>("service");  // the WiFi access-point service exists
        QTest::addColumn<int>("kills");     // pairs of kill commands the page ran
        QTest::addColumn<int>("reset_flag");
        QTest::newRow("off") << 0 << QList<int>{1} << true << 1 << 0;
        QTest::newRow("off twice") << 0 << QList<int>{1, 1} << true << 2 << 0;
        QTest::newRow("on") << 1 << QList<int>{0} << true << 0 << 1;
        QTest::newRow("on without the service") << 1 << QList<int>{0} << false << 0 << 0;
        QTest::newRow("off, then on") << 0 << QList<int>{1, 0} << true << 1 << 1;
    }
    void wifi()
    {
        QFETCH(int, stored);
        QFETCH(QList<int>, choices);
        QFETCH(bool, service);
        QFETCH(int, kills);
        QFETCH(int, reset_flag);
        if (service)
            Z73_WIFI_CONFIG::pInstance();
        table()->ram[0x306] = uint8_t(stored);
        open_page();
        KorTraceCapture capture;
        for (int i = 0; i < choices.size(); ++i) {
            choose(i == 0 ? 4 : 0, 4, choices[i]);
            QCOMPARE(int(table()->ram[0x306]), choices[i]);
            QCOMPARE(int(v331_manage::para_changed), 1);
        }
        QVERIFY(capture.text().contains(QString("temp = %1\n").arg(choices.last())));
        std::vector<std::string> expected;
        for (int i = 0; i < kills; ++i) {
            expected.push_back(kKillHostapd);
            expected.push_back(kKillUdhcpd);
        }
        QCOMPARE(env->commands(), expected);
        QCOMPARE(int(g_wifi_reset_flag), reset_flag);
        QCOMPARE(box("wifi_state")->currentText(), QString(choices.last() ? "OFF" : "ON"));
        apply_and_save();
        QCOMPARE(saved_bytes(0x306, 1), QByteArray(1, char(choices.last())));
        if (!service)
            return;
        // The access point's own thread: down stays down, on comes back up.
        env->shell()->clear();
        for (int i = 0; i < 4; ++i) {
            KorTestEnv::tick(400);
            Z73_WIFI_CONFIG::p_wifi->run_pass();
        }
        bool started = false;
        for (const std::string &c : env->commands())
            started = started || c.find("hostapd -B") != std::string::npos;
        QCOMPARE(started, choices.last() == 0);
    }

    void pixel_to_pixel_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("choice");
        QTest::newRow("on") << 0 << 1;
        QTest::newRow("off") << 1 << 0;
    }
    void pixel_to_pixel()
    {
        QFETCH(int, stored);
        QFETCH(int, choice);
        table()->ram[0x842] = uint8_t(stored);
        for (int w = 0; w < 6; ++w) {
            table()->ram[record(w) + 18] = 0x04;
            table()->ram[record(w) + 19] = uint8_t(stored ? 1 : 0x20);
        }
        open_page();
        QCOMPARE(box("dbd_state")->currentIndex(), stored);
        const std::vector<unsigned char> before = snapshot();
        choose(5, 5, choice);
        QCOMPARE(int(table()->ram[0x842]), choice);
        QList<int> expected{0x842};
        for (int w = 0; w < 6; ++w) {
            QCOMPARE(int(table()->ram[record(w) + 19]), choice);
            QCOMPARE(int(table()->ram[record(w) + 18]), 0x04);
            expected << record(w) + 19;
        }
        QCOMPARE(changed_offsets(before), expected);
        QCOMPARE(int(v331_manage::para_changed), 1);
        apply_and_save();
        QCOMPARE(saved_bytes(0x842, 1), QByteArray(1, char(choice)));
    }

    void editing_and_leaving()
    {
        open_page();
        const std::vector<unsigned char> before = snapshot();
        // Projection: in and out of editing, nothing applied.
        press(KorKey::Right, 3);
        kor_press(KorKey::Ok);
        QVERIFY(box("mode_state")->styleSheet().contains("rgb(255,0,0)"));
        kor_save_screen(g_othersetup, "othersetup-editing");
        press(KorKey::Right, 2);
        kor_press(KorKey::Ok);
        QVERIFY(box("mode_state")->styleSheet().contains("rgb(255,171,84)"));
        QCOMPARE(int(v331_manage::para_changed), 0);
        // Choosing wraps at both ends and applies nothing until OK.
        kor_press(KorKey::Right);  // WiFi
        kor_press(KorKey::Ok);
        kor_press(KorKey::Left);
        QCOMPARE(box("wifi_state")->currentText(), QString("OFF"));
        kor_press(KorKey::Right);
        kor_press(KorKey::Right);
        QCOMPARE(box("wifi_state")->currentText(), QString("OFF"));
        QCOMPARE(int(table()->ram[0x306]), 0);
        // Back while choosing restores the entry shown before and stays.
        kor_press(KorKey::Back);
        QCOMPARE(box("wifi_state")->currentText(), QString("ON"));
        QVERIFY(box("wifi_state")->styleSheet().contains("rgb(255,171,84)"));
        QVERIFY(g_othersetup);
        QCOMPARE(int(g_page_focus), 17);
        // Browsing wraps: right from the last row reaches the first.
        kor_press(KorKey::Right);
        kor_press(KorKey::Right);
        QVERIFY(box("ImageVolume")->styleSheet().contains("rgb(255,171,84)"));
        QVERIFY(!box("dbd_state")->styleSheet().contains("rgb(255,171,84)"));
        QCOMPARE(changed_offsets(before), QList<int>{});
        QVERIFY(env->commands().empty());
        QCOMPARE(int(v331_manage::para_changed), 0);
        // A second back leaves.
        kor_press(KorKey::Back);
        QVERIFY(!g_othersetup);
        QCOMPARE(int(g_page_focus), 12);
        QVERIFY(g_advancedoption);
    }

    void language_change_while_open()
    {
        enable_windows(0x01);
        g_language = 0;
        table()->ram[0x300] = 0;
        open_page();
        QCOMPARE(label("label_other"), QString::fromUtf8("其它设置"));
        table()->ram[0x300] = 2;
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(label("label_other"), QString::fromUtf8("Другие настройки"));
        QCOMPARE(label("label_name_volume"), QString::fromUtf8("Звук"));
        QCOMPARE(label("label_name_DBD"), QString::fromUtf8("Пиксель к пикселю"));
        // The entries keep the language the page was built in.
        QCOMPARE(box("ImageVolume")->currentText(), QString::fromUtf8("画面1"));
        QCOMPARE(box("switch_state")->currentText(), QString::fromUtf8("无缝快切"));
        kor_save_screen(g_othersetup, "othersetup-language-changed");
    }

    void mode_key_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("editing");
        QTest::newRow("browsing") << false << false;
        QTest::newRow("editing") << false << true;
        QTest::newRow("key lock") << true << false;
    }
    void mode_key()
    {
        QFETCH(bool, locked);
        QFETCH(bool, editing);
        table()->set_u16(0x304, locked ? 1 : 0);
        open_page();
        if (editing) {
            press(KorKey::Right, 5);
            kor_press(KorKey::Ok);
            kor_press(KorKey::Right);
        }
        const std::vector<unsigned char> before = snapshot();
        kor_press(KorKey::Mode);
        QCOMPARE(changed_offsets(before), QList<int>{});
        if (locked) {
            QVERIFY(g_othersetup);
            QCOMPARE(int(g_page_focus), 17);
            QVERIFY(!g_custommode);
            return;
        }
        QVERIFY(!g_othersetup);
        QVERIFY(!g_advancedoption);
        QVERIFY(!g_option);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
    }
};

QTEST_MAIN(TestOthersetup)
#include "test_othersetup.moc"
