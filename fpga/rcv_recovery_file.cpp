#include "fpga/rcv_recovery_file.h"

#include "core/global.h"
#include "platform/data_root.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// Packs are small; anything larger is not one of ours.
constexpr qint64 kPackFileMax = 8 << 20;

QByteArray read_small_file(const QString &path, bool *ok)
{
    const QString file_path = rcvRecovery::resolve(path);
    QFile f(file_path);
    *ok = false;
    // Only a regular file is opened: a FIFO would block the reader.
    if (!QFileInfo(file_path).isFile() || !f.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray bytes = f.read(kPackFileMax + 1);
    *ok = bytes.size() <= kPackFileMax;
    return *ok ? bytes : QByteArray();
}
}

QString rcvRecovery::resolve(const QString &path)
{
    const QString root = kor_root();
    if (root != QLatin1String("/")) {
        QString r = root;
        while (r.endsWith(QLatin1Char('/')))
            r.chop(1);
        if (path == r || path.startsWith(r + QLatin1Char('/')))
            return path;
    }
    return kor_path(path);
}

QStringList rcvRecovery::list_files(const QString &dir, const QStringList &suffixes, int limit,
                                    QDir::Filters filters, QDir::SortFlags sort)
{
    QStringList found;
    if (limit <= 0)
        return found;
    QString base = dir;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QFileInfoList entries = QDir(kor_path(dir)).entryInfoList(filters, sort);
    for (const QFileInfo &fi : entries) {
        if (!suffixes.isEmpty() && !suffixes.contains(fi.suffix()))
            continue;
        found << base + QLatin1Char('/') + fi.fileName();
        if (found.size() >= limit)
            break;
    }
    return found;
}

int rcvRecovery::get_dir_file(const QString &dir)
{
    const int result = QDir(kor_path(dir)).exists() ? 0 : 1;
    const QStringList found = list_files(dir);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files = found;
    return result;
}

QStringList rcvRecovery::file_list() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files;
}

int rcvRecovery::file_count() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files.size();
}

bool rcvRecovery::read_mapping_pack(const QString &path, MappingPack *pack, QString *error)
{
    bool ok;
    const QByteArray file = read_small_file(path, &ok);
    if (!ok) {
        if (error)
            *error = QStringLiteral("cannot read");
        return false;
    }
    return decode_mapping_pack(file, pack, error);
}

bool rcvRecovery::read_recovery_dir(const QString &dir, std::vector<RecoveryScreen> *screens, QString *error)
{
    QString why;
    std::vector<RecoveryScreen> all;
    // Not only regular files: anything else there refuses the check.
    const QStringList files = list_files(dir, QStringList(), INT_MAX, QDir::Files | QDir::System | QDir::NoSymLinks,
                                         QDir::Name);
    if (files.isEmpty())
        why = QStringLiteral("no pack");
    for (const QString &path : files) {
        bool ok;
        const QByteArray file = read_small_file(path, &ok);
        std::vector<RecoveryScreen> part;
        QString pack_error = QStringLiteral("cannot read");
        if (!ok || !decode_recovery_pack(file, &part, &pack_error)) {
            why = QFileInfo(path).fileName() + QStringLiteral(": ") + pack_error;
            break;
        }
        all.insert(all.end(), part.begin(), part.end());
    }
    if (error)
        *error = why;
    if (!why.isEmpty())
        return false;
    if (screens)
        *screens = std::move(all);
    return true;
}
