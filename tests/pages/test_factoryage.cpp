#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_manage.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/kor_clock.h"
#include "platform/sim_fpga.h"
#include "ui/pages/factoryage.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
const QString kButtonNormal = "color:rgb(255,255,255);\nborder:1px solid rgb(255, 255, 255);";
const QString kButtonFocus = "color:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);";

// Keys by letter: L left, R right, K OK, B back, M mode.
void press(const QString &keys)
{
    const QString letters = "LRKBM";
    const KorKey logical[] = { KorKey::Left, KorKey::Right, KorKey::Ok, KorKey::Back, KorKey::Mode };
    for (QChar k : keys)
        if (letters.contains(k))
            kor_press(logical[letters.indexOf(k)]);
}

// Home -> main menu -> settings -> advanced settings -> ageing log behind the access code.
void open_ageing(ScriptedNumberKeyboard *keyboard)
{
    kor_set_modal_pages(false);
    keyboard->answers << "1688";
    press("KRRKLKLK");
}

QString label(const char *name)
{
    return g_factoryage->findChild<QLabel *>(name)->text();
}
// The log text: the only label inside the form's frame.
QString log_shown()
{
    const QList<QLabel *> labels = g_factoryage->findChild<QFrame *>("frame")->findChildren<QLabel *>();
    return labels.size() == 1 ? labels.first()->text() : QString("<%1 labels>").arg(labels.size());
}
QStringList counters()
{
    return { label("label_3"), label("label_5"), label("label_10"), label("label_20"), label("label_more") };
}

// Entry i of a test log: a distinct time, register 42 = i mod 256, all flags, register 43 = 1.
QString entry(int i)
{
    return QStringLiteral("01-01 %1:%2 %3 31 1")
        .arg(i / 60, 2, 10, QLatin1Char('0'))
        .arg(i % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 256);
}
QString entry_start(int i)
{
    return entry(i).section(' ', 0, 1) + ' ';
}
void fill_log(int n)
{
    for (int i = 0; i < n; ++i)
        factoryage_log << entry(i);
}

QString green(const char *s)
{
    return QStringLiteral("<font color = #00FF00 >%1</font>").arg(s);
}
QString red(const char *s)
{
    return QStringLiteral("<font color = #FF0000 >%1</font>").arg(s);
}
}

