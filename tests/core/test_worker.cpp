#include "core/para_change.h"
#include "core/utils.h"
#include "core/worker.h"
#include "hostlink/usbserver.h"
#include "kor_test_helpers.h"

#include <QElapsedTimer>

// Workers sleep until something is asked of them, and take it at once; only a pending timed
// step makes them wake on their own.
class TestWorker : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }

    // Well under KorWorker::kIdleCheck: taken because it was announced, not found by chance.
    static constexpr int kPrompt = 1000;

private slots:
    void rests_until_woken_data()
    {
        QTest::addColumn<bool>("by_tick");
        QTest::newRow("wake()") << false;
        QTest::newRow("the tick finds it pending") << true;
    }
    void rests_until_woken()
    {
        QFETCH(bool, by_tick);
        std::atomic<int> passes{0};
        std::atomic<bool> asked{false};
        KorWorker w;
        QCOMPARE(w.start([&] { ++passes; asked = false; }, [&] { return asked.load(); }, std::chrono::milliseconds(5)), 0);
        QTRY_COMPARE(passes.load(), 1);
        QTest::qWait(150);
        QCOMPARE(passes.load(), 1);  // nothing asked: no pass
        KorWorker::wake_pending();
        QTest::qWait(50);
        QCOMPARE(passes.load(), 1);  // nothing pending: the tick leaves it asleep
        asked = true;
        if (by_tick)
            KorWorker::wake_pending();
        else
            w.wake();
        QTRY_COMPARE_WITH_TIMEOUT(passes.load(), 2, kPrompt);
    }

    // While a step is pending the worker comes back on its own, every step.
    void timed_steps_while_pending()
    {
        std::atomic<int> passes{0};
        KorWorker w;
        QCOMPARE(w.start([&] { ++passes; }, [&] { return passes.load() < 5; }, std::chrono::milliseconds(5)), 0);
        QTRY_COMPARE_WITH_TIMEOUT(passes.load(), 5, kPrompt);
        QTest::qWait(100);
        QCOMPARE(passes.load(), 5);
    }

    // A page's change reaches the chip without any tick running.
    void scaler_takes_a_raised_change_at_once()
    {
        QCOMPARE(v331_manage::pInstance()->initialize(), 0);
        QTest::qWait(50);  // the worker is at rest
        {
            QMutexLocker lock(&ParaChange::mutex);
            kor_table()->set_u16(0x884, 77);
            ParaChange::raise();
        }
        QTRY_COMPARE_WITH_TIMEOUT(kor_scaler_calls(env->scaler()), QStringList{"sharpness(77)"}, kPrompt);
    }

    // The LED hand-over's timed steps (11 and 31 ticks) follow the tick, then the worker rests.
    void fpga_hand_over_steps_with_the_tick()
    {
        QCOMPARE(fpga_manage::pInstance()->initialize(), 0);
        QTest::qWait(50);
        {
            QMutexLocker lock(&Utils::_led_para_init_mutex);
            g_set_led_para = 1;
        }
        kor_wake_workers();
        QElapsedTimer t;
        t.start();
        while (g_set_led_para.load() != 0 && t.elapsed() < kPrompt) {
            G_timeTicks.fetch_add(1);
            KorWorker::wake_pending();
            QThread::msleep(5);
        }
        QCOMPARE(int(g_set_led_para), 0);
        QCOMPARE(sim_fpga()->screen_controls(), (std::vector<int>{0, 5}));
    }

    // The stick is seen as soon as its folder comes, also when "/mnt" itself is new.
    void usb_watcher_sees_the_stick_at_once()
    {
        UsbServer *usb = UsbServer::pInstance();
        QCOMPARE(usb->initialize(), 0);
        QTest::qWait(50);
        QVERIFY(QDir().mkpath(env->path("/mnt/usb1")));
        QTRY_VERIFY_WITH_TIMEOUT(usb->disk_present(), kPrompt);
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        QTRY_VERIFY_WITH_TIMEOUT(!usb->disk_present(), kPrompt);
        QVERIFY(QDir().mkpath(env->path("/mnt/usb1")));
        QTRY_VERIFY_WITH_TIMEOUT(usb->disk_present(), kPrompt);
    }
};

QTEST_MAIN(TestWorker)
#include "test_worker.moc"
