#pragma once
#include <QVariant>
#include <cstdint>
#include <memory>
#include <mutex>

class TableSaver;

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

// Named settings in "/data/configs/tcpip.ini", group "config". The file is shared with the
// rest of the system, which keeps settings there this program does not model and reads it
// with QSettings: a save changes the lines of the keys changed here and keeps every other
// byte as it found it. A file that could not be read whole is never written, nor one that
// would grow past what can be read back; a value no reader would see stays unsaved.
class ConfigEngine {
public:
    static ConfigEngine *p_config;
    static ConfigEngine *pInstance();
    static void destroy_instance();  // tests

    QVariant read_config(ConfigItem::ConfigName item) const;
    // Sets the setting and writes it to the file. A write that fails is traced and tried
    // again on its own (with a growing back-off) and with the next change; saved() tells
    // whether the file holds every setting changed here.
    void write_config_variant(ConfigItem::ConfigName item, const QVariant &value);
    bool saved() const;
    // Whether the value is a default that stands in for a file that could not be read.
    bool stands_in(ConfigItem::ConfigName item) const;

    static QString key_of(ConfigItem::ConfigName item);

private:
    ConfigEngine();
    ~ConfigEngine();
    void load();
    // Writes the changed settings; true when the file holds them all.
    bool save();

    mutable std::mutex m_mutex;   // m_values, m_changed
    std::mutex m_save_mutex;      // one save at a time, so the newest values are written last
    QVariant m_values[ConfigItem::ConfigCount];
    uint32_t m_changed = 0;       // bit i: item i set here and not yet in the file
    uint32_t m_stand_in = 0;      // bit i: item i unknown, the file could not be read
    std::unique_ptr<TableSaver> m_retry;  // last: goes first, trying what is pending once more
};
