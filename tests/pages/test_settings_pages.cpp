#include "hostlink/z73_wifi_config.h"
#include "kor_form_check.h"
#include "kor_test_helpers.h"
#include "ui/pages/lcdshow.h"
#include "ui/pages/othersetup.h"
#include "ui/pages/test_chart.h"

#include <cstring>

namespace {
// What every start of the program holds.
const uint32_t kStartBack = g_back_to_mainwindow_time;
const uint32_t kStartLock = g_auto_lock_time;

QComboBox *lcd_box(int row) { return kor_child<QComboBox>(g_lcdshow, row ? "comboBox_lock" : "comboBox_back"); }
QString lcd_title() { return kor_text(g_lcdshow, "label_LCDshow"); }
QString lcd_shown() { return lcd_box(0)->currentText() + "|" + lcd_box(1)->currentText(); }
bool has_border(int row, const char *colour)
{
    return lcd_box(row)->styleSheet().contains(QStringLiteral("border:1px solid %1;").arg(colour));
}

int record(int w) { return 0x8E0 + 26 * w; }
const char *const kBoxes[6] = {"ImageVolume", "volume_state", "switch_state", "mode_state", "wifi_state", "dbd_state"};

QComboBox *box(int row) { return g_othersetup->findChild<QComboBox *>(kBoxes[row]); }
// What the six boxes show.
QString shown()
{
    QStringList out;
    for (int row = 0; row < 6; ++row)
        out << box(row)->currentText();
    return out.join('|');
}
void enable_windows(unsigned mask)
{
    for (int w = 0; w < 6; ++w)
        kor_table()->set_u16(record(w), (mask >> w) & 1);
}
QList<int> differing(const QByteArray &want)
{
    QList<int> out;
    for (int i = 0; i < KOR_TABLE_SIZE; ++i)
        if (char(kor_table()->ram[i]) != want[i])
            out << i;
    return out;
}

int pattern() { return kor_table()->ram[0x360]; }

// The items (thumbnails 0 to 7, the close button 8) showing the selected style.
QList<int> selected_items()
{
    QList<int> out;
    for (int i = 0; i < 9; ++i) {
        const QString name = i < 8 ? QStringLiteral("label_test%1").arg(i + 1) : QStringLiteral("Button_closetest");
        if (kor_focused(g_test_chart, name))
            out << i;
    }
    return out;
}
QList<int> patterns_drawn(SimScaler *sim)
{
    QList<int> out;
    for (const ScalerCall &c : sim->calls_named("pattern"))
        out << c.args.at(0);
    return out;
}
}

// The pages of the settings menu that hold one setting each: the test pattern, and beneath
// the advanced settings the LCD display times and the other settings; worked with the keys.
class TestSettingsPages : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        v331_manage::pInstance();
        g_back_to_mainwindow_time = kStartBack;
        g_auto_lock_time = kStartLock;
        g_language = 1;
    }
    // From the home screen, or again from the advanced settings.
    void open_lcdshow(bool from_home = true) { kor_open(from_home ? kor_advanced + "O" : "O", 15); }
    void open_othersetup() { kor_open(kor_advanced + "RO", 17); }
    // Moves right `moves` rows to `row`, chooses entry `index` there and applies it.
    void choose(int moves, int row, int index)
    {
        const int steps = (index - box(row)->currentIndex() + box(row)->count()) % box(row)->count();
        kor_keys(QString(moves, 'R') + 'O' + QString(steps, 'R') + 'O');
    }

