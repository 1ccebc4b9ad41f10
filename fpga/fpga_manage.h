#pragma once
#include "core/worker.h"
#include "fpga/fpga_card_jobs.h"
#include "fpga/fpga_job_notifier.h"
#include "fpga/fpga_job_request.h"
#include "fpga/fpga_registers.h"
#include "fpga/fpga_usb_upgrade.h"
#include "fpga/rcv_recovery_file.h"

#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

struct TimeRealType {
    uint8_t second;
    uint8_t minute;
    uint8_t hour;
    uint8_t day;
    uint8_t weekday;
    uint8_t month;
    uint16_t year;
};

// A read-only view of a byte image of each FPGA: view[fpga][offset].
class fpga_image_view {
public:
    fpga_image_view(const unsigned char *fpga0, const unsigned char *fpga1) : m_image{fpga0, fpga1} {}
    const unsigned char *operator[](int fpga) const { return m_image[fpga]; }

private:
    const unsigned char *m_image[2];
};

// FPGA manager: the façade over the register part (shadows, parameter-RAM images, bring-up,
// links), the receiving-card jobs of the job request and the USB-stick upgrade engine, and
// the worker that runs them with the LED-parameter hand-over. Built in the GUI thread; the
// worker reports to pages only through notifier() (see fpga/fpga_job_notifier.h), which also
// raises update codes 99 and 104.
class fpga_manage {
public:
    static constexpr int kRamSize = fpga_registers::kRamSize;
    static constexpr int kBrightnessReg = 6;
    static constexpr int kMaxPackages = fpga_usb_upgrade::kMaxPackages;
    static constexpr uint32_t kRebootTicks = fpga_usb_upgrade::kRebootTicks;

    static fpga_manage *p_fpga_manage;
    static fpga_manage *pInstance();
    static void destroy_instance();  // tests: stops the worker first

    // Bring-up, then the worker. 0 on success, 255 when there is no FPGA or no thread.
    int initialize();
    // Bring-up alone: starts the FPGAs, builds both RAM images and writes them.
    int fpga_bring_up() { return m_registers.bring_up(); }
    int start_worker();
    // One pass of the worker; tests call it directly instead of starting the thread.
    void run_pass();
    // Something for the worker to do now or at its next timed step (any thread).
    bool work_pending() const;

    // MCU_REG_func, MCU_RAM_PARA_func: at the end, after the part they show.

    void read_from_register(unsigned char reg, unsigned char fpga) { m_registers.read(reg, fpga); }
    void write_to_register(unsigned char reg, unsigned char mask, unsigned char value, unsigned char fpga)
    {
        m_registers.write(reg, mask, value, fpga);
    }
    bool get_fpga_status() const { return m_registers.running(); }
    static int get_eth_param_addr(unsigned char port, unsigned short *x, unsigned short *y, unsigned short *w,
                                  unsigned short *h)
    {
        fpga_registers::port_offsets(port, x, y, w, h);
        return 0;
    }
    unsigned short get_wlan_state() { return m_registers.link_state(); }
    static int IT8563WE_Get(TimeRealType *time);

    // Parts of the worker's pass.
    void set_led_para_deal();
    // Writes the table's brightness to both FPGAs when the scaler worker asked for it.
    void brightness_deal();
    void rcv_recovery_check_deal(RCV_CHECK_OR_RECOVERY what) { m_jobs.rcv_recovery_check_deal(what); }
    void usb_upgrade_deal() { m_usb.usb_upgrade_deal(); }

    static QStringList get_usb_file_list_path() { return fpga_usb_upgrade::get_usb_file_list_path(); }
    // The upgrade log (complete when update code 104 arrives) and its outcome per package.
    std::string usb_upgrade_log_text() const { return m_usb.log_text(); }
    UsbUpgradeReport usb_upgrade_report() const { return m_usb.report(); }
    // The scaler side installs the writer of OSD-font images.
    void set_font_writer(fpga_usb_upgrade::FontWriter writer) { m_usb.set_font_writer(std::move(writer)); }

    fpga_job_notifier *notifier() const { return m_notifier.get(); }
    // The pack-file reader.
    rcvRecovery *rcv_recovery_file() { return &m_pack_reader; }
    // The card field of jobs 5 and 6.
    static uint16_t rcv_card_field() { return kor_card_field(); }

    // Tests only: sets a register shadow as if it had been read from the FPGA.
    void set_register_for_test(int fpga, int reg, uint8_t value) { m_registers.set_shadow(fpga, reg, value); }

private:
    fpga_manage();
    ~fpga_manage();

    void pc_cmd_deal();

    std::shared_ptr<FpgaDevice> m_dev;
    std::unique_ptr<fpga_job_notifier> m_notifier;
    fpga_registers m_registers;
    fpga_card_jobs m_jobs;
    fpga_usb_upgrade m_usb;
    rcvRecovery m_pack_reader;
    std::atomic<bool> m_busy{false};  // a card job or an upgrade in flight, or a reboot due
    uint32_t m_led_tick = 0;
    KorWorker m_worker{"kor-fpga"};  // stopped before the parts it runs go

public:
    // Register shadows and parameter-RAM images, indexed by FPGA, for the pages to read in
    // the GUI thread; the worker never writes them once it runs.
    const fpga_image_view MCU_REG_func;
    const fpga_image_view MCU_RAM_PARA_func;
};
