#pragma once
// Sections of a benchmark program that bench/run-all counts with callgrind: the counters are
// zeroed where a section starts and dumped, with the section's name, where it ends. Outside
// valgrind the requests do nothing.
#include <QCoreApplication>
#include <QEvent>
#include <valgrind/callgrind.h>

// Runs what is pending (posted events, deferred deletes, the repaint they asked for) until
// nothing is left.
inline void bench_settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Counts `action` run `times` times, then what it left pending; bench/run-all divides by
// `times` (the dump is named "<name>*<times>").
template <class F>
void bench_section(const char *name, F &&action, int times = 1)
{
    bench_settle();
    const QByteArray label = QByteArray(name) + '*' + QByteArray::number(times);
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < times; ++i) {
        action();
        bench_settle();
    }
    CALLGRIND_DUMP_STATS_AT(label.constData());
}
