#include "hostlink/z73_wifi_config.h"
#include "kor_test_helpers.h"
#include "ui/pages/lcdshow.h"
#include "ui/pages/othersetup.h"
#include "ui/pages/test_chart.h"

namespace {
QComboBox *lcd_box(int row) { return kor_child<QComboBox>(g_lcdshow, row ? "comboBox_lock" : "comboBox_back"); }
QString lcd_shown() { return lcd_box(0)->currentText() + "|" + lcd_box(1)->currentText(); }

const char *const kBoxes[6] = {"ImageVolume", "volume_state", "switch_state", "mode_state", "wifi_state", "dbd_state"};

QComboBox *box(int row) { return g_othersetup->findChild<QComboBox *>(kBoxes[row]); }
QString shown()  // the six boxes
{
    QStringList out;
    for (int row = 0; row < 6; ++row)
        out << box(row)->currentText();
    return out.join('|');
}
// A byte of window w's record.
unsigned char &window_byte(int w, int field) { return kor_table()->ram[KorTable::Window::offset(w, field)]; }
void enable_windows(unsigned mask)
{
    for (int w = 0; w < KorTable::Window::kCount; ++w)
        kor_table()->set_u16(KorTable::Window::offset(w, KorTable::Window::kEnable), (mask >> w) & 1);
}
QList<int> differing(const QByteArray &want)
{
    QList<int> out;
    for (int i = 0; i < KorTable::kSize; ++i)
        if (char(kor_table()->ram[i]) != want[i])
            out << i;
    return out;
}

// Item i: thumbnails 0 to 7, the close button 8.
QString item(int i) { return i < 8 ? QStringLiteral("label_test%1").arg(i + 1) : QStringLiteral("Button_closetest"); }
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
        g_back_to_mainwindow_time = 3000;  // as the program starts
        g_auto_lock_time = 30000;
        g_language = 1;
    }
    // From the home screen, or again from the advanced settings.
    void open_lcdshow(bool from_home = true) { kor_open(from_home ? kor_advanced + " ok" : "ok", 15); }
    void open_othersetup() { kor_open(kor_advanced + " right ok", 17); }
    // Moves right `moves` rows to `row`, chooses entry `index` there and applies it.
    void choose(int moves, int row, int index)
    {
        const int steps = (index - box(row)->currentIndex() + box(row)->count()) % box(row)->count();
        kor_keys(QString("right*%1 ok right*%2 ok").arg(moves).arg(steps));
    }

