#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Starts the real program offscreen on an empty root and checks it comes up and writes its
// table file.
class TestSmoke : public QObject {
    Q_OBJECT
private slots:
    void starts_and_writes_its_table()
    {
        QTemporaryDir root;
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
        QTest::qWait(500);
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
