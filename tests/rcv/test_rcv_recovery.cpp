#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/pack_formats.h"
#include "hostlink/host_events.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/sim_fpga.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/rcv_recovery.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

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
const QString kNormal = "color:rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);";
const QString kSelected = "color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);";
const QString kNoCards = "No receiving cards that need to be updated!";
constexpr int kPort = 2;  // shown as LED03

QByteArray block(int card)
{
    QByteArray b(200, '\0');
    for (int i = 0; i < b.size(); ++i)
        b[i] = char(card * 17 + i);
    return b;
}

// One screen with a net of `cards` cards on kPort.
QByteArray pack(int cards)
{
    RecoveryNet net;
    net.port = kPort;
    for (int k = 0; k < cards; ++k)
        net.cards.push_back(block(k));
    RecoveryScreen screen;
    screen.nets = {net};
    return encode_recovery_pack({screen});
}

QFrame *list_frame()
{
    return g_rcv_recovery ? g_rcv_recovery->findChild<QFrame *>("frame_file") : nullptr;
}

// The texts of the list frame's labels, top to bottom.
QStringList listed()
{
    QStringList out;
    if (QFrame *f = list_frame())
        for (QLabel *l : f->findChildren<QLabel *>())
            out << l->text();
    return out;
}

QPushButton *button(const char *name)
{
    return g_rcv_recovery ? g_rcv_recovery->findChild<QPushButton *>(name) : nullptr;
}

QPushButton *paging(const char *name)
{
    QFrame *f = list_frame();
    return f ? f->findChild<QPushButton *>(name) : nullptr;
}

QString entry(const QString &screen, const QString &port, const QString &card, bool red)
{
    return QString("Find Screen%1, LED%2, Rcv<font color = %3 >%4</font>")
        .arg(screen, port, red ? "#FF0000" : "#FFFFFF", card);
}

void press_times(KorKey key, int times)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}
}

