#include "kor_test_env.h"

#include "core/brightness_request.h"
#include "core/config_engine.h"
#include "core/global.h"
#include "core/gui_post.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/singleton.h"
#include "core/syncupdate.h"
#include "hostlink/host_events.h"
#include "inputs/dizidezorar.h"
#include "platform/data_root.h"
#include "platform/devices.h"
#include "platform/kor_clock.h"
#include "platform/shell_runner.h"
#include "ui/shell/kor_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace {
QtMessageHandler s_next_handler = nullptr;

// The offscreen platform cannot stack windows; the program raises every modal page and the
// keyboard, so its warning would fill the log.
void drop_raise_warning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == QLatin1String("This plugin does not support raise()"))
        return;
    if (s_next_handler)
        s_next_handler(type, context, message);
}
}

KorTestEnv::KorTestEnv()
{
    static const bool filtered = [] {
        s_next_handler = qInstallMessageHandler(drop_raise_warning);
        return true;
    }();
    (void)filtered;
    tear_down();
    kor_set_root(m_dir.path());
    kor_globals_reset();
    ParaChange::changed = 0;
    kor_clock_set_fixed(QDateTime());
    install_simulated_devices();
    set_shell_runner(std::unique_ptr<ShellRunner>(new RecordingShellRunner));
}

KorTestEnv::~KorTestEnv()
{
    tear_down();
}

void KorTestEnv::tear_down()
{
    // Pages, pop-ups and the main window go before the table they show.
    kor_ui_tear_down();
    // Workers next: they read the table and post refresh signals.
    kor_destroy_singletons(KorSingletons::kWorkers);
    host_pages::clear_hooks();
    g_bri_set_flag = 0;
    // The scaler raises these also when there is no input manager to take them.
    for (auto &flag : dizidezorar::edid_rewrite)
        flag.store(0);
    // Undelivered refresh signals must not reach the next test's objects.
    QCoreApplication::removePostedEvents(nullptr);
    kor_drop_gui_posts();
    // Then SyncUpdate, the table and the settings.
    kor_destroy_singletons();
}

void KorTestEnv::start()
{
    ConfigEngine::pInstance();
    KorRamPara::pInstance();
    SyncUpdate::pInstance()->attach(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);
}

QString KorTestEnv::path(const QString &board_path) const { return kor_path(board_path); }

void KorTestEnv::write_file(const QString &board_path, const QByteArray &data) const
{
    const QString p = path(board_path);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

QByteArray KorTestEnv::read_file(const QString &board_path) const
{
    QFile f(path(board_path));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

std::vector<std::string> KorTestEnv::commands() const
{
    RecordingShellRunner *r = recording_shell();
    return r ? r->commands() : std::vector<std::string>();
}

SimScaler *KorTestEnv::scaler() const { return sim_scaler(); }
SimEdidEepromBank *KorTestEnv::edid() const { return sim_edid(); }
RecordingShellRunner *KorTestEnv::shell() const { return recording_shell(); }

void KorTestEnv::process_events()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // What a refresh handed to the saver is on flash, as the tests read it.
        if (SyncUpdate::p_sync)
            SyncUpdate::p_sync->flush_saves();
    }
}

void KorTestEnv::tick(unsigned n) { G_timeTicks.fetch_add(n); }

void kor_save_screen(QWidget *widget, const QString &name)
{
#ifdef KOR_SCREENS_DIR
    const QString dir = QStringLiteral(KOR_SCREENS_DIR);
#else
    const QString dir = QString::fromLocal8Bit(qgetenv("KOR_BIN_DIR")) + QStringLiteral("/screens");
#endif
    QDir().mkpath(dir);
    widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}
