#include "core/global.h"
#include "core/korrampara.h"
#include "kor_picture_helpers.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/imagequality.h"
#include "ui/pages/temperature.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }

QComboBox *combo() { return g_temperature->findChild<QComboBox *>("comboBox_type"); }
QString field_text(const char *name) { return g_temperature->findChild<QLineEdit *>(name)->text(); }
QString style_of(const char *name) { return g_temperature->findChild<QWidget *>(name)->styleSheet(); }
QString label(const char *name) { return g_temperature->findChild<QLabel *>(name)->text(); }
QStringList combo_items()
{
    QStringList items;
    for (int i = 0; i < combo()->count(); ++i)
        items << combo()->itemText(i);
    return items;
}

QString combo_style(const char *border)
{
    return QString("QComboBox{\ncolor:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);border:1px solid ") + border +
           ";\n}\nQComboBox:drop-down{\nborder-style:none\n}";
}
const QString kComboNormal = combo_style("rgb(255,255,255)");
const QString kComboFocus = combo_style("rgb(255,171,84)");
const QString kComboEdit = combo_style("rgb(255,0,0)");
const QString kNormal = "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255, 255, 255);";
const QString kFocus = "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,171,84);";
const QString kEdit = "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,0,0);";
const char *const kFields[4] = {"comboBox_type", "lineEdit_name_red", "lineEdit_name_green", "lineEdit_name_blue"};
const int kWords[4] = {0x888, 0x88A, 0x88C, 0x88E};
}

