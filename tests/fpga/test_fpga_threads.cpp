// The FPGA worker on its own thread against pages in the GUI thread. Also run under
// ThreadSanitizer (scripts/test --tsan) and AddressSanitizer (scripts/test --sanitize).
#include "kor_test_helpers.h"
#include "ui/rcv/QRoundProgressBar.h"

#include <QDialog>
#include <QPointer>
#include <QThread>

// Stands in for a receiving-card page: it passes the worker's progress on to its ring.
struct CardPage : QDialog {
    CardPage(int first_job, int last_job)
    {
        fpga_manage::p_fpga_manage->notifier()->follow_jobs(this, first_job, last_job, [this](int percent) {
            seen << percent;
            in_gui_thread = in_gui_thread && QThread::currentThread() == qApp->thread();
            ring->para_sync(percent);
        });
    }
    void start(uint8_t job)
    {
        QRoundProgressBar::create_qround_bar(this);
        ring = g_qround_bar;
        kor_send_job(job);
    }
    QRoundProgressBar *ring = nullptr;
    QList<int> seen;
    bool in_gui_thread = true;
};

class TestFpgaThreads : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }
    void set_up() override
    {
        sim_fpga()->set_chain(3, 4);
        line_type[8] = 3;  // the port
        QCOMPARE(fpga_manage::pInstance()->initialize(), 0);
    }

private slots:

    void page_closed_while_its_job_runs()
    {
        kor_choose_pack(*env, QByteArray(6000, 'p'));
        sim_fpga()->set_reply_delay(2);
        QPointer<CardPage> page = new CardPage(1, 4);
        page->setAttribute(Qt::WA_DeleteOnClose);
        page->start(2);
        QTRY_VERIFY_WITH_TIMEOUT(!page->seen.isEmpty(), 5000);
        QVERIFY(kor_job() == 2);
        page->close();  // the ring goes with it
        QTRY_VERIFY_WITH_TIMEOUT(!page, 1000);
        QVERIFY(!g_qround_bar);
        // The worker goes on to the end without the page.
        QTRY_VERIFY_WITH_TIMEOUT(kor_job() == 0, 10000);
        QTest::qWait(20);
        QCOMPARE(int(sim_fpga()->card(3, 3).pack.size()), 6000);
    }

    void page_gone_before_its_queued_calls_run()
    {
        sim_fpga()->set_needs_recovery(3, 1, true);
        env->write_file("/data/rcvrecovery/a.pack", encode_recovery_pack({RecoveryScreen{{kor_recovery_net(3, 4)}}}));
        auto *page = new CardPage(5, 6);
        QStringList card_list;
        fpga_manage::p_fpga_manage->notifier()->follow_recovery_list(
            page, [&card_list](const QStringList &entries, int) { card_list = entries; });
        page->start(5);
        // The GUI thread runs no event while the worker ends the job; then the worker's
        // messages are handed over, so the page's queued calls wait when the page goes.
        for (int i = 0; i < 2000 && kor_job() != 0; ++i)
            QThread::msleep(1);
        QCOMPARE(int(kor_job()), 0);
        fpga_manage::p_fpga_manage->notifier()->deliver();
        QVERIFY(page->seen.isEmpty());
        delete page;
        QVERIFY(!g_qround_bar);
        QTest::qWait(20);
        QVERIFY(card_list.isEmpty());
        QCOMPARE(int(fpga_manage::rcv_card_field()), 1);

        // The next page gets what is sent from now on, in the GUI thread; 100 closes its ring.
        CardPage next(5, 6);
        next.start(6);
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QVERIFY(!sim_fpga()->card(3, 1).needs_recovery);
        QVERIFY(next.in_gui_thread && next.seen.size() >= 2);
        QCOMPARE(next.seen.last(), 100);
    }
};

QTEST_MAIN(TestFpgaThreads)
#include "test_fpga_threads.moc"
