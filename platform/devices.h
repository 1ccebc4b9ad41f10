#pragma once
#include <memory>

class ScalerDevice;
class EdidEepromBank;
class FpgaDevice;
class SimScaler;
class SimEdidEepromBank;
class UsbKeyBoard;

// The devices under the program, chosen once at start-up. On this machine they are the
// simulated parts; the managers only see the interfaces.
struct KorDevices {
    std::shared_ptr<ScalerDevice> scaler;
    std::shared_ptr<EdidEepromBank> edid;
    std::shared_ptr<FpgaDevice> fpga;
    std::shared_ptr<UsbKeyBoard> keyboard;
};

KorDevices &kor_devices();
// Installs a fresh set of simulated devices (start-up on this machine, and every test).
void install_simulated_devices();

// The simulated parts, when installed (null otherwise); tests use these to set state and
// read what the program asked.
SimScaler *sim_scaler();
SimEdidEepromBank *sim_edid();
