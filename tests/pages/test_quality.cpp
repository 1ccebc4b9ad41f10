#include "core/brightness_request.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "kor_picture_helpers.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/imagequality.h"
#include "ui/pages/quality.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }

QString field_text(const char *name) { return g_quality->findChild<QLineEdit *>(name)->text(); }
QString style_of(const char *name) { return g_quality->findChild<QWidget *>(name)->styleSheet(); }

const QString kNormal = "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255, 255, 255);";
const QString kFocus = "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,171,84);";
const QString kEdit = "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,0,0);";
const QString kFormField = "color: rgb(255, 255, 255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255, 255, 255);";
const char *const kFields[5] = {"lineEdit_bright", "lineEdit_Sharpness", "lineEdit_Contrast", "lineEdit_Saturation",
                                "lineEdit_Reset"};
const int kWords[4] = {0x880, 0x884, 0x882, 0x886};
}

// The picture quality page, worked with the panel keys from the picture menu; what it
// leaves in the table, what the scaler is asked and what is saved.
class TestQuality : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;

    void open_page()
    {
        kor_set_modal_pages(false);
        kor_press(KorKey::Ok);  // home -> main menu
        for (int i = 0; i < 3; ++i)
            kor_press(KorKey::Right);
        kor_press(KorKey::Ok);  // picture menu
        QVERIFY(g_imagequality);
        kor_press(KorKey::Ok);  // quality
        QVERIFY(g_quality);
        QCOMPARE(int(g_page_focus), 19);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
        v331_manage::pInstance();
    }
    void cleanup() { env.reset(); }

    void form_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("points");  // 0: not checked
        QTest::addColumn<int>("focus");   // Qt::FocusPolicy, -1: not checked
        QTest::addColumn<QString>("style");
        const QString white = "color:rgb(255,255,255);";
        QTest::newRow("title") << "label_quality" << "QLabel" << "quality" << QRect(50, 10, 220, 22) << 0 << -1 << white;
        QTest::newRow("frame") << "frame" << "QFrame" << "quality" << QRect(10, 42, 300, 185) << 0 << -1
                               << "#frame{background-color: rgb(16, 16, 28);border:1px solid rgb(255, 255, 255);\n"
                                  "border-radius:6px;padding:2px 4px}";
        const char *labels[5] = {"label_bright", "label_Sharpness", "label_Contrast", "label_Saturation", "label_reset"};
        for (int i = 0; i < 5; ++i)
            QTest::newRow(labels[i]) << labels[i] << "QLabel" << "frame" << QRect(10, 14 + 34 * i, 140, 17) << 9 << -1
                                     << white;
        // Row 0 starts highlighted.
        for (int i = 0; i < 5; ++i)
            QTest::newRow(kFields[i]) << kFields[i] << (i == 4 ? "My_lineEdit" : "QLineEdit") << "frame"
                                      << QRect(190, 14 + 34 * i, 100, 24) << 9
                                      << int(i == 4 ? Qt::NoFocus : Qt::ClickFocus) << (i == 0 ? kFocus : kFormField);
    }
    void form()
    {
        QFETCH(QString, name);
        QFETCH(QString, cls);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(int, points);
        QFETCH(int, focus);
        QFETCH(QString, style);
        open_page();
        QCOMPARE(g_quality->size(), QSize(320, 240));
        QCOMPARE(g_quality->styleSheet(), QString("background-color: rgb(16, 16, 28);"));
        QCOMPARE(g_quality->windowTitle(), QString("Dialog"));
        QWidget *w = g_quality->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(QString(w->metaObject()->className()), cls);
        QCOMPARE(w->parentWidget()->objectName(), parent);
        QCOMPARE(w->geometry(), geometry);
        if (points)
            QCOMPARE(w->font().pointSize(), points);
        if (focus >= 0)
            QCOMPARE(int(w->focusPolicy()), focus);
        QCOMPARE(w->styleSheet(), style);
    }

    void first_state()
    {
        kor_set_applied(0x880, 80);
        kor_set_applied(0x882, 45);
        kor_set_applied(0x884, 12);
        kor_set_applied(0x886, 200);  // a host value beyond the page's range is shown as it is
        open_page();
        QCOMPARE(field_text("lineEdit_bright"), QString("80"));
        QCOMPARE(field_text("lineEdit_Sharpness"), QString("12"));
        QCOMPARE(field_text("lineEdit_Contrast"), QString("45"));
        QCOMPARE(field_text("lineEdit_Saturation"), QString("200"));
        QCOMPARE(field_text("lineEdit_Reset"), QString("点击OK应用"));
        QCOMPARE(g_quality->findChild<QLabel *>("label_quality")->text(), QString("图像效果"));
        QCOMPARE(g_quality->findChild<QLabel *>("label_reset")->text(), QString("画质复位"));
        kor_save_screen(g_quality, "quality");
        // Browsing wraps both ways over the five rows and writes nothing.
        kor_press(KorKey::Left);
        QCOMPARE(style_of("lineEdit_Reset"), kFocus);
        QCOMPARE(style_of("lineEdit_bright"), kNormal);
        kor_press(KorKey::Right);
        QCOMPARE(style_of("lineEdit_bright"), kFocus);
        QCOMPARE(int(v331_manage::para_changed), 0);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(style_of("lineEdit_Sharpness"), kEdit);
        kor_save_screen(g_quality, "quality-editing");
    }

    void editing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("start");   // the row's table word when the page opens
        QTest::addColumn<QString>("keys");  // after the row is highlighted
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("shown");
        QTest::newRow("brightness up, OK") << 0 << 40 << "KRRK" << 42 << "42";
        QTest::newRow("sharpness row writes 0x884") << 1 << 10 << "KLK" << 9 << "9";
        QTest::newRow("contrast row writes 0x882") << 2 << 50 << "KRRRK" << 53 << "53";
        QTest::newRow("saturation") << 3 << 50 << "KLLK" << 48 << "48";
        QTest::newRow("up at 100 stays 100") << 0 << 100 << "KRRK" << 100 << "100";
        QTest::newRow("down at 0 stays 0") << 2 << 0 << "KLK" << 0 << "0";
        QTest::newRow("host value 200, OK writes 100") << 3 << 200 << "KK" << 100 << "100";
        QTest::newRow("host value 200, a step down") << 3 << 200 << "KL" << 100 << "100";
        QTest::newRow("back restores the value edited from") << 1 << 30 << "KRRRRB" << 30 << "30";
        QTest::newRow("back restores the value at the last OK") << 0 << 30 << "KRRKKLLB" << 32 << "32";
        // The table holds the number shown, not a left-over high byte under it.
        QTest::newRow("host word with a high byte") << 0 << 0x0105 << "KK" << 100 << "100";
        QTest::newRow("negative host word") << 1 << 0xFFFE << "KR" << 0 << "0";
    }
    void editing()
    {
        QFETCH(int, row);
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(int, word);
        QFETCH(QString, shown);
        kor_set_applied(kWords[row], uint16_t(start));
        open_page();
        for (int i = 0; i < row; ++i)
            kor_press(KorKey::Right);
        kor_press_keys(keys);
        QCOMPARE(int(table()->u16(kWords[row])), word);
        QCOMPARE(field_text(kFields[row]), shown);
        // The other three words are untouched.
        for (int other = 0; other < 4; ++other)
            if (other != row)
                QCOMPARE(table()->u16(kWords[other]), uint16_t(default_para_ramlist[2 + kWords[other] - 0x300]));
        // Saved by the refresh after the scaler took it.
        if (word != start)
            QCOMPARE(uint8_t(env->read_file("/data/ram_device_info").at(2 + kWords[row] - 0x300)), uint8_t(word));
    }

    // Every step, OK and back in editing is applied at once: each raises the change byte.
    void every_key_in_editing_raises_a_change_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("right") << "R";
        QTest::newRow("left") << "L";
        QTest::newRow("OK") << "K";
        QTest::newRow("back") << "B";
    }
    void every_key_in_editing_raises_a_change()
    {
        QFETCH(QString, key);
        open_page();
        kor_press_keys("K");
        QCOMPARE(int(v331_manage::para_changed), 0);
        kor_press_keys(key, false);
        QCOMPARE(int(v331_manage::para_changed), 1);
    }

    void applied_by_the_scaler_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("fpga_brightness");
        QTest::newRow("brightness goes to the FPGA") << 0 << QStringList{"brightness(50)"} << true;
        QTest::newRow("sharpness") << 1 << QStringList{"sharpness(11)"} << false;
        QTest::newRow("contrast") << 2 << QStringList{"contrast(51)"} << false;
        QTest::newRow("saturation") << 3 << QStringList{"saturation(51)"} << false;
    }
    void applied_by_the_scaler()
    {
        QFETCH(int, row);
        QFETCH(QStringList, calls);
        QFETCH(bool, fpga_brightness);
        kor_set_applied(kWords[row], row == 0 ? 50 : row == 1 ? 10 : 50);
        open_page();
        for (int i = 0; i < row; ++i)
            kor_press(KorKey::Right);
        kor_press_keys("K");
        env->scaler()->clear();
        kor_press_keys("R");
        QCOMPARE(kor_scaler_calls(env->scaler()), calls);
        QCOMPARE(g_bri_set_flag.load() != 0, fpga_brightness);
        // OK writes the same value again: nothing more to program.
        env->scaler()->clear();
        kor_press_keys("K");
        QCOMPARE(kor_scaler_calls(env->scaler()), QStringList());
    }

    void steps_dropped_while_a_change_is_pending()
    {
        kor_set_applied(0x884, 40);
        open_page();
        kor_press(KorKey::Right);
        kor_press_keys("KRR");
        QCOMPARE(table()->u16(0x884), uint16_t(42));
        // The scaler has not taken the next change yet.
        v331_manage::para_changed = 1;
        kor_press(KorKey::Right);
        kor_press(KorKey::Left);
        kor_press(KorKey::Left);
        QCOMPARE(table()->u16(0x884), uint16_t(42));
        QCOMPARE(field_text("lineEdit_Sharpness"), QString("42"));
        // Back leaves editing without restoring.
        kor_press(KorKey::Back);
        QCOMPARE(table()->u16(0x884), uint16_t(42));
        QCOMPARE(style_of("lineEdit_Sharpness"), kFocus);
        v331_manage::para_changed = 0;
        kor_press(KorKey::Right);  // browsing again: the highlight moves
        QCOMPARE(style_of("lineEdit_Contrast"), kFocus);
        QCOMPARE(int(v331_manage::para_changed), 0);
        // OK while pending leaves editing and keeps the remembered value.
        kor_press_keys("KRR");
        QCOMPARE(table()->u16(0x882), uint16_t(52));
        v331_manage::para_changed = 1;
        kor_press(KorKey::Ok);
        v331_manage::para_changed = 0;
        kor_press(KorKey::Right);
        QCOMPARE(style_of("lineEdit_Saturation"), kFocus);
    }

    void picture_reset_data()
    {
        QTest::addColumn<int>("pending");  // the change byte before the reset
        QTest::addColumn<int>("raised");
        QTest::newRow("nothing pending") << 0 << 1;
        QTest::newRow("a change pending") << 1 << 1;
        // Apply and align the user modes, asked by somebody else, is kept.
        QTest::newRow("user-mode alignment pending") << 2 << 2;
    }
    void picture_reset()
    {
        QFETCH(int, pending);
        QFETCH(int, raised);
        const int words[8] = {30, 20, 70, 90, 3, 10, 20, 30};
        for (int i = 0; i < 8; ++i)
            kor_set_applied(0x880 + 2 * i, uint16_t(words[i]));
        table()->ram[0x88F] = 7;  // the last byte of the sixteen
        open_page();
        kor_press(KorKey::Left);  // row 4
        v331_manage::para_changed = uint8_t(pending);
        kor_press(KorKey::Ok);
        QCOMPARE(int(v331_manage::para_changed), raised);
        const int expected[8] = {100, 50, 10, 50, 2, 64, 64, 64};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(int(table()->u16(0x880 + 2 * i)), expected[i]);
        QCOMPARE(int(table()->ram[0x88F]), int(default_para_ramlist[2 + 0x88F - 0x300]));
        // The restored values are shown at once.
        QCOMPARE(field_text("lineEdit_bright"), QString("100"));
        QCOMPARE(field_text("lineEdit_Sharpness"), QString("10"));
        QCOMPARE(field_text("lineEdit_Contrast"), QString("50"));
        QCOMPARE(field_text("lineEdit_Saturation"), QString("50"));
        QCOMPARE(field_text("lineEdit_Reset"), QString("点击OK应用"));
        kor_save_screen(g_quality, "quality-reset");
        kor_scaler_pass();
        const QStringList calls = kor_scaler_calls(env->scaler());
        QVERIFY(calls.contains("brightness(50)"));
        QVERIFY(calls.contains("contrast(50)"));
        QVERIFY(calls.contains("sharpness(10)"));
        QVERIFY(calls.contains("saturation(50)"));
        QVERIFY(calls.contains("color_gains(8192,8192,8192)"));
        // The next edit starts from the restored value.
        kor_press(KorKey::Right);  // row 0
        kor_press_keys("KLK");
        QCOMPARE(table()->u16(0x880), uint16_t(99));
    }

    void back_returns_to_the_picture_menu()
    {
        open_page();
        g_language = 1;  // the picture menu is re-texted on the way back
        kor_press(KorKey::Back);
        QVERIFY(!g_quality);
        QCOMPARE(int(g_page_focus), 11);
        QVERIFY(g_imagequality);
        QCOMPARE(g_imagequality->findChild<QLabel *>("label_title")->text(), QString("Picture"));
        QCOMPARE(int(v331_manage::para_changed), 0);
        // And opens again.
        kor_press(KorKey::Ok);
        QVERIFY(g_quality);
    }

    void mode_key_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("letter");
        QTest::newRow("browsing") << false << false << false;
        QTest::newRow("editing") << false << true << false;
        QTest::newRow("key board letter") << false << false << true;
        QTest::newRow("locked") << true << false << false;
        QTest::newRow("locked, editing") << true << true << false;
    }
    void mode_key()
    {
        QFETCH(bool, locked);
        QFETCH(bool, editing);
        QFETCH(bool, letter);
        kor_set_applied(0x880, 60);
        open_page();
        if (editing)
            kor_press_keys("KR");
        if (locked)
            kor_set_applied(0x304, 1);
        kor_press_code(kor_key_code(KorKey::Mode, letter));
        KorTestEnv::process_events();
        if (locked) {
            QVERIFY(g_quality);
            QVERIFY(g_imagequality);
            QVERIFY(!g_custommode);
            QCOMPARE(int(g_page_focus), 19);
            QCOMPARE(int(g_mode_shortcut_key), 0);
            // Still editing.
            kor_press_keys("R");
            QCOMPARE(table()->u16(0x880), uint16_t(editing ? 62 : 60));
            return;
        }
        QVERIFY(!g_quality);
        QVERIFY(!g_imagequality);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
        // What was applied stays; nothing is restored.
        QCOMPARE(table()->u16(0x880), uint16_t(editing ? 61 : 60));
    }

    void language_change_retexts_and_keeps_numbers()
    {
        open_page();
        kor_press_keys("KRRK");
        QCOMPARE(field_text("lineEdit_bright"), QString("100"));
        kor_press(KorKey::Right);
        kor_press_keys("KLL");  // editing sharpness: 8
        table()->ram[0x300] = 2;
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(g_quality->findChild<QLabel *>("label_quality")->text(), QString("Изображение"));
        QCOMPARE(g_quality->findChild<QLabel *>("label_Saturation")->text(), QString("Насыщенность"));
        QCOMPARE(field_text("lineEdit_Reset"), QString("Нажмите ОК"));
        QCOMPARE(field_text("lineEdit_Sharpness"), QString("8"));
        QCOMPARE(style_of("lineEdit_Sharpness"), kEdit);
        kor_save_screen(g_quality, "quality-ru");
        // Russian switched off: the first language that is on.
        g_lcd_lang_valid = 0x1F & ~(1 << 2);
        table()->ram[0x300] = 2;
        table()->ram[0x301] = 1;  // the word differs from the shadow
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(g_quality->findChild<QLabel *>("label_quality")->text(), QString("图像效果"));
        QCOMPARE(field_text("lineEdit_Sharpness"), QString("8"));
    }

};

QTEST_MAIN(TestQuality)
#include "test_quality.moc"
