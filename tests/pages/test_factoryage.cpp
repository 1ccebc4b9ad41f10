#include "kor_test_helpers.h"
#include "platform/kor_clock.h"
#include "ui/pages/factoryage.h"

namespace {
QString label(const char *name) { return kor_text(g_factoryage, name); }
// The log text: the only label inside the form's frame.
QString log_shown()
{
    const QList<QLabel *> labels = g_factoryage->findChild<QFrame *>("frame")->findChildren<QLabel *>();
    return labels.size() == 1 ? labels.first()->text() : QString("<%1 labels>").arg(labels.size());
}
// "entries page/pages first+count" of what is shown, an entry of fill_log by its number;
// "br" in front when the first line starts with a break.
QString page_shown()
{
    const QString text = log_shown();
    return label("page_info") + ' ' + label("label_page") + (text.startsWith("<br>") ? " br " : " ") +
           QString::number(text.mid(6, 2).toInt() * 60 + text.mid(9, 2).toInt()) + '+' +
           QString::number(text.count("<br>") + 1);
}
// The five counters, the number of entries and the page.
QString counters_shown()
{
    QStringList out;
    for (const char *name : {"label_3", "label_5", "label_10", "label_20", "label_more", "page_info", "label_page"})
        out << label(name);
    return out.join(' ');
}
// Entry i: its number as the time, register 42 = i mod 256, all flags, register 43 = 1.
void fill_log(int n)
{
    for (int i = 0; i < n; ++i)
        factoryage_log << QString("01-01 %1:%2 %3 31 1").arg(i / 60, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'))
                              .arg(i % 256);
}
// The five flags DDR0 DDR1 DE HS VS, green where `bits` has them.
QString flags(int bits)
{
    QString out;
    const char *names[5] = {"DDR0", "DDR1", "DE", "HS", "VS"};
    for (int b = 0; b < 5; ++b)
        out += QString("<font color = %1 >%2</font> ").arg((bits >> b) & 1 ? "#00FF00" : "#FF0000", names[b]);
    return out;
}
// The sampler reads the registers afresh from the FPGA.
void set_regs(int r40, int r42, int r43)
{
    sim_fpga()->set_register(0, 40, uint8_t(r40));
    sim_fpga()->set_register(0, 42, uint8_t(r42));
    sim_fpga()->set_register(0, 43, uint8_t(r43));
}
QList<uint32_t> buckets()
{
    return {factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10, factoryage_log_diff20, factoryage_log_diffmore};
}
}

// The ageing log page, opened behind the access code: its paging, its lines and the tick's
// re-rendering; and the sampler of the main window's tick that fills the log.
class TestFactoryAge : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 41)));
        fpga_manage::pInstance()->MCU_REG_func[0][80] = 3;
    }
    void open_page()
    {
        keyboard->answers << "1688";
        kor_open(kor_advanced + "LO", 23);
    }
    void ageing_tick()  // due for an ageing pass
    {
        G_factoryage_ticks = G_timeTicks.load() - 18000 + 1;
        window->slot_update_timer_ticks();
    }

