#include "core/global.h"

#include "core/utils.h"
#include "platform/kor_clock.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

std::atomic<uint32_t> G_timeTicks{0};
std::atomic<uint8_t> g_debugSwitch{254};
std::atomic<uint8_t> g_language{0};
std::atomic<uint8_t> g_lcd_lang_valid{0x1F};
std::atomic<uint8_t> g_page_focus{0};

std::string g_usb_grade_path = " ";
namespace {
std::mutex g_usb_grade_path_mutex;
}

std::string kor_usb_grade_path()
{
    std::lock_guard<std::mutex> lock(g_usb_grade_path_mutex);
    return g_usb_grade_path;
}

void kor_set_usb_grade_path(const std::string &path)
{
    std::lock_guard<std::mutex> lock(g_usb_grade_path_mutex);
    g_usb_grade_path = path;
}
std::string g_str_ip;
std::string g_srt_mask;
std::string g_str_gateway;

alignas(4) unsigned char g_send_para[36];
alignas(4) unsigned char line_type[12];
std::string g_ykfile_name;

std::atomic<uint8_t> g_usb_grade{0};
std::atomic<uint8_t> g_set_led_para{0};
std::atomic<uint8_t> g_set_led_setup{0};
std::atomic<uint8_t> g_fpga_v331_start{0};
std::atomic<uint8_t> g_force_bkcolor{0};
std::atomic<uint8_t> g_osd_update{0};
std::atomic<uint8_t> g_mode_shortcut_key{0};
std::atomic<uint8_t> g_keyboard_present{0};

std::atomic<uint8_t> pc_cmd_valid{0};
std::atomic<uint32_t> pc_cmd_time{0};
std::atomic<uint8_t> g_wifi_reset_flag{0};

QStringList factoryage_log;
uint32_t factoryage_log_diff3 = 0;
uint32_t factoryage_log_diff5 = 0;
uint32_t factoryage_log_diff10 = 0;
uint32_t factoryage_log_diff20 = 0;
uint32_t factoryage_log_diffmore = 0;
uint32_t G_factoryage_ticks = 0;

QDateTime kor_system_now()
{
    QMutexLocker lock(&Utils::_system_mutex);
    return kor_now();
}

void kor_trace(const char *format, ...)
{
    if (g_debugSwitch.load(std::memory_order_relaxed) != 254)
        return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

void kor_globals_reset()
{
    G_timeTicks = 0;
    g_debugSwitch = 254;
    g_language = 0;
    g_lcd_lang_valid = 0x1F;
    g_page_focus = 0;
    kor_set_usb_grade_path(" ");
    g_str_ip.clear();
    g_srt_mask.clear();
    g_str_gateway.clear();
    std::memset(g_send_para, 0, sizeof g_send_para);
    std::memset(line_type, 0, sizeof line_type);
    g_ykfile_name.clear();
    g_usb_grade = 0;
    g_set_led_para = 0;
    g_set_led_setup = 0;
    g_fpga_v331_start = 0;
    g_force_bkcolor = 0;
    g_osd_update = 0;
    g_mode_shortcut_key = 0;
    g_keyboard_present = 0;
    pc_cmd_valid = 0;
    pc_cmd_time = 0;
    g_wifi_reset_flag = 0;
    factoryage_log.clear();
    factoryage_log_diff3 = factoryage_log_diff5 = factoryage_log_diff10 = 0;
    factoryage_log_diff20 = factoryage_log_diffmore = 0;
    G_factoryage_ticks = 0;
}
