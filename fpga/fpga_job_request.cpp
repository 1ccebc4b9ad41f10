#include "fpga/fpga_job_request.h"

#include "core/global.h"
#include "core/worker.h"

namespace {
constexpr int kJob = 0;
constexpr int kStep = 1;
constexpr int kMappingValue = 16;
constexpr int kCardField = 30;

uint16_t *word_at(int offset)
{
    return reinterpret_cast<uint16_t *>(g_send_para + offset);
}
}

void kor_send_job(uint8_t job, uint8_t step)
{
    static_assert(kStep == kJob + 1, "the job and its step are one 16-bit store");
    const uint16_t word = uint16_t(job | (step << 8));
    __atomic_store_n(word_at(kJob), word, __ATOMIC_RELEASE);
    kor_wake_workers();
}

void kor_set_job_step(uint8_t step)
{
    __atomic_store_n(&g_send_para[kStep], step, __ATOMIC_RELEASE);
}

void kor_drop_job()
{
    __atomic_store_n(&g_send_para[kJob], uint8_t(0), __ATOMIC_RELEASE);
}

uint8_t kor_job()
{
    return __atomic_load_n(&g_send_para[kJob], __ATOMIC_ACQUIRE);
}

uint8_t kor_job_step()
{
    return __atomic_load_n(&g_send_para[kStep], __ATOMIC_ACQUIRE);
}

void kor_set_mapping_value(uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        g_send_para[kMappingValue + i] = uint8_t(value >> (8 * i));
}

uint32_t kor_mapping_value()
{
    const unsigned char *v = g_send_para + kMappingValue;
    return uint32_t(v[0]) | (uint32_t(v[1]) << 8) | (uint32_t(v[2]) << 16) | (uint32_t(v[3]) << 24);
}

void kor_set_card_field(uint16_t value)
{
    __atomic_store_n(word_at(kCardField), value, __ATOMIC_RELEASE);
}

uint16_t kor_card_field()
{
    return __atomic_load_n(word_at(kCardField), __ATOMIC_ACQUIRE);
}
