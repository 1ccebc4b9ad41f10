#pragma once
#include <cstdint>
#include <vector>

// The FPGA seam: what the FPGA manager asks of the two FPGAs, their configuration flash,
// their reset line and the receiving cards behind their output ports. On this machine the
// simulated FPGA (platform/sim_fpga.h) fills it in.
class FpgaDevice {
public:
    static constexpr int kFpgas = 2;
    static constexpr int kRegs = 170;
    static constexpr int kRamSize = 1024;   // RAM block 1, the port parameters
    static constexpr int kPorts = 16;

    // Regions of the configuration flash an upgrade package can be written to.
    enum FlashRegion { FlashBitstream = 0, FlashMcu = 1 };

    virtual ~FpgaDevice() = default;

    // Loads the configuration and starts both FPGAs; register 80 of FPGA 0 reads 3 once
    // they run. 0 when the FPGAs were started, 255 when the configuration could not load.
    virtual int bring_up() = 0;
    virtual uint8_t read_register(int fpga, int reg) = 0;
    virtual void write_register(int fpga, int reg, uint8_t value) = 0;
    // Parameter RAM (block 1 only, kRamSize bytes per FPGA).
    virtual void write_ram(int fpga, int block, int offset, const uint8_t *data, int len) = 0;
    virtual void read_ram(int fpga, int block, int offset, uint8_t *data, int len) = 0;
    // The parameter-RAM copy kept in the configuration flash; true when it carries the
    // valid mark (then `len` bytes were copied to `data`).
    virtual bool read_flash_ram_copy(int fpga, uint8_t *data, int len) = 0;
    // 0 when the image was erased into place and read back equal.
    virtual int write_flash_image(int fpga, FlashRegion region, const uint8_t *data, int len) = 0;
    // Pulses the FPGA reset line (after the scaler re-initialised its panel).
    virtual void pulse_reset() = 0;
    // One step of the screen control around an LED-geometry change (0 hold, 5 resume).
    virtual void screen_control(int code) = 0;

    // Receiving-card frames (platform/rcv_frame.h) relayed through the FPGA.
    // 0 when the FPGA took the frame.
    virtual int card_send(const uint8_t *frame, int len) = 0;
    // True, with the reply's bytes, when a reply came on the port since the last poll.
    virtual bool card_poll(int port, std::vector<uint8_t> *reply) = 0;
};

// Installs the simulated FPGA into kor_devices().fpga.
void install_simulated_fpga();
