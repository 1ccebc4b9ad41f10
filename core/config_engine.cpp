#include "core/config_engine.h"

#include "core/global.h"
#include "core/utils.h"
#include "platform/data_root.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

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
}

ConfigEngine *ConfigEngine::p_config = nullptr;

ConfigEngine *ConfigEngine::pInstance()
{
    if (!p_config) {
        p_config = new ConfigEngine;
        // The ageing log starts empty with every start of the program.
        factoryage_log.clear();
    }
    return p_config;
}

void ConfigEngine::destroy_instance()
{
    delete p_config;
    p_config = nullptr;
}

ConfigEngine::ConfigEngine()
{
    load();
}

QString ConfigEngine::key_of(ConfigItem::ConfigName item)
{
    if (item < 0 || item >= ConfigItem::ConfigCount)
        return QString();
    return QString::fromLatin1(kItems[item].key);
}

void ConfigEngine::load()
{
    QMutexLocker lock(&m_mutex);
    QSettings ini(kor_path(QString::fromLatin1(kIniPath)), QSettings::IniFormat);
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        m_values[i] = ini.value(QString::fromLatin1(kItems[i].key), QString::fromUtf8(kItems[i].fallback));
    g_usb_grade_path = m_values[ConfigItem::UsbUpgradeDir].toString().toStdString();
    bool ok = false;
    const int langs = m_values[ConfigItem::LcdLangValid].toString().toInt(&ok);
    g_lcd_lang_valid = ok ? uint8_t(langs & 0x1F) : uint8_t(0x1F);
}

QVariant ConfigEngine::read_config(ConfigItem::ConfigName item) const
{
    QMutexLocker lock(&m_mutex);
    if (item < 0 || item >= ConfigItem::ConfigCount)
        return QVariant();
    return m_values[item];
}

void ConfigEngine::write_config_variant(ConfigItem::ConfigName item, const QVariant &value)
{
    if (item < 0 || item >= ConfigItem::ConfigCount)
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_values[item] = value;
    }
    if (item == ConfigItem::UsbUpgradeDir)
        g_usb_grade_path = value.toString().toStdString();
    save();
}

void ConfigEngine::save()
{
    // QSettings writes through a temporary file and renames it over the old one.
    QMutexLocker file_lock(&Utils::_file_deal_mutex);
    QMutexLocker lock(&m_mutex);
    const QString path = kor_path(QString::fromLatin1(kIniPath));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings ini(path, QSettings::IniFormat);
    for (int i = 0; i < ConfigItem::ConfigCount; ++i)
        ini.setValue(QString::fromLatin1(kItems[i].key), m_values[i]);
    ini.sync();
}