private slots:

    void test_chart_form()
    {
        test_chart page;
        QCOMPARE(page.size(), QSize(320, 240));
        const char *caption = "color:rgb(255,255,255);";
        const QString odd = kor_form_mismatches(
            &page, {{"label_testimage", "QLabel", "test_chart", {40, 0, 220, 22}, 10, caption},
                    {"frame", "QFrame", "test_chart", {10, 42, 300, 190}, 0, nullptr},
                    {"label_test8", "QLabel", "frame", {230, 84, 50, 50}, 0, nullptr},
                    {"label_wline", "QLabel", "frame", {220, 136, 70, 17}, 7, caption},
                    {"Button_closetest", "QPushButton", "frame", {110, 161, 80, 24}, 7, nullptr}});
        QCOMPARE(odd, QString());
        for (QLabel *thumb : page.findChildren<QLabel *>(QRegularExpression("^label_test\\d$")))
            QVERIFY(!thumb->pixmap(Qt::ReturnByValue).isNull());
    }

    void test_chart_keys_data()
    {
        // before: the pattern on when the page opens; keys: a leading K sets the key lock
        // selected: -1: back in the settings menu; -2: in the user modes; shown: the pattern byte at the end
        kor_columns<int, QString, int, int, QList<int>>({"before", "keys", "selected", "shown", "drawn"});
        QTest::newRow("opening leaves the pattern") << 3 << "" << 0 << 3 << QList<int>{};
        QTest::newRow("eight rights reach the close button") << 0 << "RRRRRRRR" << 8 << 0 << QList<int>{};
        QTest::newRow("nine rights wrap") << 0 << "RRRRRRRRR" << 0 << 0 << QList<int>{};
        QTest::newRow("left from the first") << 0 << "L" << 8 << 0 << QList<int>{};
        QTest::newRow("OK on red, then green") << 3 << "ORO" << 1 << 2 << QList<int>{1, 2};
        QTest::newRow("OK on the colour bar") << 0 << "RRRRRO" << 5 << 6 << QList<int>{6};
        QTest::newRow("OK on horizontal lines") << 0 << "LLO" << 7 << 8 << QList<int>{8};
        QTest::newRow("back after a pattern") << 0 << "RRROB" << -1 << 0 << QList<int>{4, 0};
        QTest::newRow("back, a pattern left on") << 3 << "RRRRB" << -1 << 0 << QList<int>{0};
        QTest::newRow("back, no pattern on") << 0 << "RRRRB" << -1 << 0 << QList<int>{};
        QTest::newRow("back from the key board") << 0 << "ROb" << -1 << 0 << QList<int>{2, 0};
        QTest::newRow("OK on the close button") << 0 << "LLLORRO" << -1 << 0 << QList<int>{7, 0};
        QTest::newRow("mode key leaves the pattern on") << 0 << "RRRROM" << -2 << 5 << QList<int>{5};
        QTest::newRow("mode key under the key lock") << 0 << "KRRRROM" << 4 << 5 << QList<int>{5};
    }
    void test_chart_keys()
    {
        QFETCH(QString, keys);
        QFETCH(int, selected);
        QFETCH(int, shown);
        QFETCH(QList<int>, drawn);
        kor_table()->ram[0x360] = uint8_t(kor_data<int>("before"));
        std::memcpy(kor_table()->shadow, kor_table()->ram, KOR_TABLE_SIZE);
        kor_table()->set_u16(0x304, keys.startsWith('K'));
        kor_open(kor_settings + "RRO", 16);
        QCOMPARE(int(v331_manage::para_changed), 0);
        for (QChar k : keys.mid(keys.startsWith('K'))) {
            kor_keys(k);
            // Only OK and back write the pattern, back also with no pattern on.
            QCOMPARE(int(v331_manage::para_changed), int(k == 'O' || k.toLower() == 'b'));
            kor_scaler_pass();
        }
        QCOMPARE(pattern(), shown);
        QCOMPARE(patterns_drawn(env->scaler()), drawn);
        QCOMPARE(int(g_page_focus), selected >= 0 ? 16 : selected == -1 ? 5 : 4);
        QCOMPARE(bool(g_test_chart), selected >= 0);
        QCOMPARE(kor_mode_key_reached_custom_mode(), selected == -2);
        if (selected >= 0)
            QCOMPARE(selected_items(), QList<int>{selected});
        if (!drawn.isEmpty())
            QCOMPARE(int(uint8_t(env->read_file("/data/ram_device_info").at(2 + 0x60))), shown);  // saved
        if (g_test_chart)
            kor_save_row_screen(g_test_chart, "test_chart");
    }

    void modal_run_back_to_the_settings_menu()
    {
        int inside = -1;
        KorKeyScript script;
        script.keys(kor_settings + "RRO").step([&] { inside = g_page_focus; }).keys("RO");
        script.step([&] { QCOMPARE(pattern(), 2); }).keys("BB");
        QVERIFY(script.run());
        QCOMPARE(inside, 16);
        QVERIFY(!g_test_chart && !g_option);
        QCOMPARE(int(g_page_focus), 1);
        QCOMPARE(pattern(), 0);
    }

    void language_change_while_in_front()
    {
        kor_open(kor_settings + "RRO", 16);
        kor_host_language(2);
        QCOMPARE(kor_text(g_test_chart, "label_testimage"), QString::fromUtf8("Тестовый образец"));
        QCOMPARE(kor_text(g_test_chart, "label_color"), QString::fromUtf8("Тест 6"));
        QCOMPARE(kor_text(g_test_chart, "Button_closetest"), QString::fromUtf8("Закрыть"));
        kor_save_screen(g_test_chart, "test_chart-ru");
    }

    void lcdshow_opening()
    {
        open_lcdshow();
        QCOMPARE(g_lcdshow->size(), QSize(320, 240));
        const QString odd = kor_form_mismatches(
            g_lcdshow, {{"label_LCDshow", "QLabel", "lcdshow", {50, 10, 220, 22}, 0, nullptr},
                        {"frame", "QFrame", "lcdshow", {10, 42, 300, 190}, 0, nullptr},
                        {"comboBox_back", "QComboBox", "frame", {180, 14, 101, 21}, 9, nullptr},
                        {"comboBox_lock", "QComboBox", "frame", {180, 48, 101, 21}, 9, nullptr}});
        QCOMPARE(odd, QString());
        QCOMPARE(lcd_box(0)->focusPolicy(), Qt::NoFocus);
        // The start times; browsing on the first row.
        QVERIFY(kStartBack == 3000 && kStartLock == 30000);
        QCOMPARE(lcd_shown(), QString("30|5min"));
        QVERIFY(has_border(0, "rgb(255,171,84)") && has_border(1, "rgb(255,255,255)"));
        kor_save_screen(g_lcdshow, "lcdshow");
        kor_keys("OR");
        QVERIFY(has_border(0, "rgb(255,0,0)"));
        QCOMPARE(lcd_box(0)->currentText(), QString("60"));
        QCOMPARE(uint(g_back_to_mainwindow_time), kStartBack);  // set only by OK
        kor_save_screen(g_lcdshow, "lcdshow-editing");
        kor_keys("OR");
        QVERIFY(has_border(0, "rgb(255,255,255)") && has_border(1, "rgb(255,171,84)"));
        kor_keys("R");  // wraps
        QVERIFY(has_border(0, "rgb(255,171,84)") && has_border(1, "rgb(255,255,255)"));
    }

    void lcdshow_choosing_data()
    {
        // keys: a leading K sets the key lock
        // shown: both boxes at the end, and when the page is opened again
        kor_columns<uint, uint, QString, uint, uint, QString>(
            {"back_before", "lock_before", "keys", "back_after", "lock_after", "shown"});
        QTest::newRow("back 60") << 3000u << 30000u << "ORO" << 6000u << 30000u << "60|5min";
        QTest::newRow("back never") << 3000u << 30000u << "ORRO" << 120000u << 30000u << "Never|5min";
        QTest::newRow("back: right from never wraps") << 120000u << 30000u << "ORO" << 3000u << 30000u << "30|5min";
        QTest::newRow("back: left from 30 wraps") << 3000u << 30000u << "OLO" << 120000u << 30000u << "Never|5min";
        QTest::newRow("back: unknown time shows 30") << 4500u << 30000u << "ORO" << 6000u << 30000u << "60|5min";
        QTest::newRow("lock never") << 3000u << 30000u << "ROLO" << 3000u << 120000u << "30|Never";
        // Steps start from what the lock box shows, not from the other row's choice.
        QTest::newRow("lock steps from its box") << 120000u << 60000u << "RORO" << 120000u << 120000u << "Never|Never";
        QTest::newRow("lock: unknown time shows 5min") << 3000u << 12345u << "RORO" << 3000u << 60000u << "30|10min";
        QTest::newRow("back while editing leaves") << 3000u << 60000u << "RORB" << 3000u << 60000u << "30|10min";
        QTest::newRow("mode key refused, still editing") << 3000u << 30000u << "KORMO" << 6000u << 30000u << "60|5min";
        QTest::newRow("mode key while editing leaves") << 3000u << 30000u << "ORM" << 3000u << 30000u << "";
    }
    void lcdshow_choosing()
    {
        QFETCH(QString, keys);
        g_back_to_mainwindow_time = kor_data<uint>("back_before");
        g_auto_lock_time = kor_data<uint>("lock_before");
        kor_table()->set_u16(0x304, keys.startsWith('K'));
        open_lcdshow();
        QVERIFY(lcd_box(0)->currentIndex() >= 0 && lcd_box(1)->currentIndex() >= 0);  // also for an unknown time
        kor_keys(keys.mid(keys.startsWith('K')));
        QTEST(uint(g_back_to_mainwindow_time), "back_after");
        QTEST(uint(g_auto_lock_time), "lock_after");
        QCOMPARE(kor_mode_key_reached_custom_mode(), !g_lcdshow && !g_advancedoption);
        if (g_page_focus == 4)
            return;
        if (g_lcdshow) {
            QTEST(lcd_shown(), "shown");
            kor_keys("B");
        }
        QCOMPARE(int(g_page_focus), 12);
        open_lcdshow(false);
        QTEST(lcd_shown(), "shown");
    }

    void lcdshow_languages()
    {
        open_lcdshow();
        // A language set while the page is in front takes effect; the choices keep theirs.
        kor_host_language(2);
        QCOMPARE(int(g_language), 2);
        QCOMPARE(lcd_title(), QString::fromUtf8("ЖК дисплей"));
        QCOMPARE(lcd_box(1)->currentText(), QString("5min"));
        kor_keys("B");
        open_lcdshow(false);
        QCOMPARE(kor_entries(lcd_box(1)), (QStringList{"5 мин", "10 мин", "Отключить"}));
        kor_save_screen(g_lcdshow, "lcdshow-ru");
        kor_keys("B");
        g_lcd_lang_valid = 0x1B;  // Russian not enabled: English
        open_lcdshow(false);
        QCOMPARE(lcd_title(), QString("LCD display"));
        QCOMPARE(kor_entries(lcd_box(1)), (QStringList{"5min", "10min", "Never"}));
    }

    void othersetup_form()
    {
        othersetup page;
        QCOMPARE(page.size(), QSize(320, 240));
        const char *label = "color:rgb(255,255,255);\nbackground-color: rgb(16, 16, 28);";
        QCOMPARE(kor_form_mismatches(&page, {{"label_other", "QLabel", "othersetup", {50, 10, 220, 22}, 10, nullptr},
                                             {"frame", "QFrame", "othersetup", {10, 42, 300, 180}, 0, nullptr},
                                             {"label_name_volume", "QLabel", "frame", {10, 14, 50, 17}, 9, label},
                                             {"ImageVolume", "QComboBox", "frame", {80, 10, 100, 24}, 9, nullptr},
                                             {"mode_state", "QComboBox", "frame", {190, 78, 100, 25}, 9, nullptr}}),
                 QString());
        // A box with focus would take the panel's F4 for its pop-up.
        for (const char *name : kBoxes)
            QCOMPARE(page.findChild<QWidget *>(name)->focusPolicy(), Qt::NoFocus);
    }

    void boxes_open_on_the_stored_state_data()
    {
        // windows: enabled windows, bit w; audio_byte: +21 of that window
        // states: the fade, WiFi-off and pixel-to-pixel words; list: the window list; shown: what the six boxes show
        // stored_window: once the page is built
        kor_columns<int, int, int, int, QString, QString, int>(
            {"windows", "audio_window", "audio_byte", "states", "list", "shown", "stored_window"});
        const QString first = "image1|OFF|Seamless|Click OK|ON|OFF";
        QTest::newRow("defaults") << 0 << 0 << 0 << 0 << "" << first.mid(6) << 0;
        QTest::newRow("two") << 5 << 2 << 0x80 << 0 << "image1|image3" << "image3|ON|Seamless|Click OK|ON|OFF" << 2;
        // An audio window out of range or switched off is repaired to the first.
        QTest::newRow("window 7") << 3 << 7 << 0 << 0 << "image1|image2" << first << 0;
        QTest::newRow("window off") << 0x21 << 4 << 0x80 << 0 << "image1|image6" << first << 0;
        // The states are read as words.
        QTest::newRow("all on") << 0x3F << 5 << 0x80 << 0x100 << "image1|image2|image3|image4|image5|image6"
                                << "image6|ON|Fade|Click OK|OFF|ON" << 5;
    }
    void boxes_open_on_the_stored_state()
    {
        QFETCH(int, audio_window);
        enable_windows(unsigned(kor_data<int>("windows")));
        kor_table()->set_u16(0x840, uint16_t(audio_window));
        if (audio_window < 6)
            kor_table()->ram[record(audio_window) + 21] = uint8_t(kor_data<int>("audio_byte"));
        for (int offset : {0x846, 0x306, 0x842})
            kor_table()->set_u16(offset, uint16_t(kor_data<int>("states")));
        open_othersetup();
        QTEST(kor_entries(box(0)).join('|'), "list");
        QTEST(shown(), "shown");
        QTEST(int(kor_table()->u16(0x840)), "stored_window");
        QCOMPARE(int(v331_manage::para_changed), 0);  // the repair is not a change for the scaler
        kor_save_row_screen(g_othersetup, "othersetup");
    }

    void applying_an_item_data()
    {
        // before: the item's byte; for the sound, window 3's audio flags; service: the WiFi access-point service exists
        kor_columns<int, int, int, bool>({"row", "choice", "before", "service"});
        QTest::newRow("sound on -> off") << 1 << 0 << 0x81 << true;
        QTest::newRow("sound off -> on") << 1 << 1 << 0x01 << true;
        QTest::newRow("sound on, ON again writes nothing") << 1 << 1 << 0x81 << true;
        QTest::newRow("sound off, OFF again writes nothing") << 1 << 0 << 0x01 << true;
        QTest::newRow("fade") << 2 << 1 << 0 << true;
        QTest::newRow("seamless") << 2 << 0 << 1 << true;
        QTest::newRow("WiFi off, twice") << 4 << 1 << 0 << true;
        QTest::newRow("WiFi on") << 4 << 0 << 1 << true;
        QTest::newRow("WiFi on without the service") << 4 << 0 << 1 << false;
        QTest::newRow("pixel-to-pixel on") << 5 << 1 << 0 << true;
        QTest::newRow("pixel-to-pixel off") << 5 << 0 << 1 << true;
    }
    void applying_an_item()
    {
        QFETCH(int, row);
        QFETCH(int, choice);
        QFETCH(int, before);
        QFETCH(bool, service);
        KorRamPara *table = kor_table();
        if (service)
            Z73_WIFI_CONFIG::pInstance();
        enable_windows(0x05);
        table->ram[record(0) + 20] = 255;  // the stored audio window 1, sound on
        table->ram[record(0) + 21] = 0x80;
        table->ram[record(2) + 20] = 0x40;
        const int item = row == 1 ? record(2) + 21 : row == 2 ? 0x846 : row == 4 ? 0x306 : 0x842;
        table->ram[item] = uint8_t(before);
        for (int k = 0; k < 32; ++k)
            table->set_u16(0xB00 + 2 * k, uint16_t(0x3322 + k));
        for (int w = 0; w < 6; ++w)
            table->set_u16(record(w) + 18, w % 2 ? 0x77FB : 0x0104);
        open_othersetup();
        QByteArray want = kor_ram();
        if (row == 1 && (before >> 7) != choice) {  // acts on window 3, the one the list shows
            want[0x840] = 2;
            want[record(2) + 20] = char(choice ? 255 : 0);
            want[record(2) + 21] = char(choice ? 0x80 : 0);
        } else if (row != 1) {
            want[item] = char(choice);
        }
        for (int w = 0; w < 6; ++w) {
            if (row == 2)
                want[record(w) + 18] = char(choice ? want[record(w) + 18] | 4 : want[record(w) + 18] & ~4);
            if (row == 5)
                want[record(w) + 19] = char(choice);  // the whole high byte
        }
        // Fade writes 60 into the low byte of each word of the pairs; seamless leaves them.
        for (int k = 0; k < 32 && row == 2 && choice; ++k)
            want[0xB00 + 2 * k] = 60;
        if (row == 1) {
            choose(0, 0, 1);  // window 3 in the list: applies nothing by itself
            QCOMPARE(int(v331_manage::para_changed), 0);
        }
        KorTraceCapture capture;
        choose(row, row, choice);
        const bool twice = row == 4 && choice;
        if (twice)
            choose(0, row, choice);  // off again: the kills run again
        QCOMPARE(differing(want), QList<int>{});
        QCOMPARE(int(v331_manage::para_changed), 1);  // also when nothing was written
        if (row == 2)
            QVERIFY(capture.text().contains(choice ? "fade temp = 1\n" : "seamless ,temp = 0\n"));
        const std::string ap = "kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`";
        const std::string dhcp = "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`";
        QCOMPARE(env->commands(), (twice ? std::vector<std::string>{ap, dhcp, ap, dhcp} : std::vector<std::string>{}));
        // WiFi on has the WiFi thread restart the access point, when there is one.
        QCOMPARE(int(g_wifi_reset_flag), row == 4 && !choice && service ? 1 : 0);
        kor_scaler_pass();
        QCOMPARE(env->read_file("/data/ram_device_info").mid(2), want.mid(KOR_STORED_BEGIN));
    }

    void keys_that_apply_nothing_data()
    {
        // keys: a leading K sets the key lock
        kor_columns<int, QString, QString, int, bool>({"windows", "keys", "shown", "focus", "raised"});
        const QString start = "image1|OFF|Seamless|Click OK|ON|OFF", wifi_off = "image1|OFF|Seamless|Click OK|OFF|OFF";
        // Projection in and out of editing; then choosing WiFi wraps to the left.
        QTest::newRow("projection, then WiFi") << 1 << "RRROOROL" << wifi_off << 17 << false;
        QTest::newRow("choosing wraps to the right") << 1 << "RRRROLR" << start << 17 << false;
        QTest::newRow("back while choosing restores and stays") << 1 << "RRRROLB" << start << 17 << false;
        QTest::newRow("a second back leaves") << 1 << "RRRROLBB" << "" << 12 << false;
        QTest::newRow("browsing wraps to the first row") << 3 << "RRRRRROR" << "image2" + start.mid(6) << 17 << false;
        // Stepping the empty list must not wrap its index round to 255.
        QTest::newRow("no window: the list stays empty") << 0 << "ORLLBOO" << start.mid(6) << 17 << false;
        QTest::newRow("no window: the sound writes nothing") << 0 << "RORO" << "|ON" + start.mid(10) << 17 << true;
        QTest::newRow("mode key under the key lock") << 1 << "KM" << start << 17 << false;
        QTest::newRow("mode key") << 1 << "M" << "" << 4 << false;
    }
    void keys_that_apply_nothing()
    {
        QFETCH(QString, keys);
        enable_windows(unsigned(kor_data<int>("windows")));
        kor_table()->set_u16(0x304, keys.startsWith('K'));
        open_othersetup();
        kor_table()->set_u16(0x840, 3);  // as the host might have left it meanwhile
        const QByteArray before = kor_ram();
        kor_keys(keys.mid(keys.startsWith('K')));
        QCOMPARE(differing(before), QList<int>{});
        QVERIFY(env->commands().empty());
        QTEST(bool(v331_manage::para_changed), "raised");
        QTEST(int(g_page_focus), "focus");
        QCOMPARE(g_page_focus == 4, kor_mode_key_reached_custom_mode());
        if (!g_othersetup)
            return;
        QTEST(shown(), "shown");
        kor_save_row_screen(g_othersetup, "othersetup");
    }

    void language_change_while_open()
    {
        enable_windows(0x01);
        g_language = 0;
        kor_table()->ram[0x300] = 0;
        open_othersetup();
        kor_host_language(2);
        QCOMPARE(kor_text(g_othersetup, "label_other"), QString::fromUtf8("Другие настройки"));
        // The entries keep the language the page was built in.
        QCOMPARE(box(0)->currentText(), QString::fromUtf8("画面1"));
        kor_save_screen(g_othersetup, "othersetup-language-changed");
    }
};

QTEST_MAIN(TestSettingsPages)
#include "test_settings_pages.moc"
