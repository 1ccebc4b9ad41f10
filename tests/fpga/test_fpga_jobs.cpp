#include "core/brightness_request.h"
#include "core/utils.h"
#include "kor_test_helpers.h"

#include <QDir>
#include <numeric>
#include <sys/stat.h>

using Points = QVector<QPoint>;
Q_DECLARE_METATYPE(Points)

namespace {
void set_line(uint16_t w, uint16_t h, uint16_t x0, uint16_t y0, uint8_t port, uint8_t rows, uint8_t cols,
              uint8_t pattern)
{
    const uint8_t bytes[12] = {uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), uint8_t(x0), uint8_t(x0 >> 8),
                               uint8_t(y0), uint8_t(y0 >> 8), port, rows, cols, pattern};
    std::copy(bytes, bytes + 12, line_type);
}

// Percentages never go back, 100 ends the job, and the job bytes were cleared before it.
bool ended_well(const KorJobProgress &p, int job)
{
    return !p.percents.empty() && p.percents.back() == 100 && p.job == job &&
           std::is_sorted(p.percents.begin(), p.percents.end()) && kor_job() == 0 && kor_job_step() == 0;
}
}

// The FPGA manager: bring-up, the LED hand-over and the brightness request; its card jobs
// over the simulated cards, and the pack files they read.
class TestFpgaJobs : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }
    SimFpga *sim() { return sim_fpga(); }

