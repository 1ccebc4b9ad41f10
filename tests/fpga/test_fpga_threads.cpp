// The FPGA worker on its own thread against pages in the GUI thread. Also run under
// ThreadSanitizer (scripts/test --tsan) and AddressSanitizer (scripts/test --sanitize).
#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "kor_test_env.h"
#include "platform/sim_fpga.h"
#include "ui/rcv/QRoundProgressBar.h"

#include <QDialog>
#include <QPointer>
#include <QThread>
#include <QtTest>
#include <ctime>
#include <memory>

// Stands in for a receiving-card page: it relays the worker's progress through its own
// signal to the ring, as SmartMapping and rcv_recovery do.
class CardPage : public QDialog {
    Q_OBJECT
public:
    CardPage(int first_job, int last_job)
    {
        fpga_job_notifier *n = fpga_manage::p_fpga_manage->notifier();
        n->follow_jobs(this, first_job, last_job, [this](int percent) {
            seen << percent;
            in_gui_thread = in_gui_thread && QThread::currentThread() == qApp->thread();
            emit sig_qround_bar_update(percent);
        });
        n->follow_recovery_list(this, [this](const QStringList &entries, int count) {
            card_list = entries;
            entry_count = count;
        });
    }
    void start(uint8_t job)
    {
        QRoundProgressBar::create_qround_bar(this);
        connect(this, SIGNAL(sig_qround_bar_update(int)), g_qround_bar, SLOT(para_sync(int)));
        kor_send_job(job);
    }
    QList<int> seen;
    bool in_gui_thread = true;
    QStringList card_list;
    int entry_count = 0;

signals:
    void sig_qround_bar_update(int percent);
};

#if defined(__SANITIZE_THREAD__)
// The test library's watchdog thread is torn down at exit inside Qt, which is not built for
// ThreadSanitizer; only that is passed over.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:QWaitCondition::~QWaitCondition\n"
           "called_from_lib:libQt5Test.so\n";
}
#endif

namespace {
void write_pack(KorTestEnv &env, int size)
{
    MappingPack pack;
    pack.data = QByteArray(size, 'p');
    env.write_file("/data/smartmapping/big.ykfile", encode_mapping_pack(pack));
    g_ykfile_name = "/data/smartmapping/big.ykfile";
}

double cpu_seconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
}

class TestFpgaThreads : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
        sim_fpga()->set_chain(3, 4);
        line_type[8] = 3;
        line_type[9] = 2;
        line_type[10] = 2;
        line_type[11] = 2;
        QCOMPARE(fpga_manage::pInstance()->initialize(), 0);
    }
    void cleanup() { env.reset(); }

    void progress_reaches_the_ring_in_the_gui_thread()
    {
        CardPage page(1, 4);
        sim_fpga()->set_reply_delay(1);
        page.start(1);
        QVERIFY(g_qround_bar);
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QVERIFY(page.in_gui_thread);
        QVERIFY(page.seen.size() >= 2);
        QCOMPARE(page.seen.last(), 100);
        QCOMPARE(int(kor_job()), 0);
        QVERIFY(sim_fpga()->card(3, 3).positioned);
    }

    void page_closed_while_its_job_runs()
    {
        write_pack(*env, 6000);
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
        const std::vector<uint8_t> pack = sim_fpga()->card(3, 3).pack;
        QCOMPARE(int(pack.size()), 6000);
    }

    void page_gone_before_its_queued_calls_run()
    {
        sim_fpga()->set_needs_recovery(3, 1, true);
        RecoveryScreen s;
        RecoveryNet n;
        n.port = 3;
        n.cards.assign(4, QByteArray(64, 'r'));
        s.nets.push_back(n);
        env->write_file("/data/rcvrecovery/a.pack", encode_recovery_pack({s}));
        auto *page = new CardPage(5, 6);
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
        QCOMPARE(int(fpga_manage::rcv_card_field()), 1);

        // The next page gets what is sent from now on.
        CardPage next(5, 6);
        next.start(6);
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QVERIFY(!sim_fpga()->card(3, 1).needs_recovery);
        QCOMPARE(next.seen.last(), 100);
    }

    void worker_at_rest_is_cheap()
    {
        QTest::qWait(50);
        const double cpu0 = cpu_seconds();
        QElapsedTimer wall;
        wall.start();
        QThread::msleep(500);
        const double used = cpu_seconds() - cpu0;
        const double share = used / (double(wall.elapsed()) / 1000.0);
        qInfo("worker at rest: %.3f%% of one core", share * 100);
        QVERIFY(share < 0.02);
    }
};

QTEST_MAIN(TestFpgaThreads)
#include "test_fpga_threads.moc"
