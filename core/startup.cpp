#include "core/startup.h"

#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/syncupdate.h"
#include "core/table_saver.h"
#include "core/utils.h"
#include "platform/data_root.h"
#include "platform/devices.h"
#include "platform/usb_keyboard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The files the program saves under /data; an interrupted save leaves a temporary of the
// writer's beside one.
QStringList stored_files()
{
    QStringList files = {"/data/ram_device_info",     "/data/ram_device_info.bad",
                         "/data/configs/tcpip.ini",   "/data/configs/alias.json",
                         "/data/configs/omenu.json",  "/data/configs/led_load_config.ini",
                         "/data/app/korZ73N"};
    for (int slot = 1; slot <= 16; ++slot)
        files << QStringLiteral("/data/modes/custom_mode%1").arg(slot);
    return files;
}
}

void kor_tidy_data_root()
{
    Utils::remove_file(QStringLiteral("/data/configs/tcpip.ini.lock"));
    QMap<QString, QSet<QString>> names_by_dir;
    for (const QString &file : stored_files()) {
        const QFileInfo info(file);
        names_by_dir[info.path()].insert(info.fileName());
    }
    for (auto dir = names_by_dir.cbegin(); dir != names_by_dir.cend(); ++dir) {
        const QStringList entries = QDir(kor_path(dir.key())).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &entry : entries) {
            const bool temporary = std::any_of(dir.value().cbegin(), dir.value().cend(),
                                               [&](const QString &stored) { return Utils::is_save_temporary(entry, stored); });
            if (temporary) {
                kor_trace("removing %s/%s left by an interrupted save\n", qPrintable(dir.key()), qPrintable(entry));
                Utils::remove_file(dir.key() + QLatin1Char('/') + entry);
            }
        }
    }
}

void kor_core_start()
{
    kor_tidy_data_root();
    UsbKeyBoard *keyboard = kor_devices().keyboard.get();
    g_keyboard_present = keyboard && keyboard->present() ? 1 : 0;
    kor_trace("USB key board %s\n", g_keyboard_present.load() ? "present" : "absent");
    ConfigEngine::pInstance();
    // The network page shows these, and the control port runs on them.
    Utils::getIPAddress();
    Utils::initIPAddress();
    KorRamPara::pInstance();
}

void kor_save_pending()
{
    if (SyncUpdate::p_sync)
        SyncUpdate::p_sync->save_now();
    TableSaver::flush_all();
}

namespace {
// The handler only writes the signal's number here; the event loop does the rest.
int s_signal_fds[2] = {-1, -1};

void on_quit_signal(int sig)
{
    const int saved_errno = errno;
    const unsigned char n = static_cast<unsigned char>(sig);
    (void)::write(s_signal_fds[0], &n, 1);
    errno = saved_errno;
}
}

void kor_quit_on_signals()
{
    if (s_signal_fds[0] >= 0 || !QCoreApplication::instance())
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, s_signal_fds) != 0) {
        kor_trace("no signal pipe: %s\n", std::strerror(errno));
        return;
    }
    auto *notifier = new QSocketNotifier(s_signal_fds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        unsigned char n = 0;
        while (::read(s_signal_fds[1], &n, 1) == 1)
            kor_trace("signal %d: writing what is pending, then quitting\n", int(n));
        kor_save_pending();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}
