#include "platform/sim_fpga.h"

#include "platform/devices.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kLinkLowReg = 128;
constexpr int kLinkHighReg = 144;
constexpr int kStateReg = 80;
// A transfer larger than this is refused by the card.
constexpr uint32_t kCardBufferMax = 1u << 20;

bool valid_reg(int fpga, int reg)
{
    return fpga >= 0 && fpga < FpgaDevice::kFpgas && reg >= 0 && reg < FpgaDevice::kRegs;
}
}

SimFpga *sim_fpga()
{
    return dynamic_cast<SimFpga *>(kor_devices().fpga.get());
}

int SimFpga::bring_up()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_bring_ups;
    m_regs[0][kStateReg] = m_state_after_bring_up;
    m_regs[1][kStateReg] = m_state_after_bring_up;
    return m_state_after_bring_up == 3 ? 0 : 255;
}

uint8_t SimFpga::read_register(int fpga, int reg)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return valid_reg(fpga, reg) ? m_regs[fpga][reg] : 0;
}

void SimFpga::write_register(int fpga, int reg, uint8_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (valid_reg(fpga, reg))
        m_regs[fpga][reg] = value;
}

void SimFpga::write_ram(int fpga, int block, int offset, const uint8_t *data, int len)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fpga < 0 || fpga >= kFpgas || block != 1 || offset < 0 || len < 0 || offset + len > kRamSize)
        return;
    std::memcpy(m_ram[fpga].data() + offset, data, size_t(len));
}

void SimFpga::read_ram(int fpga, int block, int offset, uint8_t *data, int len)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fpga < 0 || fpga >= kFpgas || block != 1 || offset < 0 || len < 0 || offset + len > kRamSize)
        return;
    std::memcpy(data, m_ram[fpga].data() + offset, size_t(len));
}

bool SimFpga::read_flash_ram_copy(int fpga, uint8_t *data, int len)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fpga < 0 || fpga >= kFpgas || !m_flash_copy_valid[fpga] || len < 0 ||
        size_t(len) > m_flash_copy[fpga].size())
        return false;
    std::memcpy(data, m_flash_copy[fpga].data(), size_t(len));
    return true;
}

int SimFpga::write_flash_image(int fpga, FlashRegion region, const uint8_t *data, int len)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fpga < 0 || fpga >= kFpgas || len < 0 || m_flash_write_fails)
        return 255;
    m_flash_images[{fpga, int(region)}] = std::vector<uint8_t>(data, data + len);
    return 0;
}

void SimFpga::pulse_reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_reset_pulses;
}

void SimFpga::screen_control(int code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_screen_controls.push_back(code);
}

uint8_t SimFpga::apply(SimRcvCard &card, const RcvFrame &frame)
{
    card.received.push_back(frame);
    if (card.fails)
        return 1;
    const std::vector<uint8_t> &d = frame.data;
    switch (frame.command) {
    case RCV_CMD_COUNT:
    case RCV_CMD_CHECK:
        return 0;
    case RCV_CMD_POSITION:
        if (d.size() != 4)
            return 1;
        card.x = rcv_get16(d.data());
        card.y = rcv_get16(d.data() + 2);
        card.positioned = true;
        return 0;
    case RCV_CMD_PACK_WRITE:
    case RCV_CMD_RECOVER_WRITE: {
        const uint64_t end = uint64_t(frame.address) + d.size();
        if (end > kCardBufferMax)
            return 1;
        if (card.buffer.size() < end)
            card.buffer.resize(size_t(end));
        std::copy(d.begin(), d.end(), card.buffer.begin() + frame.address);
        return 0;
    }
    case RCV_CMD_PACK_END:
    case RCV_CMD_RECOVER_END: {
        std::vector<uint8_t> got;
        got.swap(card.buffer);
        if (d.size() != 8)
            return 1;
        const uint32_t length = rcv_get32(d.data());
        const uint32_t crc = rcv_get32(d.data() + 4);
        if (got.size() < length || rcv_crc32(got.data(), int(length)) != crc)
            return 1;
        got.resize(length);
        if (frame.command == RCV_CMD_PACK_END) {
            card.pack = got;
            card.cured = false;
        } else {
            card.params = got;
            card.needs_recovery = false;
        }
        return 0;
    }
    case RCV_CMD_CURE:
        card.cured = true;
        return 0;
    case RCV_CMD_MAPPING:
        if (d.size() != 4)
            return 1;
        card.mapping = rcv_get32(d.data());
        return 0;
    default:
        return 1;
    }
}

