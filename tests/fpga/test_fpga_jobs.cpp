#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "platform/sim_fpga.h"

#include <QtTest>
#include <cstring>
#include <memory>

using Positions = QVector<QPoint>;
Q_DECLARE_METATYPE(Positions)

namespace {
void set_line(uint16_t w, uint16_t h, uint16_t x0, uint16_t y0, uint8_t port, uint8_t rows, uint8_t cols,
              uint8_t pattern)
{
    const uint16_t words[4] = {w, h, x0, y0};
    for (int i = 0; i < 4; ++i) {
        line_type[2 * i] = uint8_t(words[i]);
        line_type[2 * i + 1] = uint8_t(words[i] >> 8);
    }
    line_type[8] = port;
    line_type[9] = rows;
    line_type[10] = cols;
    line_type[11] = pattern;
}

void set_mapping_value(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        g_send_para[16 + i] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> bytes_of(const QByteArray &b) { return std::vector<uint8_t>(b.begin(), b.end()); }

QByteArray block(int card, int size = 300)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(card * 31 + i);
    return b;
}

// A recovery pack: screen 0 with a net of 8 cards on port 2 (shown as LED03) and a net of
// 2 cards on port 6.
QByteArray recovery_pack()
{
    RecoveryScreen s;
    RecoveryNet a;
    a.port = 2;
    for (int k = 0; k < 8; ++k)
        a.cards.push_back(block(k));
    RecoveryNet b;
    b.port = 6;
    for (int k = 0; k < 2; ++k)
        b.cards.push_back(block(100 + k));
    s.nets = {a, b};
    return encode_recovery_pack({s});
}

bool ended_well(const KorJobProgress &p, int job)
{
    if (p.percents.empty() || p.percents.back() != 100 || p.job != job)
        return false;
    for (size_t i = 1; i < p.percents.size(); ++i)
        if (p.percents[i] < p.percents[i - 1])
            return false;
    // Cleared before 100 went out.
    return kor_job() == 0 && kor_job_step() == 0;
}
}

