#pragma once
#include <functional>

// What the host link does to the rest of the program when host frames arrive. The frame
// protocol lives elsewhere; these are the calls it makes.

// Every valid host frame: pc_cmd_valid = 1 with pc_cmd_time = the tick.
void host_frame_received();

// Pages a host file transfer must close. The UI installs the hooks at start-up, in the GUI
// thread; each hook checks that its page still exists and runs the page's back action.
namespace host_pages {
// Page 24: the smart-mapping page's back (it is rebuilt with the new file set when reopened).
void set_smartmapping_back_hook(std::function<void()> hook);
// Page 25: the recovery page's menulist_back_page.
void set_recovery_back_hook(std::function<void()> hook);
void clear_hooks();  // tests
}

// A smart-mapping pack file arrived: closes the smart-mapping page when it is in front.
void host_pack_file_received();
// A pack file was deleted: closes the smart-mapping or the recovery page when in front.
// Both are safe from any thread: the hook runs queued in the GUI thread, and only when the
// same page is still in front then.
void host_pack_file_deleted();
