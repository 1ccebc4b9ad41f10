#include "kor_test_helpers.h"
#include "ui/pages/imagequality.h"
#include "ui/pages/quality.h"
#include "ui/pages/temperature.h"

namespace {
// The picture menu's items; each row's field and table word (the quality rows are not in table order).
struct PicturePage {
    int number;
    const char *fields[5];
    int words[4];
};
const PicturePage kPages[2] = {
    {19, {"lineEdit_bright", "lineEdit_Sharpness", "lineEdit_Contrast", "lineEdit_Saturation", "lineEdit_Reset"},
     {KorTable::kBrightness, KorTable::kSharpness, KorTable::kContrast, KorTable::kSaturation}},
    {20, {"comboBox_type", "lineEdit_name_red", "lineEdit_name_green", "lineEdit_name_blue"},
     {KorTable::kColorTempType, KorTable::kGainRed, KorTable::kGainGreen, KorTable::kGainBlue}}};

QString ttext(const char *name) { return kor_text(g_temperature, name); }
QStringList fields_shown()
{
    QStringList out;
    for (const char *name : kPages[0].fields)
        out << kor_text(g_quality, name);
    return out;
}
QComboBox *combo() { return kor_child<QComboBox>(g_temperature, "comboBox_type"); }
QString combo_items() { return kor_entries(combo()).join(','); }

}

// The picture quality and colour temperature pages, worked with the panel keys from the
// picture menu; what they leave in the table, what the scaler is asked and what is saved.
class TestPicture : public KorTest {
    Q_OBJECT
    void set_up() override { v331_manage::pInstance(); }
    void open_page(int item, int row = 0)  // with row `row` highlighted
    {
        kor_open(kor_picture + QString(" right*%1 ok").arg(item), kPages[item].number);
        kor_keys(QString("right*%1").arg(row));
    }

private slots:
    void quality_browsing()
    {
        const int start[4] = {80, 12, 45, 200};  // a host value beyond the page's range is shown as it is
        for (int row = 0; row < 4; ++row)
            kor_set_applied(kPages[0].words[row], uint16_t(start[row]));
        open_page(0);
        QCOMPARE(fields_shown(), (QStringList{"80", "12", "45", "200", "点击OK应用"}));
        kor_save_screen(g_quality, "quality");
        // Browsing wraps over the five rows and writes nothing.
        kor_keys("left right right ok");
        QCOMPARE(int(v331_manage::para_changed), 0);
        QVERIFY(kor_editing(g_quality, "lineEdit_Sharpness"));
        kor_save_screen(g_quality, "quality-editing");
        // A new language re-texts the page and keeps the numbers and the edit.
        kor_host_language(2);
        QCOMPARE(fields_shown(), (QStringList{"80", "12", "45", "200", "Нажмите ОК"}));
        QVERIFY(kor_editing(g_quality, "lineEdit_Sharpness"));
        kor_save_screen(g_quality, "quality-ru");
    }

    void temperature_browsing()
    {
        kor_set_applied(KorTable::kColorTempType, 1);
        kor_set_applied(KorTable::kGainRed, 70);
        open_page(1);
        QCOMPARE(combo_items() + " " + combo()->currentText(), QString("自定义,偏暖,自然,偏冷 偏暖"));
        QCOMPARE(ttext("lineEdit_name_red") + "," + ttext("lineEdit_name_green"), QString("70,64"));
        kor_save_screen(g_temperature, "temperature");
        kor_keys("left right ok");
        QVERIFY(kor_editing(g_temperature, "comboBox_type"));
        kor_save_screen(g_temperature, "temperature-type-editing");
        // A new language re-texts the labels; the type names keep the page's first language.
        kor_host_language(1);
        QCOMPARE(ttext("label_temperature") + combo_items(), QString("Temperature自定义,偏暖,自然,偏冷"));
        kor_save_screen(g_temperature, "temperature-en");
    }

    // A row's value steps within 0 to 100, each step applied at once; back restores the value
    // at the last OK. The table holds the number shown, not a left-over high byte under it.
    void editing_data()
    {
        // start: the row's table word when the page opens; keys: after the row is highlighted
        kor_columns<int, int, int, QString, int>({"item", "row", "start", "keys", "word"});
        QTest::newRow("contrast row writes the contrast word") << 0 << 2 << 50 << "ok right*3 ok" << 53;
        QTest::newRow("brightness: up at 100 stays 100") << 0 << 0 << 100 << "ok right right ok" << 100;
        QTest::newRow("host value 200, OK writes 100") << 0 << 3 << 200 << "ok ok" << 100;
        QTest::newRow("brightness: back restores the value at the last OK")
            << 0 << 0 << 30 << "ok right right ok ok left left back" << 32;
        QTest::newRow("brightness: host word with a high byte") << 0 << 0 << 0x0105 << "ok ok" << 100;
        QTest::newRow("red up") << 1 << 1 << 64 << "ok right right ok" << 66;
        QTest::newRow("green up") << 1 << 2 << 70 << "ok right ok" << 71;
        QTest::newRow("blue down") << 1 << 3 << 30 << "ok left ok" << 29;
    }
    void editing()
    {
        QFETCH(int, item);
        QFETCH(int, row);
        QFETCH(QString, keys);
        QFETCH(int, word);
        const int at = kPages[item].words[row];
        const char *field = kPages[item].fields[row];
        kor_set_applied(at, uint16_t(kor_data<int>("start")));
        open_page(item, row);
        kor_keys(keys, true);
        QCOMPARE(int(kor_table()->u16(at)), word);
        QCOMPARE(kor_text(kor_page(kPages[item].number), field), QString::number(word));
        QVERIFY(keys.endsWith("ok") || keys.endsWith("back") ? kor_focused(kor_page(kPages[item].number), field)
                                                         : kor_editing(kor_page(kPages[item].number), field));
    }

