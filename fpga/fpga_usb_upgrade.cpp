#include "fpga/fpga_usb_upgrade.h"

#include "core/global.h"
#include "core/utils.h"
#include "fpga/fpga_job_notifier.h"
#include "fpga/fpga_job_request.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "fpga/rcv_recovery_file.h"
#include "platform/data_root.h"
#include "platform/fpga_device.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
const char kAppPath[] = "/data/app/korZ73N";
const char kStick[] = "/mnt/usb1";
constexpr qint64 kPackageMax = qint64(kUpgradeImageMax) + 1024 * kUpgradeHead;

QString image_name(const UpgradeImage &img)
{
    switch (img.kind) {
    case UpgradeApplication: return QStringLiteral("application");
    case UpgradeFpgaBitstream: return QStringLiteral("FPGA%1 FPGA bitstream").arg(img.fpga);
    case UpgradeMcuFirmware: return QStringLiteral("FPGA%1 MCU firmware").arg(img.fpga);
    default: return QStringLiteral("OSD fonts");
    }
}

bool inside(const QString &path, const QString &dir)
{
    return path == dir || path.startsWith(dir + QLatin1Char('/'));
}
}

QString UsbPackageResult::log_line() const
{
    QStringList parts;
    if (!installed.isEmpty())
        parts << QStringLiteral("installed ") + installed.join(QStringLiteral(", "));
    if (!failed.isEmpty())
        parts << QStringLiteral("failed %1 (%2)").arg(failed, reason);
    else if (!reason.isEmpty())
        parts << QStringLiteral("refused, ") + reason;
    if (!not_written.isEmpty())
        parts << QStringLiteral("not written ") + not_written.join(QStringLiteral(", "));
    return package + QStringLiteral(": ") + parts.join(QStringLiteral("; "));
}

int UsbUpgradeReport::installed() const
{
    return int(std::count_if(packages.begin(), packages.end(), [](const UsbPackageResult &r) { return r.ok(); }));
}

int UsbUpgradeReport::failed() const
{
    return int(packages.size()) - installed();
}

fpga_usb_upgrade::fpga_usb_upgrade(std::shared_ptr<FpgaDevice> dev, fpga_job_notifier *notifier)
    : m_dev(std::move(dev)), m_notifier(notifier)
{
}

