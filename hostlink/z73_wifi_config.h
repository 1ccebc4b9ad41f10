#pragma once
#include <atomic>
#include <cstdint>

#include "core/worker.h"

// The WiFi access point. Its thread brings the access point up (unless switched off in
// the table's WiFi byte) and carries out a restart asked for by set_wifi_reset_flag: stop,
// then start again. Steps are timed in ticks of G_timeTicks.
class Z73_WIFI_CONFIG {
public:
    static Z73_WIFI_CONFIG *p_wifi;
    static Z73_WIFI_CONFIG *pInstance();
    static void destroy_instance();  // tests: stops the thread first

    // Starts the WiFi thread. 0, or 255 when the thread could not be made.
    int initialize();
    // One pass: the reset step, then the start-up step.
    void run_pass();
    // Asks for a restart: g_wifi_reset_flag = 1, reset timer from now.
    void set_wifi_reset_flag();

    // 1 while the access point was brought up by us.
    int ap_state() const { return m_ap_state.load(std::memory_order_acquire); }

private:
    Z73_WIFI_CONFIG();
    ~Z73_WIFI_CONFIG();
    void reset_step();
    void startup_step();

    std::atomic<uint32_t> m_reset_tick;
    uint32_t m_startup_tick;
    std::atomic<uint8_t> m_ap_state{0};
    KorWorker m_worker{"kor-wifi"};
};
