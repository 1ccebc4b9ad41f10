#include "platform/fpga_device.h"

#include "platform/devices.h"
#include "platform/sim_fpga.h"

void install_simulated_fpga()
{
    kor_devices().fpga = std::make_shared<SimFpga>();
}