QString fpga_usb_upgrade::now_text()
{
    TimeRealType t;
    fpga_manage::IT8563WE_Get(&t);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

void fpga_usb_upgrade::usb_log(const QString &line)
{
    std::lock_guard<std::mutex> lock(m_log_mutex);
    if (!usb_upgrade_log.empty())
        usb_upgrade_log += '\n';
    usb_upgrade_log += line.toStdString();
}

QString fpga_usb_upgrade::usb_upgrade_dir()
{
    const QString stick = QString::fromLatin1(kStick);
    const QString sub = QString::fromStdString(kor_usb_grade_path());
    if (sub == QLatin1String(" "))
        return stick;
    const QString dir = QDir::cleanPath(stick + QLatin1Char('/') + sub);
    if (!inside(dir, stick))
        return QString();
    // Nor may a link on the stick lead off it.
    const QString real = QFileInfo(kor_path(dir)).canonicalFilePath();
    const QString real_stick = QFileInfo(kor_path(stick)).canonicalFilePath();
    if (!real.isEmpty() && (real_stick.isEmpty() || !inside(real, real_stick)))
        return QString();
    return dir;
}

QStringList fpga_usb_upgrade::get_usb_file_list_path()
{
    const QString dir = usb_upgrade_dir();
    if (dir.isEmpty())
        return QStringList();
    return rcvRecovery::list_files(dir, {QStringLiteral("KOR"), QStringLiteral("KORZK")}, kMaxPackages);
}

bool fpga_usb_upgrade::write_upgrade_image(const UpgradeImage &img, QString *error)
{
    int status;
    switch (img.kind) {
    case UpgradeApplication:
        if (!Utils::write_file_atomic(QString::fromLatin1(kAppPath), img.image)) {
            status = 255;
            break;
        }
        QFile::setPermissions(kor_path(QString::fromLatin1(kAppPath)),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                  QFileDevice::ExeOther);
        status = 0;
        break;
    case UpgradeFpgaBitstream:
    case UpgradeMcuFirmware:
        status = m_dev->write_flash_image(img.fpga,
                                          img.kind == UpgradeFpgaBitstream ? FpgaDevice::FlashBitstream
                                                                           : FpgaDevice::FlashMcu,
                                          reinterpret_cast<const uint8_t *>(img.image.constData()),
                                          img.image.size());
        break;
    default: {
        std::lock_guard<std::mutex> lock(m_font_mutex);
        status = m_font_writer && m_font_writer(img.image) ? 0 : 255;
        break;
    }
    }
    if (status != 0)
        *error = QStringLiteral("write error");
    return status == 0;
}

UsbPackageResult fpga_usb_upgrade::install_package(const QString &path)
{
    UsbPackageResult r;
    r.package = QFileInfo(path).fileName();
    const QString file_path = rcvRecovery::resolve(path);
    QFile f(file_path);
    // Only a regular file is opened: a FIFO would hold the worker for ever.
    if (!QFileInfo(file_path).isFile() || !f.open(QIODevice::ReadOnly)) {
        r.reason = QStringLiteral("cannot read");
        return r;
    }
    const QByteArray file = f.read(kPackageMax + 1);
    f.close();
    if (file.size() > kPackageMax) {
        r.reason = QStringLiteral("too large");
        return r;
    }

    std::vector<UpgradeImage> images;
    const bool combined = QFileInfo(path).suffix() == QLatin1String("KORZK");
    // Every image is checked before anything is written: a bad one refuses the package whole.
    if (!decode_upgrade_package(file, combined, &images, &r.reason))
        return r;

    for (const UpgradeImage &img : images) {
        if (!r.failed.isEmpty()) {
            r.not_written << image_name(img);
            continue;
        }
        if (!write_upgrade_image(img, &r.reason)) {
            r.failed = image_name(img);
            continue;
        }
        r.installed << image_name(img);
        if (img.kind == UpgradeApplication)
            m_usb.application = true;
    }
    return r;
}

void fpga_usb_upgrade::usb_upgrade_deal()
{
    if (!m_usb.active) {
        m_usb = UsbUpgrade();
        m_usb.active = true;
    }
    switch (m_usb.step) {
    case 0: {
        {
            std::lock_guard<std::mutex> lock(m_log_mutex);
            usb_upgrade_log.clear();
            m_usb_report = UsbUpgradeReport();
        }
        usb_log(QStringLiteral("USB upgrade ") + now_text());
        m_usb.step = 1;
        break;
    }
    case 1:
        if (usb_upgrade_dir().isEmpty()) {
            const QString setting = QString::fromStdString(kor_usb_grade_path());
            {
                std::lock_guard<std::mutex> lock(m_log_mutex);
                m_usb_report.refused_dir = setting;
            }
            usb_log(QStringLiteral("upgrade directory refused: ") + setting);
        }
        m_usb.files = get_usb_file_list_path();
        for (const QString &file : qAsConst(m_usb.files))
            kor_trace("\n usb upgrade package: %s\n", qPrintable(file));
        usb_log(QStringLiteral("packages: %1").arg(m_usb.files.size()));
        m_usb.step = m_usb.files.isEmpty() ? 3 : 2;
        break;
    case 2: {
        const UsbPackageResult result = install_package(m_usb.files.at(m_usb.index++));
        if (!result.ok())
            kor_trace("\n usb upgrade package %s: %s\n", qPrintable(result.package), qPrintable(result.reason));
        usb_log(result.log_line());
        {
            std::lock_guard<std::mutex> lock(m_log_mutex);
            m_usb_report.packages.push_back(result);
        }
        if (m_usb.index >= m_usb.files.size())
            m_usb.step = 3;
        break;
    }
    default: {
        const UsbUpgradeReport report = this->report();
        usb_log(QStringLiteral("USB upgrade end %1: %2 ok, %3 failed")
                    .arg(now_text())
                    .arg(report.installed())
                    .arg(report.failed()));
        if (m_usb.application) {
            m_reboot_pending = true;
            m_reboot_tick = G_timeTicks.load();
        }
        m_usb = UsbUpgrade();
        g_usb_grade.store(0, std::memory_order_release);
        kor_set_job_step(0);
        kor_trace("\n usb upgrade done\n");
        m_notifier->post_update_code(104);
        return;
    }
    }
    // The step is the engine's own; byte 1 mirrors it.
    kor_set_job_step(m_usb.step);
}

void fpga_usb_upgrade::reboot_deal()
{
    if (!m_reboot_pending || Utils::getTimeSpace(m_reboot_tick) < kRebootTicks)
        return;
    m_reboot_pending = false;
    kor_trace("\n usb upgrade: reboot for the new application\n");
    Utils::system_mutex(QStringLiteral("reboot"));
}

UsbUpgradeReport fpga_usb_upgrade::report() const
{
    std::lock_guard<std::mutex> lock(m_log_mutex);
    return m_usb_report;
}

std::string fpga_usb_upgrade::log_text() const
{
    std::lock_guard<std::mutex> lock(m_log_mutex);
    return usb_upgrade_log;
}

void fpga_usb_upgrade::set_font_writer(FontWriter writer)
{
    std::lock_guard<std::mutex> lock(m_font_mutex);
    m_font_writer = std::move(writer);
}