// The recovery page, end to end with the simulated receiving cards.
class TestRcvRecovery : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;

    // Cards on kPort's chain, the pack's count for that port and the card that needs
    // recovery (-1 none); then the page, opened from the advanced settings.
    void open_page(int chain = 8, int in_pack = 8, int needs = -1)
    {
        sim_fpga()->set_chain(kPort, chain);
        if (needs >= 0)
            sim_fpga()->set_needs_recovery(kPort, needs, true);
        env->write_file("/data/rcvrecovery/screen1.rcv", pack(in_pack));
        kor_fpga_up();
        kor_set_modal_pages(false);
        kor_press(KorKey::Ok);          // main menu
        press_times(KorKey::Right, 2);  // settings
        kor_press(KorKey::Ok);
        kor_press(KorKey::Left);        // advanced
        kor_press(KorKey::Ok);
        press_times(KorKey::Right, 3);  // receiving-card recovery
        kor_press(KorKey::Ok);
    }

    // Runs the worker until the job ends and lets the page take what it posted.
    static void finish_job()
    {
        kor_finish_job();
        KorTestEnv::process_events();
    }

    // Query run to its end; returns what was listed at the moment the ring closed.
    QStringList query()
    {
        kor_press(KorKey::Ok);
        QStringList at_close;
        bool ring_gone = false;
        const QMetaObject::Connection c =
            QObject::connect(g_rcv_recovery, &rcv_recovery::sig_qround_bar_update, [&](int percent) {
                if (percent > 99) {
                    at_close = listed();
                    ring_gone = !g_qround_bar;
                }
            });
        finish_job();
        QObject::disconnect(c);
        return ring_gone ? at_close : QStringList{"ring left open"};
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
    }
    void cleanup() { env.reset(); }

    void first_state_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("empty");
        QTest::addColumn<int>("points");  // of the action buttons
        QTest::newRow("English") << 1 << kNoCards << 9;
        QTest::newRow("simplified Chinese") << 0 << "暂无接收卡需要更新!" << 9;
        QTest::newRow("Vietnamese") << 3 << "Chưa có thẻ nhận nào để cập nhật!" << 7;
    }
    void first_state()
    {
        QFETCH(int, language);
        QFETCH(QString, empty);
        QFETCH(int, points);
        g_language = uint8_t(language);
        open_page();
        QCOMPARE(int(g_page_focus), 25);
        QCOMPARE(listed(), QStringList{empty});
        QCOMPARE(button("Button_check")->font().pointSize(), points);
        QCOMPARE(button("Button_check")->styleSheet(), kSelected);
        QVERIFY(button("Button_closetest")->isHidden());
        if (language == 1)
            kor_save_screen(g_rcv_recovery, "rcv_recovery");
        // Left and right alternate between the two actions, both ways.
        const KorKey keys[] = {KorKey::Right, KorKey::Right, KorKey::Left, KorKey::Left};
        for (int i = 0; i < 4; ++i) {
            kor_press(keys[i]);
            QCOMPARE(button("Button_self_covery")->styleSheet(), i % 2 ? kNormal : kSelected);
            QCOMPARE(button("Button_check")->styleSheet(), i % 2 ? kSelected : kNormal);
        }
    }

    void query_then_recovery_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("chain");
        QTest::addColumn<int>("in_pack");
        QTest::addColumn<int>("needs");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("recovers");
        QTest::addColumn<QString>("screen");
        QTest::newRow("card 5 of 8") << 1 << 8 << 8 << 4 << entry("01", "03", "05", false) << true << "rcv_recovery-card";
        QTest::newRow("card 10 beyond the pack's 8")
            << 1 << 10 << 8 << 9 << entry("01", "03", "10", true) << false << "rcv_recovery-beyond";
        QTest::newRow("nothing to recover") << 1 << 8 << 8 << -1 << kNoCards << false << "";
        QTest::newRow("Chinese words") << 0 << 8 << 8 << 2
                                       << "发现 屏幕01, 网口LED03, 接收卡<font color = #FFFFFF >03</font>" << true << "";
    }
    void query_then_recovery()
    {
        QFETCH(int, language);
        QFETCH(int, chain);
        QFETCH(int, in_pack);
        QFETCH(int, needs);
        QFETCH(QString, shown);
        QFETCH(bool, recovers);
        QFETCH(QString, screen);
        g_language = uint8_t(language);
        open_page(chain, in_pack, needs);
        // Already on screen when the ring closes.
        QCOMPARE(query(), QStringList{shown});
        QCOMPARE(int(kor_job()), 0);
        if (!screen.isEmpty())
            kor_save_screen(g_rcv_recovery, screen);

        QSignalSpy codes(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(int(kor_job()), recovers ? 6 : 0);
        QCOMPARE(g_qround_bar != nullptr, recovers);
        // Refused: Recovery stays selected; nothing listed: back to Query.
        QCOMPARE(button("Button_check")->styleSheet(), needs < 0 ? kSelected : kNormal);
        if (!recovers)
            return;
        finish_job();
        QVERIFY(!g_qround_bar);
        QVERIFY(!sim_fpga()->card(kPort, needs).needs_recovery);
        QCOMPARE(codes.count(), 1);
        QCOMPARE(codes.at(0).at(0).toInt(), 99);
        const std::vector<uint8_t> params = sim_fpga()->card(kPort, needs).params;
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(params.data()), int(params.size())), block(needs));
        QCOMPARE(listed(), QStringList{language ? kNoCards : QString("暂无接收卡需要更新!")});
    }

    void query_refused_while_a_job_runs_data()
    {
        QTest::addColumn<bool>("pending");  // another job is pending, else the ring is shown
        QTest::newRow("ring shown") << false;
        QTest::newRow("job pending") << true;
    }
    void query_refused_while_a_job_runs()
    {
        QFETCH(bool, pending);
        g_language = 1;
        open_page(8, 8, 4);
        if (pending) {
            kor_send_job(3);
        } else {
            kor_press(KorKey::Ok);
            QCOMPARE(int(kor_job()), 5);
            QVERIFY(g_qround_bar && g_qround_bar->isVisible());
            QCOMPARE(g_qround_bar->geometry(), QRect(120, 70, 100, 100));
            kor_save_screen(g_rcv_recovery, "rcv_recovery-ring");
            kor_send_job(0);  // the ring alone refuses
        }
        QRoundProgressBar *ring = g_qround_bar;
        kor_press(KorKey::Ok);
        QCOMPARE(g_qround_bar, ring);
        QCOMPARE(g_rcv_recovery->findChildren<QRoundProgressBar *>().size(), pending ? 0 : 1);
        QCOMPARE(int(kor_job()), pending ? 3 : 0);
        // Recovery is refused the same way.
        kor_press(KorKey::Right);
        QCOMPARE(button("Button_check")->styleSheet(), pending ? kNormal : kSelected);
        kor_press(KorKey::Ok);
        QCOMPARE(g_qround_bar, ring);
    }

    void keys_refused_while_the_ring_is_shown_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("mode");
        QTest::addColumn<bool>("locked");  // the key lock instead of the ring
        QTest::newRow("back") << int(Qt::Key_PowerOff) << false << false;
        QTest::newRow("mode") << int(Qt::Key_Stop) << true << false;
        QTest::newRow("mode, keys locked") << int(Qt::Key_M) << true << true;
    }
    void keys_refused_while_the_ring_is_shown()
    {
        QFETCH(int, code);
        QFETCH(bool, mode);
        QFETCH(bool, locked);
        g_language = 0;
        open_page(8, 8, 4);
        if (locked)
            KorRamPara::p_korrampara_config->set_u16(0x304, 1);
        else
            kor_press(KorKey::Ok);
        QCOMPARE(g_qround_bar != nullptr, !locked);
        kor_press_code(code);
        KorTestEnv::process_events();
        QVERIFY(g_rcv_recovery);
        QCOMPARE(int(g_page_focus), 25);
        QVERIFY(!g_custommode);
        if (locked)
            return;
        finish_job();

        g_language = 1;  // the page beneath re-texts when it is back in front
        kor_press_code(code);
        KorTestEnv::process_events();
        QVERIFY(!g_rcv_recovery);
        if (mode) {
            QCOMPARE(int(g_page_focus), 4);
            QVERIFY(g_custommode);
            QVERIFY(!g_advancedoption && !g_option);
        } else {
            QCOMPARE(int(g_page_focus), 12);
            QCOMPARE(g_advancedoption->findChild<QLabel *>("label_title")->text(), QString("Advanced"));
        }
    }

    void host_closing_waits_for_the_job_data()
    {
        QTest::addColumn<int>("job");  // 0: none running
        QTest::newRow("idle") << 0;
        QTest::newRow("during a check") << 5;
        QTest::newRow("during a recovery") << 6;
    }
    void host_closing_waits_for_the_job()
    {
        QFETCH(int, job);
        open_page(8, 8, 4);
        if (job == 6) {
            query();
            kor_press(KorKey::Right);
        }
        if (job)
            kor_press(KorKey::Ok);
        QCOMPARE(int(kor_job()), job);
        QPointer<rcv_recovery> page(g_rcv_recovery);
        host_pack_file_deleted();
        KorTestEnv::process_events();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (job) {
            // Never deleted under the running job.
            QVERIFY(page);
            QCOMPARE(g_rcv_recovery, page.data());
            QVERIFY(g_qround_bar);
            QCOMPARE(int(g_page_focus), 25);
            finish_job();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(!page);
        QVERIFY(!g_rcv_recovery);
        QVERIFY(!g_qround_bar);
        QCOMPARE(int(g_page_focus), 12);
        QCOMPARE(int(kor_job()), 0);
        if (job == 6)
            QVERIFY(!sim_fpga()->card(kPort, 4).needs_recovery);
    }

    // The worker on its own thread: the check's card is drawn before the ring closes, and a
    // pack deleted during the recovery closes the page only once the recovery has ended.
    void with_the_worker_thread()
    {
        g_language = 1;
        open_page(8, 8, 4);
        QCOMPARE(fpga_manage::p_fpga_manage->start_worker(), 0);
        kor_press(KorKey::Ok);
        QStringList at_close;
        const QMetaObject::Connection c = connect(g_rcv_recovery, &rcv_recovery::sig_qround_bar_update, [&](int percent) {
            if (percent > 99 && !g_qround_bar)
                at_close = listed();
        });
        const auto drop = qScopeGuard([c] { disconnect(c); });
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QCOMPARE(at_close, QStringList{entry("01", "03", "05", false)});

        QPointer<rcv_recovery> page(g_rcv_recovery);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QVERIFY(g_qround_bar);
        host_pack_file_deleted();
        QTRY_VERIFY_WITH_TIMEOUT(!page, 5000);
        QVERIFY(!sim_fpga()->card(kPort, 4).needs_recovery);
        QCOMPARE(int(g_page_focus), 12);
    }

    // Lists as the worker hands them over, each after a card beyond the pack was listed.
    void listing_stays_inside_the_list_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("recovery");  // what Recovery does then
        QTest::newRow("count beyond the list")
            << QStringList{"01/03/05/08"} << 3 << QStringList{entry("01", "03", "05", false)} << "job";
        QTest::newRow("count below the list") << QStringList{"01/03/05/08", "01/04/02/08"} << 1
                                              << QStringList{entry("01", "03", "05", false)} << "job";
        QTest::newRow("short entry skipped")
            << QStringList{"01/03/05", "01/03//08"} << 2 << QStringList{entry("01", "03", "", false)} << "job";
        QTest::newRow("beyond the pack")
            << QStringList{"02/16/03/02"} << 1 << QStringList{entry("02", "16", "03", true)} << "refused";
        QTest::newRow("count without a list") << QStringList{} << 1 << QStringList{kNoCards} << "back to Query";
        QTest::newRow("nothing") << QStringList{} << 0 << QStringList{kNoCards} << "back to Query";
    }
    void listing_stays_inside_the_list()
    {
        QFETCH(QStringList, entries);
        QFETCH(int, count);
        QFETCH(QStringList, shown);
        QFETCH(QString, recovery);
        g_language = 1;
        open_page();
        fpga_job_notifier *n = fpga_manage::p_fpga_manage->notifier();
        n->post_recovery_list({"01/03/10/08"}, 1);
        n->post_recovery_list(entries, count);
        KorTestEnv::process_events();
        QCOMPARE(listed(), shown);
        QVERIFY(!paging("Button_next"));
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(int(kor_job()), recovery == "job" ? 6 : 0);
        QCOMPARE(button("Button_check")->styleSheet(), recovery == "back to Query" ? kSelected : kNormal);
    }

    void paging_and_selection()
    {
        g_language = 1;
        open_page();
        QStringList entries;
        for (int k = 1; k <= 6; ++k)
            entries << QString("01/03/%1/08").arg(k, 2, 10, QChar('0'));
        fpga_manage::p_fpga_manage->notifier()->post_recovery_list(entries, 6);
        KorTestEnv::process_events();
        QCOMPARE(listed().size(), 4);
        QVERIFY(!paging("Button_previous"));
        QVERIFY(paging("Button_next"));
        QCOMPARE(list_frame()->findChildren<QLabel *>().first()->styleSheet(),
                 QString("background-color:#4777FF;color: #FFFFFF;"));
        kor_save_screen(g_rcv_recovery, "rcv_recovery-pages");

        // A click on the third row moves the highlight there.
        paging("2")->click();
        const QList<QLabel *> rows = list_frame()->findChildren<QLabel *>();
        QCOMPARE(rows.at(0)->styleSheet(), QString("background-color: rgb(33, 36, 53);color: #FFFFFF;"));
        QCOMPARE(rows.at(2)->styleSheet(), QString("background-color:#4777FF;color: #FFFFFF;"));

        paging("Button_next")->click();
        QCOMPARE(listed(), (QStringList{entry("01", "03", "05", false), entry("01", "03", "06", false)}));
        QVERIFY(paging("Button_previous"));
        QVERIFY(!paging("Button_next"));
        paging("Button_previous")->click();
        QCOMPARE(listed().size(), 4);
        QCOMPARE(listed().first(), entry("01", "03", "01", false));

        // A shorter list never leaves the page past its end.
        paging("Button_next")->click();
        fpga_manage::p_fpga_manage->notifier()->post_recovery_list({"01/03/07/08"}, 1);
        KorTestEnv::process_events();
        QCOMPARE(listed(), QStringList{entry("01", "03", "07", false)});
        QVERIFY(!paging("Button_previous") && !paging("Button_next"));
    }
};

QTEST_MAIN(TestRcvRecovery)
#include "test_rcv_recovery.moc"
