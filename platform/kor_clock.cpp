#include "platform/kor_clock.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex g_clock_mutex;
QDateTime g_fixed;
}

QDateTime kor_now()
{
    QMutexLocker lock(&g_clock_mutex);
    if (g_fixed.isValid())
        return g_fixed;
    return QDateTime::currentDateTime();
}

void kor_clock_set_fixed(const QDateTime &when)
{
    QMutexLocker lock(&g_clock_mutex);
    g_fixed = when;
}
