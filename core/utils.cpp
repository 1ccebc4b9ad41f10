#include "core/utils.h"

#include "core/config_engine.h"
#include "core/global.h"
#include "core/table_saver.h"
#include "platform/data_root.h"
#include "platform/shell_runner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

QMutex Utils::_system_mutex;
QMutex Utils::_file_deal_mutex;
QMutex Utils::_led_para_init_mutex;
QMutex Utils::_spi_mutex;
QMutex Utils::_bri_set_mutex;
QMutex Utils::_source_hdminfo_mutex;

int Utils::system_mutex(const QString &command, int *status)
{
    // The program ends only by a reboot it runs itself: what the saver holds goes first.
    if (command.startsWith(QLatin1String("reboot")))
        TableSaver::flush_all();
    QMutexLocker lock(&_system_mutex);
    const int st = shell_runner().run(command.toStdString());
    if (status)
        *status = st;
    return st == 0 ? 0 : 255;
}

int Utils::popen_mutex(const QString &command, QString *output, int *status)
{
    QMutexLocker lock(&_system_mutex);
    std::string out;
    const int st = shell_runner().run(command.toStdString(), &out);
    if (output)
        *output = QString::fromStdString(out);
    if (status)
        *status = st;
    return st == 0 ? 0 : 255;
}

