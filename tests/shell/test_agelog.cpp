#include "core/global.h"
#include "fpga/fpga_manage.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/kor_clock.h"
#include "platform/sim_fpga.h"
#include "ui/shell/mainwindow.h"

#include <QtTest>
#include <memory>

namespace {
unsigned char *regs()
{
    return fpga_manage::p_fpga_manage->MCU_REG_func[0];
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
    return {factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10, factoryage_log_diff20,
            factoryage_log_diffmore};
}
}

// The ageing sampler of the main window's tick.
class TestAgeLog : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;
    int hook_calls = 0;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
        fpga_manage::pInstance();
        regs()[80] = 3;  // running
        hook_calls = 0;
        MainWindow::set_agelog_hook([this] { ++hook_calls; });
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 41)));
    }
    void cleanup()
    {
        env.reset();
        fpga_manage::destroy_instance();
    }

    void line_format_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<int>("r40");
        QTest::addColumn<int>("r42");
        QTest::addColumn<int>("r43");
        QTest::addColumn<QString>("line");
        QTest::newRow("zeros") << QDateTime(QDate(2024, 3, 7), QTime(9, 5, 41)) << 0 << 0 << 0 << "03-07 09:05 0 0 0";
        QTest::newRow("order 42 40 43") << QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59)) << 17 << 200 << 3
                                        << "12-31 23:59 200 17 3";
        QTest::newRow("no leading zeros") << QDateTime(QDate(2024, 1, 2), QTime(0, 0)) << 5 << 255 << 31
                                          << "01-02 00:00 255 5 31";
    }
    void line_format()
    {
        QFETCH(QDateTime, when);
        QFETCH(int, r40);
        QFETCH(int, r42);
        QFETCH(int, r43);
        QFETCH(QString, line);
        kor_clock_set_fixed(when);
        set_regs(r40, r42, r43);
        window->getagelog();
        QCOMPARE(factoryage_log, QStringList{line});
        // A single line counts nothing.
        QCOMPARE(buckets(), (QList<uint32_t>{0, 0, 0, 0, 0}));
    }

    void counters_data()
    {
        QTest::addColumn<int>("older");
        QTest::addColumn<int>("newer");
        QTest::addColumn<int>("bucket");  // -1: counted nowhere
        QTest::newRow("same") << 10 << 10 << -1;
        QTest::newRow("1") << 10 << 11 << 0;
        QTest::newRow("2") << 10 << 12 << 0;
        QTest::newRow("3") << 10 << 13 << 1;
        QTest::newRow("4") << 10 << 14 << 1;
        QTest::newRow("5") << 10 << 15 << 2;
        QTest::newRow("9") << 10 << 19 << 2;
        QTest::newRow("10") << 10 << 20 << 3;
        QTest::newRow("19") << 10 << 29 << 3;
        QTest::newRow("20") << 10 << 30 << 4;
        QTest::newRow("245") << 10 << 255 << 4;
        QTest::newRow("wrap 255 to 0") << 255 << 0 << 0;
        QTest::newRow("wrap 250 to 3") << 250 << 3 << 2;
        QTest::newRow("wrap 11 to 10") << 11 << 10 << 4;
    }
    void counters()
    {
        QFETCH(int, older);
        QFETCH(int, newer);
        QFETCH(int, bucket);
        set_regs(1, older, 2);
        window->getagelog();
        set_regs(1, newer, 2);
        window->getagelog();
        QList<uint32_t> expected{0, 0, 0, 0, 0};
        if (bucket >= 0)
            expected[bucket] = 1;
        QCOMPARE(buckets(), expected);
        // Only the last two lines count: a third sample adds one step more.
        set_regs(1, newer, 2);
        window->getagelog();
        QCOMPARE(buckets(), expected);
    }

    void log_is_capped()
    {
        for (int i = 0; i < 3359; ++i)
            factoryage_log << QStringLiteral("01-01 00:%1 7 0 0").arg(i % 60, 2, 10, QLatin1Char('0'));
        factoryage_log[0] = QStringLiteral("first");
        factoryage_log[1] = QStringLiteral("second");
        set_regs(0, 9, 0);
        window->getagelog();
        QCOMPARE(factoryage_log.size(), 3360);
        QCOMPARE(factoryage_log.first(), QString("first"));
        QCOMPARE(factoryage_log_diff3, 1u);  // 7 -> 9
        set_regs(0, 9, 0);
        window->getagelog();
        QCOMPARE(factoryage_log.size(), 3360);
        QCOMPARE(factoryage_log.first(), QString("second"));
        QCOMPARE(factoryage_log.last(), QString("03-07 09:05 9 0 0"));
    }

    void gate_data()
    {
        QTest::addColumn<uint32_t>("last");     // G_factoryage_ticks
        QTest::addColumn<uint32_t>("now");      // tick after the pass
        QTest::addColumn<bool>("manager");
        QTest::addColumn<int>("pc_cmd");
        QTest::addColumn<int>("reg80");
        QTest::addColumn<bool>("pass");         // the 180 s gate opens
        QTest::addColumn<bool>("sample");
        QTest::newRow("17999 ticks") << 1000u << 18999u << true << 0 << 3 << false << false;
        QTest::newRow("18000 ticks") << 1000u << 19000u << true << 0 << 3 << true << true;
        QTest::newRow("long after") << 0u << 90000u << true << 0 << 3 << true << true;
        QTest::newRow("across the wrap") << 0xFFFFF000u << 18000u << true << 0 << 3 << true << true;
        QTest::newRow("host frame being handled") << 1000u << 19000u << true << 1 << 3 << true << false;
        QTest::newRow("fpga not running") << 1000u << 19000u << true << 0 << 2 << true << false;
        QTest::newRow("no fpga manager") << 1000u << 19000u << false << 0 << 3 << true << false;
    }
    void gate()
    {
        QFETCH(uint32_t, last);
        QFETCH(uint32_t, now);
        QFETCH(bool, manager);
        QFETCH(int, pc_cmd);
        QFETCH(int, reg80);
        QFETCH(bool, pass);
        QFETCH(bool, sample);
        regs()[80] = uint8_t(reg80);
        set_regs(1, 2, 3);
        if (!manager)
            fpga_manage::destroy_instance();
        pc_cmd_valid = uint8_t(pc_cmd);
        G_factoryage_ticks = last;
        G_timeTicks = now - 1;
        window->slot_update_timer_ticks();
        QCOMPARE(G_timeTicks.load(), now);
        QCOMPARE(G_factoryage_ticks, pass ? now : last);
        QCOMPARE(factoryage_log.size(), sample ? 1 : 0);
        // The ageing page is re-rendered at every pass, sample or not.
        QCOMPARE(hook_calls, pass ? 1 : 0);
        // The next pass is 18000 ticks later.
        if (pass) {
            G_timeTicks = now + 17998;
            window->slot_update_timer_ticks();
            QCOMPARE(hook_calls, 1);
            window->slot_update_timer_ticks();
            QCOMPARE(hook_calls, 2);
            QCOMPARE(factoryage_log.size(), sample ? 2 : 0);
        }
    }
};

QTEST_MAIN(TestAgeLog)
#include "test_agelog.moc"
