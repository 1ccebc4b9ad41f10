#include "core/gui_post.h"
#include "core/para_change.h"
#include "core/syncupdate.h"
#include "core/table_saver.h"
#include "core/utils.h"
#include "core/worker.h"
#include "hostlink/usbserver.h"
#include "kor_test_helpers.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <future>

// Workers sleep until something is asked of them, and take it at once; only a pending timed
// step makes them wake on their own.
class TestWorker : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }

    // Well under KorWorker::kIdleCheck: taken because it was announced, not found by chance.
    static constexpr int kPrompt = 1000;

    // A writer held at its first write until released.
    struct SlowWriter {
        QSemaphore entered, release;
        std::vector<QByteArray> written;
        std::vector<std::thread::id> threads;
        std::mutex m;
        TableSaver::Writer fn()
        {
            return [this](const QByteArray &s) {
                entered.release();
                release.acquire();
                std::lock_guard<std::mutex> lock(m);
                written.push_back(s);
                threads.push_back(std::this_thread::get_id());
                return s != "fail";
            };
        }
    };

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
            kor_table()->set_u16(KorTable::kSharpness, 77);
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

    // The table saver writes off the calling thread, newest snapshot first, and lets
    // nothing go when the program reboots or its owner goes.
    void newest_snapshot_wins()
    {
        SlowWriter w;
        TableSaver saver(w.fn());
        QCOMPARE(saver.submit("1"), uint64_t(1));
        QVERIFY(w.entered.tryAcquire(1, 5000));  // "1" is being written
        for (int i = 2; i <= 50; ++i)
            saver.submit(QByteArray::number(i));
        w.release.release(100);
        saver.flush();
        QCOMPARE(w.written, (std::vector<QByteArray>{"1", "50"}));
        QVERIFY(w.threads[0] != std::this_thread::get_id());
        const auto results = saver.take_results();
        QCOMPARE(int(results.size()), 2);
        QCOMPARE(results[1].generation, uint64_t(50));
        QVERIFY(results[0].ok && results[1].ok);
        saver.submit("fail");
        saver.flush();
        QVERIFY(!saver.take_results().at(0).ok);
    }

    // A burst of changes (a held key) makes about two writes a second, the newest last, and
    // a change waits on flash no longer than the saver's latest time.
    void burst_makes_few_writes()
    {
        std::mutex m;
        std::vector<QByteArray> written;
        TableSaver saver([&](const QByteArray &s) {
            std::lock_guard<std::mutex> lock(m);
            written.push_back(s);
            return true;
        });
        QElapsedTimer t;
        t.start();
        for (int i = 1; i <= 20; ++i) {
            saver.submit(QByteArray::number(i));
            if (i == 1) {
                QThread::msleep(20);
                std::lock_guard<std::mutex> lock(m);
                QVERIFY(written.empty());  // held back for newer ones
            }
            QThread::msleep(50);
        }
        QTRY_VERIFY_WITH_TIMEOUT([&] { std::lock_guard<std::mutex> lock(m); return !written.empty() && written.back() == "20"; }(),
                                 kPrompt);
        std::lock_guard<std::mutex> lock(m);
        QVERIFY2(written.size() <= 3, qPrintable(QString::number(written.size())));
        QVERIFY(written.size() >= 2);  // not held for the whole burst
    }

    void nothing_lost_data()
    {
        QTest::addColumn<bool>("by_reboot");
        QTest::newRow("a reboot") << true;
        QTest::newRow("the owner goes") << false;
    }
    void nothing_lost()
    {
        QFETCH(bool, by_reboot);
        SlowWriter w;
        auto saver = std::make_unique<TableSaver>(w.fn());
        saver->submit("1");
        QVERIFY(w.entered.tryAcquire(1, 5000));
        saver->submit("2");
        std::thread releaser([&w] {
            QThread::msleep(50);
            w.release.release(2);
        });
        if (by_reboot)
            Utils::system_mutex(QStringLiteral("reboot"));
        else
            saver.reset();
        {
            std::lock_guard<std::mutex> lock(w.m);
            QCOMPARE(w.written, (std::vector<QByteArray>{"1", "2"}));
        }
        releaser.join();
        if (by_reboot)
            QCOMPARE(env->commands().back(), std::string("reboot"));
    }

    // A write that keeps failing is tried again after the shortest wait, then twice as long
    // each time, up to the longest; a success or a new change starts again from the shortest.
    // A change whose write failed elsewhere (the settings' three writes of one Apply) waits the
    // shortest time after its last failure, and its own first retry the next step.
    void back_off_step_by_step()
    {
        using ms = std::chrono::milliseconds;
        TableSaver::Timing timing;
        timing.quiet = timing.latest = ms(1);
        timing.retry_first = ms(4);
        timing.retry_most = ms(40);
        std::atomic<int> failures{7};
        std::function<void(const QByteArray &)> on_write;
        const auto writer = [&](const QByteArray &s) {
            if (on_write)
                on_write(s);
            return failures-- <= 0;
        };
        auto saver = std::make_unique<TableSaver>(writer, timing);
        std::vector<TableSaver::Result> results;
        const auto results_until = [&](size_t n) {
            QElapsedTimer t;
            t.start();
            while (results.size() < n && t.elapsed() < 5000) {
                for (const TableSaver::Result &r : saver->take_results())
                    results.push_back(r);
                QThread::msleep(1);
            }
            return results.size() >= n;
        };
        const auto waits = [&](size_t from) {
            QList<int> out;
            for (size_t i = from; i < results.size(); ++i)
                out << (results[i].ok ? 0 : int(results[i].retry_in.count()));
            return out;
        };
        saver->submit("a");
        QVERIFY(results_until(8));
        QCOMPARE(waits(0), (QList<int>{4, 8, 16, 32, 40, 40, 40, 0}));
        failures = 2;
        saver->submit("b");
        QVERIFY(results_until(11));
        QCOMPARE(waits(8), (QList<int>{4, 8, 0}));
        // A new change during the back-off (here while its third try is written) starts again
        // from the shortest wait.
        failures = 5;
        int tries = 0;
        on_write = [&](const QByteArray &s) {
            if (s == "c" && ++tries == 3)
                saver->submit("d");
        };
        saver->submit("c");
        QVERIFY(results_until(17));
        QCOMPARE(waits(11), (QList<int>{4, 8, 0, 4, 8, 0}));

        // Three failed writes elsewhere, one after the other: waits long enough that the
        // three are handed over before the first is due.
        timing.retry_first = ms(300);
        timing.retry_most = ms(3000);
        results.clear();
        saver = std::make_unique<TableSaver>(writer, timing);
        failures = 1;
        for (const char *s : {"ip", "mask", "gateway"})
            saver->submit_retry(s);
        QVERIFY(results_until(2));
        QCOMPARE(waits(0), (QList<int>{600, 0}));
    }

    // A flush writes at once what waits; it leaves the saver holding back the next change as
    // usual, also when it found nothing to write.
    void flush_leaves_no_hurry()
    {
        using ms = std::chrono::milliseconds;
        TableSaver::Timing timing;
        timing.quiet = timing.latest = ms(2000);
        std::atomic<int> writes{0};
        TableSaver saver([&](const QByteArray &) { return ++writes > 0; }, timing);
        saver.flush();
        saver.submit("1");
        QThread::msleep(100);
        QCOMPARE(writes.load(), 0);
        saver.flush();
        QCOMPARE(writes.load(), 1);
        saver.submit("2");
        QThread::msleep(100);
        QCOMPARE(writes.load(), 1);
        saver.flush();
        QCOMPARE(writes.load(), 2);
    }

    // The refresh hands the table over and returns while the flash is busy; the file follows.
    void refresh_never_waits_for_the_flash()
    {
        {
            QMutexLocker lock(&ParaChange::mutex);
            kor_table()->set_u16(KorTable::kContrast, 70);
        }
        std::future<void> refresh;
        {
            QMutexLocker busy(&Utils::_file_deal_mutex);
            refresh = std::async(std::launch::async, [] { SyncUpdate::p_sync->para_sync(1); });
            QVERIFY(refresh.wait_for(std::chrono::seconds(1)) == std::future_status::ready);
        }
        SyncUpdate::p_sync->flush_saves();
        QCOMPARE(kor_file_u16(env->read_file("/data/ram_device_info"), KorTable::kContrast), 70);
    }

    // Calls posted by a worker run in the GUI thread, in order, and only while their context
    // still exists.
    void posts_reach_the_gui_thread()
    {
        QStringList ran;
        auto *gone = new QObject;
        QObject kept;
        std::thread worker([&] {
            kor_post_to_gui(&kept, [&] { ran << QString("a%1").arg(kor_in_gui_thread()); });
            kor_post_to_gui(gone, [&] { ran << "gone"; });
            kor_post_to_gui(nullptr, [&] { ran << QString("b%1").arg(kor_in_gui_thread()); });
        });
        worker.join();
        QVERIFY(ran.isEmpty());
        delete gone;
        QTRY_COMPARE(ran, (QStringList{"a1", "b1"}));
    }
};

QTEST_MAIN(TestWorker)
#include "test_worker.moc"
