#include "fpga/fpga_manage.h"

#include "core/brightness_request.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/singleton.h"
#include "core/utils.h"
#include "fpga/rcv_recovery_file.h"
#include "platform/devices.h"
#include "platform/fpga_device.h"
#include "platform/kor_clock.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
constexpr int kStateReg = 80;
constexpr uint8_t kStateRunning = 3;
constexpr int kLinkLowReg = 128;
constexpr int kLinkHighReg = 144;
// A host frame keeps pc_cmd_valid up this long (ticks).
constexpr uint32_t kPcCmdTicks = 80;
// LED hand-over: hold the screen, wait, resume, wait.
constexpr uint32_t kLedHoldTicks = 11;
constexpr uint32_t kLedSettleTicks = 31;
// A worker at rest wakes this often.
constexpr auto kWorkerPause = std::chrono::milliseconds(10);

void put16(unsigned char *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
}

fpga_manage *fpga_manage::p_fpga_manage = nullptr;

fpga_manage *fpga_manage::pInstance()
{
    return kor_singleton(p_fpga_manage, KorSingletons::kWorkers, destroy_instance, [] { return new fpga_manage; });
}

void fpga_manage::destroy_instance()
{
    if (!p_fpga_manage)
        return;
    p_fpga_manage->m_worker.stop();
    delete p_fpga_manage;
    p_fpga_manage = nullptr;
}

fpga_manage::fpga_manage()
    : m_dev(kor_devices().fpga), m_notifier(new fpga_job_notifier)
{
    std::memset(m_regs, 0, sizeof m_regs);
    std::memset(m_ram, 0, sizeof m_ram);
    for (int i = 0; i < 2; ++i) {
        MCU_REG_func[i] = m_regs[i];
        MCU_RAM_PARA_func[i] = m_ram[i];
    }
    p_rcv_recovery_file = new rcvRecovery;
}

fpga_manage::~fpga_manage()
{
    m_worker.stop();
    delete p_rcv_recovery_file;
}

int fpga_manage::initialize()
{
    if (!m_dev)
        return 255;
    // A failed bring-up leaves the outputs shown offline; the worker runs all the same.
    fpga_bring_up();
    return start_worker();
}

int fpga_manage::start_worker()
{
    return m_worker.start([this] { run_pass(); }, [this] { return work_pending(); }, kWorkerPause);
}

uint8_t fpga_manage::shadow(int fpga, int reg) const
{
    return __atomic_load_n(&m_regs[fpga][reg], __ATOMIC_ACQUIRE);
}

void fpga_manage::set_shadow(int fpga, int reg, uint8_t value)
{
    __atomic_store_n(&m_regs[fpga][reg], value, __ATOMIC_RELEASE);
}

int fpga_manage::fpga_bring_up()
{
    if (!m_dev)
        return 255;
    const int started = m_dev->bring_up();
    read_from_register(kStateReg, 0);
    read_from_register(kStateReg, 1);
    for (int fpga = 0; fpga < 2; ++fpga) {
        build_ram_image(fpga);
        if (get_fpga_status()) {
            QMutexLocker lock(&m_reg_mutex);
            m_dev->write_ram(fpga, 1, 0, m_ram[fpga], kRamSize);
        }
    }
    kor_trace("\n fpga bring-up: state %d\n", int(shadow(0, kStateReg)));
    return started == 0 && get_fpga_status() ? 0 : 255;
}

void fpga_manage::build_ram_image(int fpga)
{
    if (m_dev->read_flash_ram_copy(fpga, m_ram[fpga], kRamSize))
        return;
    // No valid copy: every port shows the whole default area at the screen offset.
    std::memset(m_ram[fpga], 0, kRamSize);
    uint16_t off_x = 0, off_y = 0;
    if (KorRamPara *t = KorRamPara::p_korrampara_config) {
        off_x = t->u16(0x566);
        off_y = t->u16(0x568);
    }
    for (unsigned char port = 0; port < kPorts; ++port) {
        unsigned short ax, ay, aw, ah;
        get_eth_param_addr(port, &ax, &ay, &aw, &ah);
        put16(m_ram[fpga] + ax, off_x);
        put16(m_ram[fpga] + ay, off_y);
        put16(m_ram[fpga] + aw, 1280);
        put16(m_ram[fpga] + ah, 512);
    }
}

void fpga_manage::read_from_register(unsigned char reg, unsigned char fpga)
{
    if (fpga > 1 || reg >= kRegs || !m_dev)
        return;
    QMutexLocker lock(&m_reg_mutex);
    set_shadow(fpga, reg, m_dev->read_register(fpga, reg));
}

void fpga_manage::write_to_register(unsigned char reg, unsigned char mask, unsigned char value, unsigned char fpga)
{
    if (fpga > 1 || reg >= kRegs)
        return;
    QMutexLocker lock(&m_reg_mutex);
    const uint8_t v = uint8_t((shadow(fpga, reg) & ~mask) | (value & mask));
    set_shadow(fpga, reg, v);
    if (m_dev)
        m_dev->write_register(fpga, reg, v);
}

bool fpga_manage::get_fpga_status()
{
    return shadow(0, kStateReg) == kStateRunning;
}

