#include "platform/kor_clock.h"

#include <mutex>

namespace {
std::mutex g_clock_mutex;  // a std::mutex so ThreadSanitizer sees it
QDateTime g_fixed;
}

QDateTime kor_now()
{
    std::lock_guard<std::mutex> lock(g_clock_mutex);
    if (g_fixed.isValid())
        return g_fixed;
    return QDateTime::currentDateTime();
}

void kor_clock_set_fixed(const QDateTime &when)
{
    std::lock_guard<std::mutex> lock(g_clock_mutex);
    g_fixed = when;
}