private slots:

    void empty_log()
    {
        factoryage_log_diff3 = 4;  // not read while nothing is logged
        open_page();
        kor_save_screen(g_factoryage, "factoryage");
        kor_keys("ORO");  // Next and Priv do nothing
        QVERIFY(!kor_focused(g_factoryage, "ButtonNext"));
        QCOMPARE(log_shown(), QString("03-07 09:05  正在老化中..."));
        QCOMPARE(counters_shown(), QString("0<3 0<5 0<10 0<20 0>20 0 0/0"));
        // A pass without a sample (a host frame being handled) shows the new time.
        pc_cmd_valid = 1;
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 8), QTime(10, 15, 2)));
        ageing_tick();
        QCOMPARE(log_shown(), QString("03-08 10:15  正在老化中..."));
    }

    // Both buttons wrap. The tick's ageing pass (T) re-renders the page shown: a new entry
    // shows up on the last page without moving it.
    void paging_data()
    {
        // steps: keys per step; shown: page_shown() after each
        kor_columns<int, QStringList, QStringList>({"entries", "steps", "shown"});
        QTest::newRow("16 entries") << 16 << QStringList{"", "O", "RO", "T"}
                                    << QStringList{"16 1/1 0+16", "16 1/1 0+16", "16 1/1 0+16", "17 1/2 0+16"};
        QTest::newRow("17 entries") << 17 << QStringList{"", "O", "O", "RO"}
                                    << QStringList{"17 1/2 0+16", "17 2/2 16+1", "17 1/2 0+16", "17 2/2 16+1"};
        QTest::newRow("3360 entries, the oldest dropped")
            << 3360 << QStringList{"", "O", "RO", "O", "T"}
            << QStringList{"3360 1/210 0+16", "3360 2/210 16+16", "3360 1/210 0+16", "3360 210/210 3344+16",
                           "3360 210/210 3345+16"};
    }
    void paging()
    {
        QFETCH(int, entries);
        QFETCH(QStringList, steps);
        fill_log(entries);
        factoryage_log_diff3 = 5;
        factoryage_log_diffmore = 7;
        open_page();
        QVERIFY(kor_focused(g_factoryage, "ButtonNext"));
        QVERIFY(counters_shown().startsWith("5<3 0<5 0<10 0<20 7>20"));
        for (int s = 0; s < steps.size(); ++s) {
            if (steps[s] == "T")
                ageing_tick();
            else
                kor_keys(steps[s]);
            QCOMPARE(page_shown(), kor_data<QStringList>("shown")[s]);
        }
        if (entries > 16)
            kor_save_screen(g_factoryage, entries == 17 ? "factoryage-last-page" : "factoryage-full");
    }

    // Entries that do not split into five fields are left out; only the page's first position
    // goes without a break, even when its entry is left out.
    void lines()
    {
        factoryage_log << "bad"
                       << "03-14 09:27 42 31 128"
                       << "12-31 23:59 255 37 0"  // only the low five bits
                       << "01-01  00:02 2 0 3"    // two spaces: six fields
                       << "01-02 00:00 x 1f -"    // not numbers
                       << "<b>1 00:00 7 1 5";     // markup in a field is shown as text
        open_page();
        QCOMPARE(log_shown(), "<br>03-14 09:27 042 " + flags(31) + "128" + "<br>12-31 23:59 255 " + flags(5) + "000" +
                                  "<br>01-02 00:00 000 " + flags(0) + "000" + "<br>&lt;b&gt;1 00:00 007 " + flags(1) +
                                  "005");
        QCOMPARE(label("page_info") + " " + label("label_page"), QString("6 1/1"));
        kor_save_screen(g_factoryage, "factoryage-flags");
    }

    // Back re-texts the advanced settings only when the language changed meanwhile.
    void back()
    {
        open_page();
        QLabel *title = kor_child<QLabel>(g_advancedoption, "label_title");
        title->setText("stale");
        kor_press(KorKey::Back);
        QVERIFY(!g_factoryage);
        QCOMPARE(int(g_page_focus), 12);
        QCOMPARE(title->text(), QString("stale"));
        // The closed page is gone; the tick's ageing pass leaves it alone.
        kor_flush_deletes();
        ageing_tick();
        QCOMPARE(factoryage_log.size(), 1);
        keyboard->answers << "1688";
        kor_press(KorKey::Ok);
        kor_table()->ram[0x300] = 1;
        kor_press(KorKey::Back);
        QCOMPARE(title->text(), QString("Advanced"));
    }

    void mode_key()
    {
        open_page();
        kor_check_mode_key(23);
    }

    void counters_data()
    {
        // bucket: -1: counted nowhere
        kor_columns<int, int, int>({"older", "newer", "bucket"});
        const int rows[][3] = {{10, 10, -1}, {10, 12, 0}, {10, 13, 1}, {10, 14, 1}, {10, 15, 2}, {10, 19, 2},
                               {10, 20, 3},  {10, 29, 3}, {10, 30, 4}, {10, 255, 4}, {255, 0, 0}, {250, 3, 2},
                               {11, 10, 4}};
        for (const auto &r : rows)
            QTest::newRow(qPrintable(QStringLiteral("%1 to %2").arg(r[0]).arg(r[1]))) << r[0] << r[1] << r[2];
    }
    void counters()
    {
        QFETCH(int, newer);
        QFETCH(int, bucket);
        QList<uint32_t> expected{0, 0, 0, 0, 0};
        if (bucket >= 0)
            expected[bucket] = 1;
        // Only the last two lines count: the third sample adds nothing.
        for (int r42 : {kor_data<int>("older"), newer, newer}) {
            set_regs(1, r42, 2);
            window->getagelog();
        }
        QCOMPARE(buckets(), expected);
        QCOMPARE(factoryage_log.last(), QStringLiteral("03-07 09:05 %1 1 2").arg(newer));  // registers 42, 40, 43
    }

    void log_is_capped()
    {
        for (int i = 0; i < 3359; ++i)
            factoryage_log << QStringLiteral("%1 00:00 7 0 0").arg(i);
        set_regs(0, 9, 0);
        window->getagelog();
        QCOMPARE(factoryage_log.size(), 3360);
        QCOMPARE(factoryage_log_diff3, 1u);  // 7 -> 9
        window->getagelog();  // one more pushes out the oldest
        QCOMPARE(factoryage_log.size(), 3360);
        QCOMPARE(factoryage_log.first(), QString("1 00:00 7 0 0"));
        QCOMPARE(factoryage_log.last(), QString("03-07 09:05 9 0 0"));
    }

    void gate_data()
    {
        // last: G_factoryage_ticks; now: tick after the pass; pass: the 180 s gate opens
        // blocker: what keeps the pass from sampling
        kor_columns<uint32_t, uint32_t, bool, QString>({"last", "now", "pass", "blocker"});
        QTest::newRow("17999 ticks") << 1000u << 18999u << false << "";
        QTest::newRow("18000 ticks") << 1000u << 19000u << true << "";
        QTest::newRow("across the wrap") << 0xFFFFF000u << 18000u << true << "";
        QTest::newRow("host frame being handled") << 1000u << 19000u << true << "pc_cmd";
        QTest::newRow("fpga not running") << 1000u << 19000u << true << "stopped";
        QTest::newRow("no fpga manager") << 1000u << 19000u << true << "no manager";
    }
    void gate()
    {
        QFETCH(uint32_t, last);
        QFETCH(uint32_t, now);
        QFETCH(bool, pass);
        QFETCH(QString, blocker);
        int hook_calls = 0;  // the page's re-rendering
        MainWindow::set_agelog_hook([&hook_calls] { ++hook_calls; });
        fpga_manage::p_fpga_manage->MCU_REG_func[0][80] = blocker == "stopped" ? 2 : 3;
        set_regs(1, 2, 3);
        if (blocker == "no manager")
            fpga_manage::destroy_instance();
        pc_cmd_valid = blocker == "pc_cmd" ? 1 : 0;
        G_factoryage_ticks = last;
        G_timeTicks = now - 1;
        window->slot_update_timer_ticks();
        QCOMPARE(G_timeTicks.load(), now);
        QCOMPARE(G_factoryage_ticks, pass ? now : last);
        QCOMPARE(factoryage_log.size(), pass && blocker.isEmpty() ? 1 : 0);
        // The ageing page is re-rendered at every pass, sample or not.
        QCOMPARE(hook_calls, pass ? 1 : 0);
    }
};

QTEST_MAIN(TestFactoryAge)
#include "test_factoryage.moc"
