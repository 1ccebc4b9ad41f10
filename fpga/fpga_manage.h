#pragma once
#include "core/worker.h"
#include "fpga/fpga_job_notifier.h"
#include "fpga/fpga_job_request.h"
#include "fpga/pack_formats.h"
#include "platform/rcv_frame.h"

#include <QByteArray>
#include <QMutex>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class FpgaDevice;
class rcvRecovery;

struct TimeRealType {
    uint8_t second;
    uint8_t minute;
    uint8_t hour;
    uint8_t day;
    uint8_t weekday;
    uint8_t month;
    uint16_t year;
};

enum RCV_CHECK_OR_RECOVERY { RCV_CHECK = 0, RCV_RECOVERY = 1 };

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

// FPGA manager: register and parameter-RAM shadows of the two FPGAs, bring-up, and the
// worker that runs the receiving-card jobs of g_send_para, the LED-parameter hand-over and
// the USB-stick upgrade. Built in the GUI thread; the worker reports to pages only through
// notifier() (see fpga/fpga_job_notifier.h), which also raises update codes 99 and 104.
class fpga_manage {
public:
    static constexpr int kRegs = 170;
    static constexpr int kRamSize = 1024;
    static constexpr int kPorts = 16;

    static fpga_manage *p_fpga_manage;
    static fpga_manage *pInstance();
    static void destroy_instance();  // tests: stops the worker first

    // Bring-up, then the worker. 0 on success, 255 when there is no FPGA or no thread.
    int initialize();
    // Bring-up alone: starts the FPGAs, builds both RAM images and writes them.
    int fpga_bring_up();
    int start_worker();
    // One pass of the worker; tests call it directly instead of starting the thread.
    void run_pass();
    // Something for the worker to do now or at its next timed step (any thread).
    bool work_pending() const;

    // Register shadows and parameter-RAM images, indexed by FPGA. Pages read them in the
    // GUI thread; the worker never writes them once it runs.
    unsigned char *MCU_REG_func[2];
    unsigned char *MCU_RAM_PARA_func[2];

    void read_from_register(unsigned char reg, unsigned char fpga);
    void write_to_register(unsigned char reg, unsigned char mask, unsigned char value, unsigned char fpga);
    bool get_fpga_status();
    static int get_eth_param_addr(unsigned char port, unsigned short *x, unsigned short *y, unsigned short *w,
                                  unsigned short *h);
    unsigned short get_wlan_state();
    static int IT8563WE_Get(TimeRealType *time);

    // Parts of the worker's pass.
    void set_led_para_deal();
    // Writes the table's brightness to both FPGAs when the scaler worker asked for it.
    void brightness_deal();
    static constexpr int kBrightnessReg = 6;
    void rcv_recovery_check_deal(RCV_CHECK_OR_RECOVERY what);
    void usb_upgrade_deal();
    // Board paths of the upgrade packages on the stick (at most kMaxPackages, directory
    // order); the upgrade page lists the same.
    static constexpr int kMaxPackages = 100;
    static QStringList get_usb_file_list_path();
    // The board path of the directory holding the upgrade packages: "/mnt/usb1" or its
    // subdirectory named by g_usb_grade_path; empty when the setting leads off the stick.
    static QString usb_upgrade_dir();
    // An installed application takes effect by a reboot this long after the upgrade ends.
    static constexpr uint32_t kRebootTicks = 300;

    fpga_job_notifier *notifier() const { return m_notifier.get(); }
    // The pack-file reader (null only if it could not be built).
    rcvRecovery *p_rcv_recovery_file = nullptr;

    // The card field of jobs 5 and 6.
    static uint16_t rcv_card_field() { return kor_card_field(); }

    // Log of the last USB-stick upgrade: date, time and each step's result, one per line
    // ("\n"). Complete when update code 104 arrives.
    std::string usb_upgrade_log;
    std::string usb_upgrade_log_text() const;
    UsbUpgradeReport usb_upgrade_report() const;

    // The scaler side installs the writer of OSD-font images (0 on success).
    using FontWriter = std::function<int(const QByteArray &image)>;
    void set_font_writer(FontWriter writer);

private:
    fpga_manage();
    ~fpga_manage();

    uint8_t shadow(int fpga, int reg) const;
    void set_shadow(int fpga, int reg, uint8_t value);
    void build_ram_image(int fpga);
    uint16_t read_links();
    void pc_cmd_deal();

    // --- receiving-card jobs (fpga_jobs.cpp)
    struct CardOp {
        RcvFrame frame;
        // Runs on the card's reply; 0 to go on, 1 to fail the job.
        std::function<int(const RcvFrame &reply)> then;
    };
    struct CardJob {
        uint8_t job = 0;
        uint8_t step = 0;
        std::deque<CardOp> ops;
        int ops_total = 0;
        int ops_done = 0;
        bool op_sent = false;
        uint32_t op_tick = 0;
        int op_tries = 0;
        int last_percent = 0;
        bool failed = false;
        int result = JobFailed;  // what a failure is reported as
        unsigned char line[12] = {};
        QString pack_path;
        QByteArray pack;
        std::vector<RecoveryScreen> screens;
        int unrecovered_card = -1;
    };
    void start_card_job(uint8_t job);
    void card_job_pass();
    void job_steps(const std::function<void()> &prepare);
    bool prepare_card_job();
    int exchange_ops();
    void finish_card_job();
    void refuse_card_job();
    void push_op(const CardOp &op, bool front = false);
    void report_percent();
    void set_job_step(uint8_t step);
    int plan_chain(uint8_t port, const RcvFrame &count_reply);
    void prepare_recovery_ops(RCV_CHECK_OR_RECOVERY what);
    void queue_recovery_net(int screen, int net, int attempt);
    int on_recovery_check(int screen, int net, int attempt, const RcvFrame &reply);
    void push_chunks(uint8_t port, uint16_t card, uint8_t write_cmd, uint8_t end_cmd, const QByteArray &data,
                     bool front);

    // --- USB-stick upgrade (fpga_usb_upgrade.cpp)
    struct UsbUpgrade {
        bool active = false;
        uint8_t step = 0;
        QStringList files;
        int index = 0;
        bool application = false;  // an application was installed: reboot at the end
    };
    void usb_log(const QString &line);
    UsbPackageResult install_package(const QString &path);
    int write_upgrade_image(const UpgradeImage &image);
    QString now_text();
    void reboot_deal();

    std::shared_ptr<FpgaDevice> m_dev;
    unsigned char m_regs[2][kRegs];
    unsigned char m_ram[2][kRamSize];
    mutable QMutex m_reg_mutex;    // SPI register transfers and the register shadows
    QMutex m_card_mutex;           // receiving-card frames on the FPGA
    mutable QMutex m_log_mutex;
    std::unique_ptr<fpga_job_notifier> m_notifier;
    KorWorker m_worker;
    std::atomic<bool> m_busy{false};  // a card job or an upgrade in flight
    FontWriter m_font_writer;
    QMutex m_font_mutex;

    uint32_t m_led_tick = 0;
    CardJob m_job;
    bool m_listed = false;  // a check put a card into the recovery page's list
    UsbUpgrade m_usb;
    UsbUpgradeReport m_usb_report;  // under m_log_mutex
    bool m_reboot_pending = false;
    uint32_t m_reboot_tick = 0;
};
