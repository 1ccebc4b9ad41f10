#include "hostlink/z73_wifi_config.h"
#include "kor_form_check.h"
#include "kor_test_helpers.h"
#include "ui/pages/othersetup.h"

namespace {
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
}

// The other settings page, worked with the panel keys from the advanced settings.
class TestOthersetup : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        v331_manage::pInstance();
        g_language = 1;
    }
    void open_page() { kor_open(kor_advanced + "RO", 17); }
    // Moves right `moves` rows to `row`, chooses entry `index` there and applies it.
    void choose(int moves, int row, int index)
    {
        const int steps = (index - box(row)->currentIndex() + box(row)->count()) % box(row)->count();
        kor_keys(QString(moves, 'R') + 'O' + QString(steps, 'R') + 'O');
    }

private slots:

    void form()
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
        open_page();
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
        open_page();
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
        open_page();
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
        open_page();
        kor_host_language(2);
        QCOMPARE(kor_text(g_othersetup, "label_other"), QString::fromUtf8("Другие настройки"));
        // The entries keep the language the page was built in.
        QCOMPARE(box(0)->currentText(), QString::fromUtf8("画面1"));
        kor_save_screen(g_othersetup, "othersetup-language-changed");
    }
};

QTEST_MAIN(TestOthersetup)
#include "test_othersetup.moc"