private slots:

    void test_chart_keys_data()
    {
        // before: the pattern at opening; selected: -1: back in the settings menu; shown: the pattern at the end
        kor_columns<int, QString, int, int, QList<int>>({"before", "keys", "selected", "shown", "drawn"});
        QTest::newRow("opening leaves the pattern") << 3 << "" << 0 << 3 << QList<int>{};
        QTest::newRow("left from the first") << 0 << "left" << 8 << 0 << QList<int>{};
        QTest::newRow("OK on red, then green") << 3 << "ok right ok" << 1 << 2 << QList<int>{1, 2};
        QTest::newRow("back, a pattern left on") << 3 << "right*4 back" << -1 << 0 << QList<int>{0};
        QTest::newRow("OK on the close button") << 0 << "left*3 ok right right ok" << -1 << 0 << QList<int>{7, 0};
    }
    void test_chart_keys()
    {
        QFETCH(QString, keys);
        QFETCH(int, selected);
        QFETCH(int, shown);
        QFETCH(QList<int>, drawn);
        kor_set_applied(KorTable::kTestPattern, uint16_t(kor_data<int>("before")));
        kor_open(kor_settings + " right right ok", 16);
        // Only OK and back write the pattern, back also with no pattern on.
        KorRaises presses;
        for (const QString &key : kor_script(keys))
            presses << qMakePair(key, key == "ok" || key == "back");
        kor_check_raises(presses);
        QCOMPARE(int(kor_table()->ram[KorTable::kTestPattern]), shown);
        QCOMPARE(patterns_drawn(env->scaler()), drawn);
        kor_check_left(16, selected >= 0 ? 16 : 5);
        if (selected < 0)
            return;
        QVERIFY(kor_focused(g_test_chart, item(selected)) && !kor_focused(g_test_chart, item((selected + 1) % 9)));
        kor_save_row_screen(g_test_chart, "test_chart");
        // The mode key, refused under the key lock, leaves the pattern on.
        kor_check_mode_key(16);
        QCOMPARE(int(kor_table()->ram[KorTable::kTestPattern]), shown);
        QCOMPARE(int(v331_manage::para_changed), 0);
    }

    void lcdshow_choosing_data()
    {
        // locked: the key lock set; shown: both boxes when the page is opened again
        kor_columns<uint, uint, bool, QString, uint, uint, QString>(
            {"back_before", "lock_before", "locked", "keys", "back_after", "lock_after", "shown"});
        QTest::newRow("back: unknown time shows 30")
            << 4500u << 30000u << false << "ok right ok back" << 6000u << 30000u << "60|5min";
        // Steps start from what the lock box shows, not from the other row's choice.
        QTest::newRow("lock steps from its box")
            << 120000u << 60000u << false << "right ok right ok back" << 120000u << 120000u << "Never|Never";
        QTest::newRow("back while editing leaves")
            << 3000u << 60000u << false << "right ok right back" << 3000u << 60000u << "30|10min";
        QTest::newRow("mode key refused, still editing")
            << 3000u << 30000u << true << "ok right mode" << 3000u << 30000u << "30|5min";
        QTest::newRow("mode key while editing leaves")
            << 3000u << 30000u << false << "ok right mode" << 3000u << 30000u << "";
    }
    void lcdshow_choosing()
    {
        QFETCH(QString, keys);
        g_back_to_mainwindow_time = kor_data<uint>("back_before");
        g_auto_lock_time = kor_data<uint>("lock_before");
        kor_table()->set_u16(KorTable::kKeyLock, kor_data<bool>("locked"));
        open_lcdshow();
        QVERIFY(lcd_box(0)->currentIndex() >= 0 && lcd_box(1)->currentIndex() >= 0);  // also for an unknown time
        if (keys == "ok right ok back")
            kor_save_screen(g_lcdshow, "lcdshow");
        kor_keys(keys);
        QTEST(uint(g_back_to_mainwindow_time), "back_after");
        QTEST(uint(g_auto_lock_time), "lock_after");
        if (kor_mode_key_reached_custom_mode())
            return;
        if (g_lcdshow) {  // the row edited in red
            QVERIFY(lcd_box(0)->styleSheet().contains("border:1px solid rgb(255,0,0);"));
            QCOMPARE(lcd_box(0)->currentText(), QString("60"));
            kor_save_screen(g_lcdshow, "lcdshow-editing");
            kor_keys("back");
        }
        QCOMPARE(int(g_page_focus), 12);
        open_lcdshow(false);
        QTEST(lcd_shown(), "shown");
    }

    void opening_and_keys_that_apply_nothing_data()
    {
        // windows: enabled windows, bit w; audio: the audio window; states: its audio flag, the fade,
        // WiFi-off and pixel-to-pixel words; list: the window list; shown: the six boxes at the
        // end, empty when the page was left
        kor_columns<int, int, int, QString, QString, QString>({"windows", "audio", "states", "keys", "list", "shown"});
        const QString first = "image1|OFF|Seamless|Click OK|ON|OFF";
        // An audio window out of range is repaired to the first, which is no change for the scaler.
        QTest::newRow("window 7") << 3 << 7 << 0 << "" << "image1|image2" << first;
        // The states are read as words.
        QTest::newRow("all on") << 0x3F << 5 << 0x100 << "" << "image1|image2|image3|image4|image5|image6"
                                << "image6|ON|Fade|Click OK|OFF|ON";
        // Projection in and out of editing; then choosing WiFi wraps to the left.
        QTest::newRow("projection, then WiFi") << 1 << 0 << 0 << "right*3 ok ok right ok left" << "image1"
                                               << "image1|OFF|Seamless|Click OK|OFF|OFF";
        QTest::newRow("window 3 is off; back while choosing stays, a second leaves")
            << 1 << 2 << 0 << "right*4 ok left back back" << "image1" << "";
        // Stepping the empty list must not wrap its index round to 255.
        QTest::newRow("no window: the list stays empty")
            << 0 << 0 << 0 << "ok right left left back ok ok" << "" << first.mid(6);
    }
    void opening_and_keys_that_apply_nothing()
    {
        QFETCH(int, audio);
        QFETCH(int, states);
        QFETCH(QString, shown);
        enable_windows(unsigned(kor_data<int>("windows")));
        kor_table()->set_u16(KorTable::kAudioWindow, uint16_t(audio));
        if (audio < 6)
            window_byte(audio, KorTable::Window::kAudio) = states ? 0x80 : 0;
        for (int offset : {KorTable::kSwitchFade, KorTable::kWifiOff, KorTable::kPixelToPixel})
            kor_table()->set_u16(offset, uint16_t(states));
        open_othersetup();
        QTEST(kor_entries(box(0)).join('|'), "list");
        QCOMPARE(int(kor_table()->u16(KorTable::kAudioWindow)), box(0)->currentData().toInt());
        kor_table()->set_u16(KorTable::kAudioWindow, 3);  // as the host might have left it meanwhile
        const QByteArray before = kor_ram();
        kor_keys(kor_data<QString>("keys"));
        QCOMPARE(differing(before), QList<int>{});
        QVERIFY(env->commands().empty());
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(int(g_page_focus), shown.isEmpty() ? 12 : 17);
        if (!shown.isEmpty()) {
            QCOMPARE(::shown(), shown);
            kor_save_row_screen(g_othersetup, "othersetup");
            kor_check_mode_key(17);
        }
    }

    void volume_data()
    {
        // audio: window 3's audio byte; after: its volume and audio bytes, -1: nothing written
        kor_columns<int, int, int, int>({"audio", "choice", "volume", "after"});
        QTest::newRow("OFF with the sound on") << 0x81 << 0 << 0 << 0;
        QTest::newRow("ON with the sound off") << 0x01 << 1 << 255 << 0x80;
        QTest::newRow("ON with the sound on") << 0x81 << 1 << -1 << -1;
        QTest::newRow("OFF with the sound off") << 0x01 << 0 << -1 << -1;
    }
    // The sound row acts on the window the list shows, and only when its state changes.
    void volume()
    {
        QFETCH(int, volume);
        using namespace KorTable;
        KorRamPara *t = kor_table();
        enable_windows(0x05);
        window_byte(2, Window::kVolume) = 0x40;
        window_byte(2, Window::kAudio) = uint8_t(kor_data<int>("audio"));
        open_othersetup();
        const QByteArray before = kor_ram();
        // Window 3 in the list applies nothing by itself.
        choose(0, 0, 1);
        QCOMPARE(int(v331_manage::para_changed), 0);
        choose(1, 1, kor_data<int>("choice"));
        QCOMPARE(int(v331_manage::para_changed), 1);
        const QList<int> written{kAudioWindow, Window::offset(2, Window::kVolume), Window::offset(2, Window::kAudio)};
        QCOMPARE(differing(before), volume < 0 ? QList<int>() : written);
        if (volume >= 0)
            QVERIFY(t->u16(kAudioWindow) == 2 && window_byte(2, Window::kVolume) == volume &&
                    window_byte(2, Window::kAudio) == kor_data<int>("after"));
    }

    // Each other row in turn on one page: what its OK writes, and nothing else; the switch
    // effect and pixel-to-pixel are saved at once.
    void applying_each_item()
    {
        using namespace KorTable;
        using Window::kFlags;
        KorRamPara *t = kor_table();
        enable_windows(0x05);
        for (int k = 0; k < 2 * kWindowPairs; ++k)
            t->set_u16(window_pair(k / 2, k % 2), uint16_t(0x3300 + k));
        for (int w = 0; w < Window::kCount; ++w)
            t->set_u16(Window::offset(w, kFlags), w % 2 ? 0x77FB : 0x2204);
        open_othersetup();
        // Fade: the word, bit 2 of the three windows without it, 60 in the low byte of each word
        // of the pairs; seamless clears the bit in all six and leaves the pairs.
        QByteArray before = kor_ram();
        choose(2, 2, 1);
        QCOMPARE(differing(before).size(), 1 + 3 + 32);
        QVERIFY(t->ram[kSwitchFade] == 1 && window_byte(1, kFlags) == 0xFF && t->ram[window_pair(15, 1)] == 60);
        KorTestEnv::process_events();
        QCOMPARE(kor_file_u16(env->read_file("/data/ram_device_info"), kSwitchFade), 1);
        before = kor_ram();
        choose(0, 2, 0);
        QCOMPARE(differing(before).size(), 1 + 6);
        QVERIFY(t->ram[kSwitchFade] == 0 && window_byte(1, kFlags) == 0xFB && window_byte(0, kFlags) == 0);
        // WiFi on with no WiFi service; off stops the access point; on again has the WiFi thread restart it.
        choose(2, 4, 0);
        QCOMPARE(int(g_wifi_reset_flag), 0);
        Z73_WIFI_CONFIG::pInstance();
        choose(0, 4, 1);
        QCOMPARE(int(t->ram[kWifiOff]), 1);
        QCOMPARE(env->commands(), (std::vector<std::string>{"kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`",
                                                            "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`"}));
        choose(0, 4, 0);
        QVERIFY(t->ram[kWifiOff] == 0 && g_wifi_reset_flag == 1);
        // Pixel-to-pixel: the whole high byte of every window's flags word.
        KorTestEnv::process_events();  // the saves asked for so far
        before = kor_ram();
        choose(1, 5, 1);
        QCOMPARE(differing(before).size(), 1 + 6);
        QVERIFY(t->ram[kPixelToPixel] == 1 && window_byte(0, Window::kPixelToPixel) == 1 &&
                window_byte(1, Window::kPixelToPixel) == 1);
        KorTestEnv::process_events();
        QCOMPARE(kor_file_u16(env->read_file("/data/ram_device_info"), kPixelToPixel), 1);
        choose(0, 5, 0);
        QCOMPARE(differing(before).size(), 6);
        QVERIFY(t->ram[kPixelToPixel] == 0 && window_byte(0, Window::kPixelToPixel) == 0 &&
                window_byte(1, Window::kPixelToPixel) == 0);
    }

    // A language set while a page is in front re-texts it; its choices keep the language they
    // were built in.
    void language_set_while_in_front()
    {
        enable_windows(0x01);
        open_lcdshow();
        kor_host_language(2);
        QCOMPARE(kor_text(g_lcdshow, "label_LCDshow"), QString::fromUtf8("ЖК дисплей"));
        QCOMPARE(lcd_box(1)->currentText(), QString("5min"));
        kor_save_screen(g_lcdshow, "lcdshow-ru");
        kor_keys("back right ok");
        kor_host_language(1);
        QCOMPARE(kor_text(g_othersetup, "label_other"), QString("Other Settings"));
        QCOMPARE(box(0)->currentText(), QString::fromUtf8("Канал1"));
        kor_save_screen(g_othersetup, "othersetup-language-changed");
        kor_keys("back back right*3 ok");
        QCOMPARE(int(g_page_focus), 16);
        kor_host_language(2);
        QCOMPARE(kor_text(g_test_chart, "label_testimage"), QString::fromUtf8("Тестовый образец"));
        kor_save_screen(g_test_chart, "test_chart-ru");
    }
};

QTEST_MAIN(TestSettingsPages)
#include "test_settings_pages.moc"
