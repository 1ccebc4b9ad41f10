#include "core/utils.h"

#include "core/config_engine.h"
#include "core/global.h"
#include "platform/data_root.h"
#include "platform/shell_runner.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <chrono>
#include <thread>

QMutex Utils::_system_mutex;
QMutex Utils::_file_deal_mutex;
QMutex Utils::_led_para_init_mutex;
QMutex Utils::_spi_mutex;
QMutex Utils::_bri_set_mutex;
QMutex Utils::_source_hdminfo_mutex;

int Utils::system_mutex(const QString &command, int *status)
{
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

void Utils::initIPAddress()
{
    // A plain redirect: "&>" would background the command in a POSIX shell and always succeed.
    if (system_mutex(QStringLiteral("ifconfig eth0 >/dev/null 2>&1")) != 0)
        return;
    getIPAddress();
    const QString ip = QString::fromStdString(g_str_ip);
    const QString mask = QString::fromStdString(g_srt_mask);
    const QString gw = QString::fromStdString(g_str_gateway);
    system_mutex(QStringLiteral("route del default wlan0"));
    system_mutex(QStringLiteral("ifconfig eth0 %1 netmask %2").arg(ip, mask));
    system_mutex(QStringLiteral("route add -host %1 dev eth0").arg(ip));
    system_mutex(QStringLiteral("route add default gw %1 metric 100").arg(gw));
    system_mutex(QStringLiteral("route add -host 255.255.255.255 eth0"));
    system_mutex(QStringLiteral("route del 255.255.255.255 wlan1"));
}

bool Utils::write_file_atomic(const QString &board_path, const QByteArray &data)
{
    QMutexLocker lock(&_file_deal_mutex);
    const QString path = kor_path(board_path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    // QSaveFile fsyncs before the rename on commit.
    return file.commit();
}
