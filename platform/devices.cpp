#include "platform/devices.h"

#include "platform/edid_eeprom.h"
#include "platform/fpga_device.h"
#include "platform/scaler_device.h"
#include "platform/usb_keyboard.h"

KorDevices &kor_devices()
{
    static KorDevices devices;
    return devices;
}

void install_simulated_devices()
{
    KorDevices &d = kor_devices();
    d.scaler = std::make_shared<SimScaler>();
    d.edid = std::make_shared<SimEdidEepromBank>();
    d.keyboard = std::make_shared<SimUsbKeyBoard>();
    install_simulated_fpga();
}

SimScaler *sim_scaler()
{
    return dynamic_cast<SimScaler *>(kor_devices().scaler.get());
}

SimEdidEepromBank *sim_edid()
{
    return dynamic_cast<SimEdidEepromBank *>(kor_devices().edid.get());
}
