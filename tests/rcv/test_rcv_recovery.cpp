#include "hostlink/host_events.h"
#include "kor_test_helpers.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/rcv_recovery.h"

#include <QPointer>
#include <QScopeGuard>

namespace {
const QString kSelected = "color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);";
const QString kNoCards = "No receiving cards that need to be updated!";
constexpr int kPort = 2;  // shown as LED03

QFrame *list_frame() { return g_rcv_recovery ? g_rcv_recovery->findChild<QFrame *>("frame_file") : nullptr; }
QPushButton *list_button(const char *name) { return kor_child<QPushButton>(list_frame(), name); }
// Whether Query (rather than Recovery) is selected.
bool query_selected() { return kor_style(g_rcv_recovery, "Button_check") == kSelected; }
QStringList listed() { return list_frame() ? kor_label_texts(list_frame()) : QStringList(); }

QString entry(const QString &screen, const QString &port, const QString &card, bool red = false)
{
    return QString("Find Screen%1, LED%2, Rcv<font color = %3 >%4</font>")
        .arg(screen, port, red ? "#FF0000" : "#FFFFFF", card);
}

void post_list(const QStringList &entries, int count)
{
    fpga_manage::p_fpga_manage->notifier()->post_recovery_list(entries, count);
    KorTestEnv::process_events();
}
}

// The recovery page, end to end with the simulated receiving cards.
class TestRcvRecovery : public KorTest {
    Q_OBJECT

    // A pack of 8 cards on kPort, a chain long enough for the card that needs recovery (-1
    // none); then the page, opened from the advanced settings.
    void open_page(int needs = -1)
    {
        sim_fpga()->set_chain(kPort, std::max(8, needs + 1));
        if (needs >= 0)
            sim_fpga()->set_needs_recovery(kPort, needs, true);
        const RecoveryScreen screen{{kor_recovery_net(kPort, 8, 0, 200)}};
        env->write_file("/data/rcvrecovery/screen1.rcv", encode_recovery_pack({screen}));
        kor_fpga_up();
        kor_open(kor_advanced + " right*3 ok", 25);
    }

    // Records what is listed at the moment the ring closes.
    static QMetaObject::Connection at_ring_close(QStringList *at_close)
    {
        *at_close = QStringList{"ring left open"};
        return connect(g_rcv_recovery, &rcv_recovery::sig_qround_bar_update, [at_close](int percent) {
            if (percent > 99 && !g_qround_bar)
                *at_close = listed();
        });
    }

private slots:

