#pragma once
#include <QMutex>
#include <atomic>
#include <cstdint>
#include <string>

struct TimeRealType {
    uint8_t second;
    uint8_t minute;
    uint8_t hour;
    uint8_t day;
    uint8_t weekday;
    uint8_t month;
    uint16_t year;
};

// FPGA manager: register and parameter-RAM shadows of the two FPGAs, bring-up, and the
// worker that runs the receiving-card jobs and the USB-stick upgrade.
class fpga_manage {
public:
    static constexpr int kRegs = 170;
    static constexpr int kRamSize = 1024;

    static fpga_manage *p_fpga_manage;
    static fpga_manage *pInstance();
    static void destroy_instance();  // tests

    // Register shadows and parameter-RAM images, indexed by FPGA.
    unsigned char *MCU_REG_func[2];
    unsigned char *MCU_RAM_PARA_func[2];

    void read_from_register(unsigned char reg, unsigned char fpga);
    void write_to_register(unsigned char reg, unsigned char mask, unsigned char value, unsigned char fpga);
    bool get_fpga_status();
    static int get_eth_param_addr(unsigned char port, unsigned short *x, unsigned short *y, unsigned short *w,
                                  unsigned short *h);
    unsigned short get_wlan_state();
    int IT8563WE_Get(TimeRealType *time);

    std::string usb_upgrade_log;

private:
    fpga_manage();
    unsigned char m_regs[2][kRegs];
    unsigned char m_ram[2][kRamSize];
    QMutex m_reg_mutex;
};
