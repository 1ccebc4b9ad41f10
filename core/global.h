#pragma once
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <string>

class QDateTime;

// Shared globals. Values that a page writes and a worker reads are atomics (release on
// store, acquire on load): the board is ARM, where plain stores may be seen out of order.

extern std::atomic<uint32_t> G_timeTicks;        // 10 ms ticks, advanced by the GUI timer only
extern std::atomic<uint8_t> g_debugSwitch;       // traces print while it equals 254
extern std::atomic<uint8_t> g_language;          // 0 zh, 1 en, 2 ru, 3 vi, 4 zh-tw
extern std::atomic<uint8_t> g_lcd_lang_valid;    // bit n: language n allowed
extern std::atomic<uint8_t> g_page_focus;        // number of the page in front, 0..26

extern std::string g_usb_grade_path;             // "config/usbupgradedir"; " " = stick root
// The settings write it and the FPGA worker reads it during an upgrade: through these only.
std::string kor_usb_grade_path();
void kor_set_usb_grade_path(const std::string &path);
extern std::string g_str_ip;
extern std::string g_srt_mask;
extern std::string g_str_gateway;

// FPGA job request; its fields are reached through fpga/fpga_job_request.h only.
alignas(4) extern unsigned char g_send_para[36];
// Quick-setup record of smart mapping: u16 w, u16 h, u16 x offset, u16 y offset,
// u8 port, u8 rows, u8 columns, u8 routing pattern.
alignas(4) extern unsigned char line_type[12];
extern std::string g_ykfile_name;                // pack file chosen on the smart-mapping page

extern std::atomic<uint8_t> g_usb_grade;         // 1 while the USB-stick upgrade engine runs
extern std::atomic<uint8_t> g_set_led_para;      // LED-parameter hand-over (under _led_para_init_mutex)
extern std::atomic<uint8_t> g_set_led_setup;
extern std::atomic<uint8_t> g_fpga_v331_start;
extern std::atomic<uint8_t> g_force_bkcolor;
extern std::atomic<uint8_t> g_osd_update;
extern std::atomic<uint8_t> g_mode_shortcut_key;
extern std::atomic<uint8_t> g_keyboard_present;   // the USB key board was found at start-up

extern std::atomic<uint8_t> pc_cmd_valid;        // a valid host frame came recently
extern std::atomic<uint32_t> pc_cmd_time;
extern std::atomic<uint8_t> g_wifi_reset_flag;

// Ageing log: written only by the sampler (GUI thread), read by the ageing page.
extern QStringList factoryage_log;
extern uint32_t factoryage_log_diff3;
extern uint32_t factoryage_log_diff5;
extern uint32_t factoryage_log_diff10;
extern uint32_t factoryage_log_diff20;
extern uint32_t factoryage_log_diffmore;
extern uint32_t G_factoryage_ticks;

// The wall clock, read under Utils::_system_mutex: never in the middle of a shell command
// (a date change).
QDateTime kor_system_now();

// Trace output, printed only while g_debugSwitch is 254.
void kor_trace(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Back to the start-up values (tests).
void kor_globals_reset();
