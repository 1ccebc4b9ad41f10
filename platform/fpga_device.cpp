#include "platform/fpga_device.h"

#include "platform/devices.h"

void install_simulated_fpga()
{
    kor_devices().fpga = std::make_shared<FpgaDevice>();
}