class TestFactoryAge : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;
    ScriptedNumberKeyboard *keyboard = nullptr;

    // One pass of the tick that is due for an ageing pass.
    void ageing_tick()
    {
        G_factoryage_ticks = G_timeTicks.load() - 18000 + 1;
        window->slot_update_timer_ticks();
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 41)));
    }
    void cleanup()
    {
        env.reset();
        fpga_manage::destroy_instance();
    }

    void empty_log()
    {
        // The counters are not read while nothing is logged.
        factoryage_log_diff3 = 4;
        factoryage_log_diffmore = 9;
        open_ageing(keyboard);
        QVERIFY(g_factoryage);
        QCOMPARE(int(g_page_focus), 23);
        QCOMPARE(log_shown(), QString("03-07 09:05  正在老化中..."));
        QCOMPARE(counters(), (QStringList { "0<3", "0<5", "0<10", "0<20", "0>20" }));
        QCOMPARE(label("page_info"), QString("0"));
        QCOMPARE(label("label_page"), QString("0/0"));
        QCOMPARE(g_factoryage->findChild<QPushButton *>("ButtonNext")->styleSheet(), kButtonFocus);
        QCOMPARE(g_factoryage->findChild<QPushButton *>("ButtonPriv")->styleSheet(), kButtonNormal);
        kor_save_screen(g_factoryage, "factoryage");
        // Next and Priv do nothing.
        press("KRK");
        QCOMPARE(label("label_page"), QString("0/0"));
        QCOMPARE(log_shown(), QString("03-07 09:05  正在老化中..."));
        QCOMPARE(g_factoryage->findChild<QPushButton *>("ButtonPriv")->styleSheet(), kButtonFocus);
        QCOMPARE(g_factoryage->findChild<QPushButton *>("ButtonNext")->styleSheet(), kButtonNormal);
    }

    void paging_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QStringList>("steps"); // keys per step
        QTest::addColumn<QStringList>("pages"); // label_page after each step
        QTest::addColumn<QList<int>>("first"); // first entry shown after each step
        QTest::addColumn<QList<int>>("lines"); // entries shown after each step
        QTest::newRow("16 entries") << 16 << QStringList { "", "K", "RK", "K" }
                                    << QStringList { "1/1", "1/1", "1/1", "1/1" } << QList<int> { 0, 0, 0, 0 }
                                    << QList<int> { 16, 16, 16, 16 };
        QTest::newRow("17 entries") << 17 << QStringList { "", "K", "K", "RK", "K" }
                                    << QStringList { "1/2", "2/2", "1/2", "2/2", "1/2" }
                                    << QList<int> { 0, 16, 0, 16, 0 } << QList<int> { 16, 1, 16, 1, 16 };
        QTest::newRow("33 entries") << 33 << QStringList { "", "K", "K", "K", "RK", "K" }
                                    << QStringList { "1/3", "2/3", "3/3", "1/3", "3/3", "2/3" }
                                    << QList<int> { 0, 16, 32, 0, 32, 16 } << QList<int> { 16, 16, 1, 16, 1, 16 };
        QTest::newRow("3360 entries") << 3360 << QStringList { "", "RK", "LK", "K" }
                                      << QStringList { "1/210", "210/210", "1/210", "2/210" }
                                      << QList<int> { 0, 3344, 0, 16 } << QList<int> { 16, 16, 16, 16 };
    }
    void paging()
    {
        QFETCH(int, entries);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, pages);
        QFETCH(QList<int>, first);
        QFETCH(QList<int>, lines);
        fill_log(entries);
        factoryage_log_diff3 = 5;
        factoryage_log_diff10 = 12;
        factoryage_log_diff20 = 3;
        factoryage_log_diffmore = uint32_t(entries);
        open_ageing(keyboard);
        QCOMPARE(counters(), (QStringList { "5<3", "0<5", "12<10", "3<20", QString::number(entries) + ">20" }));
        for (int s = 0; s < steps.size(); ++s) {
            press(steps[s]);
            const QString shown = log_shown();
            QCOMPARE(label("label_page"), pages[s]);
            QCOMPARE(label("page_info"), QString::number(entries));
            // No break in front of the page's first entry.
            QVERIFY2(shown.startsWith(entry_start(first[s])), qPrintable(shown.left(40)));
            QCOMPARE(shown.count("<br>"), lines[s] - 1);
            QVERIFY(shown.contains("<br>" + entry_start(first[s] + lines[s] - 1)) || lines[s] == 1);
        }
        if (entries == 17)
            kor_save_screen(g_factoryage, "factoryage-last-page");
        if (entries == 3360)
            kor_save_screen(g_factoryage, "factoryage-full");
    }

    void line_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("html");
        const QString all
            = green("DDR0") + ' ' + green("DDR1") + ' ' + green("DE") + ' ' + green("HS") + ' ' + green("VS") + ' ';
        const QString none
            = red("DDR0") + ' ' + red("DDR1") + ' ' + red("DE") + ' ' + red("HS") + ' ' + red("VS") + ' ';
        QTest::newRow("all flags") << "03-14 09:27 42 31 128"
                                   << "03-14 09:27 042 " + all + "128";
        QTest::newRow("no flags") << "03-14 09:27 42 0 128"
                                  << "03-14 09:27 042 " + none + "128";
        QTest::newRow("only the low five bits") << "12-31 23:59 255 37 0"
                                                << "12-31 23:59 255 " + green("DDR0") + ' ' + red("DDR1") + ' '
                + green("DE") + ' ' + red("HS") + ' ' + red("VS") + ' ' + "000";
        QTest::newRow("three digits") << "01-02 00:00 7 1 5"
                                      << "01-02 00:00 007 " + green("DDR0") + ' ' + red("DDR1") + ' ' + red("DE") + ' '
                + red("HS") + ' ' + red("VS") + ' ' + "005";
        QTest::newRow("not numbers") << "01-02 00:00 x 1f -"
                                     << "01-02 00:00 000 " + none + "000";
        QTest::newRow("markup in a field is shown as text") << "<b>1 00:00 1 0 1"
                                                            << "&lt;b&gt;1 00:00 001 " + none + "001";
    }
    void line()
    {
        QFETCH(QString, entry);
        QFETCH(QString, html);
        factoryage_log << entry;
        open_ageing(keyboard);
        QCOMPARE(log_shown(), html);
        QCOMPARE(label("label_page"), QString("1/1"));
        if (QByteArray(QTest::currentDataTag()) == "only the low five bits")
            kor_save_screen(g_factoryage, "factoryage-flags");
    }

    void malformed_entries_are_left_out()
    {
        factoryage_log << "bad"
                       << "01-01 00:01 1 0 2"
                       << "01-01  00:02 2 0 3" // two spaces: six fields
                       << "01-01 00:03 3 0 4 5"
                       << "01-01 00:04 4 0 5";
        open_ageing(keyboard);
        const QString none
            = red("DDR0") + ' ' + red("DDR1") + ' ' + red("DE") + ' ' + red("HS") + ' ' + red("VS") + ' ';
        // The page's first entry is left out, so the first line shown keeps its break.
        QCOMPARE(log_shown(), "<br>01-01 00:01 001 " + none + "002" + "<br>01-01 00:04 004 " + none + "005");
        QCOMPARE(label("page_info"), QString("5"));
        QCOMPARE(label("label_page"), QString("1/1"));
    }

    void tick_re_renders_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("pc_cmd");
        QTest::addColumn<int>("reg80");
        QTest::addColumn<QString>("keys"); // paging before the tick
        QTest::addColumn<bool>("sample");
        QTest::addColumn<QString>("page"); // label_page after the tick
        QTest::addColumn<int>("first"); // entry shown first after the tick (-1: waiting text)
        QTest::newRow("empty log, sample") << 0 << 0 << 3 << "" << true << "1/1" << -2;
        QTest::newRow("empty log, host frame") << 0 << 1 << 3 << "" << false << "0/0" << -1;
        QTest::newRow("17, page stays") << 17 << 0 << 3 << "" << true << "1/2" << 0;
        QTest::newRow("16, new page appears") << 16 << 0 << 3 << "" << true << "1/2" << 0;
        QTest::newRow("3360, last page, oldest dropped") << 3360 << 0 << 3 << "RK" << true << "210/210" << 3345;
        QTest::newRow("3360, host frame") << 3360 << 1 << 3 << "RK" << false << "210/210" << 3344;
    }
    void tick_re_renders()
    {
        QFETCH(int, entries);
        QFETCH(int, pc_cmd);
        QFETCH(int, reg80);
        QFETCH(QString, keys);
        QFETCH(bool, sample);
        QFETCH(QString, page);
        QFETCH(int, first);
        fpga_manage::pInstance()->MCU_REG_func[0][80] = uint8_t(reg80);
        sim_fpga()->set_register(0, 40, 0x03);
        sim_fpga()->set_register(0, 42, 9);
        sim_fpga()->set_register(0, 43, 200);
        fill_log(entries);
        open_ageing(keyboard);
        press(keys);
        pc_cmd_valid = uint8_t(pc_cmd);
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 8), QTime(10, 15, 2)));
        ageing_tick();
        const int n = std::min(entries + (sample ? 1 : 0), 3360);
        QCOMPARE(factoryage_log.size(), n);
        QCOMPARE(label("page_info"), QString::number(n));
        QCOMPARE(label("label_page"), page);
        const QString shown = log_shown();
        if (first == -1)
            QCOMPARE(shown, QString("03-08 10:15  正在老化中..."));
        else if (first == -2)
            QVERIFY2(shown.startsWith("03-08 10:15 009 " + green("DDR0") + ' ' + green("DDR1") + ' ' + red("DE")),
                qPrintable(shown));
        else
            QVERIFY2(shown.startsWith(entry_start(first)), qPrintable(shown.left(40)));
        if (sample && entries == 17)
            QVERIFY(!shown.contains("03-08 10:15"));
        if (sample && entries == 3360)
            QVERIFY(shown.endsWith("03-08 10:15 009 " + green("DDR0") + ' ' + green("DDR1") + ' ' + red("DE") + ' '
                + red("HS") + ' ' + red("VS") + ' ' + "200"));
    }

    void back_re_texts_advanced_only_on_language_change_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::newRow("language unchanged") << false;
        QTest::newRow("language changed meanwhile") << true;
    }
    void back_re_texts_advanced_only_on_language_change()
    {
        QFETCH(bool, changed);
        fpga_manage::pInstance()->MCU_REG_func[0][80] = 3;
        open_ageing(keyboard);
        QLabel *title = g_advancedoption->findChild<QLabel *>("label_title");
        title->setText("stale");
        if (changed)
            KorRamPara::p_korrampara_config->ram[0x300] = 1;
        press("B");
        QVERIFY(!g_factoryage);
        QCOMPARE(int(g_page_focus), 12);
        QCOMPARE(title->text(), changed ? QString("Advanced") : QString("stale"));
        // The closed page is gone; the tick's ageing pass leaves it alone.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ageing_tick();
        QCOMPARE(factoryage_log.size(), 1);
        // Every opening starts on the first page with Next highlighted.
        fill_log(20);
        keyboard->answers << "1688";
        press("K");
        QVERIFY(g_factoryage);
        QCOMPARE(label("label_page"), QString("1/2"));
        QCOMPARE(g_factoryage->findChild<QPushButton *>("ButtonNext")->styleSheet(), kButtonFocus);
    }

    void mode_key_data()
    {
        QTest::addColumn<int>("lock");
        QTest::newRow("unlocked") << 0;
        QTest::newRow("locked") << 1;
    }
    void mode_key()
    {
        QFETCH(int, lock);
        KorRamPara::p_korrampara_config->set_u16(0x304, uint16_t(lock));
        open_ageing(keyboard);
        press("M");
        if (lock) {
            QVERIFY(g_factoryage);
            QCOMPARE(int(g_page_focus), 23);
            QVERIFY(!g_custommode);
            return;
        }
        QVERIFY(!g_factoryage);
        QVERIFY(!g_advancedoption);
        QVERIFY(!g_option);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
    }
};

QTEST_MAIN(TestFactoryAge)
#include "test_factoryage.moc"
