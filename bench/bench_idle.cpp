// At rest on the home screen: starts the program and the bare dialog side by side, offscreen,
// each on an empty data root, lets them settle, and prints for each its share of one core
// (time on a core of all its threads) and its wake-ups per second (voluntary and involuntary
// context switches of all its threads) over the same window, all from /proc.
//   bench_idle PROGRAM BASELINE [seconds]
// prints "program cpu %", "program wakeups /s", "baseline cpu %", "baseline wakeups /s".
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>

namespace {
struct Sample {
    bool alive = false;
    double cpu_ns = 0;  // on a core, all threads
    long switches = 0;
};

QByteArray read_proc(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

long status_field(const QByteArray &status, const QByteArray &name)
{
    const int at = status.indexOf('\n' + name + ':');
    if (at < 0)
        return 0;
    const int end = status.indexOf('\n', at + 1);
    return status.mid(at + name.size() + 2, end - at - name.size() - 2).trimmed().toLong();
}

Sample sample(qint64 pid)
{
    Sample s;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        // Nanoseconds on a core: finer than the clock ticks of /proc/PID/stat.
        const QByteArray schedstat = read_proc(tasks + '/' + tid + QStringLiteral("/schedstat"));
        const QByteArray status = read_proc(tasks + '/' + tid + QStringLiteral("/status"));
        if (schedstat.isEmpty())
            continue;
        s.alive = true;
        s.cpu_ns += schedstat.split(' ').value(0).toDouble();
        s.switches += status_field(status, "voluntary_ctxt_switches") + status_field(status, "nonvoluntary_ctxt_switches");
    }
    return s;
}

std::unique_ptr<QProcess> start(const QString &program, const QString &root)
{
    std::unique_ptr<QProcess> p(new QProcess);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KOR_ROOT"), root);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p->setProcessEnvironment(env);
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    p->start(program, QStringList());
    if (!p->waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return nullptr;
    }
    return p;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_idle PROGRAM BASELINE [seconds]\n");
        return 2;
    }
    const QString programs[2] = {QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2])};
    const char *const names[2] = {"program", "baseline"};
    const int seconds = argc > 3 ? atoi(argv[3]) : 30;
    QTemporaryDir roots[2];
    std::unique_ptr<QProcess> runs[2];
    for (int i = 0; i < 2; ++i)
        if (!(runs[i] = start(programs[i], roots[i].path())))
            return 1;
    QThread::sleep(3);
    Sample before[2], after[2];
    for (int i = 0; i < 2; ++i)
        before[i] = sample(runs[i]->processId());
    QThread::sleep(seconds);
    for (int i = 0; i < 2; ++i)
        after[i] = sample(runs[i]->processId());
    for (auto &p : runs) {
        p->kill();
        p->waitForFinished(5000);
    }
    for (int i = 0; i < 2; ++i) {
        if (!before[i].alive || !after[i].alive) {
            std::fprintf(stderr, "%s ended early\n", names[i]);
            return 1;
        }
        const double share = 100.0 * (after[i].cpu_ns - before[i].cpu_ns) / (1e9 * seconds);
        std::printf("%s cpu %.3f\n", names[i], share);
        std::printf("%s wakeups %.1f\n", names[i], double(after[i].switches - before[i].switches) / seconds);
    }
    return 0;
}
