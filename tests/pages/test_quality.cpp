#include "core/brightness_request.h"
#include "kor_test_helpers.h"
#include "ui/pages/imagequality.h"
#include "ui/pages/quality.h"

namespace {
QString field_text(const char *name) { return kor_text(g_quality, name); }

const char *const kFields[5] = {"lineEdit_bright", "lineEdit_Sharpness", "lineEdit_Contrast", "lineEdit_Saturation",
                                "lineEdit_Reset"};
// The rows are not in table order.
const int kWords[4] = {0x880, 0x884, 0x882, 0x886};
QStringList fields_shown()
{
    return {field_text(kFields[0]), field_text(kFields[1]), field_text(kFields[2]), field_text(kFields[3]),
            field_text(kFields[4])};
}
}

// The picture quality page, worked with the panel keys from the picture menu; what it
// leaves in the table, what the scaler is asked and what is saved.
class TestQuality : public KorTest {
    Q_OBJECT
    void set_up() override { v331_manage::pInstance(); }
    void open_page(int row = 0)  // with row `row` highlighted
    {
        kor_open(kor_picture + "O", 19);
        kor_keys(QString(row, 'R'));
    }

private slots:

    void browsing()
    {
        const int start[4] = {80, 12, 45, 200};  // a host value beyond the page's range is shown as it is
        for (int row = 0; row < 4; ++row)
            kor_set_applied(kWords[row], uint16_t(start[row]));
        open_page();
        QCOMPARE(fields_shown(), (QStringList{"80", "12", "45", "200", "点击OK应用"}));
        QCOMPARE(kor_text(g_quality, "label_quality"), QString("图像效果"));
        kor_save_screen(g_quality, "quality");
        // Browsing wraps both ways over the five rows and writes nothing.
        kor_press(KorKey::Left);
        QVERIFY(kor_focused(g_quality, "lineEdit_Reset"));
        kor_keys("RRO");
        QCOMPARE(int(v331_manage::para_changed), 0);
        QVERIFY(kor_editing(g_quality, "lineEdit_Sharpness"));
        kor_save_screen(g_quality, "quality-editing");
        // A new language re-texts the page and keeps the numbers and the edit.
        kor_host_language(2);
        QCOMPARE(kor_text(g_quality, "label_quality"), QString("Изображение"));
        QCOMPARE(fields_shown(), (QStringList{"80", "12", "45", "200", "Нажмите ОК"}));
        QVERIFY(kor_editing(g_quality, "lineEdit_Sharpness"));
        kor_save_screen(g_quality, "quality-ru");
    }

    void editing_data()
    {
        // start: the row's table word when the page opens; keys: after the row is highlighted
        kor_columns<int, int, QString, int>({"row", "start", "keys", "word"});
        QTest::newRow("brightness up, OK") << 0 << 40 << "ORRO" << 42;
        QTest::newRow("contrast row writes 0x882") << 2 << 50 << "ORRRO" << 53;
        QTest::newRow("up at 100 stays 100") << 0 << 100 << "ORRO" << 100;
        QTest::newRow("down at 0 stays 0") << 2 << 0 << "OLO" << 0;
        QTest::newRow("host value 200, OK writes 100") << 3 << 200 << "OO" << 100;
        QTest::newRow("back restores the value edited from") << 1 << 30 << "ORRRRB" << 30;
        QTest::newRow("back restores the value at the last OK") << 0 << 30 << "ORROOLLB" << 32;
        // The table holds the number shown, not a left-over high byte under it.
        QTest::newRow("host word with a high byte") << 0 << 0x0105 << "OO" << 100;
        QTest::newRow("negative host word") << 1 << 0xFFFE << "OR" << 0;
    }
    void editing()
    {
        QFETCH(int, row);
        QFETCH(int, start);
        QFETCH(int, word);
        kor_set_applied(kWords[row], uint16_t(start));
        open_page(row);
        kor_keys(kor_data<QString>("keys"), true);
        QCOMPARE(int(kor_table()->u16(kWords[row])), word);
        QCOMPARE(field_text(kFields[row]), QString::number(word));
        for (int other = 0; other < 4; ++other)
            if (other != row)
                QCOMPARE(kor_table()->u16(kWords[other]), uint16_t(default_para_ramlist[2 + kWords[other] - 0x300]));
        // Saved by the refresh after the scaler took it.
        if (word != start)
            QCOMPARE(uint8_t(env->read_file("/data/ram_device_info").at(2 + kWords[row] - 0x300)), uint8_t(word));
    }