// The colour temperature page, worked with the panel keys from the picture menu; what it
// leaves in the table and what the scaler is asked.
class TestTemperature : public QObject {
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
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);  // colour temperature
        QVERIFY(g_temperature);
        QCOMPARE(int(g_page_focus), 20);
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
        QTest::addColumn<QString>("style");
        const QString white = "color:rgb(255,255,255);";
        QTest::newRow("title") << "label_temperature" << "QLabel" << "temperature" << QRect(50, 10, 220, 22) << 0 << white;
        QTest::newRow("frame") << "frame" << "QFrame" << "temperature" << QRect(10, 42, 300, 150) << 0
                               << "#frame{background-color: rgb(16, 16, 28);border:1px solid rgb(255, 255, 255);\n"
                                  "border-radius:6px;padding:2px 4px}";
        const char *labels[4] = {"label_type", "label_name_red", "label_name_green", "label_name_blue"};
        for (int i = 0; i < 4; ++i)
            QTest::newRow(labels[i]) << labels[i] << "QLabel" << "frame" << QRect(10, 14 + 34 * i, 120, 17) << 9 << white;
        // The type starts highlighted; the fields keep the form's style until first left.
        QTest::newRow("comboBox_type") << "comboBox_type" << "QComboBox" << "frame" << QRect(190, 14, 100, 24) << 9
                                       << kComboFocus;
        QTest::newRow("lineEdit_name_red") << "lineEdit_name_red" << "QLineEdit" << "frame" << QRect(190, 48, 100, 24) << 9
                                           << kNormal;
        const QString form_field =
            "color: rgb(255, 255, 255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255, 255, 255);";
        QTest::newRow("lineEdit_name_green") << "lineEdit_name_green" << "QLineEdit" << "frame" << QRect(190, 82, 100, 24)
                                             << 9 << form_field;
        QTest::newRow("lineEdit_name_blue") << "lineEdit_name_blue" << "QLineEdit" << "frame" << QRect(190, 116, 100, 24)
                                            << 9 << form_field;
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
        QCOMPARE(g_temperature->size(), QSize(320, 240));
        QCOMPARE(g_temperature->styleSheet(), QString("background-color: rgb(16, 16, 28);"));
        QCOMPARE(g_temperature->windowTitle(), QString("Dialog"));
        QWidget *w = g_temperature->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(QString(w->metaObject()->className()), cls);
        QCOMPARE(w->parentWidget()->objectName(), parent);
        QCOMPARE(w->geometry(), geometry);
        if (points)
            QCOMPARE(w->font().pointSize(), points);
        if (name != "label_temperature" && name != "frame")
            QCOMPARE(int(w->focusPolicy()), int(Qt::NoFocus));
        QCOMPARE(w->styleSheet(), style);
    }

    void first_state()
    {
        kor_set_applied(0x888, 1);
        kor_set_applied(0x88A, 70);
        kor_set_applied(0x88C, 0xFFFF);  // a host value is shown as a signed number
        kor_set_applied(0x88E, 100);
        open_page();
        QCOMPARE(combo()->currentIndex(), 1);
        QCOMPARE(combo_items(), (QStringList{"自定义", "偏暖", "自然", "偏冷"}));
        QCOMPARE(field_text("lineEdit_name_red"), QString("70"));
        QCOMPARE(field_text("lineEdit_name_green"), QString("-1"));
        QCOMPARE(field_text("lineEdit_name_blue"), QString("100"));
        QCOMPARE(label("label_temperature"), QString("色温"));
        QCOMPARE(label("label_type"), QString("色温类型"));
        kor_save_screen(g_temperature, "temperature");
        // Browsing wraps over the four rows and writes nothing.
        kor_press(KorKey::Left);
        QCOMPARE(style_of("comboBox_type"), kComboNormal);
        QCOMPARE(style_of("lineEdit_name_blue"), kFocus);
        kor_press(KorKey::Right);
        QCOMPARE(style_of("comboBox_type"), kComboFocus);
        QCOMPARE(style_of("lineEdit_name_blue"), kNormal);
        QCOMPARE(int(v331_manage::para_changed), 0);
        kor_press(KorKey::Ok);
        QCOMPARE(style_of("comboBox_type"), kComboEdit);
        kor_save_screen(g_temperature, "temperature-type-editing");
    }

    void type_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");    // combo item when the page opens
        QTest::addColumn<QString>("keys");   // on row 0, not applied in between
        QTest::addColumn<int>("after");    // combo item after the keys
        QTest::addColumn<int>("word");     // the type word then
        QTest::addColumn<int>("raised");   // the change byte then
        QTest::newRow("right from cool wraps to custom, not yet written") << 3 << 3 << "KR" << 0 << 3 << 0;
        QTest::newRow("left from custom wraps to cool, not yet written") << 0 << 0 << "KL" << 3 << 0 << 0;
        QTest::newRow("OK writes the shown type") << 3 << 3 << "KRK" << 0 << 0 << 1;
        QTest::newRow("two steps, OK") << 2 << 2 << "KLLK" << 0 << 0 << 1;
        QTest::newRow("back restores and writes the type edited from") << 1 << 1 << "KRRB" << 1 << 1 << 1;
        QTest::newRow("back with no change still writes") << 2 << 2 << "KB" << 2 << 2 << 1;
        QTest::newRow("stored 4 shows custom, unwritten") << 4 << 0 << "" << 0 << 4 << 0;
        QTest::newRow("stored 4, OK writes custom") << 4 << 0 << "KK" << 0 << 0 << 1;
        QTest::newRow("stored 4, a step shows warm") << 4 << 0 << "KRK" << 1 << 1 << 1;
        // The whole word: a left-over high byte would give the scaler another type.
        QTest::newRow("host word with a high byte") << 0x0101 << 0 << "KRRK" << 2 << 2 << 1;
    }
    void type()
    {
        QFETCH(int, stored);
        QFETCH(int, shown);
        QFETCH(QString, keys);
        QFETCH(int, after);
        QFETCH(int, word);
        QFETCH(int, raised);
        kor_set_applied(0x888, uint16_t(stored));
        open_page();
        QCOMPARE(combo()->currentIndex(), shown);
        kor_press_keys(keys, false);
        QCOMPARE(combo()->currentIndex(), after);
        QCOMPARE(int(table()->u16(0x888)), word);
        QCOMPARE(int(v331_manage::para_changed), raised);
        // The gains and the picture quality words are not touched.
        for (int offset = 0x880; offset < 0x888; offset += 2)
            QCOMPARE(table()->u16(offset), table()->shadow_u16(offset));
        for (int offset = 0x88A; offset <= 0x88E; offset += 2)
            QCOMPARE(table()->u16(offset), table()->shadow_u16(offset));
    }

    // The type write is never dropped: a pending change only makes it part of that change.
    void type_written_while_a_change_is_pending_data()
    {
        QTest::addColumn<int>("pending");
        QTest::addColumn<int>("raised");
        QTest::newRow("a change pending") << 1 << 1;
        QTest::newRow("user-mode alignment pending") << 2 << 2;
    }
    void type_written_while_a_change_is_pending()
    {
        QFETCH(int, pending);
        QFETCH(int, raised);
        open_page();
        kor_press_keys("KL", false);
        v331_manage::para_changed = uint8_t(pending);
        kor_press(KorKey::Ok);
        QCOMPARE(int(table()->u16(0x888)), 1);
        QCOMPARE(int(v331_manage::para_changed), raised);
    }

    void gains_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("shown");
        QTest::newRow("red up") << 1 << 64 << "KRRK" << 66 << "66";
        QTest::newRow("green down") << 2 << 64 << "KLK" << 63 << "63";
        QTest::newRow("blue") << 3 << 10 << "KRK" << 11 << "11";
        QTest::newRow("up at 100 stays 100") << 1 << 100 << "KRK" << 100 << "100";
        QTest::newRow("down at 0 stays 0") << 3 << 0 << "KLLK" << 0 << "0";
        QTest::newRow("back restores") << 2 << 64 << "KRRRB" << 64 << "64";
        QTest::newRow("back restores the value at the last OK") << 1 << 64 << "KRKKLLB" << 65 << "65";
        QTest::newRow("host value 255, OK writes 100") << 3 << 255 << "KK" << 100 << "100";
        QTest::newRow("host word with a high byte") << 2 << 0x0140 << "KK" << 100 << "100";
    }
    void gains()
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
        QCOMPARE(int(v331_manage::para_changed), 0);
        kor_press_keys(keys);
        QCOMPARE(int(table()->u16(kWords[row])), word);
        QCOMPARE(field_text(kFields[row]), shown);
        QCOMPARE(style_of(kFields[row]), keys.endsWith('K') || keys.endsWith('B') ? kFocus : kEdit);
        // Only that gain: neither the type, the other gains nor the picture quality words.
        for (int offset = 0x880; offset <= 0x88E; offset += 2)
            if (offset != kWords[row])
                QCOMPARE(table()->u16(offset), uint16_t(default_para_ramlist[2 + offset - 0x300] |
                                                        default_para_ramlist[3 + offset - 0x300] << 8));
    }

    void every_gain_step_raises_a_change_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("right") << "R";
        QTest::newRow("left") << "L";
        QTest::newRow("OK") << "K";
        QTest::newRow("back") << "B";
    }
    void every_gain_step_raises_a_change()
    {
        QFETCH(QString, key);
        open_page();
        kor_press_keys("RK");
        QCOMPARE(int(v331_manage::para_changed), 0);
        kor_press_keys(key, false);
        QCOMPARE(int(v331_manage::para_changed), 1);
    }

    void gain_steps_dropped_while_a_change_is_pending()
    {
        open_page();
        kor_press_keys("RRKR");  // green 65
        v331_manage::para_changed = 1;
        kor_press_keys("RRL", false);
        QCOMPARE(table()->u16(0x88C), uint16_t(65));
        QCOMPARE(field_text("lineEdit_name_green"), QString("65"));
        // Back still leaves editing; nothing restored.
        kor_press(KorKey::Back);
        QCOMPARE(style_of("lineEdit_name_green"), kFocus);
        QCOMPARE(table()->u16(0x88C), uint16_t(65));
        v331_manage::para_changed = 0;
        kor_press(KorKey::Right);
        QCOMPARE(style_of("lineEdit_name_blue"), kFocus);
        QVERIFY(g_temperature);
    }

    void applied_by_the_scaler()
    {
        open_page();
        // Custom: the page's gains, each scaling its colour by value / 128.
        kor_press_keys("KLLK");
        QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{"color_gains(4096,4096,4096)"});
        env->scaler()->clear();
        kor_press_keys("RKR");  // red 65
        QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{"color_gains(4160,4096,4096)"});
        env->scaler()->clear();
        kor_press_keys("KRRKL");  // blue 63
        QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{"color_gains(4160,4096,4032)"});
        env->scaler()->clear();
        kor_press_keys("KRKRK");  // row 0, warm
        QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{"color_gains(8845,8113,7056)"});
        QCOMPARE(int(table()->u16(0x888)), 1);
        kor_save_screen(g_temperature, "temperature-warm");
        // Saved by the refresh after the scaler took it.
        const QByteArray file = env->read_file("/data/ram_device_info");
        QCOMPARE(int(file.at(2 + 0x888 - 0x300)), 1);
        QCOMPARE(int(file.at(2 + 0x88A - 0x300)), 65);
        QCOMPARE(int(file.at(2 + 0x88E - 0x300)), 63);
    }

    void back_returns_to_the_picture_menu()
    {
        open_page();
        g_language = 1;
        kor_press(KorKey::Back);
        QVERIFY(!g_temperature);
        QCOMPARE(int(g_page_focus), 11);
        QVERIFY(g_imagequality);
        QCOMPARE(g_imagequality->findChild<QLabel *>("label_title")->text(), QString("Picture"));
        QCOMPARE(int(v331_manage::para_changed), 0);
    }

    void mode_key_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("editing_type");
        QTest::newRow("browsing") << false << false;
        QTest::newRow("editing the type") << false << true;
        QTest::newRow("locked") << true << false;
        QTest::newRow("locked, editing the type") << true << true;
    }
    void mode_key()
    {
        QFETCH(bool, locked);
        QFETCH(bool, editing_type);
        open_page();
        if (editing_type)
            kor_press_keys("KR", false);
        if (locked)
            kor_set_applied(0x304, 1);
        kor_press(KorKey::Mode);
        KorTestEnv::process_events();
        // The type shown while editing is never written by the mode key.
        QCOMPARE(int(table()->u16(0x888)), 2);
        QCOMPARE(int(v331_manage::para_changed), 0);
        if (locked) {
            QVERIFY(g_temperature);
            QVERIFY(!g_custommode);
            QCOMPARE(int(g_page_focus), 20);
            kor_press(KorKey::Ok);
            QCOMPARE(int(table()->u16(0x888)), editing_type ? 3 : 2);
            return;
        }
        QVERIFY(!g_temperature);
        QVERIFY(!g_imagequality);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
    }

    void language_change_keeps_the_type_names()
    {
        open_page();
        kor_press_keys("RKR");  // red 65, editing
        table()->ram[0x300] = 1;
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(label("label_temperature"), QString("Temperature"));
        QCOMPARE(label("label_type"), QString("temperature type"));
        QCOMPARE(label("label_name_green"), QString("Green"));
        QCOMPARE(combo_items(), (QStringList{"自定义", "偏暖", "自然", "偏冷"}));
        QCOMPARE(field_text("lineEdit_name_red"), QString("65"));
        QCOMPARE(style_of("lineEdit_name_red"), kEdit);
        kor_save_screen(g_temperature, "temperature-en");
        // Opened again, the page has the new names.
        kor_press_keys("KB");
        kor_press(KorKey::Ok);
        QVERIFY(g_temperature);
        QCOMPARE(combo_items(), (QStringList{"custom", "warm", "nature", "cool"}));
    }

};

QTEST_MAIN(TestTemperature)
#include "test_temperature.moc"