int SimFpga::card_send(const uint8_t *bytes, int len)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_frames;
    RcvFrame frame;
    if (!rcv_frame_decode(bytes, len, &frame) || frame.source != 0) {
        ++m_bad_frames;
        return 0;  // taken, but no card answers a broken frame
    }
    if (frame.port >= kPorts)
        return 1;
    std::vector<SimRcvCard> &chain = m_ports[frame.port];
    if (m_hangs[frame.port] || chain.empty())
        return 0;

    uint8_t status = 0;
    if (frame.card == kRcvAllCards) {
        for (SimRcvCard &c : chain)
            status |= apply(c, frame);
    } else if (frame.card < chain.size()) {
        status = apply(chain[frame.card], frame);
    } else {
        return 0;
    }

    RcvFrame reply;
    reply.card = frame.card;
    reply.port = frame.port;
    reply.source = 1;
    reply.command = frame.command;
    reply.status = status;
    reply.address = frame.address;
    if (frame.command == RCV_CMD_COUNT) {
        rcv_put16(reply.data, uint16_t(chain.size()));
    } else if (frame.command == RCV_CMD_CHECK) {
        uint16_t first = kRcvNoCard;
        for (size_t i = 0; i < chain.size(); ++i) {
            if (chain[i].needs_recovery) {
                first = uint16_t(i);
                break;
            }
        }
        rcv_put16(reply.data, first);
    }
    m_replies[frame.port].push_back(Pending{rcv_frame_encode(reply), m_reply_delay});
    return 0;
}

bool SimFpga::card_poll(int port, std::vector<uint8_t> *reply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (port < 0 || port >= kPorts || m_replies[port].empty())
        return false;
    Pending &p = m_replies[port].front();
    if (p.delay > 0) {
        --p.delay;
        return false;
    }
    if (reply)
        *reply = std::move(p.bytes);
    m_replies[port].pop_front();
    return true;
}

void SimFpga::update_links()
{
    if (m_links_forced)
        return;
    uint16_t bits = 0;
    for (int p = 0; p < kPorts; ++p)
        if (!m_ports[p].empty())
            bits = uint16_t(bits | (1u << p));
    m_regs[0][kLinkLowReg] = uint8_t(bits);
    m_regs[0][kLinkHighReg] = uint8_t(bits >> 8);
}

void SimFpga::set_chain(int port, int cards)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (port < 0 || port >= kPorts || cards < 0)
        return;
    m_ports[port].resize(size_t(cards));
    update_links();
}

void SimFpga::set_register(int fpga, int reg, uint8_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!valid_reg(fpga, reg))
        return;
    m_regs[fpga][reg] = value;
    if (fpga == 0 && (reg == kLinkLowReg || reg == kLinkHighReg))
        m_links_forced = true;
}

void SimFpga::set_link_bits(uint16_t bits)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_links_forced = true;
    m_regs[0][kLinkLowReg] = uint8_t(bits);
    m_regs[0][kLinkHighReg] = uint8_t(bits >> 8);
}

void SimFpga::set_state_after_bring_up(uint8_t state)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state_after_bring_up = state;
}

void SimFpga::set_flash_ram_copy(int fpga, const std::vector<uint8_t> &image, bool valid)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fpga < 0 || fpga >= kFpgas)
        return;
    m_flash_copy[fpga] = image;
    m_flash_copy_valid[fpga] = valid;
}

void SimFpga::set_flash_write_fails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_flash_write_fails = fails;
}

void SimFpga::set_needs_recovery(int port, int card, bool needs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (port >= 0 && port < kPorts && card >= 0 && size_t(card) < m_ports[port].size())
        m_ports[port][card].needs_recovery = needs;
}

void SimFpga::set_card_fails(int port, int card, bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (port >= 0 && port < kPorts && card >= 0 && size_t(card) < m_ports[port].size())
        m_ports[port][card].fails = fails;
}

void SimFpga::set_port_hangs(int port, bool hangs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (port >= 0 && port < kPorts)
        m_hangs[port] = hangs;
}

void SimFpga::set_reply_delay(int polls)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reply_delay = std::max(0, polls);
}

int SimFpga::chain(int port) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return port >= 0 && port < kPorts ? int(m_ports[port].size()) : 0;
}

SimRcvCard SimFpga::card(int port, int index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (port >= 0 && port < kPorts && index >= 0 && size_t(index) < m_ports[port].size())
        return m_ports[port][index];
    return SimRcvCard();
}

std::vector<RcvFrame> SimFpga::received(int port, int index) const
{
    return card(port, index).received;
}

uint8_t SimFpga::register_value(int fpga, int reg) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return valid_reg(fpga, reg) ? m_regs[fpga][reg] : 0;
}

std::vector<uint8_t> SimFpga::ram(int fpga) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fpga < 0 || fpga >= kFpgas)
        return {};
    return std::vector<uint8_t>(m_ram[fpga].begin(), m_ram[fpga].end());
}

std::vector<uint8_t> SimFpga::flash_image(int fpga, FlashRegion region) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_flash_images.find({fpga, int(region)});
    return it == m_flash_images.end() ? std::vector<uint8_t>() : it->second;
}

std::vector<int> SimFpga::screen_controls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_screen_controls;
}

int SimFpga::reset_pulses() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_reset_pulses;
}

int SimFpga::bring_ups() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bring_ups;
}

int SimFpga::frames_sent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames;
}

int SimFpga::bad_frames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bad_frames;
}