int fpga_manage::get_eth_param_addr(unsigned char port, unsigned short *x, unsigned short *y, unsigned short *w,
                                    unsigned short *h)
{
    unsigned short base;
    unsigned short step = 2;
    if (port >= 4 && port <= 7) {
        base = 520 + 8 * (port - 4);
    } else if (port >= 8 && port <= 15) {
        base = 576 + 8 * (port - 8);
    } else {
        static const unsigned short first[4] = {8, 19, 32, 43};
        base = first[port <= 3 ? port : 0];
    }
    *x = base;
    *y = base + step;
    *w = base + 2 * step;
    *h = base + 3 * step;
    return 0;
}

unsigned short fpga_manage::get_wlan_state()
{
    if (shadow(0, kStateReg) != kStateRunning)
        return 0;
    read_from_register(kLinkLowReg, 0);
    read_from_register(kLinkHighReg, 0);
    return uint16_t((shadow(0, kLinkHighReg) << 8) | shadow(0, kLinkLowReg));
}

uint16_t fpga_manage::read_links()
{
    // The worker's own look at the links; the pages' shadow stays theirs.
    QMutexLocker lock(&m_reg_mutex);
    return uint16_t((m_dev->read_register(0, kLinkHighReg) << 8) | m_dev->read_register(0, kLinkLowReg));
}

int fpga_manage::IT8563WE_Get(TimeRealType *time)
{
    QDateTime now;
    {
        QMutexLocker lock(&Utils::_system_mutex);
        now = kor_now();
    }
    std::memset(time, 0, sizeof *time);
    time->second = uint8_t(now.time().second());
    time->minute = uint8_t(now.time().minute());
    time->hour = uint8_t(now.time().hour());
    time->day = uint8_t(now.date().day());
    time->month = uint8_t(now.date().month());
    time->year = uint16_t(now.date().year());
    return 0;
}

void fpga_manage::pc_cmd_deal()
{
    if (pc_cmd_valid.load(std::memory_order_acquire) &&
        Utils::getTimeSpace(pc_cmd_time.load(std::memory_order_acquire)) > kPcCmdTicks)
        pc_cmd_valid.store(0, std::memory_order_release);
}

void fpga_manage::set_led_para_deal()
{
    if (g_set_led_para.load(std::memory_order_acquire) == 0)
        return;
    QMutexLocker lock(&Utils::_led_para_init_mutex);
    const uint8_t para = g_set_led_para.load();
    if (para == 2) {
        // The scaler re-initialised its panel: the FPGA starts again from it.
        g_set_led_para = 0;
        g_set_led_setup = 0;
        m_dev->pulse_reset();
        kor_trace("\n set_led_para_deal: fpga reset\n");
        return;
    }
    if (para != 1)
        return;
    switch (g_set_led_setup.load()) {
    case 0:
        m_dev->screen_control(0);
        m_led_tick = G_timeTicks.load();
        g_set_led_setup = 1;
        break;
    case 1:
        if (Utils::getTimeSpace(m_led_tick) >= kLedHoldTicks) {
            m_dev->screen_control(5);
            m_led_tick = G_timeTicks.load();
            g_set_led_setup = 2;
        }
        break;
    default:
        if (Utils::getTimeSpace(m_led_tick) >= kLedSettleTicks) {
            g_set_led_setup = 0;
            g_set_led_para = 0;
        }
        break;
    }
}

void fpga_manage::run_pass()
{
    if (!m_dev)
        return;
    pc_cmd_deal();
    reboot_deal();
    if (get_fpga_status()) {
        set_led_para_deal();
        brightness_deal();
    }
    struct Busy {  // published when the pass ends, whichever way
        fpga_manage *m;
        ~Busy() { m->m_busy.store(m->m_job.job || m->m_usb.active, std::memory_order_release); }
    } busy{this};
    // A card job in flight ends before the upgrade engine takes byte 1 of g_send_para.
    if (m_job.job) {
        card_job_pass();
        return;
    }
    if (m_usb.active || g_usb_grade.load(std::memory_order_acquire) == 1) {
        refuse_card_job();
        usb_upgrade_deal();
        return;
    }
    const uint8_t job = kor_job();
    if (job)
        start_card_job(job);
}

bool fpga_manage::work_pending() const
{
    return m_busy.load(std::memory_order_acquire) || kor_job() != 0
        || pc_cmd_valid.load(std::memory_order_acquire) != 0
        || g_set_led_para.load(std::memory_order_acquire) != 0
        || g_bri_set_flag.load(std::memory_order_acquire) != 0
        || g_usb_grade.load(std::memory_order_acquire) == 1;
}

void fpga_manage::brightness_deal()
{
    // Taken only while the FPGA runs, so a request made during bring-up is not lost.
    if (!kor_take_fpga_brightness_request())
        return;
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return;
    const unsigned percent = std::min<unsigned>(table->u16(0x880), 100);
    const uint8_t level = uint8_t(percent * 255 / 100);
    for (unsigned char fpga = 0; fpga < 2; ++fpga)
        write_to_register(kBrightnessReg, 0xFF, level, fpga);
}

std::string fpga_manage::usb_upgrade_log_text() const
{
    QMutexLocker lock(&m_log_mutex);
    return usb_upgrade_log;
}

void fpga_manage::set_font_writer(FontWriter writer)
{
    QMutexLocker lock(&m_font_mutex);
    m_font_writer = std::move(writer);
}
