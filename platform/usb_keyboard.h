#pragma once
#include <atomic>

// The USB HID key board. Start-up only notes whether it is plugged in.
class UsbKeyBoard {
public:
    static constexpr unsigned short kVendor = 0x28E9;
    static constexpr unsigned short kProduct = 0x0380;
    virtual ~UsbKeyBoard() = default;
    virtual bool present() = 0;
};

// Asks hidapi's enumeration; needs no device (none found is an answer).
class HidUsbKeyBoard : public UsbKeyBoard {
public:
    bool present() override;
};

// Tests plug it in by hand.
class SimUsbKeyBoard : public UsbKeyBoard {
public:
    bool present() override { return plugged.load(); }
    std::atomic<bool> plugged{false};
};

// Puts the hidapi key board into kor_devices() (the program; tests keep the simulated one).
void install_hid_keyboard();
SimUsbKeyBoard *sim_keyboard();