void Utils::usleep_mutex(unsigned us)
{
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

void Utils::msleep_mutex(unsigned ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t Utils::getTimeSpace(uint32_t since)
{
    return G_timeTicks.load(std::memory_order_relaxed) - since;
}

uint8_t Utils::BCC(const uint8_t *data, int len)
{
    uint8_t x = 0;
    for (int i = 0; i < len; ++i)
        x ^= data[i];
    return x;
}

void Utils::getIPAddress()
{
    ConfigEngine *cfg = ConfigEngine::pInstance();
    g_str_ip = cfg->read_config(ConfigItem::IPAddress).toString().toStdString();
    g_srt_mask = cfg->read_config(ConfigItem::SubNetMask).toString().toStdString();
    g_str_gateway = cfg->read_config(ConfigItem::GateWay).toString().toStdString();
}

QString Utils::decimal_octet(const QString &text)
{
    if (text.isEmpty() || text.size() > 3)
        return QString();
    int value = 0;
    for (const QChar c : text) {
        if (c.unicode() < '0' || c.unicode() > '9')
            return QString();
        value = value * 10 + (c.unicode() - '0');
    }
    return value > 255 ? QString() : QString::number(value);
}

QString Utils::dotted_quad(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return QString();
    QStringList octets;
    for (const QString &part : parts) {
        octets << decimal_octet(part);
        if (octets.last().isNull())
            return QString();
    }
    return octets.join(QLatin1Char('.'));
}

void Utils::initIPAddress()
{
    // A plain redirect: "&>" would background the command in a POSIX shell and always succeed.
    if (system_mutex(QStringLiteral("ifconfig eth0 >/dev/null 2>&1")) != 0)
        return;
    getIPAddress();
    // getIPAddress made the engine.
    const ConfigEngine *cfg = ConfigEngine::p_config;
    for (const ConfigItem::ConfigName item : {ConfigItem::IPAddress, ConfigItem::SubNetMask, ConfigItem::GateWay})
        if (cfg->stands_in(item)) {
            // The port keeps the address it has rather than take defaults for one unknown.
            kor_trace("eth0 left as it is: the network settings could not be read\n");
            return;
        }
    // Only addresses reach the command lines, and a set-up half done (the default route
    // gone, no address) is worse than none: one bad value leaves the port as it is.
    QString quads[3];
    const std::string *stored[3] = {&g_str_ip, &g_srt_mask, &g_str_gateway};
    for (int i = 0; i < 3; ++i) {
        quads[i] = dotted_quad(QString::fromStdString(*stored[i]));
        if (quads[i].isNull()) {
            kor_trace("eth0 left as it is: \"%s\" is not an address\n", stored[i]->c_str());
            return;
        }
    }
    const QString &ip = quads[0], &mask = quads[1], &gw = quads[2];
    system_mutex(QStringLiteral("route del default wlan0"));
    system_mutex(QStringLiteral("ifconfig eth0 %1 netmask %2").arg(ip, mask));
    system_mutex(QStringLiteral("route add -host %1 dev eth0").arg(ip));
    system_mutex(QStringLiteral("route add default gw %1 metric 100").arg(gw));
    system_mutex(QStringLiteral("route add -host 255.255.255.255 eth0"));
    system_mutex(QStringLiteral("route del 255.255.255.255 wlan1"));
}

namespace {
std::atomic<int> s_files_read{0};

bool write_all(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

void trace_failed(const char *what, const QByteArray &path)
{
    kor_trace("%s %s: %s\n", what, path.constData(), std::strerror(errno));
}

// The writer's temporaries: "<file>.korsave-" and six letters or digits (mkostemp's).
const char kTemporaryMark[] = ".korsave-";

QByteArray real_path(const QByteArray &path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) ? QByteArray(resolved) : QByteArray();
}

// Whether the folder `dir` (a real path under the root), once it and the folders it lacks are
// made, lies inside the data root: no link on the way leads out of it. The data root itself
// may be a link (a mount elsewhere); what lies under it may not leave it.
bool inside_data_root(const QString &board_path, const QString &dir)
{
    if (!board_path.startsWith(QLatin1String("/data/")) || board_path.contains(QLatin1String("/../")))
        return false;
    const QString root_path = kor_path(QStringLiteral("/data"));
    QDir().mkpath(root_path);
    const QByteArray root = real_path(QFile::encodeName(root_path));
    if (root.isEmpty())
        return false;
    // The deepest part of the way that exists already, as a link or not.
    QByteArray probe = QFile::encodeName(QDir::cleanPath(dir));
    struct stat st;
    while (::lstat(probe.constData(), &st) != 0) {
        const int slash = probe.lastIndexOf('/');
        if (errno != ENOENT || slash <= 0)
            return false;
        probe.truncate(slash);
    }
    const QByteArray real = real_path(probe);
    return !real.isEmpty() && (real == root || real.startsWith(root + '/'));
}

bool refuse_outside(const QString &board_path, const QString &dir)
{
    if (inside_data_root(board_path, dir))
        return false;
    kor_trace("refused: %s leads out of the data root\n", qPrintable(board_path));
    return true;
}
}

bool Utils::is_save_temporary(const QString &name, const QString &stored)
{
    static const QRegularExpression suffix(QStringLiteral("^[A-Za-z0-9]{6}$"));
    const QString prefix = stored + QLatin1String(kTemporaryMark);
    return name.startsWith(prefix) && suffix.match(name.midRef(prefix.size())).hasMatch();
}

bool Utils::write_file_atomic(const QString &board_path, const QByteArray &data)
{
    QMutexLocker lock(&_file_deal_mutex);
    const QString path = kor_path(board_path);
    const QFileInfo info(path);
    // Checked before the missing folders are made, and again once they are.
    if (refuse_outside(board_path, info.absolutePath()))
        return false;
    QDir().mkpath(info.absolutePath());
    if (refuse_outside(board_path, info.absolutePath()))
        return false;
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + kTemporaryMark + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        trace_failed("save failed, no temporary for", target);
        return false;
    }
    // An executable or a file made readable by others keeps its mode.
    struct stat old;
    const mode_t mode = ::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode) ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && write_all(fd, data.constData(), data.size()) && ::fsync(fd) == 0;
    if (!ok)
        trace_failed("save failed, writing", target);
    if (::close(fd) != 0 && ok) {
        trace_failed("save failed, closing", target);
        ok = false;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        trace_failed("save failed, renaming over", target);
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    // The rename itself reaches the flash with the directory.
    const int dir = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void Utils::remove_file(const QString &board_path)
{
    QMutexLocker lock(&_file_deal_mutex);
    const QString real = kor_path(board_path);
    if (refuse_outside(board_path, QFileInfo(real).absolutePath()))
        return;
    const QByteArray path = QFile::encodeName(real);
    if (::unlink(path.constData()) != 0 && errno != ENOENT)
        trace_failed("remove failed:", path);
}

Utils::ReadResult Utils::read_file_bounded(const QString &board_path, qint64 limit, QByteArray *out)
{
    out->clear();
    const QByteArray path = QFile::encodeName(kor_path(board_path));
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return errno == ENOENT ? ReadMissing : ReadFailed;
    if (!S_ISREG(st.st_mode))
        return ReadNotRegular;
    // Non-blocking in case something else was put there since.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadMissing : ReadFailed;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadNotRegular;
    }
    s_files_read.fetch_add(1, std::memory_order_relaxed);
    ReadResult result = ReadOk;
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            trace_failed("read failed:", path);
            result = ReadFailed;
            break;
        }
        if (n == 0)
            break;
        const qint64 room = limit - out->size();
        if (n > room) {
            out->append(buf, int(room));
            result = ReadTooLarge;
            break;
        }
        out->append(buf, int(n));
    }
    ::close(fd);
    if (result == ReadFailed)
        out->clear();
    return result;
}

int Utils::files_read()
{
    return s_files_read.load(std::memory_order_relaxed);
}
