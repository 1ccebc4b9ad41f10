#include "core/global.h"
#include "core/korrampara.h"
#include "kor_form_check.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/lcdshow.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"

#include <QComboBox>
#include <QLabel>
#include <QtTest>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }

const uint32_t kStartBack = g_back_to_mainwindow_time;
const uint32_t kStartLock = g_auto_lock_time;

void press(KorKey key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}
QComboBox *box(const char *name)
{
    return g_lcdshow->findChild<QComboBox *>(name);
}
QString label(const char *name)
{
    return g_lcdshow->findChild<QLabel *>(name)->text();
}
QStringList entries(QComboBox *b)
{
    QStringList out;
    for (int i = 0; i < b->count(); ++i)
        out << b->itemText(i);
    return out;
}
bool has_border(QComboBox *b, const char *colour)
{
    return b->styleSheet().contains(QStringLiteral("border:1px solid %1;").arg(colour));
}
}

// The LCD display page, worked with the panel keys from the advanced settings.
class TestLcdshow : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    void open_page(bool from_home = true)
    {
        kor_set_modal_pages(false);
        if (from_home) {
            kor_press(KorKey::Ok);  // home -> main menu
            press(KorKey::Right, 2);
            kor_press(KorKey::Ok);  // settings
            kor_press(KorKey::Left);
            kor_press(KorKey::Ok);  // advanced settings, on its first entry
        }
        kor_press(KorKey::Ok);  // LCD display
        QVERIFY(g_lcdshow);
        QCOMPARE(int(g_page_focus), 15);
    }

