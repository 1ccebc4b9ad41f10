#include "platform/usb_keyboard.h"

#include "platform/devices.h"

#include <hidapi.h>

bool HidUsbKeyBoard::present()
{
    if (hid_init() != 0)
        return false;
    hid_device_info *found = hid_enumerate(kVendor, kProduct);
    const bool any = found != nullptr;
    hid_free_enumeration(found);
    hid_exit();
    return any;
}

void install_hid_keyboard()
{
    kor_devices().keyboard = std::make_shared<HidUsbKeyBoard>();
}

SimUsbKeyBoard *sim_keyboard()
{
    return dynamic_cast<SimUsbKeyBoard *>(kor_devices().keyboard.get());
}
