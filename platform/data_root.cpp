#include "platform/data_root.h"

#include <QDir>
#include <mutex>

namespace {
std::mutex g_root_mutex;  // a std::mutex so ThreadSanitizer sees it
bool g_root_loaded = false;
QString g_root;
}

QString kor_root()
{
    std::lock_guard<std::mutex> lock(g_root_mutex);
    if (!g_root_loaded) {
        g_root = QString::fromLocal8Bit(qgetenv("KOR_ROOT"));
        if (g_root.isEmpty())
            g_root = QStringLiteral("/");
        g_root_loaded = true;
    }
    return g_root;
}

void kor_set_root(const QString &root)
{
    std::lock_guard<std::mutex> lock(g_root_mutex);
    g_root = root.isEmpty() ? QStringLiteral("/") : root;
    g_root_loaded = true;
    qputenv("KOR_ROOT", g_root.toLocal8Bit());
}

QString kor_path(const QString &board_path)
{
    const QString root = kor_root();
    if (root == QLatin1String("/"))
        return board_path;
    QString r = root;
    while (r.endsWith(QLatin1Char('/')))
        r.chop(1);
    if (board_path.startsWith(QLatin1Char('/')))
        return r + board_path;
    return r + QLatin1Char('/') + board_path;
}
