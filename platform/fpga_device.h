#pragma once

// The FPGA seam: the simulated FPGA fills this in.
class FpgaDevice {
public:
    virtual ~FpgaDevice() = default;
};

// Installs the simulated FPGA into kor_devices().fpga.
void install_simulated_fpga();
