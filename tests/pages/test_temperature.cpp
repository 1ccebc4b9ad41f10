#include "core/global.h"
#include "kor_picture_helpers.h"
#include "ui/pages/imagequality.h"
#include "ui/pages/temperature.h"
#include "ui/shell/custommode.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }
QComboBox *combo() { return g_temperature->findChild<QComboBox *>("comboBox_type"); }
QString field_text(const char *name) { return g_temperature->findChild<QLineEdit *>(name)->text(); }
QString style_of(const char *name) { return g_temperature->findChild<QWidget *>(name)->styleSheet(); }
QString label(const char *name) { return g_temperature->findChild<QLabel *>(name)->text(); }
// The four type names, joined.
QString combo_items()
{
    QStringList items;
    for (int i = 0; i < combo()->count(); ++i)
        items << combo()->itemText(i);
    return items.join(',');
}
const char *const kFields[4] = {"comboBox_type", "lineEdit_name_red", "lineEdit_name_green", "lineEdit_name_blue"};
const int kWords[4] = {0x888, 0x88A, 0x88C, 0x88E};

// The picture words 0x880..0x88E as the defaults hold them, but for `except`.
void check_defaults_but(int except)
{
    for (int offset = 0x880; offset <= 0x88E; offset += 2)
        if (offset != except)
            QCOMPARE(table()->u16(offset), uint16_t(default_para_ramlist[2 + offset - 0x300] |
                                                    default_para_ramlist[3 + offset - 0x300] << 8));
}
}

