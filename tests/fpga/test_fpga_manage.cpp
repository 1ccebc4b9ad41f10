#include "core/brightness_request.h"
#include "core/utils.h"
#include "kor_test_helpers.h"

#include <numeric>

class TestFpgaManage : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }

private slots:

    void eth_param_addr()
    {
        // Port and its x word; y, width and height follow it. An unknown port gets port 0's.
        const int rows[][2] = {{0, 8}, {1, 19}, {2, 32}, {3, 43}, {4, 520}, {7, 544}, {8, 576}, {15, 632}, {16, 8}};
        for (const auto &r : rows) {
            unsigned short x = 0, y = 0, w = 0, h = 0;
            QCOMPARE(fpga_manage::get_eth_param_addr(uint8_t(r[0]), &x, &y, &w, &h), 0);
            QCOMPARE(QVector<int>({r[0], x, y, w, h}), QVector<int>({r[0], r[1], r[1] + 2, r[1] + 4, r[1] + 6}));
        }
    }

    void bring_up_data()
    {
        // state: what register 80 reads after bring-up
        // flash: its RAM copy in flash: 0 none, 1 without the valid mark, 2 valid
        kor_columns<int, int>({"state", "flash"});
        QTest::newRow("defaults at the screen offset") << 3 << 0;
        QTest::newRow("copy without the valid mark") << 3 << 1;
        QTest::newRow("valid copy") << 3 << 2;
        QTest::newRow("not running") << 1 << 2;
    }
    void bring_up()
    {
        QFETCH(int, state);
        QFETCH(int, flash);
        env->start();
        kor_table()->set_u16(0x566, 100);  // the screen's offset
        kor_table()->set_u16(0x568, 40);
        std::vector<uint8_t> copy(1024);
        std::iota(copy.begin(), copy.end(), uint8_t(7));
        if (flash)
            sim_fpga()->set_flash_ram_copy(0, copy, flash == 2);
        sim_fpga()->set_state_after_bring_up(uint8_t(state));
        sim_fpga()->set_link_bits(0x8421);
        fpga_manage *m = fpga_manage::pInstance();
        QCOMPARE(m->fpga_bring_up(), state == 3 ? 0 : 255);
        QCOMPARE(m->get_fpga_status(), state == 3);
        QCOMPARE(int(m->get_wlan_state()), state == 3 ? 0x8421 : 0);
        if (state != 3) {
            QCOMPARE(sim_fpga()->ram(0), std::vector<uint8_t>(1024, 0));  // nothing written to a stopped FPGA
            return;
        }
        QCOMPARE(int(m->MCU_REG_func[0][128]), 0x21);
        QCOMPARE(int(m->MCU_REG_func[0][144]), 0x84);
        sim_fpga()->set_link_bits(0x0003);  // read fresh every call
        QCOMPARE(int(m->get_wlan_state()), 3);

        const unsigned char *ram = m->MCU_RAM_PARA_func[0];
        auto ram16 = [ram](int at) { return ram[at] | (ram[at + 1] << 8); };
        if (flash == 2)
            QCOMPARE(std::vector<uint8_t>(ram, ram + 1024), copy);
        for (unsigned char port = 0; port < 16 && flash != 2; ++port) {
            unsigned short x, y, w, h;
            fpga_manage::get_eth_param_addr(port, &x, &y, &w, &h);
            QCOMPARE(QVector<int>({ram16(x), ram16(y), ram16(w), ram16(h)}), QVector<int>({100, 40, 1280, 512}));
        }
        // What the pages read is what the FPGA holds.
        QCOMPARE(sim_fpga()->ram(0), std::vector<uint8_t>(ram, ram + 1024));
    }

    void registers()
    {
        fpga_manage *m = kor_fpga_up();
        sim_fpga()->set_register(0, 0, 0x15);
        m->read_from_register(0, 0);
        QCOMPARE(int(m->MCU_REG_func[0][0]), 0x15);
        m->write_to_register(0, 0x80, 0x80, 0);  // bit 7 only
        QCOMPARE(QVector<int>({sim_fpga()->register_value(0, 0), m->MCU_REG_func[0][0]}), QVector<int>({0x95, 0x95}));
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
        sim_fpga()->set_state_after_bring_up(1);
        fpga_manage *m = kor_fpga_up();
        {
            QMutexLocker lock(&Utils::_led_para_init_mutex);
            g_set_led_para = 1;
            g_set_led_setup = 0;
        }
        m->run_pass();  // waits for the FPGA to run
        QVERIFY(sim_fpga()->screen_controls().empty());
        QCOMPARE(int(g_set_led_para), 1);
        sim_fpga()->set_register(0, 80, 3);
        m->read_from_register(80, 0);
        auto pass_after = [&](unsigned ticks) {
            env->tick(ticks);
            m->run_pass();
            return sim_fpga()->screen_controls();
        };
        QCOMPARE(pass_after(0), std::vector<int>({0}));
        QCOMPARE(int(g_set_led_setup), 1);
        QCOMPARE(pass_after(10), std::vector<int>({0}));
        QCOMPARE(pass_after(1), std::vector<int>({0, 5}));
        QCOMPARE(int(g_set_led_setup), 2);
        pass_after(30);
        QCOMPARE(int(g_set_led_para), 1);
        QCOMPARE(pass_after(1), std::vector<int>({0, 5}));
        QCOMPARE(int(g_set_led_para), 0);
        QCOMPARE(int(g_set_led_setup), 0);
        QCOMPARE(sim_fpga()->reset_pulses(), 0);
        // Value 2 only pulses the reset, in one pass.
        g_set_led_para = 2;
        g_set_led_setup = 1;
        QCOMPARE(pass_after(0), std::vector<int>({0, 5}));
        QCOMPARE(int(g_set_led_para), 0);
        QCOMPARE(int(g_set_led_setup), 0);
        QCOMPARE(sim_fpga()->reset_pulses(), 1);
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

    // The scaler worker leaves the screen brightness to the FPGA worker.
    void brightness_request()
    {
        env->start();
        sim_fpga()->set_state_after_bring_up(2);
        fpga_manage *m = kor_fpga_up();
        kor_table()->set_u16(0x880, 40);
        kor_request_fpga_brightness();
        m->run_pass();
        const int reg = fpga_manage::kBrightnessReg;
        QCOMPARE(int(sim_fpga()->register_value(0, reg)), 0);  // not running yet
        sim_fpga()->set_register(0, 80, 3);
        m->read_from_register(80, 0);
        m->run_pass();
        QCOMPARE(int(sim_fpga()->register_value(0, reg)), 102);
        QCOMPARE(int(sim_fpga()->register_value(1, reg)), 102);
        sim_fpga()->set_register(0, reg, 0);
        m->run_pass();  // taken once
        QCOMPARE(int(sim_fpga()->register_value(0, reg)), 0);
    }
};

QTEST_MAIN(TestFpgaManage)
#include "test_fpga_manage.moc"
