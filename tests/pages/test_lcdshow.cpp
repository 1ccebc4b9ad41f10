#include "kor_form_check.h"
#include "kor_test_helpers.h"
#include "ui/pages/lcdshow.h"

namespace {
// What every start of the program holds.
const uint32_t kStartBack = g_back_to_mainwindow_time;
const uint32_t kStartLock = g_auto_lock_time;

QComboBox *box(int row) { return kor_child<QComboBox>(g_lcdshow, row ? "comboBox_lock" : "comboBox_back"); }
QString title() { return kor_text(g_lcdshow, "label_LCDshow"); }
QString shown() { return box(0)->currentText() + "|" + box(1)->currentText(); }
bool has_border(int row, const char *colour)
{
    return box(row)->styleSheet().contains(QStringLiteral("border:1px solid %1;").arg(colour));
}
}

// The LCD display page, worked with the panel keys from the advanced settings.
class TestLcdshow : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        g_back_to_mainwindow_time = kStartBack;
        g_auto_lock_time = kStartLock;
        g_language = 1;
    }
    // From the home screen, or again from the advanced settings.
    void open_page(bool from_home = true) { kor_open(from_home ? kor_advanced + "O" : "O", 15); }

private slots:

    void opening()
    {
        open_page();
        QCOMPARE(g_lcdshow->size(), QSize(320, 240));
        const QString odd = kor_form_mismatches(
            g_lcdshow, {{"label_LCDshow", "QLabel", "lcdshow", {50, 10, 220, 22}, 0, nullptr},
                        {"frame", "QFrame", "lcdshow", {10, 42, 300, 190}, 0, nullptr},
                        {"comboBox_back", "QComboBox", "frame", {180, 14, 101, 21}, 9, nullptr},
                        {"comboBox_lock", "QComboBox", "frame", {180, 48, 101, 21}, 9, nullptr}});
        QCOMPARE(odd, QString());
        QCOMPARE(box(0)->focusPolicy(), Qt::NoFocus);
        // The start times; browsing on the first row.
        QVERIFY(kStartBack == 3000 && kStartLock == 30000);
        QCOMPARE(shown(), QString("30|5min"));
        QVERIFY(has_border(0, "rgb(255,171,84)") && has_border(1, "rgb(255,255,255)"));
        kor_save_screen(g_lcdshow, "lcdshow");
        kor_keys("OR");
        QVERIFY(has_border(0, "rgb(255,0,0)"));
        QCOMPARE(box(0)->currentText(), QString("60"));
        QCOMPARE(uint(g_back_to_mainwindow_time), kStartBack);  // set only by OK
        kor_save_screen(g_lcdshow, "lcdshow-editing");
        kor_keys("OR");
        QVERIFY(has_border(0, "rgb(255,255,255)") && has_border(1, "rgb(255,171,84)"));
        kor_keys("R");  // wraps
        QVERIFY(has_border(0, "rgb(255,171,84)") && has_border(1, "rgb(255,255,255)"));
    }

    void choosing_data()
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
    void choosing()
    {
        QFETCH(QString, keys);
        g_back_to_mainwindow_time = kor_data<uint>("back_before");
        g_auto_lock_time = kor_data<uint>("lock_before");
        kor_table()->set_u16(0x304, keys.startsWith('K'));
        open_page();
        QVERIFY(box(0)->currentIndex() >= 0 && box(1)->currentIndex() >= 0);  // also for an unknown time
        kor_keys(keys.mid(keys.startsWith('K')));
        QTEST(uint(g_back_to_mainwindow_time), "back_after");
        QTEST(uint(g_auto_lock_time), "lock_after");
        QCOMPARE(kor_mode_key_reached_custom_mode(), !g_lcdshow && !g_advancedoption);
        if (g_page_focus == 4)
            return;
        if (g_lcdshow) {
            QTEST(shown(), "shown");
            kor_keys("B");
        }
        QCOMPARE(int(g_page_focus), 12);
        open_page(false);
        QTEST(shown(), "shown");
    }

    void languages()
    {
        open_page();
        // A language set while the page is in front takes effect; the choices keep theirs.
        kor_host_language(2);
        QCOMPARE(int(g_language), 2);
        QCOMPARE(title(), QString::fromUtf8("ЖК дисплей"));
        QCOMPARE(box(1)->currentText(), QString("5min"));
        kor_keys("B");
        open_page(false);
        QCOMPARE(kor_entries(box(1)), (QStringList{"5 мин", "10 мин", "Отключить"}));
        kor_save_screen(g_lcdshow, "lcdshow-ru");
        kor_keys("B");
        g_lcd_lang_valid = 0x1B;  // Russian not enabled: English
        open_page(false);
        QCOMPARE(title(), QString("LCD display"));
        QCOMPARE(kor_entries(box(1)), (QStringList{"5min", "10min", "Never"}));
    }
};

QTEST_MAIN(TestLcdshow)
#include "test_lcdshow.moc"
