#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
}

// Starts the real program offscreen on an empty root and checks it comes up, writes its table
// file, has every service's worker running and notices a USB stick.
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
};

QTEST_MAIN(TestSmoke)
#include "test_smoke.moc"
