#include "fpga/fpga_manage.h"

#include "core/utils.h"
#include "platform/kor_clock.h"

#include <cstring>

fpga_manage *fpga_manage::p_fpga_manage = nullptr;

fpga_manage *fpga_manage::pInstance()
{
    if (!p_fpga_manage)
        p_fpga_manage = new fpga_manage;
    return p_fpga_manage;
}

void fpga_manage::destroy_instance()
{
    delete p_fpga_manage;
    p_fpga_manage = nullptr;
}

fpga_manage::fpga_manage()
{
    std::memset(m_regs, 0, sizeof m_regs);
    std::memset(m_ram, 0, sizeof m_ram);
    for (int i = 0; i < 2; ++i) {
        MCU_REG_func[i] = m_regs[i];
        MCU_RAM_PARA_func[i] = m_ram[i];
    }
}

void fpga_manage::read_from_register(unsigned char, unsigned char) {}

void fpga_manage::write_to_register(unsigned char reg, unsigned char mask, unsigned char value, unsigned char fpga)
{
    if (fpga > 1 || reg >= kRegs)
        return;
    QMutexLocker lock(&m_reg_mutex);
    m_regs[fpga][reg] = uint8_t((m_regs[fpga][reg] & ~mask) | (value & mask));
}

bool fpga_manage::get_fpga_status()
{
    return m_regs[0][80] == 3;
}

int fpga_manage::get_eth_param_addr(unsigned char, unsigned short *x, unsigned short *y, unsigned short *w,
                                    unsigned short *h)
{
    *x = 8;
    *y = 10;
    *w = 12;
    *h = 14;
    return 0;
}

unsigned short fpga_manage::get_wlan_state()
{
    return 0;
}

int fpga_manage::IT8563WE_Get(TimeRealType *time)
{
    QDateTime now;
    {
        QMutexLocker lock(&Utils::_system_mutex);
        now = kor_now();
    }
    std::memset(time, 0, sizeof *time);
    time->second = uint8_t(now.time().second());
    time->minute = uint8_t(now.time().minute());
    time->hour = uint8_t(now.time().hour());
    time->day = uint8_t(now.date().day());
    time->month = uint8_t(now.date().month());
    time->year = uint16_t(now.date().year());
    return 0;
}
