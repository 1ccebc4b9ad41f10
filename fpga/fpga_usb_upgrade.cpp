// The USB-stick upgrade engine: runs on the worker's passes while g_usb_grade is 1,
// stepped on byte 1 of g_send_para: 0 start, 1 list the packages, 2 install one package
// per pass, 3 finish (clear the flag, raise 104).
#include "core/global.h"
#include "core/utils.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "fpga/rcv_recovery_file.h"
#include "platform/data_root.h"
#include "platform/fpga_device.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const char kAppPath[] = "/data/app/korZ73N";
constexpr int kMaxPackages = 100;

const char *kind_name(uint8_t kind)
{
    switch (kind) {
    case UpgradeApplication: return "application";
    case UpgradeFpgaBitstream: return "FPGA bitstream";
    case UpgradeMcuFirmware: return "MCU firmware";
    default: return "OSD fonts";
    }
}
}

QString fpga_manage::now_text()
{
    TimeRealType t;
    IT8563WE_Get(&t);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

void fpga_manage::usb_log(const QString &line)
{
    QMutexLocker lock(&m_log_mutex);
    if (!usb_upgrade_log.empty())
        usb_upgrade_log += '\n';
    usb_upgrade_log += line.toStdString();
}

QStringList fpga_manage::get_usb_file_list_path()
{
    QString dir = QStringLiteral("/mnt/usb1/");
    const QString sub = QString::fromStdString(g_usb_grade_path);
    if (sub != QLatin1String(" "))
        dir += sub;
    while (dir.endsWith(QLatin1Char('/')))
        dir.chop(1);

    QStringList files;
    const QFileInfoList entries = QDir(kor_path(dir)).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Unsorted);
    for (const QFileInfo &fi : entries) {
        const QString suffix = fi.suffix();
        if (suffix != QLatin1String("KOR") && suffix != QLatin1String("KORZK"))
            continue;
        files << dir + QLatin1Char('/') + fi.fileName();
        kor_trace("\n usb upgrade package: %s\n", qPrintable(files.last()));
        if (files.size() >= kMaxPackages)
            break;
    }
    return files;
}

QString fpga_manage::install_package(const QString &path)
{
    QFile f(rcvRecovery::resolve(path));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("failed, cannot read");
    if (f.size() > qint64(kUpgradeImageMax) + 1024 * kUpgradeHead)
        return QStringLiteral("failed, too large");
    const QByteArray file = f.readAll();
    f.close();

    std::vector<UpgradeImage> images;
    QString error;
    const bool combined = QFileInfo(path).suffix() == QLatin1String("KORZK");
    // Every header is checked before anything is written.
    if (decode_upgrade_package(file, combined, &images, &error) != 0)
        return QStringLiteral("failed, ") + error;

    QStringList done;
    for (const UpgradeImage &img : images) {
        const auto *data = reinterpret_cast<const uint8_t *>(img.image.constData());
        int result = 255;
        QString what = QString::fromLatin1(kind_name(img.kind));
        switch (img.kind) {
        case UpgradeApplication:
            if (Utils::write_file_atomic(QString::fromLatin1(kAppPath), img.image)) {
                QFile::setPermissions(kor_path(QString::fromLatin1(kAppPath)),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
                result = 0;
            }
            break;
        case UpgradeFpgaBitstream:
        case UpgradeMcuFirmware:
            what = QStringLiteral("FPGA%1 ").arg(img.fpga) + what;
            result = m_dev->write_flash_image(img.fpga,
                                              img.kind == UpgradeFpgaBitstream ? FpgaDevice::FlashBitstream
                                                                               : FpgaDevice::FlashMcu,
                                              data, img.image.size());
            break;
        default: {
            QMutexLocker lock(&m_font_mutex);
            result = m_font_writer ? m_font_writer(img.image) : 255;
            break;
        }
        }
        if (result != 0) {
            done << what + QStringLiteral(" write error");
            return QStringLiteral("failed, ") + done.join(QStringLiteral(", "));
        }
        done << what;
    }
    return QStringLiteral("ok, ") + done.join(QStringLiteral(", "));
}

void fpga_manage::usb_upgrade_deal()
{
    if (!m_usb.active) {
        m_usb = UsbUpgrade();
        m_usb.active = true;
    }
    switch (m_usb.step) {
    case 0: {
        {
            QMutexLocker lock(&m_log_mutex);
            usb_upgrade_log.clear();
        }
        usb_log(QStringLiteral("USB upgrade ") + now_text());
        m_usb.step = 1;
        break;
    }
    case 1:
        m_usb.files = get_usb_file_list_path();
        usb_log(QStringLiteral("packages: %1").arg(m_usb.files.size()));
        m_usb.step = m_usb.files.isEmpty() ? 3 : 2;
        break;
    case 2: {
        const QString path = m_usb.files.at(m_usb.index++);
        const QString result = install_package(path);
        if (result.startsWith(QLatin1String("ok")))
            ++m_usb.ok;
        else
            ++m_usb.failed;
        usb_log(QFileInfo(path).fileName() + QStringLiteral(": ") + result);
        if (m_usb.index >= m_usb.files.size())
            m_usb.step = 3;
        break;
    }
    default:
        usb_log(QStringLiteral("USB upgrade end %1: %2 ok, %3 failed").arg(now_text()).arg(m_usb.ok).arg(m_usb.failed));
        m_usb = UsbUpgrade();
        g_usb_grade.store(0, std::memory_order_release);
        __atomic_store_n(&g_send_para[1], uint8_t(0), __ATOMIC_RELEASE);
        kor_trace("\n usb upgrade done\n");
        m_notifier->post_update_code(104);
        return;
    }
    // The step is the engine's own; byte 1 mirrors it.
    __atomic_store_n(&g_send_para[1], m_usb.step, __ATOMIC_RELEASE);
}
