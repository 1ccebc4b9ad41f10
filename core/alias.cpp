#include "core/alias.h"

#include "core/json_file.h"
#include "platform/data_root.h"

#include <QFile>
#include <boost/property_tree/ptree.hpp>
#include <mutex>
#include <sys/stat.h>

namespace {
const char kAliasPath[] = "/data/configs/alias.json";

// What identifies one version of the file: a new file (renamed into place) has a new
// inode, a rewrite in place a new size or time.
struct FileStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{0, 0};
    timespec ctime{0, 0};
    bool operator==(const FileStamp &o) const
    {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

// The file stays parsed until it changes: a page names up to seven inputs as it opens.
struct AliasCache {
    std::mutex mutex;
    bool known = false;
    FileStamp stamp;
    bool parsed = false;
    boost::property_tree::ptree root;
};
AliasCache s_cache;
}

int get_json_alias_para(ALIAS_PARA *out, std::string list, int id)
{
    if (!out)
        return 0;
    struct stat st;
    if (::stat(QFile::encodeName(kor_path(QString::fromLatin1(kAliasPath))).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return 0;
    FileStamp stamp;
    stamp.dev = st.st_dev;
    stamp.ino = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtime = st.st_mtim;
    stamp.ctime = st.st_ctim;

    std::lock_guard<std::mutex> lock(s_cache.mutex);
    if (!s_cache.known || !(s_cache.stamp == stamp)) {
        s_cache.root.clear();
        s_cache.parsed = kor_read_json(QString::fromLatin1(kAliasPath), &s_cache.root);
        s_cache.stamp = stamp;
        s_cache.known = true;
    }
    if (!s_cache.parsed)
        return 0;
    namespace pt = boost::property_tree;
    const auto names = s_cache.root.get_child_optional(list + ".namelist");
    if (!names)
        return 0;
    for (const auto &entry : *names) {
        const pt::ptree &e = entry.second;
        if (e.get<int>("id", -1) != id)
            continue;
        out->id = id;
        out->name = e.get<std::string>("name", "");
        out->valid = e.get<std::string>("valid", "on");
        return (out->valid != "off" && !out->name.empty()) ? 1 : 0;
    }
    return 0;
}
