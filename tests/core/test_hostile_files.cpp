#include "core/alias.h"
#include "core/config_engine.h"
#include "core/startup.h"
#include "core/syncupdate.h"
#include "core/utils.h"
#include "kor_test_helpers.h"
#include "platform/shell_runner.h"
#include "platform/usb_keyboard.h"
#include "ui/pages/inputchoose.h"
#include "ui/pages/sourceinfo.h"
#include "ui/shell/tip.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTextDocument>
#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

namespace {
// A FIFO at `path`, watched: whenever a reader waits on it the watch opens the writing end
// (so the reader goes on, reading nothing) and notes that the program blocked there.
class FifoWatch {
public:
    explicit FifoWatch(const QString &path) : m_path(QFile::encodeName(path))
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ::mkfifo(m_path.constData(), 0644);
        m_thread = std::thread([this] {
            while (!m_stop) {
                const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
                struct stat st;
                if (fd >= 0) {
                    blocked = blocked || (::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode));
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~FifoWatch()
    {
        m_stop = true;
        m_thread.join();
    }
    std::atomic<bool> blocked{false};

private:
    QByteArray m_path;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

QByteArray alias_json(const QByteArray &name, int id = 2)
{
    return R"({"source":{"namelist":[{"id":)" + QByteArray::number(id) + R"(,"name":")" + name + R"("}]}})";
}

const char kAlias[] = "/data/configs/alias.json";
const char kTable[] = "/data/ram_device_info";
const char kIni[] = "/data/configs/tcpip.ini";
}

// Files under /data as a power cut, a host or a tamperer may leave them.
class TestHostileFiles : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }

    // The core start-up, and the refresh step as the program wires it.
    void start_core()
    {
        kor_core_start();
        SyncUpdate::pInstance()->attach(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);
    }

private slots:
    // The input page opens whatever the alias file holds, reads it once, never blocks on it,
    // deletes one it refuses and shows names as text.
    void alias_file_data()
    {
        kor_columns<QByteArray, QString, bool, int>({"alias", "names", "kept", "reads"});
        const QString fixed = "HDMI1 HDMI2 HDMI3 HDMI4 DVI EXT";
        QTest::newRow("nested 100000 deep") << QByteArray(100000, '[') << fixed << false << 1;
        QTest::newRow("over the size cap") << alias_json("Cam") + QByteArray(1100000, ' ') << fixed << false << 1;
        QTest::newRow("not JSON") << QByteArray("{\"source\":") << fixed << false << 1;
        QTest::newRow("large, within the cap")
            << alias_json("Cam") + QByteArray(900000, ' ') << QString("Cam HDMI2 HDMI3 HDMI4 DVI EXT") << true << 1;
        const QByteArray markup = "<h1>Big</h1><img src=':/png/warning.png'>";
        QTest::newRow("markup in a name") << alias_json(markup, 5) << QString("HDMI1 HDMI2 HDMI3 " + markup + " DVI EXT") << true
                                          << 1;
        QTest::newRow("fifo") << QByteArray() << fixed << true << 0;
    }
    void alias_file()
    {
        QFETCH(QByteArray, alias);
        std::unique_ptr<FifoWatch> fifo;
        if (alias.isEmpty())
            fifo.reset(new FifoWatch(env->path(kAlias)));
        else
            env->write_file(kAlias, alias);
        kor_start_ui(*env);
        const int reads = Utils::files_read();
        kor_open("ok ok", 3);  // main menu, input page
        QStringList names;
        QList<int> heights;
        for (int p = 0; p < 6; ++p) {
            const QLabel *label = kor_child<QLabel>(g_inputchoose, QString("sourcelistseq%1name").arg(p));
            names << label->text();
            heights << label->sizeHint().height();
        }
        QTEST(names.join(' '), "names");
        QTEST(Utils::files_read() - reads, "reads");
        QTEST(QFileInfo::exists(env->path(kAlias)), "kept");
        // One line of text each (the chosen one has a border): no heading, no image.
        const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
        QVERIFY2(*high - *low <= 2, qPrintable(QString::number(*high - *low)));
        QVERIFY(!fifo || !fifo->blocked);
    }

    // A new version of the file is read again; an alias in a caption is text too.
    void alias_follows_the_file()
    {
        env->start();
        ALIAS_PARA alias;
        env->write_file(kAlias, alias_json("One"));
        const int reads = Utils::files_read();
        QCOMPARE(get_json_alias_para(&alias, "source", 2), 1);
        QCOMPARE(get_json_alias_para(&alias, "source", 2), 1);
        QCOMPARE(Utils::files_read() - reads, 1);
        env->write_file(kAlias, alias_json("Two"));  // same size, in place
        QCOMPARE(get_json_alias_para(&alias, "source", 2), 1);
        QCOMPARE(QString::fromStdString(alias.name), QString("Two"));
        QTextDocument doc;
        doc.setHtml(sourceinfo::get_source_specialstyle1_by_sourceid(0, "<b>x</b>", 1));
        QCOMPARE(doc.toPlainText(), QString("<b>x</b>(1)"));
    }

    // The table file: a bad one is kept aside before the defaults replace it; a FIFO does not
    // block the start; a link is replaced, its target left alone; a directory is left.
    void table_file_data()
    {
        kor_columns<QString, int, QByteArray>({"kind", "width", "bad"});
        QByteArray valid(kKorTableFileSize, '\0');
        valid[0] = valid[1] = char(0xAA);
        valid[kor_file_index(KorTable::kLedWidth)] = char(0x00);
        valid[kor_file_index(KorTable::kLedWidth) + 1] = char(0x05);  // width 1280
        QByteArray unmarked = valid;
        unmarked[1] = 0x55;
        QTest::newRow("short") << QString("file") << 1920 << valid.left(1000);
        QTest::newRow("unmarked") << QString("file") << 1920 << unmarked;
        QTest::newRow("fifo") << QString("fifo") << 1920 << QByteArray();
        QTest::newRow("directory") << QString("directory") << 1920 << QByteArray();
        QTest::newRow("link out of the root") << QString("link") << 1280 << valid;
    }
    void table_file()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bad);
        const QString path = env->path(kTable);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath("target");
        std::unique_ptr<FifoWatch> fifo;
        if (kind == "file")
            env->write_file(kTable, bad);
        if (kind == "fifo")
            fifo.reset(new FifoWatch(path));
        if (kind == "directory")
            QDir().mkpath(path + "/sub");
        if (kind == "link") {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bad) == bad.size());
            f.close();
            QDir().mkpath(env->path("/data"));
            QVERIFY(QFile::link(target, path));
        }
        start_core();
        QTEST(int(kor_table()->u16(KorTable::kLedWidth)), "width");
        QVERIFY(!fifo || !fifo->blocked);
        QCOMPARE(env->read_file("/data/ram_device_info.bad"), kind == "file" ? bad : QByteArray());
        kor_table()->set_u16(KorTable::kLedHeight, 720);
        kor_refresh(1);
        if (kind == "directory") {
            QVERIFY(QFileInfo(path + "/sub").isDir());
            return;
        }
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(kor_file_u16(env->read_file(kTable), KorTable::kLedHeight), 720);
        if (kind == "link") {
            QFile f(target);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), bad);
        }
    }

    // Start-up removes the settings lock and the writer's temporaries of cut saves (nothing
    // else), notes the key
    // board, loads the network (also without eth0) and sets the port up; a settings write
    // never waits on a lock.
    void start_up_data()
    {
        kor_columns<QByteArray, bool, bool>({"lock", "keyboard", "eth0"});
        QTest::newRow("empty lock, key board, eth0") << QByteArray() << true << true;
        QTest::newRow("foreign lock, no eth0") << QByteArray("1\nother\nhost\n") << false << false;
    }
    void start_up()
    {
        QFETCH(QByteArray, lock);
        QFETCH(bool, eth0);
        sim_keyboard()->plugged = kor_data<bool>("keyboard");
        env->shell()->set_status_for("ifconfig eth0 >", eth0 ? 0 : 256);
        env->write_file(kIni, "[config]\nIPAddress=10.1.2.3\nSubNetMask=255.255.0.0\nGateWay=10.1.0.1\n");
        const QStringList stale = {"/data/ram_device_info.korsave-Ab12Cd", "/data/configs/tcpip.ini.korsave-Qw3rTy",
                                   "/data/modes/custom_mode16.korsave-x0X9zz", "/data/configs/tcpip.ini.lock"};
        // The operator's own copies, whatever their names look like.
        const QStringList kept = {"/data/other.korsave-Ab12Cd",      "/data/ram_device_info.bad",
                                  "/data/configs/alias.json.bak",    "/data/ram_device_info.backup",
                                  "/data/modes/custom_mode1.backup", "/data/configs/alias.json.before",
                                  "/data/ram_device_info.Ab12Cd",    "/data/ram_device_info.korsave-Ab12C"};
        for (const QString &f : stale + kept)
            env->write_file(f, f.endsWith(".lock") ? lock : QByteArray("x"));
        start_core();
        for (const QString &f : stale + kept)
            QVERIFY2(QFileInfo::exists(env->path(f)) == kept.contains(f), qPrintable(f));
        QCOMPARE(int(g_keyboard_present), int(kor_data<bool>("keyboard")));
        QCOMPARE(QString::fromStdString(g_str_ip + " " + g_srt_mask + " " + g_str_gateway),
                 QString("10.1.2.3 255.255.0.0 10.1.0.1"));
        const std::vector<std::string> commands = env->commands();
        QCOMPARE(std::count(commands.begin(), commands.end(), "ifconfig eth0 10.1.2.3 netmask 255.255.0.0"), long(eth0));

        env->write_file("/data/configs/tcpip.ini.lock", lock);  // as if left by another writer
        QElapsedTimer timer;
        timer.start();
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, "10.1.0.254");
        QVERIFY(timer.elapsed() < 2000);
        QSettings ini(env->path(kIni), QSettings::IniFormat);
        QCOMPARE(ini.value("config/GateWay").toString() + " " + ini.value("config/IPAddress").toString(),
                 QString("10.1.0.254 10.1.2.3"));
    }

    // A table save that fails shows no done tick; written once the cause is gone, the next
    // refresh shows it.
    void failed_table_save_shows_no_success()
    {
        QDir().mkpath(env->path(kTable));
        kor_start_ui(*env);
        kor_open(kor_settings + " right ok", 10);
        kor_table()->set_u16(KorTable::kBrightness, 70);
        g_tip->hide();
        kor_refresh(1);
        QVERIFY(!g_tip->isVisible());
        QVERIFY(QDir().rmdir(env->path(kTable)));
        kor_refresh(1);
        QVERIFY(g_tip->isVisible());
        QCOMPARE(kor_file_u16(env->read_file(kTable), KorTable::kBrightness), 70);
    }

    // A settings save that fails is tried again, with every value, at the next change.
    void failed_settings_save_is_retried()
    {
        QDir().mkpath(env->path(kIni));
        env->start();
        ConfigEngine *config = ConfigEngine::p_config;
        config->write_config_variant(ConfigItem::IPAddress, "10.9.9.9");
        QVERIFY(!config->saved());
        QVERIFY(QDir().rmdir(env->path(kIni)));
        config->write_config_variant(ConfigItem::SubNetMask, "255.0.0.0");
        QVERIFY(config->saved());
        QSettings ini(env->path(kIni), QSettings::IniFormat);
        QCOMPARE(ini.value("config/IPAddress").toString(), QString("10.9.9.9"));
    }

    // A save that failed reaches the file on its own once the cause is gone, with no further
    // change or refresh: the table and the settings alike.
    void failed_saves_are_retried_on_their_own()
    {
        QDir().mkpath(env->path(kTable));
        QDir().mkpath(env->path(kIni));
        start_core();
        kor_table()->set_u16(KorTable::kContrast, 77);
        kor_refresh(1);
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, "10.7.7.7");
        SyncUpdate::p_sync->flush_saves();
        QVERIFY(QFileInfo(env->path(kTable)).isDir() && QFileInfo(env->path(kIni)).isDir());
        QVERIFY(QDir().rmdir(env->path(kTable)) && QDir().rmdir(env->path(kIni)));
        QTRY_VERIFY_WITH_TIMEOUT(env->read_file(kTable).size() == kKorTableFileSize, 4000);
        QCOMPARE(kor_file_u16(env->read_file(kTable), KorTable::kContrast), 77);
        QTRY_VERIFY_WITH_TIMEOUT(ConfigEngine::p_config->saved(), 4000);
        QCOMPARE(QSettings(env->path(kIni), QSettings::IniFormat).value("config/IPAddress").toString(),
                 QString("10.7.7.7"));
    }

    // A save keeps every key and group of the shared settings file that it does not change,
    // also the ones this program knows but did not change.
    void settings_save_keeps_the_rest()
    {
        env->write_file(kIni, "[config]\nMAC=00:11:22:33:44:55\nbarcode=KOR-0042\nTcpPort=6000\n"
                              "IPAddress=10.0.0.2\n[other]\ncloud=host.example:9000\n");
        env->start();
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, "10.0.0.3");
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, "10.0.0.1");
        QSettings ini(env->path(kIni), QSettings::IniFormat);
        QCOMPARE(ini.allKeys().size(), 6);
        QCOMPARE(ini.value("config/MAC").toString(), QString("00:11:22:33:44:55"));
        QCOMPARE(ini.value("config/barcode").toString(), QString("KOR-0042"));
        QCOMPARE(ini.value("config/TcpPort").toString(), QString("6000"));
        QCOMPARE(ini.value("other/cloud").toString(), QString("host.example:9000"));
        QCOMPARE(ini.value("config/IPAddress").toString() + " " + ini.value("config/GateWay").toString(),
                 QString("10.0.0.3 10.0.0.1"));
    }

    // No write or delete leaves the data root through a link at a folder on its way; the
    // data root itself may be a link (a mount elsewhere), and a link within it stays in it.
    void writes_stay_in_the_data_root_data()
    {
        // link: the board path made a link; to: where it points ("out": a folder outside)
        kor_columns<QString, QString, bool>({"link", "to", "written"});
        QTest::newRow("settings folder out") << "/data/configs" << "out" << false;
        QTest::newRow("application folder out") << "/data/app" << "out" << false;
        QTest::newRow("settings folder within") << "/data/configs" << "/data/elsewhere" << true;
        QTest::newRow("the data root itself") << "/data" << "out" << true;
        // Beside the root, with a name that begins like the root's.
        QTest::newRow("settings folder to a sibling named alike") << "/data/configs" << "/data2" << false;
        QTest::newRow("application folder to a sibling named alike") << "/data/app" << "/data-app" << false;
    }
    void writes_stay_in_the_data_root()
    {
        QFETCH(QString, link);
        QFETCH(QString, to);
        QFETCH(bool, written);
        QTemporaryDir outside;
        const QString target = to == "out" ? outside.path() : env->path(to);
        QVERIFY(QDir().mkpath(target) && QDir().mkpath(QFileInfo(env->path(link)).absolutePath()));
        QVERIFY(QFile::link(target, env->path(link)));
        env->write_file("/data/configs/alias.json", "{\"source\":");  // refused when read
        env->start();
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, "10.0.0.9");
        const bool app = Utils::write_file_atomic("/data/app/korZ73N", "ELF");
        ALIAS_PARA alias;
        get_json_alias_para(&alias, "source", 2);  // and deleted, where that stays in the root
        const bool app_out = link == "/data/app" && !written, configs_out = link == "/data/configs" && !written;
        QCOMPARE(QFileInfo::exists(env->path("/data/app/korZ73N")), !app_out);
        QCOMPARE(app, !app_out);
        QCOMPARE(QFileInfo::exists(env->path("/data/configs/tcpip.ini")), !configs_out);
        QCOMPARE(ConfigEngine::p_config->saved(), !configs_out);
        QCOMPARE(QFileInfo::exists(env->path("/data/configs/alias.json")), configs_out);
        if (!written)
            QCOMPARE(QDir(target).entryList(QDir::Files | QDir::Hidden),
                     configs_out ? QStringList{"alias.json"} : QStringList());
    }

    // A link at a stored file's own name, to a file outside the root, is never followed: a
    // file refused when read goes as the link, a save replaces the link, and the start-up
    // tidy-up removes a temporary that is such a link. The file outside keeps its bytes.
    void links_out_at_a_files_name_data()
    {
        // how: what meets the link
        kor_columns<QString, QString>({"file", "how"});
        QTest::newRow("alias names, refused when read") << QString(kAlias) << "read";
        QTest::newRow("temporary of a cut save") << "/data/modes/custom_mode3.korsave-Ab12Cd" << "tidy";
        QTest::newRow("table, saved at start") << QString(kTable) << "start";
        QTest::newRow("application, saved") << "/data/app/korZ73N" << "save";
    }
    void links_out_at_a_files_name()
    {
        QFETCH(QString, file);
        QFETCH(QString, how);
        QTemporaryDir outside;
        const QString target = outside.filePath("target");
        const QByteArray bytes = "{\"source\":";  // neither alias names nor a table
        QFile out(target);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        const QString path = env->path(file);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(QFile::link(target, path));
        env->start();
        QByteArray saved;
        if (how == "read") {
            ALIAS_PARA alias;
            QCOMPARE(get_json_alias_para(&alias, "source", 2), 0);
        } else if (how == "tidy") {
            kor_tidy_data_root();
        } else if (how == "start") {
            saved = env->read_file(kTable);
            QCOMPARE(saved.size(), kKorTableFileSize);
        } else {
            saved = "ELF new";
            QVERIFY(Utils::write_file_atomic(file, saved));
        }
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(env->read_file(file), saved);
        QCOMPARE(QFileInfo::exists(path), !saved.isEmpty());
        QCOMPARE(QDir(outside.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"target"});
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), bytes);
    }

    // SIGTERM, SIGINT and SIGHUP write the change the saver still holds back, and one not
    // yet handed to it, then end the event loop.
    void quit_signals_write_what_is_pending_data()
    {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void quit_signals_write_what_is_pending()
    {
        QFETCH(int, sig);
        start_core();
        kor_quit_on_signals();
        kor_table()->set_u16(KorTable::kSharpness, 33);
        SyncUpdate::p_sync->para_sync(1);  // handed to the saver, held back
        kor_table()->set_u16(KorTable::kContrast, 44);  // not even handed over yet
        QString on_flash;
        QMetaObject::Connection seen = connect(qApp, &QCoreApplication::aboutToQuit, [&] {
            const QByteArray file = env->read_file(kTable);
            on_flash = QString("%1 %2").arg(kor_file_u16(file, KorTable::kSharpness)).arg(kor_file_u16(file, KorTable::kContrast));
        });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
        guard.start(5000);
        ::raise(sig);
        QCoreApplication::exec();
        disconnect(seen);
        QVERIFY(guard.isActive());  // ended by the signal, not by the guard
        QCOMPARE(on_flash, QString("33 44"));
    }

    // A save cut short (the file-size limit stops it after 1000 bytes) leaves the old file
    // whole for any reader, and no temporary.
    void save_cut_short_leaves_the_old_file()
    {
        start_core();
        const QByteArray before = env->read_file(kTable);
        kor_table()->set_u16(KorTable::kLedWidth, 2560);
        bool done = false;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old;
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 1000;
        ::setrlimit(RLIMIT_FSIZE, &small);
        SyncUpdate::p_sync->when_saved([&] { done = true; });
        SyncUpdate::p_sync->flush_saves();
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!done);
        QCOMPARE(env->read_file(kTable), before);
        QCOMPARE(QDir(env->path("/data")).entryList(QDir::Files), QStringList{"ram_device_info"});
        SyncUpdate::p_sync->when_saved([&] { done = true; });
        SyncUpdate::p_sync->flush_saves();
        QVERIFY(done);
        QCOMPARE(kor_file_u16(env->read_file(kTable), KorTable::kLedWidth), 2560);
    }

    // A save cut short where the process ends with it (as at a power cut) leaves the writer's
    // temporary; the next start-up removes that name, keeps the file, and keeps names only
    // alike (a letter longer or shorter).
    void start_up_removes_what_a_cut_save_left_data()
    {
        kor_columns<QString>({"file"});
        QTest::newRow("table") << QString(kTable);
        QTest::newRow("table kept aside") << "/data/ram_device_info.bad";
        QTest::newRow("user mode") << "/data/modes/custom_mode16";
        QTest::newRow("application") << "/data/app/korZ73N";
    }
    void start_up_removes_what_a_cut_save_left()
    {
        QFETCH(QString, file);
        env->write_file(file, "old");
        // Nothing runs yet but this thread: the child saves, and the file-size limit ends it
        // in the middle of the write.
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            rlimit limit;
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 1000;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const rlimit no_core = {0, 0};
            ::setrlimit(RLIMIT_CORE, &no_core);
            std::signal(SIGXFSZ, SIG_DFL);
            Utils::write_file_atomic(file, QByteArray(4000, 'n'));
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ, qPrintable(QString::number(status)));
        const QFileInfo info(env->path(file));
        const QDir dir(info.absolutePath());
        QStringList left = dir.entryList(QDir::Files | QDir::Hidden);
        QVERIFY(left.removeOne(info.fileName()));
        QCOMPARE(left.size(), 1);
        const QString temporary = left.first();
        QStringList kept = {info.fileName(), temporary + "7", temporary.chopped(1), info.fileName() + ".korsave-Ab12Cd7"};
        for (const QString &name : kept.mid(1))
            env->write_file(QFileInfo(file).path() + '/' + name, "x");
        kor_tidy_data_root();
        QStringList now = dir.entryList(QDir::Files | QDir::Hidden);
        now.sort();
        kept.sort();
        QCOMPARE(now, kept);
        QCOMPARE(env->read_file(file), QByteArray("old"));
    }
};

QTEST_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
