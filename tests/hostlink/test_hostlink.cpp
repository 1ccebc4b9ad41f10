#include "core/global.h"
#include "core/korrampara.h"
#include "core/syncupdate.h"
#include "hostlink/host_events.h"
#include "hostlink/usbserver.h"
#include "hostlink/z73_wifi_config.h"
#include "kor_test_env.h"
#include "platform/shell_runner.h"

#include <QDir>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <memory>
#include <thread>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }
Z73_WIFI_CONFIG *wifi() { return Z73_WIFI_CONFIG::p_wifi; }

const std::vector<std::string> kStart = {
    "/usr/bin/hostapd -B /etc/rtl_hostapd_2G.conf",
    "/usr/sbin/udhcpd /etc/udhcpd.conf",
};
const std::vector<std::string> kStop = {
    "kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`",
    "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`",
};

QList<int> codes(const QSignalSpy &spy)
{
    QList<int> out;
    for (const auto &args : spy)
        out << args.at(0).toInt();
    return out;
}
}

class TestHostLink : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    // Commands run by one pass at the current tick.
    std::vector<std::string> wifi_pass()
    {
        env->shell()->clear();
        wifi()->run_pass();
        return env->commands();
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
    }
    void cleanup() { env.reset(); }

    void wifi_start_up_data()
    {
        QTest::addColumn<int>("disabled");
        QTest::addColumn<bool>("starts");
        QTest::newRow("on") << 0 << true;
        QTest::newRow("off") << 1 << false;
        QTest::newRow("neither") << 2 << false;
    }
    void wifi_start_up()
    {
        QFETCH(int, disabled);
        QFETCH(bool, starts);
        table()->ram[0x306] = uint8_t(disabled);
        Z73_WIFI_CONFIG::pInstance();
        KorTestEnv::tick(100);
        QVERIFY(wifi_pass().empty());  // not more than 100 ticks yet
        KorTestEnv::tick(1);
        QCOMPARE(wifi_pass(), starts ? kStart : std::vector<std::string>{});
        QCOMPARE(wifi()->ap_state(), starts ? 1 : 0);
        KorTestEnv::tick(500);
        QVERIFY(wifi_pass().empty());  // up already, or switched off
    }

    void wifi_failed_start_is_tried_again()
    {
        Z73_WIFI_CONFIG::pInstance();
        env->shell()->set_status_for("/usr/bin/hostapd", 256);
        KorTestEnv::tick(101);
        QCOMPARE(wifi_pass(), std::vector<std::string>{kStart[0]});
        QCOMPARE(wifi()->ap_state(), 0);
        env->shell()->set_status_for("/usr/bin/hostapd", 0);
        KorTestEnv::tick(100);
        QVERIFY(wifi_pass().empty());
        KorTestEnv::tick(1);
        QCOMPARE(wifi_pass(), kStart);
        QCOMPARE(wifi()->ap_state(), 1);
    }

    void wifi_reset_data()
    {
        QTest::addColumn<int>("disabled");
        QTest::newRow("switched on: restarts") << 0;
        QTest::newRow("switched off: stays down") << 1;
    }
    void wifi_reset()
    {
        QFETCH(int, disabled);
        Z73_WIFI_CONFIG::pInstance();
        KorTestEnv::tick(101);
        QCOMPARE(wifi_pass(), kStart);

        table()->ram[0x306] = uint8_t(disabled);
        wifi()->set_wifi_reset_flag();
        QCOMPARE(int(g_wifi_reset_flag), 1);
        KorTestEnv::tick(300);
        QVERIFY(wifi_pass().empty());  // not more than 300 ticks yet
        QCOMPARE(int(g_wifi_reset_flag), 1);
        KorTestEnv::tick(1);
        QCOMPARE(wifi_pass(), kStop);
        QCOMPARE(int(g_wifi_reset_flag), 2);

        QVERIFY(wifi_pass().empty());
        if (disabled) {
            QCOMPARE(int(g_wifi_reset_flag), 2);
            KorTestEnv::tick(1000);
            QVERIFY(wifi_pass().empty());
            return;
        }
        QCOMPARE(int(g_wifi_reset_flag), 0);
        QCOMPARE(wifi()->ap_state(), 0);
        // The start-up step looks more than 100 ticks apart; it last looked at the pass one
        // tick before the stop.
        KorTestEnv::tick(99);
        QVERIFY(wifi_pass().empty());
        KorTestEnv::tick(1);
        QCOMPARE(wifi_pass(), kStart);
        QCOMPARE(wifi()->ap_state(), 1);
    }

    void usb_watcher_codes()
    {
        UsbServer *usb = UsbServer::pInstance();
        QSignalSpy spy(usb, &UsbServer::sig_usb_update);
        usb->run_pass();
        QVERIFY(spy.isEmpty());
        env->write_file("/mnt/usb1", "not a folder");
        usb->run_pass();
        QVERIFY(spy.isEmpty());
        QFile::remove(env->path("/mnt/usb1"));

        QVERIFY(QDir().mkpath(env->path("/mnt/usb1")));
        usb->run_pass();
        QCOMPARE(codes(spy), (QList<int>{100, 102}));
        QVERIFY(usb->disk_present());
        usb->run_pass();
        QCOMPARE(spy.count(), 2);

        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        usb->run_pass();
        QCOMPARE(codes(spy), (QList<int>{100, 102, 101}));
        QVERIFY(!usb->disk_present());
    }

    void usb_codes_reach_the_page_in_the_gui_thread()
    {
        QList<int> seen;
        bool gui_thread = true;
        g_page_focus = 24;
        SyncUpdate::p_sync->set_page_hook(24, [&](int code) {
            seen << code;
            gui_thread = gui_thread && QThread::currentThread() == qApp->thread();
        });
        UsbServer *usb = UsbServer::pInstance();
        SyncUpdate::p_sync->attach(usb, SIGNAL(sig_usb_update(int)));
        QCOMPARE(usb->initialize(), 0);
        QVERIFY(QDir().mkpath(env->path("/mnt/usb1")));
        QTRY_COMPARE(seen, (QList<int>{100, 102}));
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        QTRY_COMPARE(seen, (QList<int>{100, 102, 101}));
        QVERIFY(gui_thread);
    }

    void host_closes_pages_data()
    {
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("deleted");  // else received
        QTest::addColumn<QString>("closed");
        QTest::newRow("pack received, smart mapping") << 24 << false << "smartmapping";
        QTest::newRow("pack deleted, smart mapping") << 24 << true << "smartmapping";
        QTest::newRow("pack received, recovery") << 25 << false << "";
        QTest::newRow("pack deleted, recovery") << 25 << true << "recovery";
        QTest::newRow("pack deleted, another page") << 13 << true << "";
    }
    void host_closes_pages()
    {
        QFETCH(int, focus);
        QFETCH(bool, deleted);
        QFETCH(QString, closed);
        QStringList ran;
        bool gui_thread = true;
        auto hook = [&](const QString &name) {
            return [&, name] {
                ran << name;
                gui_thread = gui_thread && QThread::currentThread() == qApp->thread();
            };
        };
        host_pages::set_smartmapping_back_hook(hook("smartmapping"));
        host_pages::set_recovery_back_hook(hook("recovery"));
        g_page_focus = uint8_t(focus);
        // As the host link's own thread calls it.
        std::thread link([deleted] { deleted ? host_pack_file_deleted() : host_pack_file_received(); });
        link.join();
        QVERIFY(ran.isEmpty());  // queued, never run on the link's thread
        KorTestEnv::process_events();
        QCOMPARE(ran, closed.isEmpty() ? QStringList{} : QStringList{closed});
        QVERIFY(gui_thread);
    }

    void host_close_skipped_when_the_page_went_meanwhile()
    {
        int ran = 0;
        host_pages::set_recovery_back_hook([&] { ++ran; });
        g_page_focus = 25;
        host_pack_file_deleted();
        g_page_focus = 5;  // closed by a key before the queued call ran
        KorTestEnv::process_events();
        QCOMPARE(ran, 0);
    }
};

QTEST_MAIN(TestHostLink)
#include "test_hostlink.moc"
