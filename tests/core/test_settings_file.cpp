#include "core/config_engine.h"
#include "core/ini_text.h"
#include "core/startup.h"
#include "core/utils.h"
#include "kor_test_helpers.h"
#include "platform/shell_runner.h"

#include <QElapsedTimer>
#include <QSettings>
#include <random>
#include <sys/stat.h>

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

const QStringList kProbe = {"ifconfig eth0 >/dev/null 2>&1", "route del default wlan0"};
const QStringList kBroadcast = {"route add -host 255.255.255.255 eth0", "route del 255.255.255.255 wlan1"};

bool ran(const KorTestEnv &env, const std::string &command)
{
    const std::vector<std::string> commands = env.commands();
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

QStringList joined(std::initializer_list<QStringList> parts)
{
    QStringList out;
    for (const QStringList &p : parts)
        out += p;
    return out;
}

QStringList commands(const KorTestEnv &env)
{
    QStringList out;
    for (const std::string &c : env.commands())
        out << QString::fromStdString(c);
    return out;
}

// Lines other programs and people leave in the shared file, and values they give our keys.
const char *const kPieces[] = {
    "[config]", "[other]", "[net/eth0]", "[ config ]", "[General]", "[%63onfig]", "[config", "; comment, with = sign",
    "# network settings, set at the factory", "IPAddress=10.1.2.3", "IPAddress = 10.9.9.9  ", "  GateWay=10.0.0.1 ; note",
    "barcode=AB12;CD34", "path=C:\\dir\\x", "name=\"quoted, value\"", "utf=caf\xc3\xa9", "\x01\x02garbage==", "novalue",
    "SubNetMask=a, b, c", "SubNetMask=\"255.0.0.0\"", "x=line\\", "TcpPort=\\x41\\x42", "UdpPort=@@at", "UdpPort=@Invalid()",
    "", "usbupgradedir=\" \"", "usbupgradedir=", "agecode=12\\t34  ", "lcdlangvalid=\\101", "IPAddress=\"1.2\" 3",
    "GateWay=a\\\"b", "IPAddress=1.1.1.1;x", "k\\ey=v", "GateWay=  \"  spaced \" ", "TcpPort=\xe4\xb8\xad", "IPAddress=\\",
    "GateWay=ab  \\x", "agecode=\"a \" b  ", "name=\"open", "[config] trailing", "=novalue", "IPAddress==x", "agecode=a,", "agecode=\"a\",\"b\"",
};
const char *const kKeys[] = {"IPAddress", "SubNetMask", "GateWay", "TcpPort", "UdpPort", "usbupgradedir", "agecode", "lcdlangvalid"};
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

    // Files made of the lines people and programs leave: the values read are the ones
    // QSettings reads, and a value set is the one QSettings then reads (unless a quote left
    // open before the group hides it from every reader).
    void reads_and_writes_as_qsettings_does()
    {
        std::mt19937 random(20);
        const char *const values[] = {"10.2.3.4", "a;b", "\\back\\", "caf\xc3\xa9", "@x", " sp ", "x,y", "q\"q", "1\t2",
                                      "\xe4\xb8\xad\xe6\x96\x87"};
        for (int n = 0; n < 400; ++n) {
            QByteArray text = random() % 5 ? QByteArray() : QByteArray("\xEF\xBB\xBF");
            const int lines = random() % 12;
            const bool crlf = random() % 3 == 0;
            for (int l = 0; l < lines; ++l) {
                const char *piece = kPieces[random() % (sizeof kPieces / sizeof *kPieces)];
                if (random() % 4 && QByteArray(piece) == "name=\"open")
                    continue;
                text += piece;
                if (l + 1 < lines || random() % 2)
                    text += crlf ? "\r\n" : "\n";
            }
            // A file of its own each: QSettings keeps what it read of a path.
            const QString before = QString("/data/before%1.ini").arg(n), after_set = QString("/data/after%1.ini").arg(n);
            env->write_file(before, text);
            IniText mine(text);
            QSettings theirs(env->path(before), QSettings::IniFormat);
            for (const char *key : kKeys) {
                const QVariant a = mine.value("config", key), b = theirs.value(QString("config/") + key);
                QVERIFY2(a == b && a.userType() == b.userType(), qPrintable(QString(key) + " in\n" + text.toPercentEncoding(" =[];,\"\\\n")));
            }
            const char *key = kKeys[random() % 8];
            const QString value = QString::fromUtf8(values[random() % 10]);
            const bool read_back = mine.set_value("config", key, value);
            env->write_file(after_set, mine.text());
            QSettings after(env->path(after_set), QSettings::IniFormat);
            QCOMPARE(after.value(QString("config/") + key) == value, read_back);
            QVERIFY(read_back || mine.open_quote_line() || QByteArray(text).contains("\"open"));
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
    // and a save replaces the file with one that holds every setting, never fewer, or merges
    // into a file put there since. The addresses set are then what the port is set to.
    void unreadable_file_data()
    {
        kor_columns<QString, QByteArray, QByteArray>({"kind", "later", "after"});
        const QByteArray sets = "IPAddress=10.0.0.7\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n";
        const QByteArray whole = "[config]\nTcpPort=5005\nUdpPort=5008\n" + sets + "usbupgradedir=\" \"\nlcdlangvalid=31\nagecode=1688\n";
        QTest::newRow("over the size bound") << "large" << QByteArray() << whole;
        QTest::newRow("a FIFO") << "fifo" << QByteArray() << whole;
        QTest::newRow("a FIFO, a file put there since")
            << "fifo" << QByteArray("[config]\nagecode=42\n") << "[config]\nagecode=42\n" + sets;
    }
    void unreadable_file()
    {
        QFETCH(QByteArray, later);
        if (kor_data<QString>("kind") == "fifo") {
            QDir().mkpath(env->path("/data/configs"));
            QCOMPARE(::mkfifo(QFile::encodeName(env->path(kIni)).constData(), 0644), 0);
        } else {
            env->write_file(kIni, "[config]\nIPAddress=10.1.2.3\n" + QByteArray(1100 * 1024, ';'));
        }
        kor_core_start();
        QCOMPARE(env->commands(), std::vector<std::string>{"ifconfig eth0 >/dev/null 2>&1"});
        if (!later.isEmpty()) {
            QVERIFY(QFile::remove(env->path(kIni)));
            env->write_file(kIni, later);
        }
        set_all({"IPAddress=10.0.0.7", "SubNetMask=255.0.0.0", "GateWay=10.0.0.1"});
        QTEST(env->read_file(kIni), "after");
        env->shell()->clear();
        Utils::initIPAddress();
        QVERIFY(ran(*env, "ifconfig eth0 10.0.0.7 netmask 255.0.0.0"));
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

    // Only an address of four decimal octets goes into a network command; a command that
    // would take anything else is not run, and the panel still shows what the file holds.
    void file_values_never_reach_the_shell_as_code_data()
    {
        kor_columns<QByteArray, QStringList>({"file", "commands"});
        QTest::newRow("shell code in all three")
            << QByteArray("IPAddress=\"1.2.3.4;touch /tmp/x;\"\nSubNetMask=255.255.255.0 && reboot\nGateWay=$(rm -rf /data)\n")
            << joined({kProbe, kBroadcast});
        QTest::newRow("a bad gateway only")
            << QByteArray("IPAddress=10.0.0.2\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1 metric 1\n")
            << joined({kProbe, {"ifconfig eth0 10.0.0.2 netmask 255.0.0.0", "route add -host 10.0.0.2 dev eth0"}, kBroadcast});
        QTest::newRow("a bad mask only")
            << QByteArray("IPAddress=10.0.0.2\nSubNetMask=255.0.0\nGateWay=10.0.0.1\n")
            << joined({kProbe, {"route add -host 10.0.0.2 dev eth0", "route add default gw 10.0.0.1 metric 100"}, kBroadcast});
        for (const char *ip : {"10.0.0.256", "\" 10.0.0.2\"", "10.0.0.2.5", "1e1.0.0.2", "-1.0.0.2", "10.0.0.2\\n"})
            QTest::newRow(ip) << QByteArray("IPAddress=") + ip + "\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n"
                              << joined({kProbe, {"route add default gw 10.0.0.1 metric 100"}, kBroadcast});
        QTest::newRow("leading zeros go out plain")
            << QByteArray("IPAddress=010.000.002.009\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\n")
            << joined({kProbe, {"ifconfig eth0 10.0.2.9 netmask 255.0.0.0", "route add -host 10.0.2.9 dev eth0",
                                "route add default gw 10.0.0.1 metric 100"}, kBroadcast});
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
