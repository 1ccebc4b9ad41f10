#pragma once
#include <vector>

// Video timings the EDID offers: the CEA-861 modes by their numbers, and reduced blanking
// (CVT-RB) for every other size.
struct EdidTiming {
    int vic;  // CEA video identification code, 0 for a computed timing
    int width, height, rate;
    int clock_khz;
    int h_total, h_front, h_sync;
    int v_total, v_front, v_sync;
    bool h_positive, v_positive;

    double refresh_hz() const { return clock_khz * 1000.0 / (double(h_total) * v_total); }
    double line_khz() const { return double(clock_khz) / h_total; }
};

// The CEA-861 modes the extension may list, in the order they are listed.
const std::vector<EdidTiming> &edid_cea_modes();
// The CEA mode of that size and rate, else the reduced-blanking timing. False when neither
// can be made.
bool edid_timing_for(int width, int height, int rate, EdidTiming *out);
