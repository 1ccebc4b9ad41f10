#include "core/syncupdate.h"
#include "hostlink/host_events.h"
#include "hostlink/usbserver.h"
#include "hostlink/z73_wifi_config.h"
#include "kor_test_helpers.h"
#include "platform/shell_runner.h"

#include <QDir>
#include <QThread>
#include <thread>

using Cmds = std::vector<std::string>;

namespace {
Z73_WIFI_CONFIG *ap() { return Z73_WIFI_CONFIG::p_wifi; }

const Cmds kStart = {"/usr/bin/hostapd -B /etc/rtl_hostapd_2G.conf", "/usr/sbin/udhcpd /etc/udhcpd.conf"};
const Cmds kStop = {"kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`",
                    "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`"};

// Marks what runs outside the GUI thread.
QString in_gui(const QString &what)
{
    return QThread::currentThread() == qApp->thread() ? what : what + " off the GUI thread";
}
}

class TestHostLink : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }

    // One WiFi pass after each tick count; the commands each pass ran.
    std::vector<Cmds> passes(std::initializer_list<unsigned> ticks)
    {
        std::vector<Cmds> out;
        for (unsigned t : ticks) {
            KorTestEnv::tick(t);
            env->shell()->clear();
            ap()->run_pass();
            out.push_back(env->commands());
        }
        return out;
    }

private slots:

    void wifi_data()
    {
        // disabled: the table's WiFi-off byte; fails: the first start of hostapd
        kor_columns<int, bool, int>({"disabled", "fails", "disabled_at_reset"});
        QTest::newRow("on, reset restarts") << 0 << false << 0;
        QTest::newRow("on, switched off: the reset stops it") << 0 << false << 1;
        QTest::newRow("first start fails") << 0 << true << 0;
        QTest::newRow("off") << 1 << false << 1;
    }
    void wifi()
    {
        QFETCH(int, disabled);
        QFETCH(bool, fails);
        QFETCH(int, disabled_at_reset);
        kor_table()->ram[KorTable::kWifiOff] = uint8_t(disabled);
        Z73_WIFI_CONFIG::pInstance();
        env->shell()->set_status_for("/usr/bin/hostapd", fails ? 256 : 0);
        // It looks more than 100 ticks apart; a failed start is tried again.
        const Cmds first = fails ? Cmds{kStart[0]} : disabled == 0 ? kStart : Cmds{};
        QCOMPARE(passes({100, 1}), (std::vector<Cmds>{{}, first}));
        QCOMPARE(ap()->ap_state(), disabled == 0 && !fails ? 1 : 0);
        env->shell()->set_status_for("/usr/bin/hostapd", 0);
        QCOMPARE(passes({100, 1, 500}), (std::vector<Cmds>{{}, fails ? kStart : Cmds{}, {}}));
        QCOMPARE(ap()->ap_state(), disabled == 0 ? 1 : 0);
        if (disabled)
            return;

        kor_table()->ram[KorTable::kWifiOff] = uint8_t(disabled_at_reset);
        ap()->set_wifi_reset_flag();
        QCOMPARE(int(g_wifi_reset_flag), 1);
        // Stopped more than 300 ticks after the request, then started again when switched on.
        QCOMPARE(passes({300, 1}), (std::vector<Cmds>{{}, kStop}));
        QCOMPARE(int(g_wifi_reset_flag), 2);
        QCOMPARE(passes({0}), std::vector<Cmds>{{}});
        QCOMPARE(int(g_wifi_reset_flag), disabled_at_reset ? 2 : 0);
        QVERIFY(disabled_at_reset || ap()->ap_state() == 0);
        // The start-up step last looked in the pass before the stop; it looks again 100 ticks on.
        QCOMPARE(passes({99, 1, 1000}), (std::vector<Cmds>{{}, disabled_at_reset ? Cmds{} : kStart, {}}));
        QVERIFY(disabled_at_reset || ap()->ap_state() == 1);
    }

    void usb_codes_reach_the_page_in_the_gui_thread()
    {
        QStringList seen;
        g_page_focus = 24;
        SyncUpdate::p_sync->set_page_hook(24, [&seen](int code) { seen << in_gui(QString::number(code)); });
        UsbServer *usb = UsbServer::pInstance();
        SyncUpdate::p_sync->attach(usb, &UsbServer::sig_usb_update);
        QCOMPARE(usb->initialize(), 0);
        QVERIFY(QDir().mkpath(env->path("/mnt/usb1")));
        QTRY_COMPARE(seen, (QStringList{"100", "102"}));
    }

    void host_closes_pages_data()
    {
        // deleted: else received; focus_after: when the queued call runs
        kor_columns<int, bool, int, QString>({"focus", "deleted", "focus_after", "closed"});
        QTest::newRow("pack received, smart mapping") << 24 << false << 24 << "smartmapping";
        QTest::newRow("pack received, recovery") << 25 << false << 25 << "";
        QTest::newRow("pack deleted, recovery") << 25 << true << 25 << "recovery";
        QTest::newRow("recovery closed by a key meanwhile") << 25 << true << 5 << "";
    }
    void host_closes_pages()
    {
        QFETCH(bool, deleted);
        QFETCH(QString, closed);
        QStringList ran;
        host_pages::set_smartmapping_back_hook([&ran] { ran << in_gui("smartmapping"); });
        host_pages::set_recovery_back_hook([&ran] { ran << in_gui("recovery"); });
        g_page_focus = uint8_t(kor_data<int>("focus"));
        // As the host link's own thread calls it.
        std::thread link([deleted] { deleted ? host_pack_file_deleted() : host_pack_file_received(); });
        link.join();
        QVERIFY(ran.isEmpty());  // queued, never run on the link's thread
        g_page_focus = uint8_t(kor_data<int>("focus_after"));
        KorTestEnv::process_events();
        QCOMPARE(ran, closed.isEmpty() ? QStringList{} : QStringList{closed});
    }
};

QTEST_MAIN(TestHostLink)
#include "test_hostlink.moc"
