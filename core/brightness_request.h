#pragma once
#include <atomic>
#include <cstdint>

// The brightness request from the scaler worker to the FPGA worker: the scaler keeps its own
// brightness fixed and leaves the screen brightness to the FPGA. Changed only while holding
// Utils::_bri_set_mutex.
extern std::atomic<uint8_t> g_bri_set_flag;

// Scaler side: raise the request.
void kor_request_fpga_brightness();
// FPGA side: true (and cleared) when a request was pending.
bool kor_take_fpga_brightness_request();
