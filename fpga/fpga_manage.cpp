#include "fpga/fpga_manage.h"

#include "core/brightness_request.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/singleton.h"
#include "core/table_map.h"
#include "core/utils.h"
#include "platform/devices.h"
#include "platform/fpga_device.h"

#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
// A host frame keeps pc_cmd_valid up this long (ticks).
constexpr uint32_t kPcCmdTicks = 80;
// LED hand-over: hold the screen, wait, resume, wait.
constexpr uint32_t kLedHoldTicks = 11;
constexpr uint32_t kLedSettleTicks = 31;
// A worker at rest wakes this often.
constexpr auto kWorkerPause = std::chrono::milliseconds(10);
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
    : m_dev(kor_devices().fpga),
      m_notifier(new fpga_job_notifier),
      m_registers(m_dev),
      m_jobs(m_registers, m_dev, m_notifier.get()),
      m_usb(m_dev, m_notifier.get()),
      MCU_REG_func(m_registers.shadow(0), m_registers.shadow(1)),
      MCU_RAM_PARA_func(m_registers.ram_image(0), m_registers.ram_image(1))
{
}

fpga_manage::~fpga_manage()
{
    m_worker.stop();
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

int fpga_manage::IT8563WE_Get(TimeRealType *time)
{
    const QDateTime now = kor_system_now();
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
    m_usb.reboot_deal();
    if (get_fpga_status()) {
        set_led_para_deal();
        brightness_deal();
    }
    struct Busy {  // published when the pass ends, whichever way; a reboot due is a timed step
        fpga_manage *m;
        ~Busy()
        {
            m->m_busy.store(m->m_jobs.busy() || m->m_usb.active() || m->m_usb.reboot_pending(),
                            std::memory_order_release);
        }
    } busy{this};
    // A card job in flight ends before the upgrade engine takes byte 1 of the job request.
    if (m_jobs.busy()) {
        m_jobs.pass();
        return;
    }
    if (m_usb.active() || g_usb_grade.load(std::memory_order_acquire) == 1) {
        m_jobs.refuse();
        m_usb.usb_upgrade_deal();
        return;
    }
    const uint8_t job = kor_job();
    if (job)
        m_jobs.start(job);
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
    unsigned percent;
    {
        QMutexLocker lock(&ParaChange::mutex);
        percent = std::min<unsigned>(table->u16(KorTable::kBrightness), 100);
    }
    const uint8_t level = uint8_t(percent * 255 / 100);
    for (unsigned char fpga = 0; fpga < 2; ++fpga)
        write_to_register(kBrightnessReg, 0xFF, level, fpga);
}
