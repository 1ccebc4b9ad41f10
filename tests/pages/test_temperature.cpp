#include "kor_test_helpers.h"
#include "ui/pages/imagequality.h"
#include "ui/pages/temperature.h"

namespace {
QComboBox *combo() { return kor_child<QComboBox>(g_temperature, "comboBox_type"); }
QString text(const char *name) { return kor_text(g_temperature, name); }
QString combo_items() { return kor_entries(combo()).join(','); }
const char *const kFields[4] = {"comboBox_type", "lineEdit_name_red", "lineEdit_name_green", "lineEdit_name_blue"};
const int kWords[4] = {0x888, 0x88A, 0x88C, 0x88E};

// The picture words 0x880..0x88E as the defaults hold them, but for `except`.
void check_defaults_but(int except)
{
    for (int offset = 0x880; offset <= 0x88E; offset += 2)
        if (offset != except)
            QCOMPARE(kor_table()->u16(offset), uint16_t(default_para_ramlist[2 + offset - 0x300] |
                                                    default_para_ramlist[3 + offset - 0x300] << 8));
}
}

// The colour temperature page, worked with the panel keys from the picture menu; what it
// leaves in the table and what the scaler is asked.
class TestTemperature : public KorTest {
    Q_OBJECT
    void set_up() override { v331_manage::pInstance(); }
    void open_page(int row = 0)  // with row `row` highlighted
    {
        kor_open(kor_picture + "RO", 20);
        kor_keys(QString(row, 'R'));
    }

private slots:

    void browsing()
    {
        kor_set_applied(0x888, 1);
        kor_set_applied(0x88A, 70);
        kor_set_applied(0x88C, 0xFFFF);  // a host value is shown as a signed number
        open_page();
        QCOMPARE(combo()->currentIndex(), 1);
        QCOMPARE(combo_items(), QString("自定义,偏暖,自然,偏冷"));
        QCOMPARE(text("lineEdit_name_red") + "," + text("lineEdit_name_green"), QString("70,-1"));
        QCOMPARE(text("label_temperature"), QString("色温"));
        kor_save_screen(g_temperature, "temperature");
        // Browsing wraps over the four rows and writes nothing.
        kor_press(KorKey::Left);
        QVERIFY(kor_focused(g_temperature, "lineEdit_name_blue"));
        kor_keys("RO");
        QCOMPARE(int(v331_manage::para_changed), 0);
        QVERIFY(kor_editing(g_temperature, "comboBox_type"));
        kor_save_screen(g_temperature, "temperature-type-editing");
        // A new language re-texts the labels; the type names keep the page's first language.
        kor_host_language(1);
        QCOMPARE(text("label_temperature") + "," + text("label_name_green"), QString("Temperature,Green"));
        QCOMPARE(combo_items(), QString("自定义,偏暖,自然,偏冷"));
        QVERIFY(kor_editing(g_temperature, "comboBox_type"));
        kor_save_screen(g_temperature, "temperature-en");
    }

    // The type write is never dropped; a pending 2 (apply and align the user modes, asked by
    // somebody else) stays 2.
    void type_data()
    {
        // pending: the change byte when the page opens; keys: on row 0, not applied in between
        // after: combo item after the keys; word: the type word then
        kor_columns<int, int, QString, int, int>({"stored", "pending", "keys", "after", "word"});
        QTest::newRow("right from cool wraps to custom, not yet written") << 3 << 0 << "OR" << 0 << 3;
        QTest::newRow("left from custom wraps to cool, not yet written") << 0 << 0 << "OL" << 3 << 0;
        QTest::newRow("OK writes the shown type") << 3 << 0 << "ORO" << 0 << 0;
        QTest::newRow("back restores and writes the type edited from") << 1 << 0 << "ORRB" << 1 << 1;
        QTest::newRow("back with no change still writes") << 2 << 0 << "OB" << 2 << 2;
        QTest::newRow("stored 4 shows custom, unwritten") << 4 << 0 << "" << 0 << 4;
        QTest::newRow("stored 4, OK writes custom") << 4 << 0 << "OO" << 0 << 0;
        // The whole word: a left-over high byte would give the scaler another type.
        QTest::newRow("host word with a high byte") << 0x0101 << 0 << "ORRO" << 2 << 2;
        QTest::newRow("a change pending") << 2 << 1 << "OLO" << 1 << 1;
        QTest::newRow("user-mode alignment pending") << 2 << 2 << "OLO" << 1 << 1;
    }
    void type()
    {
        QFETCH(int, pending);
        QFETCH(QString, keys);
        kor_set_applied(0x888, uint16_t(kor_data<int>("stored")));
        open_page();
        v331_manage::para_changed = uint8_t(pending);
        kor_keys(keys);
        QTEST(combo()->currentIndex(), "after");
        QTEST(int(kor_table()->u16(0x888)), "word");
        const bool written = keys.endsWith('O') || keys.endsWith('B');
        QCOMPARE(int(v331_manage::para_changed), pending == 2 ? 2 : written ? 1 : pending);
        check_defaults_but(0x888);
    }

