#pragma once
#include <cstdint>
#include <memory>
#include <mutex>

class FpgaDevice;

// The register shadows and parameter-RAM images of the two FPGAs, their register I/O over
// SPI, the running state and the output links. Pages read the shadows in the GUI thread;
// single bytes are published with release/acquire, the worker never writes the RAM images
// once it runs.
class fpga_registers {
public:
    static constexpr int kRegs = 170;
    static constexpr int kRamSize = 1024;
    static constexpr int kPorts = 16;

    explicit fpga_registers(std::shared_ptr<FpgaDevice> dev);

    // The byte offsets of an output port's x, y, width and height in a RAM image; port 0's
    // for a port it does not know.
    static void port_offsets(unsigned char port, unsigned short *x, unsigned short *y, unsigned short *w,
                             unsigned short *h);

    // Starts the FPGAs, builds both RAM images and writes them to a running FPGA. 0 when
    // the FPGAs run, 255 otherwise.
    int bring_up();

    void read(unsigned char reg, unsigned char fpga);
    // Masked write into the shadow and, when there is a device, to the FPGA.
    void write(unsigned char reg, unsigned char mask, unsigned char value, unsigned char fpga);
    bool running() const;
    // The pages' look at the links: refreshes registers 128 and 144 of FPGA 0 in the shadow.
    uint16_t link_state();
    // The worker's own look at the links; the pages' shadow stays theirs.
    uint16_t read_links();

    const unsigned char *shadow(int fpga) const { return m_regs[fpga]; }
    const unsigned char *ram_image(int fpga) const { return m_ram[fpga]; }
    // Publishes a shadow byte (release); tests also set the FPGA's state with it.
    void set_shadow(int fpga, int reg, uint8_t value);

private:
    uint8_t shadow_byte(int fpga, int reg) const;
    void build_ram_image(int fpga);

    std::shared_ptr<FpgaDevice> m_dev;
    unsigned char m_regs[2][kRegs];
    unsigned char m_ram[2][kRamSize];
    mutable std::mutex m_mutex;  // SPI register transfers and the register shadows
};
