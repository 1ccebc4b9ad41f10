#include "core/config_engine.h"

#include "core/global.h"
#include "core/singleton.h"
#include "core/table_saver.h"
#include "core/utils.h"
#include "platform/data_root.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

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
constexpr qint64 kIniMaxBytes = 64 * 1024;

// The INI text is made and read by QSettings in a scratch folder of its own: QSettings
// would write through a link and wait up to half a minute on a lock file a power cut left
// beside the real file, and it would block reading a FIFO there. `text` comes in as the
// file's text and goes out with the keys of `changed` set: every other key and group stays.
bool ini_merge(uint32_t changed, const QVariant (&values)[ConfigItem::ConfigCount], QByteArray *text)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const QString path = scratch.filePath(QStringLiteral("tcpip.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(*text) != text->size())
            return false;
    }
    {
        QSettings ini(path, QSettings::IniFormat);
        for (int i = 0; i < ConfigItem::ConfigCount; ++i)
            if (changed & (1u << i))
                ini.setValue(QString::fromLatin1(kItems[i].key), values[i]);
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = file.readAll();
    return true;
}

// Values of `text`, the fallback of each key it lacks (all of them when it is unusable).
void ini_decode(const QByteArray &text, QVariant (&values)[ConfigItem::ConfigCount])
{
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        values[i] = QString::fromUtf8(kItems[i].fallback);
    if (text.isEmpty())
        return;
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("tcpip.ini"));
    QFile file(path);
    if (!scratch.isValid() || !file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return;
    file.close();
    QSettings ini(path, QSettings::IniFormat);
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        values[i] = ini.value(QString::fromLatin1(kItems[i].key), values[i]);
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
    if (read != Utils::ReadOk && read != Utils::ReadMissing)
        kor_trace("%s unreadable (%d): defaults used\n", kIniPath, int(read));
    QVariant values[ConfigItem::ConfigCount];
    ini_decode(read == Utils::ReadOk ? text : QByteArray(), values);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        m_values[i] = values[i];
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
    // Merged into what the file holds now; a file that cannot be read is replaced.
    QByteArray text;
    const Utils::ReadResult read = Utils::read_file_bounded(QString::fromLatin1(kIniPath), kIniMaxBytes, &text);
    if (read != Utils::ReadOk) {
        if (read != Utils::ReadMissing)
            kor_trace("%s unreadable (%d): written anew\n", kIniPath, int(read));
        text.clear();
    }
    const bool ok = ini_merge(changed, values, &text) && Utils::write_file_atomic(QString::fromLatin1(kIniPath), text);
    if (!ok)
        kor_trace("%s not saved: tried again shortly\n", kIniPath);
    std::lock_guard<std::mutex> lock(m_mutex);
    // A change made meanwhile stays to be saved.
    for (int i = 0; ok && i < ConfigItem::ConfigCount; ++i)
        if ((changed & (1u << i)) && values[i] == m_values[i])
            m_changed &= ~(1u << i);
    return ok;
}
