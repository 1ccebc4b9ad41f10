#pragma once
#include <cstdint>

// Offsets inside a window record (table offset 0x8E0 + 26 x window) used by the key-board
// shortcuts. Enable, position and the flags bytes are fixed by the table map; source, black
// and freeze are the record's remaining fields.
namespace KorWindowRecord {
constexpr int kBase = 0x8E0;
constexpr int kSize = 26;
constexpr int kCount = 6;
constexpr int kEnable = 0;   // u16, bit 0
constexpr int kSource = 2;   // u16, source id 0..5
constexpr int kBlack = 22;   // byte, 1 = output black
constexpr int kFreeze = 23;  // byte, 1 = picture frozen
inline int offset(int window, int field) { return kBase + kSize * window + field; }
}

// The key-board glue every page holds: after each key release the page hands the key code
// here, so the USB key board's shortcut letters work on whatever page is in front.
class kor_keyboard {
public:
    // Codes 65..70 ('A'..'F') select window 0..5 when it is enabled; 71..76 ('G'..'L') set
    // the current window's source to 0, 1, 4, 5, 2, 3; 78 ('N') toggles freeze, 80 ('P')
    // black. Nothing while the key-lock word (0x304) is set; other codes do nothing.
    void update_usb_keyEvent(int key);

    // The window the shortcuts act on (shared by every page).
    static int current_window();
    static void set_current_window(int window);  // tests and start-up
};
