#include "core/brightness_request.h"

#include "core/utils.h"
#include "core/worker.h"

std::atomic<uint8_t> g_bri_set_flag{0};

void kor_request_fpga_brightness()
{
    QMutexLocker lock(&Utils::_bri_set_mutex);
    g_bri_set_flag.store(1, std::memory_order_release);
    kor_wake_workers();
}

bool kor_take_fpga_brightness_request()
{
    QMutexLocker lock(&Utils::_bri_set_mutex);
    return g_bri_set_flag.exchange(0, std::memory_order_acq_rel) != 0;
}
