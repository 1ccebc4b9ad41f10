#include "core/config_engine.h"
#include "core/ini_text.h"
#include "core/startup.h"
#include "core/utils.h"
#include "kor_test_helpers.h"
#include "platform/shell_runner.h"

#include <QElapsedTimer>
#include <QSettings>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char kIni[] = "/data/configs/tcpip.ini";

ConfigItem::ConfigName item_named(const QString &name)
{
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        if (ConfigEngine::key_of(ConfigItem::ConfigName(i)) == "config/" + name)
            return ConfigItem::ConfigName(i);
    qFatal("no setting %s", qPrintable(name));
}

// Sets "name=value" pairs through the engine, one write each, as the pages do.
void set_all(const QStringList &sets)
{
    for (const QString &set : sets) {
        const int eq = set.indexOf('=');
        ConfigEngine::p_config->write_config_variant(item_named(set.left(eq)), set.mid(eq + 1));
    }
}

const QStringList kProbe = {"ifconfig eth0 >/dev/null 2>&1"};

// The probe and the whole set-up of the port with these addresses.
QStringList port_set_up(const QString &ip, const QString &mask, const QString &gateway)
{
    return kProbe + QStringList{"route del default wlan0", "ifconfig eth0 " + ip + " netmask " + mask,
                                "route add -host " + ip + " dev eth0", "route add default gw " + gateway + " metric 100",
                                "route add -host 255.255.255.255 eth0", "route del 255.255.255.255 wlan1"};
}

bool ran(const KorTestEnv &env, const std::string &command)
{
    const std::vector<std::string> commands = env.commands();
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

QStringList commands(const KorTestEnv &env)
{
    QStringList out;
    for (const std::string &c : env.commands())
        out << QString::fromStdString(c);
    return out;
}
}

// The settings file "tcpip.ini" is shared with the rest of the system, which reads and writes
// it with QSettings and by hand.
class TestSettingsFile : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }

