#pragma once
#include "fpga/pack_formats.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <climits>
#include <mutex>
#include <vector>

// The pack-file reader: lists pack directories and reads the smart-mapping and recovery
// packs (formats in fpga/pack_formats.h). Paths are board paths ("/data/rcvrecovery/...");
// the reader resolves them under the data root. The file list is shared by the GUI thread
// and the FPGA worker, so it is kept under a lock and handed out as a copy.
class rcvRecovery {
public:
    // Board paths of the files in board directory `dir` that `filters` lets through (by default
    // regular files, links left out), in directory order unless `sort` says otherwise; only
    // those with one of `suffixes` when any are given; at most `limit` of them. Every pack and
    // package directory is listed this way.
    static QStringList list_files(const QString &dir, const QStringList &suffixes = QStringList(),
                                  int limit = INT_MAX, QDir::Filters filters = QDir::Files | QDir::NoSymLinks,
                                  QDir::SortFlags sort = QDir::Unsorted);

    // Lists the regular files of dir (symbolic links left out, directory order) into the
    // file list. 0 on success, 1 when the directory cannot be listed (the list is then empty).
    int get_dir_file(const QString &dir);
    QStringList file_list() const;
    int file_count() const;

    // True when the file is a whole, checked pack.
    static bool read_mapping_pack(const QString &path, MappingPack *pack, QString *error = nullptr);
    // The screens of the recovery packs in dir, files taken in name order; true when there is at
    // least one and every one was read. Screens are numbered across the files, so one pack
    // that cannot be read (missing, not a regular file, too large, corrupt) refuses them all.
    static bool read_recovery_dir(const QString &dir, std::vector<RecoveryScreen> *screens,
                                  QString *error = nullptr);

    // A path that already lies under the data root is used as it is; a board path is
    // resolved under it.
    static QString resolve(const QString &path);

private:
    mutable std::mutex m_mutex;
    QStringList m_files;
};