class TestFpgaJobs : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    SimFpga *sim() { return sim_fpga(); }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
    }
    void cleanup() { env.reset(); }

    void smart_mapping_positions_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::addColumn<Positions>("cells");  // (column, row) of cards 0..5 on 2 rows x 3 columns
        QTest::newRow("1 top-left rows straight") << 1 << Positions{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
        QTest::newRow("2 top-left rows serpentine") << 2 << Positions{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}};
        QTest::newRow("4 top-left columns serpentine")
            << 4 << Positions{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {2, 0}, {2, 1}};
        QTest::newRow("7 top-right columns straight")
            << 7 << Positions{{2, 0}, {2, 1}, {1, 0}, {1, 1}, {0, 0}, {0, 1}};
        QTest::newRow("10 bottom-left rows serpentine")
            << 10 << Positions{{0, 1}, {1, 1}, {2, 1}, {2, 0}, {1, 0}, {0, 0}};
        QTest::newRow("16 bottom-right columns serpentine")
            << 16 << Positions{{2, 1}, {2, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    }
    void smart_mapping_positions()
    {
        QFETCH(int, pattern);
        QFETCH(Positions, cells);
        sim()->set_chain(2, 6);
        sim()->set_chain(3, 2);
        kor_fpga_up();
        set_line(128, 96, 10, 20, 2, 2, 3, uint8_t(pattern));
        QVERIFY(ended_well(kor_run_job(1), 1));
        for (int k = 0; k < 6; ++k) {
            const SimRcvCard c = sim()->card(2, k);
            QVERIFY(c.positioned);
            QCOMPARE(QPoint(c.x, c.y), QPoint(10 + 128 * cells[k].x(), 20 + 96 * cells[k].y()));
        }
        QVERIFY(sim()->received(3, 0).empty());
    }

    void smart_mapping_chain_and_grid_differ_data()
    {
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("positioned");
        QTest::newRow("fewer cards") << 4 << 4;
        QTest::newRow("more cards") << 8 << 6;
        QTest::newRow("no cabinets") << 3 << 0;
    }
    void smart_mapping_chain_and_grid_differ()
    {
        QFETCH(int, cards);
        QFETCH(int, positioned);
        sim()->set_chain(0, cards);
        kor_fpga_up();
        set_line(64, 64, 0, 0, 0, positioned ? 2 : 0, 3, 1);
        QVERIFY(ended_well(kor_run_job(1), 1));
        for (int k = 0; k < cards; ++k)
            QCOMPARE(sim()->card(0, k).positioned, k < positioned);
    }

    void the_request_is_copied_when_the_job_starts()
    {
        sim()->set_chain(1, 2);
        sim()->set_reply_delay(3);
        fpga_manage *m = kor_fpga_up();
        set_line(100, 50, 0, 0, 1, 1, 2, 1);
        kor_send_job(1);
        m->run_pass();
        // A page writing the record while the job runs changes nothing.
        set_line(999, 999, 7, 7, 0, 9, 9, 16);
        QVERIFY(ended_well(kor_finish_job(), 1));
        QCOMPARE(QPoint(sim()->card(1, 1).x, sim()->card(1, 1).y), QPoint(100, 0));
    }

    void load_scan_reaches_the_chosen_port_only()
    {
        sim()->set_chain(5, 3);
        sim()->set_chain(6, 2);
        kor_fpga_up();
        MappingPack pack;
        pack.description = QStringLiteral("P10 outdoor");
        pack.data = block(9, 1000);
        env->write_file("/data/smartmapping/p10.ykfile", encode_mapping_pack(pack));
        g_ykfile_name = "/data/smartmapping/p10.ykfile";
        set_line(0, 0, 0, 0, 5, 0, 0, 1);
        const KorJobProgress p = kor_run_job(2);
        QVERIFY(ended_well(p, 2));
        QVERIFY(p.percents.size() > 3);
        const std::vector<uint8_t> want = bytes_of(pack.data);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(sim()->card(5, k).pack, want);
            QVERIFY(!sim()->card(5, k).cured);
        }
        for (int k = 0; k < 2; ++k)
            QVERIFY(sim()->received(6, k).empty());
    }

    void failing_jobs_still_end_data()
    {
        QTest::addColumn<int>("job");
        QTest::addColumn<QString>("trouble");
        QTest::newRow("mapping, port without link") << 1 << "nolink";
        QTest::newRow("load, corrupt pack") << 2 << "corrupt";
        QTest::newRow("load, no file chosen") << 2 << "nofile";
        QTest::newRow("load, card answers error") << 2 << "error";
        QTest::newRow("load, port hangs") << 2 << "hang";
        QTest::newRow("cure, fpga not running") << 3 << "stopped";
        QTest::newRow("check, no pack") << 5 << "nopack";
        QTest::newRow("card search") << 9 << "";
    }
    void failing_jobs_still_end()
    {
        QFETCH(int, job);
        QFETCH(QString, trouble);
        sim()->set_chain(4, 2);
        if (trouble == "stopped")
            sim()->set_state_after_bring_up(1);
        if (trouble == "error")
            sim()->set_card_fails(4, 1, true);
        if (trouble == "hang")
            sim()->set_port_hangs(4, true);
        kor_fpga_up();
        set_line(32, 32, 0, 0, trouble == "nolink" ? 7 : 4, 1, 2, 1);
        MappingPack pack;
        pack.data = block(1, 600);
        QByteArray file = encode_mapping_pack(pack);
        if (trouble == "corrupt")
            file[100] = char(file[100] ^ 1);
        env->write_file("/data/smartmapping/a.ykfile", file);
        if (trouble != "nofile")
            g_ykfile_name = env->path("/data/smartmapping/a.ykfile").toStdString();
        const KorJobProgress p = kor_run_job(uint8_t(job), 5000);
        QVERIFY(ended_well(p, job));
        QCOMPARE(p.percents.back(), 100);
        if (trouble == "corrupt" || trouble == "nofile" || trouble == "nolink")
            QCOMPARE(sim()->frames_sent(), 0);
        QVERIFY(sim()->card(4, 1).pack.empty());
    }

    void slow_cards_still_finish()
    {
        sim()->set_chain(0, 2);
        sim()->set_reply_delay(30);
        kor_fpga_up();
        set_line(10, 10, 0, 0, 0, 1, 2, 1);
        QVERIFY(ended_well(kor_run_job(1, 5000), 1));
        QVERIFY(sim()->card(0, 1).positioned);
    }

    void cure_and_mapping_switch()
    {
        sim()->set_chain(0, 2);
        sim()->set_chain(9, 3);
        fpga_manage *m = kor_fpga_up();
        QVERIFY(ended_well(kor_run_job(3), 3));
        QVERIFY(sim()->card(0, 1).cured && sim()->card(9, 2).cured);

        // As the page does: the register first, then the value, then the job.
        const struct {
            uint8_t reg;
            uint32_t value;
        } steps[] = {{0x80, 9}, {0, 0}};
        for (const auto &s : steps) {
            m->write_to_register(0, 0x80, s.reg, 0);
            set_mapping_value(s.value);
            QVERIFY(ended_well(kor_run_job(4), 4));
            QCOMPARE(int(sim()->register_value(0, 0) & 0x80), int(s.reg));
            QCOMPARE(sim()->card(0, 0).mapping, s.value);
            QCOMPARE(sim()->card(9, 2).mapping, s.value);
        }
    }

    void check_lists_the_card_to_recover_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("card");
        QTest::addColumn<QString>("entry");
        QTest::newRow("card 5 of 8") << 2 << 4 << "01/03/05/08";
        QTest::newRow("beyond the pack") << 2 << 9 << "01/03/10/08";
        QTest::newRow("second net") << 6 << 1 << "01/07/02/02";
        QTest::newRow("none") << 2 << -1 << "";
    }
    void check_lists_the_card_to_recover()
    {
        QFETCH(int, port);
        QFETCH(int, card);
        QFETCH(QString, entry);
        sim()->set_chain(2, 10);
        sim()->set_chain(6, 2);
        if (card >= 0)
            sim()->set_needs_recovery(port, card, true);
        env->write_file("/data/rcvrecovery/screen.pack", recovery_pack());
        fpga_manage *m = kor_fpga_up();
        QSignalSpy lists(m->notifier(), &fpga_job_notifier::recovery_list);
        QVERIFY(ended_well(kor_run_job(5), 5));
        if (card < 0) {
            QCOMPARE(lists.count(), 0);
            QCOMPARE(int(fpga_manage::rcv_card_field()), 0x00FF);
            return;
        }
        QCOMPARE(lists.count(), 1);
        QCOMPARE(lists.at(0).at(0).toStringList(), QStringList{entry});
        QCOMPARE(lists.at(0).at(1).toInt(), 1);
        QCOMPARE(int(fpga_manage::rcv_card_field()), card);
    }

    void recovery_restores_the_card()
    {
        sim()->set_chain(2, 8);
        sim()->set_chain(6, 2);
        sim()->set_needs_recovery(2, 4, true);
        sim()->set_needs_recovery(6, 0, true);
        env->write_file("/data/rcvrecovery/screen.pack", recovery_pack());
        fpga_manage *m = kor_fpga_up();
        QVERIFY(ended_well(kor_run_job(5), 5));

        QSignalSpy lists(m->notifier(), &fpga_job_notifier::recovery_list);
        QSignalSpy codes(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);
        QVERIFY(ended_well(kor_run_job(6), 6));
        const SimRcvCard c = sim()->card(2, 4);
        QVERIFY(!c.needs_recovery);
        QCOMPARE(c.params, bytes_of(block(4)));
        QVERIFY(!sim()->card(6, 0).needs_recovery);
        QCOMPARE(int(fpga_manage::rcv_card_field()), 0x00FF);
        QCOMPARE(lists.count(), 1);
        QVERIFY(lists.at(0).at(0).toStringList().isEmpty());
        QCOMPARE(lists.at(0).at(1).toInt(), 0);
        QCOMPARE(codes.count(), 1);
        QCOMPARE(codes.at(0).at(0).toInt(), 99);
    }

    void recovery_leaves_a_card_beyond_the_pack()
    {
        sim()->set_chain(2, 10);
        sim()->set_needs_recovery(2, 9, true);
        env->write_file("/data/rcvrecovery/screen.pack", recovery_pack());
        fpga_manage *m = kor_fpga_up();
        QVERIFY(ended_well(kor_run_job(5), 5));
        QSignalSpy lists(m->notifier(), &fpga_job_notifier::recovery_list);
        QSignalSpy codes(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);
        QVERIFY(ended_well(kor_run_job(6), 6));
        QVERIFY(sim()->card(2, 9).needs_recovery);
        QCOMPARE(int(fpga_manage::rcv_card_field()), 9);
        QCOMPARE(lists.count(), 0);  // the card stays listed
        QCOMPARE(codes.count(), 1);
    }

    void card_jobs_wait_for_the_usb_upgrade()
    {
        sim()->set_chain(0, 2);
        fpga_manage *m = kor_fpga_up();
        QDir().mkpath(env->path("/mnt/usb1"));
        UpgradeImage img;
        img.kind = UpgradeFpgaBitstream;
        img.image = block(3, 64);
        env->write_file("/mnt/usb1/a.KOR", encode_upgrade_image(img));
        env->write_file("/mnt/usb1/b.KOR", encode_upgrade_image(img));
        g_send_para[1] = 0;
        g_usb_grade = 1;
        m->run_pass();  // step 0
        m->run_pass();  // listed, step 2
        QCOMPARE(int(kor_job_step()), 2);
        QSignalSpy progress(m->notifier(), &fpga_job_notifier::job_progress);
        set_line(10, 10, 0, 0, 0, 1, 2, 1);
        kor_send_job(1);  // also zeroes byte 1
        m->run_pass();
        m->notifier()->deliver();
        QCOMPARE(int(kor_job()), 0);
        QCOMPARE(progress.count(), 1);
        QCOMPARE(progress.at(0).at(1).toInt(), 100);
        QVERIFY(sim()->received(0, 0).empty());
        // The upgrade went on from its own step: both packages installed once.
        for (int i = 0; i < 5 && g_usb_grade; ++i)
            m->run_pass();
        QCOMPARE(int(g_usb_grade), 0);
        QVERIFY(QString::fromStdString(m->usb_upgrade_log_text()).contains("2 ok, 0 failed"));
    }
};

QTEST_MAIN(TestFpgaJobs)
#include "test_fpga_jobs.moc"
