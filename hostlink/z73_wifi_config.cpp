#include "hostlink/z73_wifi_config.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/singleton.h"
#include "core/table_map.h"
#include "core/utils.h"

Z73_WIFI_CONFIG *Z73_WIFI_CONFIG::p_wifi = nullptr;

namespace {
constexpr std::chrono::milliseconds kPassPause{100};
constexpr uint32_t kResetTicks = 300;
constexpr uint32_t kStartupTicks = 100;

// The table's WiFi byte: 0 access point on, 1 off.
uint8_t ap_disabled_byte()
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return 1;
    QMutexLocker lock(&ParaChange::mutex);
    return t->ram[KorTable::kWifiOff];
}
}

Z73_WIFI_CONFIG *Z73_WIFI_CONFIG::pInstance()
{
    return kor_singleton(p_wifi, KorSingletons::kWorkers, destroy_instance, [] { return new Z73_WIFI_CONFIG; });
}

void Z73_WIFI_CONFIG::destroy_instance()
{
    delete p_wifi;
    p_wifi = nullptr;
}

Z73_WIFI_CONFIG::Z73_WIFI_CONFIG()
    : m_reset_tick(G_timeTicks.load())
    , m_startup_tick(G_timeTicks.load())
{
}

Z73_WIFI_CONFIG::~Z73_WIFI_CONFIG()
{
    m_worker.stop();
}

int Z73_WIFI_CONFIG::initialize()
{
    // Pending: a restart in progress, or an access point that is to run and does not yet.
    return m_worker.start([this] { run_pass(); },
                          [this] {
                              return g_wifi_reset_flag.load(std::memory_order_acquire) != 0
                                  || (m_ap_state.load(std::memory_order_acquire) == 0 && ap_disabled_byte() == 0);
                          },
                          kPassPause);
}

void Z73_WIFI_CONFIG::set_wifi_reset_flag()
{
    // The timer first: the thread that sees the flag must see its start too.
    m_reset_tick.store(G_timeTicks.load(), std::memory_order_release);
    g_wifi_reset_flag.store(1, std::memory_order_release);
    m_worker.wake();
}

void Z73_WIFI_CONFIG::run_pass()
{
    reset_step();
    startup_step();
}

void Z73_WIFI_CONFIG::reset_step()
{
    const uint8_t flag = g_wifi_reset_flag.load(std::memory_order_acquire);
    if (flag == 0 || Utils::getTimeSpace(m_reset_tick.load(std::memory_order_acquire)) <= kResetTicks)
        return;
    if (flag == 1) {
        Utils::system_mutex(QStringLiteral("kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`"));
        Utils::system_mutex(QStringLiteral("kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`"));
        g_wifi_reset_flag.store(2, std::memory_order_release);
    } else if (flag == 2 && ap_disabled_byte() != 1) {
        g_wifi_reset_flag.store(0, std::memory_order_release);
        m_ap_state.store(0, std::memory_order_release);
    }
}

void Z73_WIFI_CONFIG::startup_step()
{
    if (Utils::getTimeSpace(m_startup_tick) <= kStartupTicks)
        return;
    m_startup_tick = G_timeTicks.load();
    // Switched off stays off, also across restarts; a restart in progress finishes first.
    if (ap_disabled_byte() != 0 || g_wifi_reset_flag.load(std::memory_order_acquire) != 0
        || m_ap_state.load(std::memory_order_acquire) != 0)
        return;
    if (Utils::system_mutex(QStringLiteral("/usr/bin/hostapd -B /etc/rtl_hostapd_2G.conf")) != 0) {
        kor_trace("wifi: hostapd did not start\n");
        return;  // tried again at the next step
    }
    Utils::system_mutex(QStringLiteral("/usr/sbin/udhcpd /etc/udhcpd.conf"));
    m_ap_state.store(1, std::memory_order_release);
}
