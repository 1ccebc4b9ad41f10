#pragma once
#include "core/table_map.h"

#include <cstdint>

// The key-board glue every page holds: after each key release the page hands the key code
// here, so the USB key board's shortcut letters work on whatever page is in front.
class kor_keyboard {
public:
    // Codes 65..70 ('A'..'F') select window 0..5 when it is enabled; 71..76 ('G'..'L') set
    // the current window's source to 0, 1, 4, 5, 2, 3; 78 ('N') toggles freeze, 80 ('P')
    // black. Nothing while the key-lock word (KorTable::kKeyLock) is set; other codes do nothing.
    void update_usb_keyEvent(int key);

    // The window the shortcuts act on (shared by every page).
    static int current_window();
    static void set_current_window(int window);  // tests and start-up
};
