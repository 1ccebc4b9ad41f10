#include "inputs/dizidezorar.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/singleton.h"
#include "core/table_map.h"
#include "inputs/edid_builder.h"
#include "platform/devices.h"
#include "platform/edid_eeprom.h"

#include <algorithm>
#include <cmath>
#include <cstring>

dizidezorar *dizidezorar::p_kavri_source = nullptr;
std::atomic<uint8_t> dizidezorar::edid_rewrite[dizidezorar::kInputs];

namespace {
constexpr std::chrono::milliseconds kPassPause{50};

void put_checksum(unsigned char *block)
{
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i)
        sum += block[i];
    block[127] = uint8_t((256 - sum % 256) % 256);
}

void put_detailed_timing(unsigned char *d, const EdidTiming &t, int width_mm, int height_mm)
{
    const int clock = (t.clock_khz + 5) / 10;  // 10 kHz units
    const int h_blank = t.h_total - t.width;
    const int v_blank = t.v_total - t.height;
    d[0] = uint8_t(clock & 0xFF);
    d[1] = uint8_t(clock >> 8);
    d[2] = uint8_t(t.width & 0xFF);
    d[3] = uint8_t(h_blank & 0xFF);
    d[4] = uint8_t(((t.width >> 8) << 4) | (h_blank >> 8));
    d[5] = uint8_t(t.height & 0xFF);
    d[6] = uint8_t(v_blank & 0xFF);
    d[7] = uint8_t(((t.height >> 8) << 4) | (v_blank >> 8));
    d[8] = uint8_t(t.h_front & 0xFF);
    d[9] = uint8_t(t.h_sync & 0xFF);
    d[10] = uint8_t(((t.v_front & 0x0F) << 4) | (t.v_sync & 0x0F));
    d[11] = uint8_t(((t.h_front >> 8) << 6) | ((t.h_sync >> 8) << 4) | ((t.v_front >> 4) << 2) | (t.v_sync >> 4));
    d[12] = uint8_t(width_mm & 0xFF);
    d[13] = uint8_t(height_mm & 0xFF);
    d[14] = uint8_t(((width_mm >> 8) << 4) | (height_mm >> 8));
    d[15] = 0;
    d[16] = 0;
    // Digital separate sync with the mode's polarities.
    d[17] = uint8_t(0x18 | (t.v_positive ? 0x04 : 0) | (t.h_positive ? 0x02 : 0));
}

void put_text_descriptor(unsigned char *d, uint8_t tag, const char *text)
{
    d[3] = tag;
    int i = 0;
    for (; text[i] && i < 13; ++i)
        d[5 + i] = uint8_t(text[i]);
    if (i < 13)
        d[5 + i++] = 0x0A;
    for (; i < 13; ++i)
        d[5 + i] = 0x20;
}

// sRGB primaries and D65 white, 10-bit fractions.
void put_chromaticity(unsigned char *b)
{
    const double xy[8] = {0.640, 0.330, 0.300, 0.600, 0.150, 0.060, 0.3127, 0.3290};
    int v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = int(std::lround(xy[i] * 1024));
    b[0] = uint8_t(((v[0] & 3) << 6) | ((v[1] & 3) << 4) | ((v[2] & 3) << 2) | (v[3] & 3));
    b[1] = uint8_t(((v[4] & 3) << 6) | ((v[5] & 3) << 4) | ((v[6] & 3) << 2) | (v[7] & 3));
    for (int i = 0; i < 8; ++i)
        b[2 + i] = uint8_t(v[i] >> 2);
}

bool fits_detailed_timing(const EdidTiming &t)
{
    return (t.clock_khz + 5) / 10 <= 0xFFFF && t.h_total - t.width < 4096 && t.v_total - t.height < 4096
        && t.h_front < 1024 && t.h_sync < 1024 && t.v_front < 64 && t.v_sync < 64;
}
}

dizidezorar *dizidezorar::pInstance()
{
    return kor_singleton(p_kavri_source, KorSingletons::kWorkers, destroy_instance, [] { return new dizidezorar; });
}

void dizidezorar::destroy_instance()
{
    delete p_kavri_source;
    p_kavri_source = nullptr;
}

dizidezorar::dizidezorar() = default;

dizidezorar::~dizidezorar()
{
    m_worker.stop();
}

int dizidezorar::initialize()
{
    return m_worker.start([this] { run_pass(); },
                          [] {
                              for (const auto &flag : edid_rewrite)
                                  if (flag.load(std::memory_order_acquire))
                                      return true;
                              return false;
                          },
                          kPassPause);
}

void dizidezorar::run_pass()
{
    for (int input = 0; input < kInputs; ++input) {
        // Cleared before the rebuild: a record changed again meanwhile raises it anew.
        if (edid_rewrite[input].exchange(0, std::memory_order_acq_rel))
            rewrite_edid(input);
    }
}

void dizidezorar::rewrite_edid(int input)
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    EdidEepromBank *bank = kor_devices().edid.get();
    if (!t || !bank)
        return;
    int width, height, rate;
    {
        QMutexLocker lock(&ParaChange::mutex);
        width = t->u16(KorTable::edid_width(input));
        height = t->u16(KorTable::edid_height(input));
        rate = t->u16(KorTable::edid_rate(input));
    }
    unsigned char edid[kEdidSize];
    if (Set_Custom_HDMI_EDID(edid, width, height, rate) != 0) {
        // The input keeps offering the EDID it had.
        kor_trace("edid: input %d: %dx%d@%d cannot be described, EDID kept\n", input, width, height, rate);
        return;
    }
    if (!bank->write(input, edid, kEdidSize)) {
        kor_trace("edid: input %d: EEPROM write failed\n", input);
        return;
    }
    bank->pulse_hotplug(input);
    kor_trace("edid: input %d now offers %dx%d@%d\n", input, width, height, rate);
}