    void gains_data()
    {
        kor_columns<int, int, QString, int>({"row", "start", "keys", "word"});
        QTest::newRow("red up") << 1 << 64 << "ORRO" << 66;
        QTest::newRow("up at 100 stays 100") << 1 << 100 << "ORO" << 100;
        QTest::newRow("down at 0 stays 0") << 3 << 0 << "OLLO" << 0;
        QTest::newRow("back restores") << 2 << 64 << "ORRRB" << 64;
        QTest::newRow("back restores the value at the last OK") << 1 << 64 << "OROOLLB" << 65;
        QTest::newRow("host value 255, OK writes 100") << 3 << 255 << "OO" << 100;
        QTest::newRow("host word with a high byte") << 2 << 0x0140 << "OO" << 100;
    }
    void gains()
    {
        QFETCH(int, row);
        QFETCH(int, word);
        kor_set_applied(kWords[row], uint16_t(kor_data<int>("start")));
        open_page(row);
        kor_keys(kor_data<QString>("keys"), true);
        QCOMPARE(int(kor_table()->u16(kWords[row])), word);
        QCOMPARE(text(kFields[row]), QString::number(word));
        QVERIFY(kor_focused(g_temperature, kFields[row]));
        // Only that gain: neither the type, the other gains nor the picture quality words.
        check_defaults_but(kWords[row]);
    }

    // Every step, OK and back is applied at once; none while the scaler has not yet taken
    // the previous change.
    void gain_keys_raise_a_change_unless_one_is_pending()
    {
        open_page(1);
        kor_check_raises("ORLOOB", "-+++-+");
        kor_keys("OR", true);  // red 65
        v331_manage::para_changed = 1;
        kor_keys("RRLB");  // back still leaves editing; nothing restored
        QCOMPARE(kor_table()->u16(0x88A), uint16_t(65));
        QCOMPARE(text("lineEdit_name_red"), QString("65"));
        QVERIFY(kor_focused(g_temperature, "lineEdit_name_red"));
    }

    void applied_by_the_scaler()
    {
        open_page();
        // Custom: the page's gains, each scaling its colour by value / 128; then warm.
        const QStringList keys{"OLLO", "RORO", "RROLO", "RORO"};
        const QStringList calls{"color_gains(4096,4096,4096)", "color_gains(4160,4096,4096)",
                                "color_gains(4160,4096,4032)", "color_gains(8845,8113,7056)"};
        for (int i = 0; i < keys.size(); ++i) {
            env->scaler()->clear();
            kor_keys(keys[i], true);
            QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{calls[i]});
        }
        kor_save_screen(g_temperature, "temperature-warm");
        // Saved by the refresh after the scaler took it: type, red, blue.
        const QByteArray file = env->read_file("/data/ram_device_info");
        QCOMPARE(file.mid(2 + 0x888 - 0x300, 8).toHex(), QByteArray("0100410040003f00"));
    }

    void leaving_data()
    {
        // keys: while editing the type, shown as cool
        kor_columns<QString, bool, int>({"keys", "locked", "focus"});
        QTest::newRow("back, back to the picture menu") << "BB" << false << 11;
        QTest::newRow("mode") << "M" << false << 4;
        QTest::newRow("mode, keys locked") << "M" << true << 20;
    }
    void leaving()
    {
        QFETCH(int, focus);
        open_page();
        kor_keys("OR");
        kor_set_applied(0x304, kor_data<bool>("locked"));
        kor_keys(kor_data<QString>("keys"));
        KorTestEnv::process_events();
        kor_check_left(20, focus);
        // The type shown while editing is never written by the mode key.
        QCOMPARE(int(kor_table()->u16(0x888)), 2);
        QCOMPARE(int(v331_manage::para_changed), focus == 11 ? 1 : 0);
    }
};

QTEST_MAIN(TestTemperature)
#include "test_temperature.moc"
