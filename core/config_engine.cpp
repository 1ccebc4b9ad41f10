#include "core/config_engine.h"

#include "core/global.h"
#include "core/ini_text.h"
#include "core/singleton.h"
#include "core/table_saver.h"
#include "core/utils.h"
#include "platform/data_root.h"

namespace {
struct ItemInfo {
    const char *key;
    const char *fallback;
};
// Keys as stored in the INI file, with the value used when the file lacks one.
const ItemInfo kItems[ConfigItem::ConfigCount] = {
    {"config/TcpPort", "5005"},
    {"config/UdpPort", "5008"},
    {"config/IPAddress", "192.168.0.100"},
    {"config/SubNetMask", "255.255.255.0"},
    {"config/GateWay", "192.168.0.1"},
    {"config/usbupgradedir", " "},
    {"config/lcdlangvalid", "31"},
    {"config/agecode", "1688"},
};
const char kIniPath[] = "/data/configs/tcpip.ini";
const char kGroup[] = "config";
// Far above any plausible settings file, and still cheap to hold and parse.
constexpr qint64 kIniMaxBytes = 1024 * 1024;

QString group_key(int item)
{
    return QString::fromLatin1(kItems[item].key + sizeof kGroup);
}

void trace_open_quote(const IniText &ini)
{
    if (ini.open_quote_line())
        kor_trace("%s: a quote opened on line %d is never closed: the rest of the file is one value\n", kIniPath,
                  ini.open_quote_line());
}
}

ConfigEngine *ConfigEngine::p_config = nullptr;

ConfigEngine *ConfigEngine::pInstance()
{
    return kor_singleton(p_config, KorSingletons::kSettings, destroy_instance, [] {
        ConfigEngine *engine = new ConfigEngine;
        // The ageing log starts empty with every start of the program.
        factoryage_log.clear();
        return engine;
    });
}

void ConfigEngine::destroy_instance()
{
    delete p_config;
    p_config = nullptr;
}

ConfigEngine::ConfigEngine() : m_retry(new TableSaver([this](const QByteArray &) { return save(); }))
{
    load();
}

ConfigEngine::~ConfigEngine() = default;

QString ConfigEngine::key_of(ConfigItem::ConfigName item)
{
    if (item < 0 || item >= ConfigItem::ConfigCount)
        return QString();
    return QString::fromLatin1(kItems[item].key);
}

void ConfigEngine::load()
{
    QByteArray text;
    const Utils::ReadResult read = Utils::read_file_bounded(QString::fromLatin1(kIniPath), kIniMaxBytes, &text);
    QVariant values[ConfigItem::ConfigCount];
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        values[i] = QString::fromUtf8(kItems[i].fallback);
    uint32_t stand_in = 0;
    if (read == Utils::ReadOk) {
        const IniText ini(text);
        trace_open_quote(ini);
        for (int i = 0; i < ConfigItem::ConfigCount; ++i) {
            const QVariant v = ini.value(QString::fromLatin1(kGroup), group_key(i));
            if (v.isValid())
                values[i] = v;
            else if (ini.contains(QString::fromLatin1(kGroup), group_key(i)))
                kor_trace("%s: %s holds no value: %s used\n", kIniPath, kItems[i].key, kItems[i].fallback);
        }
    } else if (read != Utils::ReadMissing) {
        // Whatever the file holds is unknown: the defaults only stand in for it.
        kor_trace("%s unreadable (%d): defaults stand in for its settings\n", kIniPath, int(read));
        stand_in = (1u << ConfigItem::ConfigCount) - 1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        m_values[i] = values[i];
    m_stand_in = stand_in;
    kor_set_usb_grade_path(m_values[ConfigItem::UsbUpgradeDir].toString().toStdString());
    bool ok = false;
    const int langs = m_values[ConfigItem::LcdLangValid].toString().toInt(&ok);
    g_lcd_lang_valid = ok ? uint8_t(langs & 0x1F) : uint8_t(0x1F);
}

QVariant ConfigEngine::read_config(ConfigItem::ConfigName item) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (item < 0 || item >= ConfigItem::ConfigCount)
        return QVariant();
    return m_values[item];
}

void ConfigEngine::write_config_variant(ConfigItem::ConfigName item, const QVariant &value)
{
    if (item < 0 || item >= ConfigItem::ConfigCount)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_values[item] = value;
        m_changed |= 1u << item;
        m_stand_in &= ~(1u << item);
    }
    if (item == ConfigItem::UsbUpgradeDir)
        kor_set_usb_grade_path(value.toString().toStdString());
    if (!save())
        m_retry->submit_retry(QByteArray());
}

bool ConfigEngine::saved() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_changed == 0;
}

bool ConfigEngine::stands_in(ConfigItem::ConfigName item) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return item >= 0 && item < ConfigItem::ConfigCount && (m_stand_in & (1u << item));
}

bool ConfigEngine::save()
{
    std::lock_guard<std::mutex> save_lock(m_save_mutex);
    QVariant values[ConfigItem::ConfigCount];
    uint32_t changed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (int i = 0; i < ConfigItem::ConfigCount; ++i)
            values[i] = m_values[i];
        changed = m_changed;
    }
    if (changed == 0)
        return true;
    // Set in what the file holds now: only the changed keys' lines change. A file that
    // could not be read whole is never replaced: what it holds is unknown.
    QByteArray text;
    const Utils::ReadResult read = Utils::read_file_bounded(QString::fromLatin1(kIniPath), kIniMaxBytes, &text);
    if (read != Utils::ReadOk && read != Utils::ReadMissing) {
        kor_trace("%s not saved: it could not be read whole (%d), and is left as it is\n", kIniPath, int(read));
        return false;
    }
    IniText ini(text);
    uint32_t in_text = 0;
    for (int i = 0; i < ConfigItem::ConfigCount; ++i) {
        if (!(changed & (1u << i)))
            continue;
        if (ini.set_value(QString::fromLatin1(kGroup), group_key(i), values[i])) {
            in_text |= 1u << i;
        } else {
            // A value no reader would see is not saved: it stays pending until the file is mended.
            kor_trace("%s: %s not saved, the lines before it would hide it from readers\n", kIniPath, kItems[i].key);
            trace_open_quote(ini);
        }
    }
    bool ok = true;
    if (ini.text() != text) {
        // Any larger and the next start could not read it, nor any save after.
        if (ini.text().size() > kIniMaxBytes) {
            kor_trace("%s not saved: it would grow past %lld bytes\n", kIniPath, static_cast<long long>(kIniMaxBytes));
            ok = false;
        } else {
            ok = Utils::write_file_atomic(QString::fromLatin1(kIniPath), ini.text());
        }
    }
    if (!ok) {
        kor_trace("%s not saved: tried again shortly\n", kIniPath);
        in_text = 0;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    // A change made meanwhile stays to be saved.
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        if ((in_text & (1u << i)) && values[i] == m_values[i])
            m_changed &= ~(1u << i);
    return in_text == changed;
}
