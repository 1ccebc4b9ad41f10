#pragma once
#include <QVariant>
#include <mutex>

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
    // Sets the setting and writes all of them to the file. A write that fails is traced
    // and tried again with the next change; saved() tells whether the file holds them all.
    void write_config_variant(ConfigItem::ConfigName item, const QVariant &value);
    bool saved() const;

    static QString key_of(ConfigItem::ConfigName item);

private:
    ConfigEngine();
    void load();
    void save();

    mutable std::mutex m_mutex;   // m_values, m_saved
    std::mutex m_save_mutex;      // one save at a time, so the newest values are written last
    QVariant m_values[ConfigItem::ConfigCount];
    bool m_saved = true;
};