int dizidezorar::Set_Custom_HDMI_EDID(unsigned char *edid, int width, int height, int rate)
{
    if (!edid || width < 64 || width > 4095 || height < 64 || height > 4095 || rate < 1 || rate > 240)
        return 1;
    EdidTiming mode;
    if (!edid_timing_for(width, height, rate, &mode) || !fits_detailed_timing(mode))
        return 1;

    // The CEA modes offered beside it: the mode's own first, then those that fit inside it;
    // 640x480 always, as every HDMI sink must take it.
    std::vector<EdidTiming> listed;
    if (mode.vic)
        listed.push_back(mode);
    for (const EdidTiming &m : edid_cea_modes())
        if (m.vic != mode.vic
            && ((m.width <= width && m.height <= height && m.clock_khz <= mode.clock_khz) || m.vic == 1))
            listed.push_back(m);

    double v_min = mode.refresh_hz(), v_max = v_min, h_min = mode.line_khz(), h_max = h_min;
    int clock_max = mode.clock_khz;
    for (const EdidTiming &m : listed) {
        v_min = std::min(v_min, m.refresh_hz());
        v_max = std::max(v_max, m.refresh_hz());
        h_min = std::min(h_min, m.line_khz());
        h_max = std::max(h_max, m.line_khz());
        clock_max = std::max(clock_max, m.clock_khz);
    }
    auto byte_range = [](double v) { return uint8_t(std::clamp(int(v), 1, 255)); };

    unsigned char out[kEdidSize] = {};
    unsigned char *b = out;
    static const unsigned char header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::memcpy(b, header, sizeof header);
    // Manufacturer "KOR" in five-bit letters, product 0x5A73, no serial number.
    const unsigned mfg = ((('K' - '@') & 31) << 10) | ((('O' - '@') & 31) << 5) | (('R' - '@') & 31);
    b[8] = uint8_t(mfg >> 8);
    b[9] = uint8_t(mfg & 0xFF);
    b[10] = 0x73;
    b[11] = 0x5A;
    b[16] = 1;                 // week
    b[17] = 2024 - 1990;       // year
    b[18] = 1;                 // EDID 1.3
    b[19] = 3;
    b[20] = 0x80;              // digital input
    // A 160 cm wide screen of the mode's shape.
    const int width_cm = 160;
    const int height_cm = std::clamp(int(std::lround(160.0 * height / width)), 1, 255);
    b[21] = uint8_t(width_cm);
    b[22] = uint8_t(height_cm);
    b[23] = 120;               // gamma 2.2
    b[24] = 0x0E;              // RGB colour, sRGB, preferred timing in the first descriptor
    put_chromaticity(b + 25);
    b[35] = 0x20;              // 640x480@60
    for (int i = 38; i < 54; ++i)
        b[i] = 0x01;           // no standard timings
    put_detailed_timing(b + 54, mode, width_cm * 10, std::min(height_cm * 10, 4095));

    unsigned char *range = b + 72;
    range[3] = 0xFD;
    range[5] = byte_range(std::floor(v_min * 1000 / 1001));  // also the 1/1.001 rates
    range[6] = byte_range(std::ceil(v_max));
    range[7] = byte_range(std::floor(h_min));
    range[8] = byte_range(std::ceil(h_max));
    range[9] = byte_range(std::ceil(clock_max / 10000.0));   // 10 MHz units
    range[10] = 0x00;
    range[11] = 0x0A;
    for (int i = 12; i < 18; ++i)
        range[i] = 0x20;
    put_text_descriptor(b + 90, 0xFC, "KOR Z73N");
    b[108 + 3] = 0x10;         // unused descriptor
    b[126] = 1;                // one extension
    put_checksum(b);

    unsigned char *e = out + 128;
    e[0] = 0x02;
    e[1] = 0x03;
    int p = 4;
    // Video data block, the mode's own code first (the native format is the detailed timing).
    e[p++] = uint8_t((2 << 5) | int(listed.size()));
    for (const EdidTiming &m : listed)
        e[p++] = uint8_t(m.vic);
    // Video capability: RGB quantisation range selectable, IT and CE formats underscanned.
    const unsigned char capability[] = {0xE2, 0x00, 0x4A};
    std::memcpy(e + p, capability, sizeof capability);
    p += sizeof capability;
    // Audio: two-channel LPCM at 32, 44.1 and 48 kHz, 16 to 24 bits; front left and right.
    const unsigned char audio[] = {0x23, 0x09, 0x07, 0x07, 0x83, 0x01, 0x00, 0x00};
    std::memcpy(e + p, audio, sizeof audio);
    p += sizeof audio;
    // HDMI vendor block: physical address 1.0.0.0, TMDS clock up to 340 MHz.
    const int tmds_mhz = std::min(340, (clock_max / 1000 + 4) / 5 * 5);
    const unsigned char hdmi[] = {0x67, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, uint8_t(tmds_mhz / 5)};
    std::memcpy(e + p, hdmi, sizeof hdmi);
    p += sizeof hdmi;
    if (clock_max > 340000) {
        // HDMI Forum block: 600 MHz character rate with SCDC, for the 2.0 modes.
        const unsigned char forum[] = {0x67, 0xD8, 0x5D, 0xC4, 0x01, 600 / 5, 0x80, 0x00};
        std::memcpy(e + p, forum, sizeof forum);
        p += sizeof forum;
    }
    e[2] = uint8_t(p);         // no detailed timings follow the blocks
    e[3] = 0xC1;               // underscan, basic audio, one native detailed timing
    put_checksum(e);

    std::memcpy(edid, out, kEdidSize);
    return 0;
}