// The colour temperature page, worked with the panel keys from the picture menu; what it
// leaves in the table and what the scaler is asked.
class TestTemperature : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    void open_page(int row = 0)  // with row `row` highlighted
    {
        kor_open_picture_page(1);
        QVERIFY(g_temperature);
        QCOMPARE(int(g_page_focus), 20);
        kor_press_keys(QString(row, 'R'), false);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        v331_manage::pInstance();
    }
    void cleanup() { env.reset(); }

    void browsing()
    {
        kor_set_applied(0x888, 1);
        kor_set_applied(0x88A, 70);
        kor_set_applied(0x88C, 0xFFFF);  // a host value is shown as a signed number
        open_page();
        QCOMPARE(combo()->currentIndex(), 1);
        QCOMPARE(combo_items(), QString("自定义,偏暖,自然,偏冷"));
        QCOMPARE(field_text("lineEdit_name_red") + "," + field_text("lineEdit_name_green"), QString("70,-1"));
        QCOMPARE(label("label_temperature"), QString("色温"));
        kor_save_screen(g_temperature, "temperature");
        // Browsing wraps over the four rows and writes nothing.
        kor_press(KorKey::Left);
        QCOMPARE(style_of("lineEdit_name_blue"), kor_field_focus);
        kor_press_keys("RK", false);
        QCOMPARE(int(v331_manage::para_changed), 0);
        QVERIFY(style_of("comboBox_type").contains("border:1px solid rgb(255,0,0)"));
        kor_save_screen(g_temperature, "temperature-type-editing");
        // A new language re-texts the labels; the type names keep the page's first language.
        table()->ram[0x300] = 1;
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(label("label_temperature") + "," + label("label_name_green"), QString("Temperature,Green"));
        QCOMPARE(combo_items(), QString("自定义,偏暖,自然,偏冷"));
        QVERIFY(style_of("comboBox_type").contains("border:1px solid rgb(255,0,0)"));
        kor_save_screen(g_temperature, "temperature-en");
    }

    // The type write is never dropped; a pending 2 (apply and align the user modes, asked by
    // somebody else) stays 2.
    void type_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("pending");   // the change byte when the page opens
        QTest::addColumn<QString>("keys");  // on row 0, not applied in between
        QTest::addColumn<int>("after");     // combo item after the keys
        QTest::addColumn<int>("word");      // the type word then
        QTest::newRow("right from cool wraps to custom, not yet written") << 3 << 0 << "KR" << 0 << 3;
        QTest::newRow("left from custom wraps to cool, not yet written") << 0 << 0 << "KL" << 3 << 0;
        QTest::newRow("OK writes the shown type") << 3 << 0 << "KRK" << 0 << 0;
        QTest::newRow("back restores and writes the type edited from") << 1 << 0 << "KRRB" << 1 << 1;
        QTest::newRow("back with no change still writes") << 2 << 0 << "KB" << 2 << 2;
        QTest::newRow("stored 4 shows custom, unwritten") << 4 << 0 << "" << 0 << 4;
        QTest::newRow("stored 4, OK writes custom") << 4 << 0 << "KK" << 0 << 0;
        // The whole word: a left-over high byte would give the scaler another type.
        QTest::newRow("host word with a high byte") << 0x0101 << 0 << "KRRK" << 2 << 2;
        QTest::newRow("a change pending") << 2 << 1 << "KLK" << 1 << 1;
        QTest::newRow("user-mode alignment pending") << 2 << 2 << "KLK" << 1 << 1;
    }
    void type()
    {
        QFETCH(int, stored);
        QFETCH(int, pending);
        QFETCH(QString, keys);
        QFETCH(int, after);
        QFETCH(int, word);
        kor_set_applied(0x888, uint16_t(stored));
        open_page();
        v331_manage::para_changed = uint8_t(pending);
        kor_press_keys(keys, false);
        QCOMPARE(combo()->currentIndex(), after);
        QCOMPARE(int(table()->u16(0x888)), word);
        const bool written = keys.endsWith('K') || keys.endsWith('B');
        QCOMPARE(int(v331_manage::para_changed), pending == 2 ? 2 : written ? 1 : pending);
        check_defaults_but(0x888);
    }

    void gains_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("word");
        QTest::newRow("red up") << 1 << 64 << "KRRK" << 66;
        QTest::newRow("up at 100 stays 100") << 1 << 100 << "KRK" << 100;
        QTest::newRow("down at 0 stays 0") << 3 << 0 << "KLLK" << 0;
        QTest::newRow("back restores") << 2 << 64 << "KRRRB" << 64;
        QTest::newRow("back restores the value at the last OK") << 1 << 64 << "KRKKLLB" << 65;
        QTest::newRow("host value 255, OK writes 100") << 3 << 255 << "KK" << 100;
        QTest::newRow("host word with a high byte") << 2 << 0x0140 << "KK" << 100;
    }
    void gains()
    {
        QFETCH(int, row);
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(int, word);
        kor_set_applied(kWords[row], uint16_t(start));
        open_page(row);
        kor_press_keys(keys);
        QCOMPARE(int(table()->u16(kWords[row])), word);
        QCOMPARE(field_text(kFields[row]), QString::number(word));
        QCOMPARE(style_of(kFields[row]), kor_field_focus);
        // Only that gain: neither the type, the other gains nor the picture quality words.
        check_defaults_but(kWords[row]);
    }

    // Every step, OK and back is applied at once; none while the scaler has not yet taken
    // the previous change.
    void gain_keys_raise_a_change_unless_one_is_pending()
    {
        open_page(1);
        kor_check_raises("KRLKKB", "-+++-+");
        kor_press_keys("KR");  // red 65
        v331_manage::para_changed = 1;
        kor_press_keys("RRLB", false);  // back still leaves editing; nothing restored
        QCOMPARE(table()->u16(0x88A), uint16_t(65));
        QCOMPARE(field_text("lineEdit_name_red"), QString("65"));
        QCOMPARE(style_of("lineEdit_name_red"), kor_field_focus);
    }

    void applied_by_the_scaler()
    {
        open_page();
        // Custom: the page's gains, each scaling its colour by value / 128; then warm.
        const QStringList keys{"KLLK", "RKRK", "RRKLK", "RKRK"};
        const QStringList calls{"color_gains(4096,4096,4096)", "color_gains(4160,4096,4096)",
                                "color_gains(4160,4096,4032)", "color_gains(8845,8113,7056)"};
        for (int i = 0; i < keys.size(); ++i) {
            env->scaler()->clear();
            kor_press_keys(keys[i]);
            QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{calls[i]});
        }
        kor_save_screen(g_temperature, "temperature-warm");
        // Saved by the refresh after the scaler took it: type, red, blue.
        const QByteArray file = env->read_file("/data/ram_device_info");
        QCOMPARE(file.mid(2 + 0x888 - 0x300, 8).toHex(), QByteArray("0100410040003f00"));
    }

    void leaving_data()
    {
        QTest::addColumn<QString>("keys");  // while editing the type, shown as cool
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("focus");
        QTest::newRow("back, back to the picture menu") << "BB" << false << 11;
        QTest::newRow("mode") << "M" << false << 4;
        QTest::newRow("mode, keys locked") << "M" << true << 20;
    }
    void leaving()
    {
        QFETCH(QString, keys);
        QFETCH(bool, locked);
        QFETCH(int, focus);
        open_page();
        kor_press_keys("KR", false);
        kor_set_applied(0x304, locked);
        kor_press_keys(keys, false);
        KorTestEnv::process_events();
        QCOMPARE(int(g_page_focus), focus);
        QCOMPARE(g_temperature != nullptr, locked);
        QCOMPARE(g_imagequality != nullptr, focus != 4);
        QCOMPARE(g_custommode != nullptr, focus == 4);
        QCOMPARE(g_mode_shortcut_key != 0, focus == 4);
        // The type shown while editing is never written by the mode key.
        QCOMPARE(int(table()->u16(0x888)), 2);
        QCOMPARE(int(v331_manage::para_changed), focus == 11 ? 1 : 0);
    }
};

QTEST_MAIN(TestTemperature)
#include "test_temperature.moc"
