#include "core/startup.h"

#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/utils.h"
#include "platform/data_root.h"
#include "platform/devices.h"
#include "platform/usb_keyboard.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {
// The files the program saves under /data; an interrupted save leaves "<name>.XXXXXX".
QStringList stored_files()
{
    QStringList files = {"/data/ram_device_info",     "/data/ram_device_info.bad",
                         "/data/configs/tcpip.ini",   "/data/configs/alias.json",
                         "/data/configs/omenu.json",  "/data/configs/led_load_config.ini",
                         "/data/app/korZ73N"};
    for (int slot = 1; slot <= 16; ++slot)
        files << QStringLiteral("/data/modes/custom_mode%1").arg(slot);
    return files;
}
}

void kor_tidy_data_root()
{
    Utils::remove_file(QStringLiteral("/data/configs/tcpip.ini.lock"));
    QMap<QString, QSet<QString>> names_by_dir;
    for (const QString &file : stored_files()) {
        const QFileInfo info(file);
        names_by_dir[info.path()].insert(info.fileName());
    }
    static const QRegularExpression temporary(QStringLiteral("^(.+)\\.[A-Za-z0-9]{6}$"));
    for (auto dir = names_by_dir.cbegin(); dir != names_by_dir.cend(); ++dir) {
        const QStringList entries = QDir(kor_path(dir.key())).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &entry : entries) {
            const QRegularExpressionMatch m = temporary.match(entry);
            if (m.hasMatch() && dir.value().contains(m.captured(1))) {
                kor_trace("removing %s/%s left by an interrupted save\n", qPrintable(dir.key()), qPrintable(entry));
                Utils::remove_file(dir.key() + QLatin1Char('/') + entry);
            }
        }
    }
}

void kor_core_start()
{
    kor_tidy_data_root();
    UsbKeyBoard *keyboard = kor_devices().keyboard.get();
    g_keyboard_present = keyboard && keyboard->present() ? 1 : 0;
    kor_trace("USB key board %s\n", g_keyboard_present.load() ? "present" : "absent");
    ConfigEngine::pInstance();
    // The network page shows these, and the control port runs on them.
    Utils::getIPAddress();
    Utils::initIPAddress();
    KorRamPara::pInstance();
}
