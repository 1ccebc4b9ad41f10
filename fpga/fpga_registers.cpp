#include "fpga/fpga_registers.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/table_map.h"
#include "platform/fpga_device.h"

#include <cstring>

namespace {
constexpr int kStateReg = 80;
constexpr uint8_t kStateRunning = 3;
constexpr int kLinkLowReg = 128;
constexpr int kLinkHighReg = 144;

void put16(unsigned char *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
}

fpga_registers::fpga_registers(std::shared_ptr<FpgaDevice> dev) : m_dev(std::move(dev))
{
    std::memset(m_regs, 0, sizeof m_regs);
    std::memset(m_ram, 0, sizeof m_ram);
}

uint8_t fpga_registers::shadow_byte(int fpga, int reg) const
{
    return __atomic_load_n(&m_regs[fpga][reg], __ATOMIC_ACQUIRE);
}

void fpga_registers::set_shadow(int fpga, int reg, uint8_t value)
{
    __atomic_store_n(&m_regs[fpga][reg], value, __ATOMIC_RELEASE);
}

void fpga_registers::port_offsets(unsigned char port, unsigned short *x, unsigned short *y, unsigned short *w,
                                  unsigned short *h)
{
    unsigned short base;
    unsigned short step = 2;
    if (port >= 4 && port <= 7) {
        base = 520 + 8 * (port - 4);
    } else if (port >= 8 && port <= 15) {
        base = 576 + 8 * (port - 8);
    } else {
        static const unsigned short first[4] = {8, 19, 32, 43};
        base = first[port <= 3 ? port : 0];
    }
    *x = base;
    *y = base + step;
    *w = base + 2 * step;
    *h = base + 3 * step;
}

int fpga_registers::bring_up()
{
    if (!m_dev)
        return 255;
    const int started = m_dev->bring_up();
    read(kStateReg, 0);
    read(kStateReg, 1);
    for (int fpga = 0; fpga < 2; ++fpga) {
        build_ram_image(fpga);
        if (running()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_dev->write_ram(fpga, 1, 0, m_ram[fpga], kRamSize);
        }
    }
    kor_trace("\n fpga bring-up: state %d\n", int(shadow_byte(0, kStateReg)));
    return started == 0 && running() ? 0 : 255;
}

void fpga_registers::build_ram_image(int fpga)
{
    if (m_dev->read_flash_ram_copy(fpga, m_ram[fpga], kRamSize))
        return;
    // No valid copy: every port shows the whole default area at the screen offset.
    std::memset(m_ram[fpga], 0, kRamSize);
    uint16_t off_x = 0, off_y = 0;
    if (KorRamPara *t = KorRamPara::p_korrampara_config) {
        QMutexLocker lock(&ParaChange::mutex);
        off_x = t->u16(KorTable::kScreenOffsetX);
        off_y = t->u16(KorTable::kScreenOffsetY);
    }
    for (unsigned char port = 0; port < kPorts; ++port) {
        unsigned short ax, ay, aw, ah;
        port_offsets(port, &ax, &ay, &aw, &ah);
        put16(m_ram[fpga] + ax, off_x);
        put16(m_ram[fpga] + ay, off_y);
        put16(m_ram[fpga] + aw, 1280);
        put16(m_ram[fpga] + ah, 512);
    }
}

void fpga_registers::read(unsigned char reg, unsigned char fpga)
{
    if (fpga > 1 || reg >= kRegs || !m_dev)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    set_shadow(fpga, reg, m_dev->read_register(fpga, reg));
}

void fpga_registers::write(unsigned char reg, unsigned char mask, unsigned char value, unsigned char fpga)
{
    if (fpga > 1 || reg >= kRegs)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint8_t v = uint8_t((shadow_byte(fpga, reg) & ~mask) | (value & mask));
    set_shadow(fpga, reg, v);
    if (m_dev)
        m_dev->write_register(fpga, reg, v);
}

bool fpga_registers::running() const
{
    return shadow_byte(0, kStateReg) == kStateRunning;
}

uint16_t fpga_registers::link_state()
{
    if (!running())
        return 0;
    read(kLinkLowReg, 0);
    read(kLinkHighReg, 0);
    return uint16_t((shadow_byte(0, kLinkHighReg) << 8) | shadow_byte(0, kLinkLowReg));
}

uint16_t fpga_registers::read_links()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return uint16_t((m_dev->read_register(0, kLinkHighReg) << 8) | m_dev->read_register(0, kLinkLowReg));
}
