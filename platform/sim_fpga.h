#pragma once
#include "platform/fpga_device.h"
#include "platform/rcv_frame.h"

#include <array>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

// One simulated receiving card.
struct SimRcvCard {
    uint16_t x = 0;
    uint16_t y = 0;
    bool positioned = false;
    std::vector<uint8_t> pack;     // the smart-mapping pack it was loaded with
    std::vector<uint8_t> params;   // the parameters a recovery brought back
    bool cured = false;
    uint32_t mapping = 0;
    bool needs_recovery = false;
    bool fails = false;            // answers every frame with an error
    std::vector<RcvFrame> received;
    std::vector<uint8_t> buffer;   // chunks of a transfer not yet ended
};

// Two FPGAs (registers, parameter RAM, configuration flash) and a network of receiving
// cards, 16 output ports with a chain of cards each. Tests set its state and read what
// the program sent; every call is safe from any thread.
class SimFpga : public FpgaDevice {
public:
    int bring_up() override;
    uint8_t read_register(int fpga, int reg) override;
    void write_register(int fpga, int reg, uint8_t value) override;
    void write_ram(int fpga, int block, int offset, const uint8_t *data, int len) override;
    void read_ram(int fpga, int block, int offset, uint8_t *data, int len) override;
    bool read_flash_ram_copy(int fpga, uint8_t *data, int len) override;
    int write_flash_image(int fpga, FlashRegion region, const uint8_t *data, int len) override;
    void pulse_reset() override;
    void screen_control(int code) override;
    int card_send(const uint8_t *frame, int len) override;
    bool card_poll(int port, std::vector<uint8_t> *reply) override;

    // --- state a test sets
    // Cards on the port's chain; the port's link bit follows unless links were forced.
    void set_chain(int port, int cards);
    void set_register(int fpga, int reg, uint8_t value);
    // Forces registers 128 (ports 0-7) and 144 (ports 8-15) of FPGA 0.
    void set_link_bits(uint16_t bits);
    // What register 80 reads after bring-up (3 = running).
    void set_state_after_bring_up(uint8_t state);
    void set_flash_ram_copy(int fpga, const std::vector<uint8_t> &image, bool valid);
    void set_flash_write_fails(bool fails);
    void set_needs_recovery(int port, int card, bool needs);
    void set_card_fails(int port, int card, bool fails);
    // A port whose frames are taken but never answered.
    void set_port_hangs(int port, bool hangs);
    // Replies become visible only after this many polls of their port.
    void set_reply_delay(int polls);

    // --- what a test reads
    int chain(int port) const;
    SimRcvCard card(int port, int index) const;
    std::vector<RcvFrame> received(int port, int index) const;
    uint8_t register_value(int fpga, int reg) const;
    std::vector<uint8_t> ram(int fpga) const;
    std::vector<uint8_t> flash_image(int fpga, FlashRegion region) const;
    std::vector<int> screen_controls() const;
    int reset_pulses() const;
    int bring_ups() const;
    int frames_sent() const;
    int bad_frames() const;

private:
    struct Pending {
        std::vector<uint8_t> bytes;
        int delay;
    };
    void update_links();
    // Applies one frame to one card; 0 done, 1 error.
    uint8_t apply(SimRcvCard &card, const RcvFrame &frame);

    mutable std::mutex m_mutex;
    std::array<std::array<uint8_t, kRegs>, kFpgas> m_regs{};
    std::array<std::array<uint8_t, kRamSize>, kFpgas> m_ram{};
    std::array<std::vector<uint8_t>, kFpgas> m_flash_copy;
    std::array<bool, kFpgas> m_flash_copy_valid{};
    std::map<std::pair<int, int>, std::vector<uint8_t>> m_flash_images;
    bool m_flash_write_fails = false;
    uint8_t m_state_after_bring_up = 3;
    bool m_links_forced = false;
    std::array<std::vector<SimRcvCard>, kPorts> m_ports;
    std::array<bool, kPorts> m_hangs{};
    std::array<std::deque<Pending>, kPorts> m_replies;
    int m_reply_delay = 0;
    std::vector<int> m_screen_controls;
    int m_reset_pulses = 0;
    int m_bring_ups = 0;
    int m_frames = 0;
    int m_bad_frames = 0;
};

// The simulated FPGA when installed, else null.
SimFpga *sim_fpga();
