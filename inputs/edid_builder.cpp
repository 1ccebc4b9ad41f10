#include "inputs/edid_builder.h"

#include <cmath>

const std::vector<EdidTiming> &edid_cea_modes()
{
    // vic, active, rate, clock, horizontal total/front porch/sync, vertical total/front porch/sync, polarity
    static const std::vector<EdidTiming> modes = {
        {97, 3840, 2160, 60, 594000, 4400, 176, 88, 2250, 8, 10, true, true},
        {96, 3840, 2160, 50, 594000, 5280, 1056, 88, 2250, 8, 10, true, true},
        {95, 3840, 2160, 30, 297000, 4400, 176, 88, 2250, 8, 10, true, true},
        {94, 3840, 2160, 25, 297000, 5280, 1056, 88, 2250, 8, 10, true, true},
        {93, 3840, 2160, 24, 297000, 5500, 1276, 88, 2250, 8, 10, true, true},
        {16, 1920, 1080, 60, 148500, 2200, 88, 44, 1125, 4, 5, true, true},
        {31, 1920, 1080, 50, 148500, 2640, 528, 44, 1125, 4, 5, true, true},
        {34, 1920, 1080, 30, 74250, 2200, 88, 44, 1125, 4, 5, true, true},
        {33, 1920, 1080, 25, 74250, 2640, 528, 44, 1125, 4, 5, true, true},
        {32, 1920, 1080, 24, 74250, 2750, 638, 44, 1125, 4, 5, true, true},
        {4, 1280, 720, 60, 74250, 1650, 110, 40, 750, 5, 5, true, true},
        {19, 1280, 720, 50, 74250, 1980, 440, 40, 750, 5, 5, true, true},
        {3, 720, 480, 60, 27000, 858, 16, 62, 525, 9, 6, false, false},
        {1, 640, 480, 60, 25175, 800, 16, 96, 525, 10, 2, false, false},
    };
    return modes;
}

namespace {
// Vertical sync width of reduced blanking, by aspect ratio.
int cvt_vsync(int w, int h)
{
    if (w * 3 == h * 4)
        return 4;
    if (w * 9 == h * 16)
        return 5;
    if (w * 10 == h * 16)
        return 6;
    if (w * 4 == h * 5 || w * 9 == h * 15)
        return 7;
    return 10;
}

// CVT reduced blanking: 160 pixels of horizontal blanking (48 front porch, 32 sync), at least
// 460 us of vertical blanking with a 3-line front porch and 6 lines of back porch, clock in
// steps of 0.25 MHz.
bool cvt_rb(int w, int h, int rate, EdidTiming *out)
{
    const double min_vblank_us = 460.0;
    const double h_period_est = (1e6 / rate - min_vblank_us) / h;
    if (h_period_est <= 0)
        return false;
    const int v_sync = cvt_vsync(w, h);
    int vbi = int(min_vblank_us / h_period_est) + 1;
    if (vbi < 3 + v_sync + 6)
        vbi = 3 + v_sync + 6;
    EdidTiming t{};
    t.vic = 0;
    t.width = w;
    t.height = h;
    t.rate = rate;
    t.h_total = w + 160;
    t.h_front = 48;
    t.h_sync = 32;
    t.v_total = h + vbi;
    t.v_front = 3;
    t.v_sync = v_sync;
    t.h_positive = true;
    t.v_positive = false;
    const double clock_mhz = double(rate) * t.v_total * t.h_total / 1e6;
    t.clock_khz = int(std::floor(clock_mhz / 0.25)) * 250;
    *out = t;
    return true;
}
}

bool edid_timing_for(int width, int height, int rate, EdidTiming *out)
{
    for (const EdidTiming &m : edid_cea_modes())
        if (m.width == width && m.height == height && m.rate == rate) {
            *out = m;
            return true;
        }
    return cvt_rb(width, height, rate, out);
}
