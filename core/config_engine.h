#pragma once
#include <QMutex>
#include <QVariant>

namespace ConfigItem {
enum ConfigName {
    TcpPort = 0,
    UdpPort = 1,
    IPAddress = 2,
    SubNetMask = 3,
    GateWay = 4,
    UsbUpgradeDir = 5,
    LcdLangValid = 6,
    AgeAccessCode = 7,
    ConfigCount
};
}

// Named settings in "/data/configs/tcpip.ini", group "config".
class ConfigEngine {
public:
    static ConfigEngine *p_config;
    static ConfigEngine *pInstance();
    static void destroy_instance();  // tests

    QVariant read_config(ConfigItem::ConfigName item) const;
    void write_config_variant(ConfigItem::ConfigName item, const QVariant &value);

    static QString key_of(ConfigItem::ConfigName item);

private:
    ConfigEngine();
    void load();
    void save();

    mutable QMutex m_mutex;
    QVariant m_values[ConfigItem::ConfigCount];
};