private slots:
    // A save changes the lines of the settings it changed and keeps every other byte, whatever
    // those lines hold; QSettings and a restarted engine read the new values back.
    void save_changes_only_its_lines_data()
    {
        kor_columns<QByteArray, QStringList, QByteArray>({"before", "sets", "after"});
        QTest::newRow("a comment first")
            << QByteArray("# network settings, set at the factory\n[config]\nIPAddress=10.1.2.3\n")
            << QStringList{"IPAddress=10.1.2.4"}
            << QByteArray("# network settings, set at the factory\n[config]\nIPAddress=10.1.2.4\n");
        QTest::newRow("byte order mark, stray lines, an inline comment, CRLF")
            << QByteArray("\xEF\xBB\xBF; set at the factory\r\n[config]\r\nnot a setting\r\n\x01\x02garbage==\r\n"
                          "IPAddress = 10.1.2.3   ; installer\r\nbarcode=AB12;CD34\r\n")
            << QStringList{"IPAddress=10.1.2.4", "GateWay=10.1.0.1"}
            << QByteArray("\xEF\xBB\xBF; set at the factory\r\n[config]\r\nnot a setting\r\n\x01\x02garbage==\r\n"
                          "IPAddress = 10.1.2.4   ; installer\r\nbarcode=AB12;CD34\r\nGateWay=10.1.0.1\r\n");
        QTest::newRow("backslashes, UTF-8, a key before any group, a group with a slash")
            << QByteArray("owner=caf\xC3\xA9\npath=C:\\dir\\x\n[net/eth0]\nmtu=1500\n[config]\nSubNetMask=255.0.0.0\n"
                          "name=\xE4\xB8\xAD\xE6\x96\x87\n\n; the next group\n[other]\nk=\"a, b\"\n")
            << QStringList{"SubNetMask=255.255.0.0", "IPAddress=10.0.0.2"}
            << QByteArray("owner=caf\xC3\xA9\npath=C:\\dir\\x\n[net/eth0]\nmtu=1500\n[config]\nSubNetMask=255.255.0.0\n"
                          "name=\xE4\xB8\xAD\xE6\x96\x87\nIPAddress=10.0.0.2\n\n; the next group\n[other]\nk=\"a, b\"\n");
        QTest::newRow("duplicates: the line readers take")
            << QByteArray("[config]\nIPAddress=10.0.0.1\nGateWay=10.0.0.9\n[other]\nIPAddress=9.9.9.9\n[config]\n"
                          "IPAddress=10.0.0.2\nagecode=1\n")
            << QStringList{"IPAddress=10.0.0.3", "SubNetMask=255.0.0.0"}
            << QByteArray("[config]\nIPAddress=10.0.0.1\nGateWay=10.0.0.9\n[other]\nIPAddress=9.9.9.9\n[config]\n"
                          "IPAddress=10.0.0.3\nagecode=1\nSubNetMask=255.0.0.0\n");
        QTest::newRow("no group, no last line break") << QByteArray("[other]\nk=v") << QStringList{"IPAddress=10.0.0.3"}
                                                      << QByteArray("[other]\nk=v\n\n[config]\nIPAddress=10.0.0.3\n");
        QTest::newRow("values QSettings quotes and escapes")
            << QByteArray("[config]\r\nusbupgradedir=update\r\n")
            << QStringList{"usbupgradedir= ", "agecode=12;3\\4", "TcpPort=@home"}
            << QByteArray("[config]\r\nusbupgradedir=\" \"\r\nagecode=\"12;3\\\\4\"\r\nTcpPort=@@home\r\n");
        QTest::newRow("the group's last line ends in a backslash")
            << QByteArray("[config]\nx=line\\\n") << QStringList{"GateWay=10.0.0.1"}
            << QByteArray("[config]\nx=line\\\n\nGateWay=10.0.0.1\n");
        QTest::newRow("CR only: a group added, then a key")
            << QByteArray("[other]\rk=v\r") << QStringList{"IPAddress=10.0.0.3", "GateWay=10.0.0.1"}
            << QByteArray("[other]\rk=v\r\r[config]\rIPAddress=10.0.0.3\rGateWay=10.0.0.1\r");
        QTest::newRow("CRLF: a group added, then a key")
            << QByteArray("[other]\r\nk=v\r\n") << QStringList{"IPAddress=10.0.0.3", "GateWay=10.0.0.1"}
            << QByteArray("[other]\r\nk=v\r\n\r\n[config]\r\nIPAddress=10.0.0.3\r\nGateWay=10.0.0.1\r\n");
        // A line added after a backslash is not carried into it: readers see it.
        QTest::newRow("a backslash carries the key's line into the one before")
            << QByteArray("[config]\nx=abc\\\nIPAddress=10.1.2.3\n") << QStringList{"IPAddress=10.0.0.7"}
            << QByteArray("[config]\nx=abc\\\nIPAddress=10.1.2.3\nIPAddress=10.0.0.7\n");
        QTest::newRow("a backslash ends the file, no group")
            << QByteArray("[other]\nx=abc\\") << QStringList{"GateWay=10.0.0.1"}
            << QByteArray("[other]\nx=abc\\\n\n[config]\nGateWay=10.0.0.1\n");
        QTest::newRow("no file") << QByteArray() << QStringList{"GateWay=10.0.0.1"}
                                 << QByteArray("[config]\nGateWay=10.0.0.1\n");
    }
    void save_changes_only_its_lines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, sets);
        if (!before.isEmpty())
            env->write_file(kIni, before);
        env->start();
        set_all(sets);
        QVERIFY(ConfigEngine::p_config->saved());
        QCOMPARE(env->read_file(kIni), kor_data<QByteArray>("after"));
        ConfigEngine::destroy_instance();
        ConfigEngine::pInstance();
        QSettings ini(env->path(kIni), QSettings::IniFormat);
        for (const QString &set : sets) {
            const int eq = set.indexOf('=');
            QCOMPARE(ini.value("config/" + set.left(eq)).toString(), set.mid(eq + 1));
            QCOMPARE(ConfigEngine::p_config->read_config(item_named(set.left(eq))).toString(), set.mid(eq + 1));
        }
    }

    // A settings file far larger than any the system writes is read and merged whole.
    void large_file_is_read_and_kept()
    {
        QByteArray text = "[config]\nIPAddress=10.1.2.3\nSubNetMask=255.255.0.0\nGateWay=10.1.0.1\n[other]\n";
        for (int i = 0; i < 4000; ++i)
            text += QString("key%1=a value of another program, %1\n").arg(i, 4, 10, QChar('0')).toLatin1();
        QVERIFY(text.size() > 150000);
        env->write_file(kIni, text);
        kor_core_start();
        QCOMPARE(QString::fromStdString(g_str_ip), QString("10.1.2.3"));
        QVERIFY(ran(*env, "ifconfig eth0 10.1.2.3 netmask 255.255.0.0"));
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, "10.1.2.4");
        QCOMPARE(env->read_file(kIni), text.replace("IPAddress=10.1.2.3", "IPAddress=10.1.2.4"));
    }

    // A file that cannot be read is not taken for defaults: start-up leaves the port as it is,
    // and a save never replaces it (it holds what is unknown here), but merges into a file put
    // there since. The addresses set are then what the port is set to.
    void unreadable_file_data()
    {
        // after: null, the file as it was
        kor_columns<QString, QByteArray, QByteArray>({"kind", "later", "after"});
        const QByteArray sets = "IPAddress=10.0.0.7\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n";
        QTest::newRow("over the size bound") << "large" << QByteArray() << QByteArray();
        QTest::newRow("a FIFO") << "fifo" << QByteArray() << QByteArray();
        QTest::newRow("a FIFO, a file put there since")
            << "fifo" << QByteArray("[config]\nagecode=42\n") << "[config]\nagecode=42\n" + sets;
    }
    void unreadable_file()
    {
        QFETCH(QByteArray, later);
        QFETCH(QByteArray, after);
        const QByteArray large = "[config]\nIPAddress=10.1.2.3\n" + QByteArray(1100 * 1024, ';');
        const bool fifo = kor_data<QString>("kind") == "fifo";
        if (fifo) {
            QDir().mkpath(env->path("/data/configs"));
            QCOMPARE(::mkfifo(QFile::encodeName(env->path(kIni)).constData(), 0644), 0);
        } else {
            env->write_file(kIni, large);
        }
        kor_core_start();
        QCOMPARE(commands(*env), kProbe);
        if (!later.isEmpty()) {
            QVERIFY(QFile::remove(env->path(kIni)));
            env->write_file(kIni, later);
        }
        set_all({"IPAddress=10.0.0.7", "SubNetMask=255.0.0.0", "GateWay=10.0.0.1"});
        QCOMPARE(ConfigEngine::p_config->saved(), !after.isNull());
        if (!after.isNull())
            QCOMPARE(env->read_file(kIni), after);
        else if (fifo)
            QVERIFY(QFileInfo(env->path(kIni)).exists() && !QFileInfo(env->path(kIni)).isFile());
        else
            QCOMPARE(env->read_file(kIni), large);
        env->shell()->clear();
        Utils::initIPAddress();
        QVERIFY(ran(*env, "ifconfig eth0 10.0.0.7 netmask 255.0.0.0"));
    }

    // A fresh board has no settings file: the port gets the defaults, and an Apply makes the file.
    void no_file()
    {
        kor_core_start();
        QCOMPARE(commands(*env), port_set_up("192.168.0.100", "255.255.255.0", "192.168.0.1"));
        set_all({"IPAddress=10.0.0.7", "SubNetMask=255.0.0.0", "GateWay=10.0.0.1"});
        QVERIFY(ConfigEngine::p_config->saved());
        QCOMPARE(env->read_file(kIni), QByteArray("[config]\nIPAddress=10.0.0.7\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n"));
    }

    // A save never makes the file larger than what is read (the next start could not read it,
    // nor any save after), and a file not read whole is never written: either way the file
    // stays byte for byte, the save fails and the port still takes the values set.
    void files_at_the_read_bound_data()
    {
        kor_columns<int, int, bool>({"size", "mode", "written"});
        QTest::newRow("over the bound") << 1024 * 1024 + 1 << 0644 << false;
        QTest::newRow("just under, past it once set") << 1024 * 1024 - 1 << 0644 << false;
        QTest::newRow("set, the bound itself") << 1024 * 1024 - 8 << 0644 << true;
        QTest::newRow("over the bound, not readable to the user") << 1024 * 1024 + 1 << 0 << false;
    }
    void files_at_the_read_bound()
    {
        QFETCH(int, size);
        QFETCH(int, mode);
        QFETCH(bool, written);
        if (mode == 0 && ::geteuid() == 0)
            QSKIP("root reads any file");
        QByteArray text = "[config]\nIPAddress=10.1.2.3\nSubNetMask=255.255.0.0\nGateWay=10.1.0.1\nlcdlangvalid=3\n[other]\n";
        for (int i = 0; text.size() < size - 40; ++i)
            text += QString("key%1=a value of another program\n").arg(i, 5, 10, QChar('0')).toLatin1();
        text += "last=" + QByteArray(size - text.size() - 6, 'x') + "\n";
        QCOMPARE(text.size(), size);
        env->write_file(kIni, text);
        QVERIFY(::chmod(QFile::encodeName(env->path(kIni)).constData(), mode_t(mode)) == 0);
        kor_core_start();
        const bool read = size <= 1024 * 1024 && mode;
        QCOMPARE(commands(*env), read ? port_set_up("10.1.2.3", "255.255.0.0", "10.1.0.1") : kProbe);
        // Each grows the file: by 8 bytes in all.
        set_all({"IPAddress=10.100.200.3", "SubNetMask=255.255.255.0", "GateWay=10.100.0.1"});
        QCOMPARE(ConfigEngine::p_config->saved(), written);
        if (written)
            text.replace("=10.1.2.3", "=10.100.200.3").replace("=255.255.0.0", "=255.255.255.0").replace("=10.1.0.1", "=10.100.0.1");
        QVERIFY(::chmod(QFile::encodeName(env->path(kIni)).constData(), 0644) == 0);  // for the test to read it
        QVERIFY(env->read_file(kIni) == text);
        env->shell()->clear();
        Utils::initIPAddress();
        QCOMPARE(commands(*env), port_set_up("10.100.200.3", "255.255.255.0", "10.100.0.1"));
    }

    // A value the lines before it would hide from every reader is not saved: the file stays
    // byte for byte, but for the keys that do go in, and the save is tried again until the
    // file's owner mends it.
    void hidden_values_wait_for_the_file_to_be_mended_data()
    {
        // applied: the file after the Apply; broken, mended: what the owner's mend replaces
        kor_columns<QByteArray, QByteArray, QByteArray, QByteArray, QByteArray>({"before", "applied", "broken", "mended", "after"});
        const QByteArray set = "IPAddress=10.0.0.7\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n";
        const QByteArray quote = "# panel: 55\" cabinet\n[config]\nIPAddress=10.1.2.3\n";
        QTest::newRow("a quote left open before the group")
            << quote << quote << QByteArray("55\" cabinet") << QByteArray("55\" cabinet\"")
            << "# panel: 55\" cabinet\"\n[config]\n" + set;
        QTest::newRow("a quote left open in the group, a key before it")
            << QByteArray("[config]\nGateWay=10.1.0.1\nname=\"open\nIPAddress=10.1.2.3\n")
            << QByteArray("[config]\nGateWay=10.0.0.1\nname=\"open\nIPAddress=10.1.2.3\n") << QByteArray("\"open")
            << QByteArray("\"open\"") << QByteArray("[config]\nGateWay=10.0.0.1\nname=\"open\"\nIPAddress=10.0.0.7\nSubNetMask=255.0.0.0\n");
    }
    void hidden_values_wait_for_the_file_to_be_mended()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, applied);
        env->write_file(kIni, before);
        env->start();
        struct stat old;
        QVERIFY(::stat(QFile::encodeName(env->path(kIni)).constData(), &old) == 0);
        set_all({"IPAddress=10.0.0.7", "SubNetMask=255.0.0.0", "GateWay=10.0.0.1"});
        QCOMPARE(env->read_file(kIni), applied);
        QVERIFY(!ConfigEngine::p_config->saved());
        struct stat now;
        QVERIFY(::stat(QFile::encodeName(env->path(kIni)).constData(), &now) == 0);
        QCOMPARE(now.st_ino == old.st_ino, applied == before);  // not even written again
        // The owner mends it as a save does, never torn for a reader.
        env->write_file("/data/configs/mended", applied.replace(kor_data<QByteArray>("broken"), kor_data<QByteArray>("mended")));
        QCOMPARE(::rename(QFile::encodeName(env->path("/data/configs/mended")).constData(),
                          QFile::encodeName(env->path(kIni)).constData()), 0);
        QTRY_VERIFY_WITH_TIMEOUT(ConfigEngine::p_config->saved(), 5000);
        QTEST(env->read_file(kIni), "after");
    }

    // Reading the file needs no scratch space: with no usable temporary folder the file's
    // address still reaches the port.
    void read_without_scratch_space()
    {
        env->write_file(kIni, "[config]\nIPAddress=10.1.2.3\nSubNetMask=255.255.0.0\nGateWay=10.1.0.1\n");
        env->write_file("/tmpfile", "not a folder");
        const QByteArray tmpdir = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(env->path("/tmpfile")));
        kor_core_start();
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, "10.1.0.254");
        tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
        QVERIFY(ran(*env, "ifconfig eth0 10.1.2.3 netmask 255.255.0.0"));
        QCOMPARE(env->read_file(kIni), QByteArray("[config]\nIPAddress=10.1.2.3\nSubNetMask=255.255.0.0\nGateWay=10.1.0.254\n"));
    }

    // Only an address of four decimal octets goes into a network command; one value that is
    // none leaves the whole set-up undone (the port and its routes as they are), and the panel
    // still shows what the file holds.
    void file_values_never_reach_the_shell_as_code_data()
    {
        kor_columns<QByteArray, QStringList>({"file", "commands"});
        QTest::newRow("shell code in all three")
            << QByteArray("IPAddress=\"1.2.3.4;touch /tmp/x;\"\nSubNetMask=255.255.255.0 && reboot\nGateWay=$(rm -rf /data)\n")
            << kProbe;
        QTest::newRow("a bad gateway only")
            << QByteArray("IPAddress=10.0.0.2\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1 metric 1\n") << kProbe;
        QTest::newRow("a bad mask only") << QByteArray("IPAddress=10.0.0.2\nSubNetMask=255.0.0\nGateWay=10.0.0.1\n")
                                         << kProbe;
        for (const char *ip : {"10.0.0.256", "\" 10.0.0.2\"", "10.0.0.2.5", "1e1.0.0.2", "-1.0.0.2", "10.0.0.2\\n"})
            QTest::newRow(ip) << QByteArray("IPAddress=") + ip + "\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n" << kProbe;
        // Near misses in each of the three.
        const QByteArray good = "IPAddress=10.1.2.3\nSubNetMask=255.255.0.0\nGateWay=10.1.0.1\n";
        for (const QByteArray key : {"IPAddress=10.1.2.3", "SubNetMask=255.255.0.0", "GateWay=10.1.0.1"})
            for (const QByteArray &miss : {key + ".", QByteArray(key).replace(".1.", "..").replace(".255.", "..")})
                QTest::newRow(miss.constData()) << QByteArray(good).replace(key, miss) << kProbe;
        QTest::newRow("leading zeros go out plain")
            << QByteArray("IPAddress=010.000.002.009\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n")
            << port_set_up("10.0.2.9", "255.0.0.0", "10.0.0.1");
    }
    void file_values_never_reach_the_shell_as_code()
    {
        QFETCH(QByteArray, file);
        env->write_file(kIni, "[config]\n" + file);
        kor_core_start();
        QTEST(commands(*env), "commands");
        QCOMPARE(QString::fromStdString(g_str_ip), IniText("[config]\n" + file).value("config", "IPAddress").toString());
    }

    // One Apply makes three failed writes: the file follows a second after the last, once
    // the cause is gone, not after a back-off the three writes lengthened.
    void retry_a_second_after_the_last_failure()
    {
        QDir().mkpath(env->path(kIni));
        env->start();
        set_all({"IPAddress=10.0.0.2", "SubNetMask=255.0.0.0", "GateWay=10.0.0.1"});
        QElapsedTimer since;
        since.start();
        QVERIFY(QDir().rmdir(env->path(kIni)));
        QTRY_VERIFY_WITH_TIMEOUT(ConfigEngine::p_config->saved(), 5000);
        QVERIFY2(since.elapsed() < 2500, qPrintable(QString::number(since.elapsed())));
        QCOMPARE(env->read_file(kIni), QByteArray("[config]\nIPAddress=10.0.0.2\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n"));
    }
};

QTEST_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
