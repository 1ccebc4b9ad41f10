#include "kor_test_helpers.h"
#include "platform/kor_clock.h"

namespace {
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

// The ageing sampler of the main window's tick.
class TestAgeLog : public KorTest {
    Q_OBJECT
    int hook_calls = 0;
    void set_up() override
    {
        fpga_manage::pInstance()->MCU_REG_func[0][80] = 3;  // running
        hook_calls = 0;
        MainWindow::set_agelog_hook([this] { ++hook_calls; });
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 41)));
    }

private slots:

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

QTEST_MAIN(TestAgeLog)
#include "test_agelog.moc"