private slots:
    void initTestCase()
    {
        // What every start of the program shows.
        QCOMPARE(kStartBack, 3000u);
        QCOMPARE(kStartLock, 30000u);
    }
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        g_back_to_mainwindow_time = kStartBack;
        g_auto_lock_time = kStartLock;
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
        QTest::addColumn<QString>("style");
        const QString label = "color:rgb(255,255,255);";
        const QString normal =
            "QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,255,255);\n}\nQComboBox:drop-down{\n"
            "border-style:none\n}";
        QTest::newRow("title") << "label_LCDshow" << "QLabel" << "lcdshow" << QRect(50, 10, 220, 22) << 0
                               << "color: rgb(255, 255, 255)";
        QTest::newRow("frame") << "frame" << "QFrame" << "lcdshow" << QRect(10, 42, 300, 190) << 0
                               << "#frame{background-color: rgb(16, 16, 28);border:1px solid rgb(255, 255, 255);\n"
                                  "border-radius:6px;padding:2px 4px}";
        QTest::newRow("back label") << "label_backmainwindow" << "QLabel" << "frame" << QRect(10, 14, 120, 17) << 9 << label;
        QTest::newRow("lock label") << "label_autolock" << "QLabel" << "frame" << QRect(10, 48, 120, 17) << 9 << label;
        // The lock row is not selected when the page opens: it shows the normal style.
        QTest::newRow("back box") << "comboBox_back" << "QComboBox" << "frame" << QRect(180, 14, 101, 21) << 9
                                  << QString(normal).replace("255,255,255);\n}", "255,171,84);\n}");
        QTest::newRow("lock box") << "comboBox_lock" << "QComboBox" << "frame" << QRect(180, 48, 101, 21) << 9 << normal;
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
        QCOMPARE(g_lcdshow->size(), QSize(320, 240));
        QCOMPARE(g_lcdshow->styleSheet(), QString("background-color: rgb(16, 16, 28);"));
        QCOMPARE(g_lcdshow->windowTitle(), QString("Dialog"));
        QCOMPARE(kor_form_mismatch(g_lcdshow, name, cls, parent, geometry, points, style), QString());
        if (cls == "QComboBox")
            QCOMPARE(g_lcdshow->findChild<QWidget *>(name)->focusPolicy(), Qt::NoFocus);
    }

    void first_state()
    {
        open_page();
        QCOMPARE(entries(box("comboBox_back")), (QStringList{"30", "60", "Never"}));
        QCOMPARE(entries(box("comboBox_lock")), (QStringList{"5min", "10min", "Never"}));
        QCOMPARE(box("comboBox_back")->currentText(), QString("30"));
        QCOMPARE(box("comboBox_lock")->currentText(), QString("5min"));
        QVERIFY(has_border(box("comboBox_back"), "rgb(255,171,84)"));
        QVERIFY(has_border(box("comboBox_lock"), "rgb(255,255,255)"));
        QCOMPARE(label("label_LCDshow"), QString("LCD display"));
        QCOMPARE(label("label_backmainwindow"), QString("To main interface"));
        QCOMPARE(label("label_autolock"), QString("Auto-screen lock"));
        kor_save_screen(g_lcdshow, "lcdshow");
    }

    void choosing_data()
    {
        QTest::addColumn<uint>("back_before");
        QTest::addColumn<uint>("lock_before");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("steps");  // R and L while editing
        QTest::addColumn<uint>("back_after");
        QTest::addColumn<uint>("lock_after");
        QTest::addColumn<QString>("shown");  // the row's box, also when opened again
        QTest::newRow("back 60") << 3000u << 30000u << 0 << "R" << 6000u << 30000u << "60";
        QTest::newRow("back never") << 3000u << 30000u << 0 << "RR" << 120000u << 30000u << "Never";
        QTest::newRow("back: right from never wraps") << 120000u << 30000u << 0 << "R" << 3000u << 30000u << "30";
        QTest::newRow("back: left from 30 wraps") << 3000u << 30000u << 0 << "L" << 120000u << 30000u << "Never";
        QTest::newRow("back: unknown time shows 30") << 4500u << 30000u << 0 << "R" << 6000u << 30000u << "60";
        QTest::newRow("back: unchanged choice") << 6000u << 30000u << 0 << "RLLR" << 6000u << 30000u << "60";
        QTest::newRow("lock 10min") << 3000u << 30000u << 1 << "R" << 3000u << 60000u << "10min";
        QTest::newRow("lock never") << 3000u << 30000u << 1 << "L" << 3000u << 120000u << "Never";
        QTest::newRow("lock: right from never wraps") << 3000u << 120000u << 1 << "R" << 3000u << 30000u << "5min";
        // Steps start from what the lock box shows, not from the other row's choice.
        QTest::newRow("lock steps from its own box") << 120000u << 60000u << 1 << "R" << 120000u << 120000u << "Never";
        QTest::newRow("lock: unknown time shows 5min") << 3000u << 12345u << 1 << "R" << 3000u << 60000u << "10min";
    }
    void choosing()
    {
        QFETCH(uint, back_before);
        QFETCH(uint, lock_before);
        QFETCH(int, row);
        QFETCH(QString, steps);
        QFETCH(uint, back_after);
        QFETCH(uint, lock_after);
        QFETCH(QString, shown);
        g_back_to_mainwindow_time = back_before;
        g_auto_lock_time = lock_before;
        open_page();
        QComboBox *current = box(row == 0 ? "comboBox_back" : "comboBox_lock");
        press(KorKey::Right, row);
        kor_press(KorKey::Ok);
        QVERIFY(has_border(current, "rgb(255,0,0)"));
        for (QChar step : steps)
            kor_press(step == 'R' ? KorKey::Right : KorKey::Left);
        QCOMPARE(current->currentText(), shown);
        // Nothing is set before OK.
        QCOMPARE(uint(g_back_to_mainwindow_time), back_before);
        QCOMPARE(uint(g_auto_lock_time), lock_before);
        if (row == 1 && steps == "R" && lock_before == 60000u)
            kor_save_screen(g_lcdshow, "lcdshow-editing");
        kor_press(KorKey::Ok);
        QVERIFY(has_border(current, "rgb(255,171,84)"));
        QCOMPARE(uint(g_back_to_mainwindow_time), back_after);
        QCOMPARE(uint(g_auto_lock_time), lock_after);
        // Back in browsing: left and right move between the rows again.
        kor_press(KorKey::Right);
        QVERIFY(has_border(current, "rgb(255,255,255)"));
        // Opened again, the page shows what was set.
        kor_press(KorKey::Back);
        QVERIFY(!g_lcdshow);
        QCOMPARE(int(g_page_focus), 12);
        open_page(false);
        QCOMPARE(box(row == 0 ? "comboBox_back" : "comboBox_lock")->currentText(), shown);
    }

    void back_while_editing_leaves()
    {
        g_auto_lock_time = 60000;
        open_page();
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        kor_press(KorKey::Right);
        QCOMPARE(box("comboBox_lock")->currentText(), QString("Never"));
        kor_press(KorKey::Back);
        QVERIFY(!g_lcdshow);
        QCOMPARE(int(g_page_focus), 12);
        QCOMPARE(uint(g_auto_lock_time), 60000u);
        QCOMPARE(uint(g_back_to_mainwindow_time), 3000u);
        open_page(false);
        QCOMPARE(box("comboBox_lock")->currentText(), QString("10min"));
        // The page opens browsing on the first row.
        QVERIFY(has_border(box("comboBox_back"), "rgb(255,171,84)"));
        kor_press(KorKey::Right);
        QVERIFY(has_border(box("comboBox_lock"), "rgb(255,171,84)"));
        kor_press(KorKey::Right);
        QVERIFY(has_border(box("comboBox_back"), "rgb(255,171,84)"));
    }

    void mode_key_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("editing");
        QTest::newRow("browsing") << false << false;
        QTest::newRow("editing") << false << true;
        QTest::newRow("key lock") << true << true;
    }
    void mode_key()
    {
        QFETCH(bool, locked);
        QFETCH(bool, editing);
        table()->set_u16(0x304, locked ? 1 : 0);
        open_page();
        if (editing) {
            kor_press(KorKey::Ok);
            kor_press(KorKey::Right);
        }
        kor_press(KorKey::Mode);
        QCOMPARE(uint(g_back_to_mainwindow_time), 3000u);
        if (locked) {
            QVERIFY(g_lcdshow);
            QCOMPARE(int(g_page_focus), 15);
            QVERIFY(!g_custommode);
            // Still editing: OK sets the stepped choice.
            kor_press(KorKey::Ok);
            QCOMPARE(uint(g_back_to_mainwindow_time), 6000u);
            return;
        }
        QVERIFY(!g_lcdshow);
        QVERIFY(!g_advancedoption);
        QVERIFY(!g_option);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
    }

    void languages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("enabled");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("lock_entries");
        QTest::addColumn<QString>("screen");
        QTest::newRow("Chinese") << 0 << 0x1F << QString::fromUtf8("液晶显示")
                                 << QStringList{QString::fromUtf8("5分钟"), QString::fromUtf8("10分钟"), QString::fromUtf8("从不")}
                                 << "lcdshow-zh";
        QTest::newRow("Russian") << 2 << 0x1F << QString::fromUtf8("ЖК дисплей")
                                 << QStringList{QString::fromUtf8("5 мин"), QString::fromUtf8("10 мин"),
                                                QString::fromUtf8("Отключить")}
                                 << "lcdshow-ru";
        QTest::newRow("Russian not enabled") << 2 << 0x1B << "LCD display" << QStringList{"5min", "10min", "Never"} << "";
    }
    void languages()
    {
        QFETCH(int, language);
        QFETCH(int, enabled);
        QFETCH(QString, title);
        QFETCH(QStringList, lock_entries);
        QFETCH(QString, screen);
        g_language = uint8_t(language);
        g_lcd_lang_valid = uint8_t(enabled);
        open_page();
        QCOMPARE(label("label_LCDshow"), title);
        QCOMPARE(entries(box("comboBox_lock")), lock_entries);
        QCOMPARE(box("comboBox_back")->itemText(0), QString("30"));
        if (!screen.isEmpty())
            kor_save_screen(g_lcdshow, screen);
    }

    void language_set_while_in_front()
    {
        table()->ram[0x300] = 1;
        table()->test_signal(1);
        KorTestEnv::process_events();
        open_page();
        table()->ram[0x300] = 2;
        table()->test_signal(1);
        KorTestEnv::process_events();
        // The new language takes effect: the page is re-texted, its choices keep theirs.
        QCOMPARE(int(g_language), 2);
        QCOMPARE(label("label_LCDshow"), QString::fromUtf8("ЖК дисплей"));
        QCOMPARE(label("label_autolock"), QString::fromUtf8("Автоблокировка"));
        QCOMPARE(box("comboBox_lock")->currentText(), QString("5min"));
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 12);
    }
};

QTEST_MAIN(TestLcdshow)
#include "test_lcdshow.moc"
