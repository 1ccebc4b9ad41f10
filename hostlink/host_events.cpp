#include "hostlink/host_events.h"

#include "core/global.h"
#include "core/gui_post.h"
#include "core/page_numbers.h"


namespace {
constexpr int kSmartMappingPage = KorPageNo::SmartMapping;
constexpr int kRecoveryPage = KorPageNo::rcv_recovery;

// Read and written in the GUI thread only.
std::function<void()> g_smartmapping_back;
std::function<void()> g_recovery_back;

void close_page_queued(int page)
{
    kor_post_to_gui(
        nullptr,
        [page] {
            // The page may have gone while the call waited.
            if (g_page_focus.load(std::memory_order_acquire) != page)
                return;
            std::function<void()> hook = page == kSmartMappingPage ? g_smartmapping_back : g_recovery_back;
            if (hook)
                hook();
        });
}
}

void host_frame_received()
{
    pc_cmd_time.store(G_timeTicks.load(), std::memory_order_release);
    pc_cmd_valid.store(1, std::memory_order_release);
}

namespace host_pages {
void set_smartmapping_back_hook(std::function<void()> hook) { g_smartmapping_back = std::move(hook); }
void set_recovery_back_hook(std::function<void()> hook) { g_recovery_back = std::move(hook); }
void clear_hooks()
{
    g_smartmapping_back = nullptr;
    g_recovery_back = nullptr;
}
}

void host_pack_file_received()
{
    if (g_page_focus.load(std::memory_order_acquire) == kSmartMappingPage)
        close_page_queued(kSmartMappingPage);
}

void host_pack_file_deleted()
{
    const int page = g_page_focus.load(std::memory_order_acquire);
    if (page == kSmartMappingPage || page == kRecoveryPage)
        close_page_queued(page);
}
