#include "core/brightness_request.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/utils.h"
#include "fpga/fpga_manage.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "platform/kor_clock.h"
#include "platform/sim_fpga.h"

#include <QtTest>
#include <memory>

namespace {
int ram16(const unsigned char *ram, int offset) { return ram[offset] | (ram[offset + 1] << 8); }
}

class TestFpgaManage : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init() { env.reset(new KorTestEnv); }
    void cleanup() { env.reset(); }

    void eth_param_addr_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("x");
        QTest::newRow("port 0") << 0 << 8;
        QTest::newRow("port 1") << 1 << 19;
        QTest::newRow("port 2") << 2 << 32;
        QTest::newRow("port 3") << 3 << 43;
        QTest::newRow("port 4") << 4 << 520;
        QTest::newRow("port 7") << 7 << 544;
        QTest::newRow("port 8") << 8 << 576;
        QTest::newRow("port 15") << 15 << 632;
        QTest::newRow("unknown 16") << 16 << 8;
        QTest::newRow("unknown 255") << 255 << 8;
    }
    void eth_param_addr()
    {
        QFETCH(int, port);
        QFETCH(int, x);
        unsigned short ax = 0, ay = 0, aw = 0, ah = 0;
        QCOMPARE(fpga_manage::get_eth_param_addr(uint8_t(port), &ax, &ay, &aw, &ah), 0);
        QCOMPARE(int(ax), x);
        QCOMPARE(int(ay), x + 2);
        QCOMPARE(int(aw), x + 4);
        QCOMPARE(int(ah), x + 6);
    }

    void ram_image_at_bring_up_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("off_x");
        QTest::addColumn<int>("off_y");
        QTest::newRow("defaults") << false << false << 0 << 0;
        QTest::newRow("defaults at the screen offset") << false << false << 100 << 40;
        QTest::newRow("copy without the valid mark") << true << false << 7 << 9;
        QTest::newRow("valid copy") << true << true << 100 << 40;
    }
    void ram_image_at_bring_up()
    {
        QFETCH(bool, copy);
        QFETCH(bool, valid);
        QFETCH(int, off_x);
        QFETCH(int, off_y);
        env->start();
        KorRamPara::p_korrampara_config->set_u16(0x566, uint16_t(off_x));
        KorRamPara::p_korrampara_config->set_u16(0x568, uint16_t(off_y));
        std::vector<uint8_t> flash(1024);
        for (int i = 0; i < 1024; ++i)
            flash[i] = uint8_t(i * 7);
        if (copy)
            sim_fpga()->set_flash_ram_copy(0, flash, valid);

        fpga_manage *m = fpga_manage::pInstance();
        QCOMPARE(m->fpga_bring_up(), 0);
        QVERIFY(m->get_fpga_status());
        const unsigned char *ram = m->MCU_RAM_PARA_func[0];
        if (copy && valid) {
            QCOMPARE(std::vector<uint8_t>(ram, ram + 1024), flash);
        } else {
            for (unsigned char port = 0; port < 16; ++port) {
                unsigned short x, y, w, h;
                fpga_manage::get_eth_param_addr(port, &x, &y, &w, &h);
                QCOMPARE(ram16(ram, x), off_x);
                QCOMPARE(ram16(ram, y), off_y);
                QCOMPARE(ram16(ram, w), 1280);
                QCOMPARE(ram16(ram, h), 512);
            }
        }
        // What the pages read is what the FPGA holds.
        QCOMPARE(sim_fpga()->ram(0), std::vector<uint8_t>(ram, ram + 1024));
    }

    void wlan_state_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("expected");
        QTest::newRow("running") << 3 << 0x8421;
        QTest::newRow("starting") << 1 << 0;
        QTest::newRow("stopped") << 0 << 0;
    }
    void wlan_state()
    {
        QFETCH(int, state);
        QFETCH(int, expected);
        sim_fpga()->set_state_after_bring_up(uint8_t(state));
        sim_fpga()->set_link_bits(0x8421);
        fpga_manage *m = kor_fpga_up();
        QCOMPARE(m->get_fpga_status(), state == 3);
        QCOMPARE(int(m->get_wlan_state()), expected);
        if (state == 3) {
            QCOMPARE(int(m->MCU_REG_func[0][128]), 0x21);
            QCOMPARE(int(m->MCU_REG_func[0][144]), 0x84);
            // Fresh every call.
            sim_fpga()->set_link_bits(0x0003);
            QCOMPARE(int(m->get_wlan_state()), 3);
        } else {
            QCOMPARE(sim_fpga()->ram(0), std::vector<uint8_t>(1024, 0));
        }
    }

    void registers()
    {
        fpga_manage *m = kor_fpga_up();
        sim_fpga()->set_register(0, 0, 0x15);
        m->read_from_register(0, 0);
        QCOMPARE(int(m->MCU_REG_func[0][0]), 0x15);
        m->write_to_register(0, 0x80, 0x80, 0);
        QCOMPARE(int(sim_fpga()->register_value(0, 0)), 0x95);
        QCOMPARE(int(m->MCU_REG_func[0][0]), 0x95);
        m->write_to_register(0, 0x80, 0, 0);
        QCOMPARE(int(sim_fpga()->register_value(0, 0)), 0x15);
        // The ageing sampler's registers come from FPGA 0 only.
        sim_fpga()->set_register(0, 42, 200);
        sim_fpga()->set_register(1, 42, 7);
        m->read_from_register(42, 0);
        QCOMPARE(int(m->MCU_REG_func[0][42]), 200);
        QCOMPARE(int(m->MCU_REG_func[1][42]), 0);
        // Out of range is ignored.
        m->write_to_register(170, 0xFF, 1, 0);
        m->read_from_register(0, 2);
    }

    void led_hand_over()
    {
        fpga_manage *m = kor_fpga_up();
        {
            QMutexLocker lock(&Utils::_led_para_init_mutex);
            g_set_led_para = 1;
            g_set_led_setup = 0;
        }
        auto controls = [] { return sim_fpga()->screen_controls(); };
        m->run_pass();
        QCOMPARE(controls(), std::vector<int>({0}));
        QCOMPARE(int(g_set_led_setup), 1);
        env->tick(10);
        m->run_pass();
        QCOMPARE(controls(), std::vector<int>({0}));
        env->tick(1);
        m->run_pass();
        QCOMPARE(controls(), std::vector<int>({0, 5}));
        QCOMPARE(int(g_set_led_setup), 2);
        env->tick(30);
        m->run_pass();
        QCOMPARE(int(g_set_led_para), 1);
        env->tick(1);
        m->run_pass();
        QCOMPARE(int(g_set_led_para), 0);
        QCOMPARE(int(g_set_led_setup), 0);
        QCOMPARE(controls().size(), size_t(2));
        QCOMPARE(sim_fpga()->reset_pulses(), 0);
    }

    void led_hand_over_value_2()
    {
        fpga_manage *m = kor_fpga_up();
        g_set_led_para = 2;
        g_set_led_setup = 1;
        m->run_pass();
        QCOMPARE(int(g_set_led_para), 0);
        QCOMPARE(int(g_set_led_setup), 0);
        QCOMPARE(sim_fpga()->reset_pulses(), 1);
        QVERIFY(sim_fpga()->screen_controls().empty());
    }

    void led_hand_over_waits_for_the_fpga()
    {
        sim_fpga()->set_state_after_bring_up(1);
        fpga_manage *m = kor_fpga_up();
        g_set_led_para = 1;
        m->run_pass();
        QVERIFY(sim_fpga()->screen_controls().empty());
        QCOMPARE(int(g_set_led_para), 1);
    }

    void host_command_flag_expires()
    {
        fpga_manage *m = kor_fpga_up();
        env->tick(500);
        pc_cmd_time = G_timeTicks.load();
        pc_cmd_valid = 1;
        env->tick(80);
        m->run_pass();
        QCOMPARE(int(pc_cmd_valid), 1);
        env->tick(1);
        m->run_pass();
        QCOMPARE(int(pc_cmd_valid), 0);
    }

    void clock_record()
    {
        kor_clock_set_fixed(QDateTime(QDate(2031, 12, 24), QTime(23, 5, 9)));
        TimeRealType t;
        QCOMPARE(fpga_manage::pInstance()->IT8563WE_Get(&t), 0);
        QCOMPARE(int(t.second), 9);
        QCOMPARE(int(t.minute), 5);
        QCOMPARE(int(t.hour), 23);
        QCOMPARE(int(t.day), 24);
        QCOMPARE(int(t.month), 12);
        QCOMPARE(int(t.year), 2031);
    }

    // The scaler worker leaves the screen brightness to the FPGA worker.
    void brightness_request()
    {
        env->start();
        sim_fpga()->set_state_after_bring_up(2);
        fpga_manage *m = kor_fpga_up();
        KorRamPara::p_korrampara_config->set_u16(0x880, 40);
        kor_request_fpga_brightness();
        m->run_pass();
        QCOMPARE(int(sim_fpga()->register_value(0, fpga_manage::kBrightnessReg)), 0);  // not running yet
        sim_fpga()->set_register(0, 80, 3);
        m->read_from_register(80, 0);
        m->run_pass();
        QCOMPARE(int(sim_fpga()->register_value(0, fpga_manage::kBrightnessReg)), 102);
        QCOMPARE(int(sim_fpga()->register_value(1, fpga_manage::kBrightnessReg)), 102);
        sim_fpga()->set_register(0, fpga_manage::kBrightnessReg, 0);
        m->run_pass();  // taken once
        QCOMPARE(int(sim_fpga()->register_value(0, fpga_manage::kBrightnessReg)), 0);
    }
};

QTEST_MAIN(TestFpgaManage)
#include "test_fpga_manage.moc"
