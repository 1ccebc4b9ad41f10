// Starts the program offscreen on an empty data root, lets it settle, and prints the share
// of one core it uses at rest (user + system time from /proc over the measuring window).
//   bench_idle_cpu [path/to/korZ73N] [seconds]
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

static long cpu_ticks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return f.value(11).toLong() + f.value(12).toLong();  // utime + stime
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/korZ73N");
    const int seconds = argc > 2 ? atoi(argv[2]) : 30;
    QTemporaryDir root;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KOR_ROOT", root.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, QStringList());
    if (!p.waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return 1;
    }
    QThread::sleep(3);
    const long t0 = cpu_ticks(p.processId());
    QThread::sleep(seconds);
    const long t1 = cpu_ticks(p.processId());
    p.kill();
    p.waitForFinished(5000);
    if (t0 < 0 || t1 < 0) {
        std::fprintf(stderr, "program ended early\n");
        return 1;
    }
    const double share = 100.0 * double(t1 - t0) / double(sysconf(_SC_CLK_TCK) * seconds);
    std::printf("idle cpu: %.2f%% of one core over %d s\n", share, seconds);
    return 0;
}
