#pragma once
#include "fpga/pack_formats.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class FpgaDevice;
class fpga_job_notifier;

// What the USB-stick upgrade did with one package.
struct UsbPackageResult {
    QString package;          // file name
    QStringList installed;    // images written, in order
    QString failed;           // the image whose write failed (empty: none did)
    QString reason;           // why the package is not wholly installed; empty when it is
    QStringList not_written;  // images after the one that failed
    bool ok() const { return reason.isEmpty(); }
    // The package's line in the upgrade log.
    QString log_line() const;
};

// The last USB-stick upgrade, as the upgrade page shows it.
struct UsbUpgradeReport {
    std::vector<UsbPackageResult> packages;
    QString refused_dir;      // the upgrade-directory setting, when it leaves the stick
    int installed() const;
    int failed() const;
};

// The USB-stick upgrade engine: runs on the worker's passes while g_usb_grade is 1, stepped
// on byte 1 of the job request: 0 start, 1 list the packages, 2 install one package per pass,
// 3 finish (clear the flag, raise 104). An installed application takes effect by a reboot a
// little after the end, once the page has shown the result. The log and the report are read
// from the GUI thread.
class fpga_usb_upgrade {
public:
    static constexpr int kMaxPackages = 100;
    // An installed application takes effect by a reboot this long after the upgrade ends.
    static constexpr uint32_t kRebootTicks = 300;
    // Writes an OSD-font image (true on success).
    using FontWriter = std::function<bool(const QByteArray &image)>;

    fpga_usb_upgrade(std::shared_ptr<FpgaDevice> dev, fpga_job_notifier *notifier);

    bool active() const { return m_usb.active; }
    // One step of the engine.
    void usb_upgrade_deal();
    // Reboots for a new application once its time has come.
    void reboot_deal();
    // A reboot waits for its time (worker thread).
    bool reboot_pending() const { return m_reboot_pending; }

    // The board path of the directory holding the packages: "/mnt/usb1" or its subdirectory
    // named by g_usb_grade_path; empty when the setting leads off the stick.
    static QString usb_upgrade_dir();
    // Board paths of the packages there (suffix "KOR" or "KORZK"), directory order.
    static QStringList get_usb_file_list_path();

    // Date, time and each step's result, one a line ("\n"); whole once code 104 is raised.
    std::string log_text() const;
    UsbUpgradeReport report() const;
    void set_font_writer(FontWriter writer);

private:
    struct UsbUpgrade {
        bool active = false;
        uint8_t step = 0;
        QStringList files;
        int index = 0;
        bool application = false;  // an application was installed: reboot at the end
    };
    void usb_log(const QString &line);
    UsbPackageResult install_package(const QString &path);
    // False, with `error` set, when the image was not written whole.
    bool write_upgrade_image(const UpgradeImage &image, QString *error);
    static QString now_text();

    std::shared_ptr<FpgaDevice> m_dev;
    fpga_job_notifier *m_notifier;
    UsbUpgrade m_usb;
    mutable std::mutex m_log_mutex;
    std::string usb_upgrade_log;    // under m_log_mutex
    UsbUpgradeReport m_usb_report;  // under m_log_mutex
    FontWriter m_font_writer;
    std::mutex m_font_mutex;
    bool m_reboot_pending = false;
    uint32_t m_reboot_tick = 0;
};