private slots:

    void smart_mapping_data()
    {
        // cells: (column, row) of each card placed, in chain order; grid 3 wide
        kor_columns<int, int, int, Points>({"pattern", "cards", "rows", "cells"});
        auto row = [](const char *name, int pattern, const Points &cells, int cards = 6, int rows = 2) {
            QTest::newRow(name) << pattern << cards << rows << cells;
        };
        row("1 top-left rows straight", 1, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}});
        row("10 bottom-left rows serpentine", 10, {{0, 1}, {1, 1}, {2, 1}, {2, 0}, {1, 0}, {0, 0}});
        row("16 bottom-right columns serpentine", 16, {{2, 1}, {2, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}});
    }
    void smart_mapping()
    {
        QFETCH(int, cards);
        QFETCH(Points, cells);
        sim()->set_chain(2, cards);
        sim()->set_chain(3, 2);
        sim()->set_reply_delay(3);
        fpga_manage *m = kor_fpga_up();
        set_line(128, 96, 10, 20, 2, uint8_t(kor_data<int>("rows")), 3, uint8_t(kor_data<int>("pattern")));
        kor_send_job(1);
        m->run_pass();
        set_line(999, 999, 7, 7, 3, 9, 9, 16);  // taken at step 0: a page writing it now changes nothing
        QVERIFY(ended_well(kor_finish_job(), 1));
        for (int k = 0; k < cards; ++k) {
            const SimRcvCard c = sim()->card(2, k);
            QCOMPARE(c.positioned, k < cells.size());
            if (c.positioned)
                QCOMPARE(QPoint(c.x, c.y), QPoint(10 + 128 * cells[k].x(), 20 + 96 * cells[k].y()));
        }
        QVERIFY(sim()->received(3, 0).empty());
    }

    void card_jobs_end_data()
    {
        kor_columns<int, QString, int>({"job", "trouble", "result"});
        QTest::newRow("load") << 2 << "" << int(JobDone);
        QTest::newRow("load, corrupt pack") << 2 << "corrupt" << int(JobPackRefused);
        QTest::newRow("load, empty pack") << 2 << "empty" << int(JobPackRefused);
        QTest::newRow("load, port hangs") << 2 << "hang" << int(JobFailed);
        QTest::newRow("cure, fpga not running") << 3 << "stopped" << int(JobFailed);
        QTest::newRow("card search") << 9 << "unknown" << int(JobFailed);
    }
    void card_jobs_end()
    {
        QFETCH(int, job);
        QFETCH(QString, trouble);
        sim()->set_chain(4, 2);
        sim()->set_chain(5, 2);
        sim()->set_state_after_bring_up(trouble == "stopped" ? 1 : 3);
        sim()->set_port_hangs(4, trouble == "hang");
        fpga_manage *m = kor_fpga_up();
        set_line(32, 32, 0, 0, 4, 1, 2, 1);
        kor_choose_pack(*env, kor_block(1, trouble == "empty" ? 0 : 600), trouble == "corrupt" ? 100 : -1);
        QSignalSpy results(m->notifier(), &fpga_job_notifier::job_result);
        const KorJobProgress p = kor_run_job(uint8_t(job), 5000);
        QVERIFY(ended_well(p, job));
        // The page learns how it ended (a refused pack is no success), before the 100.
        QCOMPARE(QList<QVariantList>(results), (QList<QVariantList>{{job, kor_data<int>("result")}}));
        if (trouble == "corrupt" || trouble == "empty")
            QCOMPARE(sim()->frames_sent(), 0);
        // The pack reaches the cards of the chosen port only, not cured yet.
        const bool loaded = trouble.isEmpty();
        QVERIFY(!loaded || p.percents.size() > 3);
        const std::vector<uint8_t> pack = loaded ? kor_bytes(kor_block(1, 600)) : std::vector<uint8_t>();
        QCOMPARE(sim()->card(4, 1).pack, pack);
        QVERIFY(!loaded || sim()->card(4, 0).pack == pack);
        QVERIFY(!sim()->card(4, 1).cured && sim()->received(5, 0).empty());
    }

    void cure_and_mapping_switch()
    {
        sim()->set_chain(0, 2);
        sim()->set_chain(9, 3);
        kor_fpga_up();
        QVERIFY(ended_well(kor_run_job(3), 3));
        QVERIFY(sim()->card(0, 1).cured && sim()->card(9, 2).cured);
        // The value of bytes 16-19 reaches every card of every linked port.
        for (const uint32_t value : {9u, 0u}) {
            for (int i = 0; i < 4; ++i)
                g_send_para[16 + i] = uint8_t(value >> (8 * i));
            QVERIFY(ended_well(kor_run_job(4), 4));
            QCOMPARE(sim()->card(0, 0).mapping, value);
            QCOMPARE(sim()->card(9, 2).mapping, value);
        }
    }

    void check_then_recover_data()
    {
        // needing: (port, card); left: card field after the recovery; cut: every card answers
        // errors once the check is done
        kor_columns<Points, QString, int, bool>({"needing", "entry", "left", "cut"});
        QTest::newRow("two cards on two nets") << Points{{2, 4}, {6, 0}} << "01/03/05/08" << 0xFF << false;
        QTest::newRow("beyond the pack") << Points{{2, 9}} << "01/03/10/08" << 9 << false;
        QTest::newRow("recovery cut short") << Points{{2, 4}} << "01/03/05/08" << 0xFFFF << true;
    }
    void check_then_recover()
    {
        QFETCH(Points, needing);
        QFETCH(int, left);
        QFETCH(bool, cut);
        sim()->set_chain(2, 10);
        sim()->set_chain(6, 2);
        for (const QPoint &c : needing)
            sim()->set_needs_recovery(c.x(), c.y(), true);
        // Screen 0: 8 cards on port 2 (shown as LED03), 2 on port 6.
        const RecoveryScreen screen{{kor_recovery_net(2, 8), kor_recovery_net(6, 2, 100)}};
        env->write_file("/data/rcvrecovery/screen.pack", encode_recovery_pack({screen}));
        fpga_manage *m = kor_fpga_up();
        QSignalSpy lists(m->notifier(), &fpga_job_notifier::recovery_list);
        QSignalSpy results(m->notifier(), &fpga_job_notifier::job_result);
        QSignalSpy codes(kor_table(), &KorRamPara::sig_update_para);
        QList<QVariantList> want_lists{{QStringList{kor_data<QString>("entry")}, 1}};
        QVERIFY(ended_well(kor_run_job(5), 5));
        QCOMPARE(QList<QVariantList>(lists), want_lists);
        QCOMPARE(int(fpga_manage::rcv_card_field()), needing[0].y());

        for (const QPoint &c : needing)
            sim()->set_card_fails(c.x(), c.y(), cut);
        QVERIFY(ended_well(kor_run_job(6), 6));
        const bool recovered = left == 0xFF;
        for (const QPoint &c : needing) {
            const SimRcvCard card = sim()->card(c.x(), c.y());
            QCOMPARE(card.needs_recovery, !recovered);
            if (recovered)
                QCOMPARE(card.params, kor_bytes(kor_block((c.x() == 6 ? 100 : 0) + c.y())));
        }
        QCOMPARE(int(fpga_manage::rcv_card_field()), left);
        QCOMPARE(QList<QVariantList>(results), (QList<QVariantList>{{5, int(JobDone)}, {6, cut ? JobFailed : JobDone}}));
        // Only when no card is left is the list emptied and 99 raised (the page relists on it).
        if (recovered)
            want_lists << QVariantList{QStringList(), 0};
        QCOMPARE(QList<QVariantList>(lists), want_lists);
        QCOMPARE(QList<QVariantList>(codes), recovered ? QList<QVariantList>{{99}} : QList<QVariantList>{});
    }

    // A check that cannot read every pack does not run: nothing is sent and nothing listed,
    // and the page is told the pack was refused (it must not read as "no card to recover").
    void check_needs_every_pack_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::newRow("corrupt") << "corrupt";
        QTest::newRow("too large") << "large";
        QTest::newRow("missing") << "missing";
        QTest::newRow("a fifo") << "fifo";
        QTest::newRow("one of two corrupt") << "second";
        QTest::newRow("empty parameter blocks") << "block0";
    }
    void check_needs_every_pack()
    {
        QFETCH(QString, trouble);
        sim()->set_chain(2, 8);
        sim()->set_needs_recovery(2, 4, true);
        const RecoveryScreen screen{{kor_recovery_net(2, 8, 0, trouble == "block0" ? 0 : 300)}};
        QByteArray pack = encode_recovery_pack({screen});
        if (trouble == "corrupt" || trouble == "second")
            pack[10] = char(pack[10] ^ 1);
        if (trouble == "large")
            pack.append(QByteArray(8 << 20, '\0'));
        QDir().mkpath(env->path("/data/rcvrecovery"));
        if (trouble == "second")
            env->write_file("/data/rcvrecovery/a.pack", encode_recovery_pack({screen}));
        if (trouble == "fifo")
            QCOMPARE(mkfifo(qPrintable(env->path("/data/rcvrecovery/b.pack")), 0600), 0);
        else if (trouble != "missing")
            env->write_file("/data/rcvrecovery/b.pack", pack);
        fpga_manage *m = kor_fpga_up();
        QSignalSpy lists(m->notifier(), &fpga_job_notifier::recovery_list);
        QSignalSpy results(m->notifier(), &fpga_job_notifier::job_result);
        QVERIFY(ended_well(kor_run_job(5), 5));
        QCOMPARE(QList<QVariantList>(results), (QList<QVariantList>{{5, int(JobPackRefused)}}));
        QCOMPARE(lists.count(), 0);
        QCOMPARE(sim()->frames_sent(), 0);
    }

    void card_jobs_wait_for_the_usb_upgrade()
    {
        sim()->set_chain(0, 2);
        fpga_manage *m = kor_fpga_up();
        const QByteArray package = encode_upgrade_image(UpgradeImage{UpgradeFpgaBitstream, 0, kor_block(3, 2000)});
        env->write_file("/mnt/usb1/a.KOR", package);
        env->write_file("/mnt/usb1/b.KOR", package);
        g_send_para[1] = 0;
        g_usb_grade = 1;
        m->run_pass();
        m->run_pass();  // listed: step 2
        QCOMPARE(int(kor_job_step()), 2);
        QSignalSpy progress(m->notifier(), &fpga_job_notifier::job_progress);
        QSignalSpy results(m->notifier(), &fpga_job_notifier::job_result);
        set_line(10, 10, 0, 0, 0, 1, 2, 1);
        kor_send_job(1);  // also zeroes byte 1
        m->run_pass();
        m->notifier()->deliver();
        QCOMPARE(int(kor_job()), 0);
        QCOMPARE(QList<QVariantList>(progress), (QList<QVariantList>{{1, 100}}));  // refused, yet ended
        QCOMPARE(QList<QVariantList>(results), (QList<QVariantList>{{1, int(JobBusy)}}));
        QVERIFY(sim()->received(0, 0).empty());
        // The upgrade goes on from its own step: both packages installed once.
        for (int i = 0; i < 5 && g_usb_grade; ++i)
            m->run_pass();
        QCOMPARE(int(g_usb_grade), 0);
        QVERIFY(QString::fromStdString(m->usb_upgrade_log_text()).contains("2 ok, 0 failed"));
    }

    void damaged_packs_data()
    {
        // mapping: else a recovery pack; at: byte flipped (bit 4); cut: bytes cut off the end
        // refit: a checksum made to fit the damage
        kor_columns<bool, int, int, bool, QString>({"mapping", "at", "cut", "refit", "error"});
        QTest::newRow("mapping whole") << true << -1 << 0 << false << "";
        QTest::newRow("mapping truncated") << true << -1 << 10 << false << "bad length";
        QTest::newRow("recovery card count, fitting crc") << false << 20 << 0 << true << "bad length";
        QTest::newRow("recovery port 16, fitting crc") << false << 9 << 0 << true << "bad net";
    }
    void damaged_packs()
    {
        QFETCH(bool, mapping);
        QFETCH(int, at);
        QFETCH(bool, refit);
        QFETCH(QString, error);
        const MappingPack pack{QStringLiteral("P4 indoor 64x32"), QByteArray(100, 's')};
        const RecoveryScreen screen{{kor_recovery_net(0, 2, 0, 3), kor_recovery_net(15, 1, 5, 500)}};
        QByteArray file = mapping ? encode_mapping_pack(pack) : encode_recovery_pack({screen, screen});
        if (at >= 0)
            file[at] = char(file[at] ^ 0x10);
        file.chop(kor_data<int>("cut") + (refit ? 4 : 0));
        const uint32_t crc = rcv_crc32(reinterpret_cast<const uint8_t *>(file.constData()), file.size());
        for (int i = 0; i < 4 && refit; ++i)
            file.append(char(crc >> (8 * i)));
        MappingPack back;
        std::vector<RecoveryScreen> got;
        QString why;
        QCOMPARE(mapping ? decode_mapping_pack(file, &back, &why) : decode_recovery_pack(file, &got, &why),
                 error.isEmpty());
        QCOMPARE(why, error);
        if (error.isEmpty())
            QVERIFY(back.description == pack.description && back.data == pack.data);
    }

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
        kor_table()->set_u16(KorTable::kScreenOffsetX, 100);
        kor_table()->set_u16(KorTable::kScreenOffsetY, 40);
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

    // The scaler worker leaves the screen brightness to the FPGA worker.
    void brightness_request()
    {
        sim_fpga()->set_state_after_bring_up(2);
        fpga_manage *m = kor_fpga_up();
        kor_table()->set_u16(KorTable::kBrightness, 40);
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

    // A host frame holds the ageing sampler off for 80 ticks, then the worker lets it go.
    void host_frame_flag_expires()
    {
        fpga_manage *m = kor_fpga_up();
        pc_cmd_valid = 1;
        pc_cmd_time = G_timeTicks.load();
        env->tick(80);
        m->run_pass();
        QCOMPARE(int(pc_cmd_valid), 1);
        env->tick(1);
        m->run_pass();
        QCOMPARE(int(pc_cmd_valid), 0);
    }
};

QTEST_MAIN(TestFpgaJobs)
#include "test_fpga_jobs.moc"
