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
// The five flags DDR0 DDR1 DE HS VS, green where `bits` has them.
QString flags(int bits)
{
    QString out;
    for (int b = 0; b < 5; ++b)
        out += QString("<font color = %1 >%2</font> ")
                   .arg((bits >> b) & 1 ? "#00FF00" : "#FF0000", QStringList{"DDR0", "DDR1", "DE", "HS", "VS"}[b]);
    return out;
}
// The sampler reads the registers afresh from the FPGA.
void set_regs(int r40, int r42, int r43)
{
    sim_fpga()->set_register(0, 40, uint8_t(r40));
    sim_fpga()->set_register(0, 42, uint8_t(r42));
    sim_fpga()->set_register(0, 43, uint8_t(r43));
}
}

// The ageing log page, opened behind the access code: its paging, its lines and the tick's
// re-rendering; and the sampler of the main window's tick that fills the log.
class TestFactoryAge : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 41)));
        fpga_manage::pInstance()->set_register_for_test(0, 80, 3);
    }
    void open_page()
    {
        keyboard->answers << "1688";
        kor_open(kor_advanced + " left ok", 23);
    }
    void ageing_tick()  // due for an ageing pass
    {
        G_factoryage_ticks = G_timeTicks.load() - 18000 + 1;
        window->slot_update_timer_ticks();
    }

private slots:

    void empty_log_and_back()
    {
        factoryage_log_diff3 = 4;  // not read while nothing is logged
        open_page();
        kor_save_screen(g_factoryage, "factoryage");
        kor_keys("ok right ok");  // Next and Priv do nothing
        QCOMPARE(log_shown(), QString("03-07 09:05  正在老化中..."));
        QCOMPARE(label("label_3") + ' ' + label("page_info") + ' ' + label("label_page"), QString("0<3 0 0/0"));
        kor_press(KorKey::Back);
        kor_check_left(23, 12);
        // The closed page is gone; the tick's ageing pass leaves it alone.
        kor_flush_deletes();
        ageing_tick();
        QCOMPARE(factoryage_log.size(), 1);
    }

    // A language the host sets while the log is in front is taken, and the advanced
    // settings show it on return.
    void host_language()
    {
        open_page();
        kor_host_language(1);
        QCOMPARE(int(g_language), 1);
        kor_press(KorKey::Back);
        QCOMPARE(kor_text(g_advancedoption, "label_title"), QString("Advanced"));
    }

    // Both buttons wrap; the tick's pass re-renders the page, the entry filling the log shown in place.
    void paging()
    {
        for (int i = 0; i < 3359; ++i)  // entry i with its number as the time
            factoryage_log << QString("01-01 %1 7 31 0").arg(i, 5, 10, QChar('0'));
        open_page();
        QStringList shown;
        for (const QString &step : QStringList{"", "right ok", "left ok", "right ok", "tick"}) {
            step == "tick" ? ageing_tick() : kor_keys(step);
            shown << label("page_info") + ' ' + label("label_page") + ' ' + log_shown().mid(6, 5) + '+' +
                         QString::number(log_shown().count("<br>") + 1);
            if (shown.size() == 2)
                kor_save_screen(g_factoryage, "factoryage-last-page");
        }
        QCOMPARE(shown, (QStringList{"3359 1/210 00000+16", "3359 210/210 03344+15", "3359 1/210 00000+16",
                                     "3359 210/210 03344+15", "3360 210/210 03344+16"}));
        kor_save_screen(g_factoryage, "factoryage-full");
        kor_check_mode_key(23);
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
        kor_save_screen(g_factoryage, "factoryage-flags");
    }

    void counters_data()
    {
        // bucket: -1: counted nowhere
        kor_columns<int, int, int>({"older", "newer", "bucket"});
        const int rows[][3] = {{10, 10, -1}, {10, 12, 0}, {10, 13, 1}, {10, 15, 2},
                               {10, 20, 3},  {10, 30, 4}, {255, 0, 0}, {11, 10, 4}};
        for (const auto &r : rows)
            QTest::newRow(qPrintable(QStringLiteral("%1 to %2").arg(r[0]).arg(r[1]))) << r[0] << r[1] << r[2];
    }
    void counters()
    {
        QFETCH(int, newer);
        QFETCH(int, bucket);
        // Only the last two lines count: the third sample adds nothing.
        for (int r42 : {kor_data<int>("older"), newer, newer}) {
            set_regs(1, r42, 2);
            window->getagelog();
        }
        const uint32_t counted[5] = {factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10,
                                     factoryage_log_diff20, factoryage_log_diffmore};
        for (int b = 0; b < 5; ++b)
            QCOMPARE(counted[b], uint32_t(b == bucket));
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
        // last: G_factoryage_ticks; now: tick after the pass; pass: the 180 s gate opens; blocker: no sample
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
        fpga_manage::p_fpga_manage->set_register_for_test(0, 80, blocker == "stopped" ? 2 : 3);
        set_regs(1, 2, 3);
        if (blocker == "no manager")
            fpga_manage::destroy_instance();
        pc_cmd_valid = blocker == "pc_cmd" ? 1 : 0;
        G_factoryage_ticks = last;
        G_timeTicks = now - 1;
        window->slot_update_timer_ticks();
        QCOMPARE(G_factoryage_ticks, pass ? now : last);
        QCOMPARE(factoryage_log.size(), pass && blocker.isEmpty() ? 1 : 0);
        // The ageing page is re-rendered at every pass, sample or not.
        QCOMPARE(hook_calls, pass ? 1 : 0);
    }
};

QTEST_MAIN(TestFactoryAge)
#include "test_factoryage.moc"