    // Every step, OK and back in editing is applied at once; none while the scaler has not
    // yet taken the previous change.
    void editing_keys_raise_a_change_unless_one_is_pending()
    {
        kor_set_applied(KorTable::kSharpness, 40);
        open_page(0, 1);
        kor_check_raises({{"ok", false}, {"right", true}, {"left", true}, {"ok", true}, {"ok", false}, {"back", true}});
        kor_keys("ok right right", true);
        v331_manage::para_changed = 1;  // the scaler has not taken the next change yet
        kor_keys("right left left back");  // back leaves editing without restoring
        QCOMPARE(kor_table()->u16(KorTable::kSharpness), uint16_t(42));
        QVERIFY(kor_focused(g_quality, "lineEdit_Sharpness"));
        // OK while pending still leaves editing: right then moves the highlight.
        v331_manage::para_changed = 0;
        kor_keys("ok left", true);
        v331_manage::para_changed = 1;
        kor_keys("ok right");
        QVERIFY(kor_focused(g_quality, "lineEdit_Contrast"));
        QCOMPARE(kor_table()->u16(KorTable::kSharpness), uint16_t(41));
    }

    // The type write is never dropped; a pending 2 (apply and align the user modes, asked by
    // somebody else) stays 2.
    void type_data()
    {
        // pending: the change byte at opening; keys: on row 0; after: the combo item; word: the type word
        kor_columns<int, int, QString, int, int>({"stored", "pending", "keys", "after", "word"});
        QTest::newRow("right from cool wraps to custom, OK writes it") << 3 << 0 << "ok right ok" << 0 << 0;
        QTest::newRow("back restores and writes the type edited from") << 1 << 0 << "ok right right back" << 1 << 1;
        QTest::newRow("stored 4 shows custom, unwritten") << 4 << 0 << "" << 0 << 4;
        // The whole word: a left-over high byte would give the scaler another type.
        QTest::newRow("host word with a high byte") << 0x0101 << 0 << "ok right right ok" << 2 << 2;
        QTest::newRow("a change pending") << 2 << 1 << "ok left ok" << 1 << 1;
        QTest::newRow("user-mode alignment pending") << 2 << 2 << "ok left ok" << 1 << 1;
    }
    void type()
    {
        QFETCH(int, pending);
        QFETCH(QString, keys);
        kor_set_applied(KorTable::kColorTempType, uint16_t(kor_data<int>("stored")));
        open_page(1);
        v331_manage::para_changed = uint8_t(pending);
        kor_keys(keys);
        QTEST(combo()->currentIndex(), "after");
        QTEST(int(kor_table()->u16(KorTable::kColorTempType)), "word");
        const bool written = keys.endsWith("ok") || keys.endsWith("back");
        QCOMPARE(int(v331_manage::para_changed), pending == 2 ? 2 : written ? 1 : pending);
    }

    // The reset does not wait for a pending change; a pending 2 (apply and align the user
    // modes, asked by somebody else) stays 2.
    void picture_reset()
    {
        const int words[8] = {30, 20, 70, 90, 3, 10, 20, 30};
        for (int i = 0; i < 8; ++i)
            kor_set_applied(KorTable::kBrightness + 2 * i, uint16_t(words[i]));
        kor_table()->ram[KorTable::kGainBlue + 1] = 7;  // the last of the sixteen bytes
        open_page(0, 4);
        v331_manage::para_changed = 2;
        kor_press(KorKey::Ok);
        QCOMPARE(int(v331_manage::para_changed), 2);
        // Brightness, contrast, sharpness, saturation and the colour temperature.
        const int expected[8] = {100, 50, 10, 50, 2, 64, 64, 64};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(int(kor_table()->u16(KorTable::kBrightness + 2 * i)), expected[i]);
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
        kor_keys("ok left ok", true);
        QCOMPARE(kor_table()->u16(KorTable::kBrightness), uint16_t(99));
    }

    // Leaving while editing: what was applied stays, nothing is restored and the type shown
    // is never written by the mode key; the picture menu is re-texted on the way back.
    void leaving_data()
    {
        // keys: while editing brightness (at 61) or the type (shown as cool)
        kor_columns<int, QString, int>({"item", "keys", "focus"});
        QTest::newRow("quality: OK, back to the picture menu") << 0 << "ok back" << 11;
        QTest::newRow("quality: mode while editing") << 0 << "mode" << 4;
        QTest::newRow("temperature: back, back to the picture menu") << 1 << "back back" << 11;
        QTest::newRow("temperature: mode") << 1 << "mode" << 4;
    }
    void leaving()
    {
        QFETCH(int, item);
        QFETCH(int, focus);
        kor_set_applied(KorTable::kBrightness, 60);
        open_page(item);
        kor_keys("ok right", item == 0);
        g_language = 1;
        kor_keys(kor_data<QString>("keys"));
        KorTestEnv::process_events();
        kor_check_left(kPages[item].number, focus);
        QCOMPARE(int(kor_table()->u16(KorTable::kBrightness)), item == 0 ? 61 : 60);
        QCOMPARE(int(kor_table()->u16(KorTable::kColorTempType)), 2);
        if (item == 1)
            QCOMPARE(int(v331_manage::para_changed), focus == 11 ? 1 : 0);
        if (focus == 11)
            QCOMPARE(kor_text(g_imagequality, "label_title"), QString("Picture"));
    }
};

QTEST_MAIN(TestPicture)
#include "test_picture.moc"