    // Query finds the card, drawn when the ring closes; Recovery runs job 6 on it, or is
    // refused (Recovery stays selected) for a card beyond the pack's count; code 99 empties the list.
    void query_then_recovery_data()
    {
        // needs: the card needing recovery; the pack holds 8
        kor_columns<int, QString>({"needs", "shown"});
        QTest::newRow("card 5 of 8") << 4 << entry("01", "03", "05");
        QTest::newRow("card 10 beyond the pack's 8") << 9 << entry("01", "03", "10", true);
    }
    void query_then_recovery()
    {
        QFETCH(int, needs);
        const bool recovers = needs < 8;
        g_language = 1;
        open_page(needs);
        kor_press(KorKey::Ok);
        QStringList at_close;
        const QMetaObject::Connection c = at_ring_close(&at_close);
        kor_finish_job();
        disconnect(c);
        QCOMPARE(at_close, QStringList{kor_data<QString>("shown")});
        kor_save_screen(g_rcv_recovery, recovers ? "rcv_recovery-card" : "rcv_recovery-beyond");

        QSignalSpy codes(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);
        kor_keys("right ok");
        QCOMPARE(int(kor_job()), recovers ? 6 : 0);
        QCOMPARE(g_qround_bar != nullptr, recovers);
        QVERIFY(!query_selected());
        if (!recovers)
            return;
        kor_finish_job();
        const SimRcvCard card = sim_fpga()->card(kPort, needs);
        QVERIFY(!card.needs_recovery);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(card.params.data()), int(card.params.size())),
                 kor_block(needs, 200));
        QCOMPARE(codes.count(), 1);
        QCOMPARE(codes.at(0).at(0).toInt(), 99);
        QCOMPARE(listed(), QStringList{kNoCards});
    }

    // A check that could not run (a pack it cannot read, cards that do not answer) reads as a
    // failure, in red, in the page's language; never as "no cards to update". The next Query
    // starts afresh.
    void check_that_could_not_run_data()
    {
        kor_columns<int, QString, QString>({"language", "trouble", "shown"});
        QTest::newRow("en, corrupt pack") << 1 << "corrupt" << "Receiving card check failed!";
        QTest::newRow("zh, no answer") << 0 << "hang" << QString::fromUtf8("接收卡检测失败!");
        QTest::newRow("ru, corrupt pack") << 2 << "corrupt" << QString::fromUtf8("Проверка приемных карт не удалась!");
        QTest::newRow("vi, corrupt pack") << 3 << "corrupt" << QString::fromUtf8("Kiểm tra thẻ nhận thất bại!");
        QTest::newRow("zh-TW, corrupt pack") << 4 << "corrupt" << QString::fromUtf8("接收卡檢測失敗!");
    }
    void check_that_could_not_run()
    {
        QFETCH(QString, trouble);
        g_language = uint8_t(kor_data<int>("language"));
        open_page(4);
        const QByteArray pack = env->read_file("/data/rcvrecovery/screen1.rcv");
        if (trouble == "corrupt")
            env->write_file("/data/rcvrecovery/screen1.rcv", pack.left(pack.size() - 1));
        sim_fpga()->set_port_hangs(kPort, trouble == "hang");
        kor_press(KorKey::Ok);
        kor_finish_job();
        QCOMPARE(listed(), QStringList{kor_data<QString>("shown")});
        QVERIFY(list_frame()->findChild<QLabel *>()->styleSheet().contains("#FF0000"));
        kor_save_row_screen(g_rcv_recovery, "rcv_recovery-failed");
        env->write_file("/data/rcvrecovery/screen1.rcv", pack);
        sim_fpga()->set_port_hangs(kPort, false);
        kor_press(KorKey::Ok);
        QVERIFY(!listed().first().contains(kor_data<QString>("shown")));
        kor_finish_job();
        QCOMPARE(listed().size(), 1);
        QVERIFY(listed().first().contains("<font color = #FFFFFF >05</font>"));
    }

    // While the ring is shown every key is refused, the selection too; once the job ends,
    // mode closes the page. Another pending job refuses the actions alone.
    void refused_while_a_job_runs_data()
    {
        QTest::addColumn<bool>("pending");
        QTest::newRow("ring shown") << false;
        QTest::newRow("another job pending") << true;
    }
    void refused_while_a_job_runs()
    {
        QFETCH(bool, pending);
        open_page(4);
        if (pending) {
            kor_send_job(3);
        } else {
            kor_press(KorKey::Ok);
            QVERIFY(g_qround_bar && g_qround_bar->isVisible());
            kor_save_screen(g_rcv_recovery, "rcv_recovery-ring");
            kor_send_job(0);  // the ring alone refuses
        }
        QRoundProgressBar *ring = g_qround_bar;
        kor_keys("ok right");
        QCOMPARE(query_selected(), !pending);
        kor_press(KorKey::Ok);
        QCOMPARE(g_qround_bar, ring);
        QCOMPARE(int(kor_job()), pending ? 3 : 0);
        if (pending)
            return;
        kor_keys("back mode");
        KorTestEnv::process_events();
        kor_check_left(25, 25);
        kor_send_job(5);
        kor_finish_job();
        QVERIFY(!g_qround_bar);
        kor_keys("mode");
        KorTestEnv::process_events();
        kor_check_left(25, 4);
    }

    // A pack deleted on the host closes the page, but never under a running job: then the
    // end of the job closes it (a recovery: with the worker thread below).
    void host_closing_waits_for_the_job_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::newRow("idle") << false;
        QTest::newRow("during a check") << true;
    }
    void host_closing_waits_for_the_job()
    {
        QFETCH(bool, checking);
        open_page(4);
        if (checking)
            kor_press(KorKey::Ok);
        QPointer<rcv_recovery> page(g_rcv_recovery);
        host_pack_file_deleted();
        KorTestEnv::process_events();
        kor_flush_deletes();
        if (checking) {
            QVERIFY(page && g_rcv_recovery == page && g_qround_bar);
            QCOMPARE(int(g_page_focus), 25);
            kor_finish_job();
            kor_flush_deletes();
        }
        QVERIFY(!page && !g_rcv_recovery && !g_qround_bar);
        QCOMPARE(int(g_page_focus), 12);
    }

    // The worker on its own thread: the check's card is drawn before the ring closes, and a
    // pack deleted during the recovery closes the page only once the recovery has ended.
    void with_the_worker_thread()
    {
        g_language = 1;
        open_page(4);
        QCOMPARE(fpga_manage::p_fpga_manage->start_worker(), 0);
        kor_press(KorKey::Ok);
        QStringList at_close;
        const QMetaObject::Connection c = at_ring_close(&at_close);
        const auto drop = qScopeGuard([c] { disconnect(c); });
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QCOMPARE(at_close, QStringList{entry("01", "03", "05")});
        QPointer<rcv_recovery> page(g_rcv_recovery);
        kor_keys("right ok");
        QVERIFY(g_qround_bar);
        host_pack_file_deleted();
        QTRY_VERIFY_WITH_TIMEOUT(!page, 5000);
        QVERIFY(!sim_fpga()->card(kPort, 4).needs_recovery);
        QCOMPARE(int(g_page_focus), 12);
    }

    // Lists as the worker hands them over: paged, and never read past their end.
    void listing_and_paging()
    {
        g_language = 1;
        open_page();
        QCOMPARE(listed(), QStringList{kNoCards});
        kor_save_screen(g_rcv_recovery, "rcv_recovery");
        QStringList entries;
        for (int k = 1; k <= 6; ++k)
            entries << QString("01/03/%1/08").arg(k, 2, 10, QChar('0'));
        post_list(entries, 6);
        QCOMPARE(listed().size(), 4);
        QVERIFY(!list_button("Button_previous"));
        kor_save_screen(g_rcv_recovery, "rcv_recovery-pages");
        list_button("Button_next")->click();
        QCOMPARE(listed(), (QStringList{entry("01", "03", "05"), entry("01", "03", "06")}));
        QVERIFY(!list_button("Button_next"));
        list_button("Button_previous")->click();
        QCOMPARE(listed().first(), entry("01", "03", "01"));
        // A shorter list, its count beyond its end, never leaves the page past its end.
        list_button("Button_next")->click();
        post_list({"01/03/07/08"}, 3);
        QCOMPARE(listed(), QStringList{entry("01", "03", "07")});
        QVERIFY(!list_button("Button_previous") && !list_button("Button_next"));
        // The refusal after a card beyond the pack is cleared when nothing is listed.
        post_list({"01/03/10/08"}, 1);
        post_list({}, 1);
        QCOMPARE(listed(), QStringList{kNoCards});
        kor_keys("right ok");
        QCOMPARE(int(kor_job()), 0);
        QVERIFY(query_selected());
    }
};

QTEST_MAIN(TestRcvRecovery)
#include "test_rcv_recovery.moc"