    // Brightness goes to the FPGA; the scaler chip's own stays fixed.
    void applied_by_the_scaler()
    {
        open_page();
        const char *calls[4] = {"brightness(50)", "sharpness(9)", "contrast(49)", "saturation(49)"};
        for (int row = 0; row < 4; ++row) {
            g_bri_set_flag = 0;
            env->scaler()->clear();
            kor_keys("OLO", true);  // OK writes the same value again: nothing more to program
            QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{calls[row]});
            QCOMPARE(g_bri_set_flag.load() != 0, row == 0);
            kor_keys("R");
        }
    }

    // Every step, OK and back in editing is applied at once; none while the scaler has not
    // yet taken the previous change.
    void editing_keys_raise_a_change_unless_one_is_pending()
    {
        kor_set_applied(0x884, 40);
        open_page(1);
        kor_check_raises("ORLOOB", "-+++-+");
        kor_keys("ORR", true);
        v331_manage::para_changed = 1;  // the scaler has not taken the next change yet
        kor_keys("RLLB");  // back leaves editing without restoring
        QCOMPARE(kor_table()->u16(0x884), uint16_t(42));
        QCOMPARE(field_text("lineEdit_Sharpness"), QString("42"));
        QVERIFY(kor_focused(g_quality, "lineEdit_Sharpness"));
        // OK while pending still leaves editing: right then moves the highlight.
        v331_manage::para_changed = 0;
        kor_keys("OL", true);
        v331_manage::para_changed = 1;
        kor_keys("OR");
        QVERIFY(kor_focused(g_quality, "lineEdit_Contrast"));
        QCOMPARE(kor_table()->u16(0x884), uint16_t(41));
    }

    // The reset does not wait for a pending change; a pending 2 (apply and align the user
    // modes, asked by somebody else) stays 2.
    void picture_reset_data()
    {
        QTest::addColumn<int>("pending");
        QTest::newRow("nothing pending") << 0;
        QTest::newRow("user-mode alignment pending") << 2;
    }
    void picture_reset()
    {
        QFETCH(int, pending);
        const int words[8] = {30, 20, 70, 90, 3, 10, 20, 30};
        for (int i = 0; i < 8; ++i)
            kor_set_applied(0x880 + 2 * i, uint16_t(words[i]));
        kor_table()->ram[0x88F] = 7;  // the last of the sixteen bytes
        open_page(4);
        v331_manage::para_changed = uint8_t(pending);
        kor_press(KorKey::Ok);
        QCOMPARE(int(v331_manage::para_changed), pending == 2 ? 2 : 1);
        // Brightness, contrast, sharpness, saturation and the colour temperature.
        const int expected[8] = {100, 50, 10, 50, 2, 64, 64, 64};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(int(kor_table()->u16(0x880 + 2 * i)), expected[i]);
        // The restored values are shown at once.
        QCOMPARE(fields_shown(), (QStringList{"100", "10", "50", "50", "点击OK应用"}));
        kor_save_screen(g_quality, "quality-reset");
        kor_scaler_pass();
        const QStringList calls = kor_scaler_calls(env->scaler());
        for (const char *call : {"brightness(50)", "contrast(50)", "sharpness(10)", "saturation(50)",
                                 "color_gains(8192,8192,8192)"})
            QVERIFY2(calls.contains(call), call);
        // The next edit starts from the restored value.
        kor_press(KorKey::Right);
        kor_keys("OLO", true);
        QCOMPARE(kor_table()->u16(0x880), uint16_t(99));
    }

    void leaving_data()
    {
        // keys: while editing brightness, at 61
        kor_columns<QString, bool, int>({"keys", "locked", "focus"});
        QTest::newRow("OK, back to the picture menu") << "OB" << false << 11;
        QTest::newRow("mode while editing") << "M" << false << 4;
        QTest::newRow("mode, keys locked") << "M" << true << 19;
    }
    void leaving()
    {
        QFETCH(int, focus);
        kor_set_applied(0x880, 60);
        open_page();
        kor_keys("OR", true);
        kor_set_applied(0x304, kor_data<bool>("locked"));
        g_language = 1;  // the picture menu is re-texted on the way back
        kor_keys(kor_data<QString>("keys"));
        KorTestEnv::process_events();
        kor_check_left(19, focus);
        // What was applied stays; nothing is restored.
        QCOMPARE(int(kor_table()->u16(0x880)), 61);
        if (focus == 11)
            QCOMPARE(kor_text(g_imagequality, "label_title"), QString("Picture"));
    }
};

QTEST_MAIN(TestQuality)
#include "test_quality.moc"
