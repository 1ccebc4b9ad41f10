#include "core/table_map.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <linux/input.h>

namespace {
// The names of the program's threads, as /proc shows them.
QStringList thread_names(qint64 pid)
{
    QStringList names;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + '/' + task + "/comm");
        if (comm.open(QIODevice::ReadOnly))
            names << QString::fromLocal8Bit(comm.readAll()).trimmed();
    }
    return names;
}

// A key as the kernel hands it to the program: pressed (1) or released (0).
QByteArray key_event(int code, int value)
{
    input_event e = {};
    e.type = EV_KEY;
    e.code = quint16(code);
    e.value = value;
    return QByteArray(reinterpret_cast<const char *>(&e), sizeof e);
}

QByteArray key_stroke(int code) { return key_event(code, 1) + key_event(code, 0); }
}

// Starts the real program offscreen on an empty root and checks it comes up, writes its table
// file, has every service's worker running and notices a USB stick; and that a SIGTERM ends
// it only once a change it held back is on flash.
class TestSmoke : public QObject {
    Q_OBJECT
private slots:
    void starts_and_writes_its_table()
    {
        QTemporaryDir root;
        // The stick's mount point is there, the stick not yet.
        QVERIFY(QDir(root.path()).mkpath("mnt"));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KOR_ROOT", root.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QString::fromLocal8Bit(qgetenv("KOR_BIN_DIR")) + "/korZ73N", QStringList());
        QVERIFY(program.waitForStarted(10000));
        const QString table = root.path() + "/data/ram_device_info";
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(table), 15000);

        // The FPGA, scaler and input-source workers, the WiFi access point's and the USB-disk
        // watcher: each started once the panel is up.
        const QStringList services{"kor-fpga", "kor-scaler", "kor-input", "kor-wifi", "kor-usb"};
        QStringList missing = services;
        const auto all_running = [&] {
            const QStringList names = thread_names(program.processId());
            missing.clear();
            for (const QString &s : services)
                if (names.count(s) != 1)
                    missing << s;
            return missing.isEmpty();
        };
        QTRY_VERIFY2_WITH_TIMEOUT(all_running(), qPrintable("not running: " + missing.join(' ')), 10000);

        // A stick put in is noticed.
        QByteArray output;
        const auto said = [&](const char *line) {
            output += program.readAll();
            return output.contains(line);
        };
        QVERIFY(!said("usb: disk added"));
        QVERIFY(QDir(root.path()).mkpath("mnt/usb1"));
        QTRY_VERIFY_WITH_TIMEOUT(said("usb: disk added"), 5000);

        QCOMPARE(program.state(), QProcess::Running);
        QFile f(table);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size(), 2 + 3328);
        QCOMPARE(uint8_t(bytes[0]), uint8_t(0xAA));
        QCOMPARE(uint8_t(bytes[1]), uint8_t(0xAA));
        program.kill();
        program.waitForFinished(5000);
    }

    // A shutdown from outside (SIGTERM) right after a change still held back for the flash:
    // the change reaches the table file and the program ends by its own way out, not killed.
    void sigterm_writes_a_change_first()
    {
        QTemporaryDir root;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KOR_ROOT", root.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // The key board's input events come through standard input, as the kernel gives them.
        env.insert("QT_QPA_GENERIC_PLUGINS", "evdevkeyboard:/dev/stdin");
        env.remove("QT_QPA_EVDEV_KEYBOARD_PARAMETERS");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QString::fromLocal8Bit(qgetenv("KOR_BIN_DIR")) + "/korZ73N", QStringList());
        QVERIFY(program.waitForStarted(10000));
        QByteArray output;
        const auto said = [&](const char *line) {
            output += program.readAll();
            return output.contains(line);
        };
        // Keys go nowhere until the panel is up and has them: back, on the home screen, until
        // one is seen.
        QTRY_VERIFY_WITH_TIMEOUT((program.write(key_stroke(KEY_O)), said("this is back button(")), 15000);
        const QString table = root.path() + "/data/ram_device_info";
        QFile before(table);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const int black = 2 + KorTable::Window::offset(0, KorTable::Window::kBlack) - KorTable::kStoredBegin;
        QCOMPARE(int(before.readAll().at(black)), 0);

        // The key board's P blacks the output (a stored setting); OK's press then says the P
        // was taken.
        program.write(key_stroke(KEY_P) + key_event(KEY_Q, 1));
        QTRY_VERIFY_WITH_TIMEOUT(said("this is OK button("), 10000);
        QCOMPARE(::kill(pid_t(program.processId()), SIGTERM), 0);
        QVERIFY(program.waitForFinished(10000));
        said("");
        QVERIFY2(output.contains("signal 15: writing what is pending, then quitting"), output.right(600).constData());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QFile after(table);
        QVERIFY(after.open(QIODevice::ReadOnly));
        const QByteArray bytes = after.readAll();
        QCOMPARE(bytes.size(), 2 + KorTable::kStoredSize);
        QCOMPARE(int(bytes.at(black)), 1);
    }
};

QTEST_MAIN(TestSmoke)
#include "test_smoke.moc"
