#include "inputs/dizidezorar.h"
#include "kor_test_helpers.h"
#include "platform/edid_eeprom.h"

#include <array>
#include <numeric>

using Edid = std::array<uint8_t, 256>;
using Timing = QVector<int>;  // clock (10 kHz), h/v active, h/v blank, h front, h sync, v front, v sync, flags

namespace {
int block_sum(const Edid &e, int block) { return std::accumulate(&e[128 * block], &e[128 * block + 128], 0) % 256; }

Timing detailed_timing(const uint8_t *d)
{
    return {d[0] | (d[1] << 8),              d[2] | ((d[4] >> 4) << 8),        d[5] | ((d[7] >> 4) << 8),
            d[3] | ((d[4] & 0x0F) << 8),     d[6] | ((d[7] & 0x0F) << 8),      d[8] | ((d[11] >> 6) << 8),
            d[9] | (((d[11] >> 4) & 3) << 8), (d[10] >> 4) | (((d[11] >> 2) & 3) << 4),
            (d[10] & 0x0F) | ((d[11] & 3) << 4), d[17]};
}

// The data blocks of the CEA extension by tag; vendor blocks by tag and OUI ("3030c00").
QMap<QString, QByteArray> cea_blocks(const Edid &e)
{
    QMap<QString, QByteArray> blocks;
    const uint8_t *x = e.data() + 128;
    for (int p = 4; p < x[2]; p += 1 + (x[p] & 31)) {
        const QByteArray body(reinterpret_cast<const char *>(x + p + 1), x[p] & 31);
        blocks[QString::number(x[p] >> 5) + (x[p] >> 5 == 3 ? body.left(3).toHex() : QByteArray())] = body;
    }
    return blocks;
}

// The input's record written as it stands, and flagged.
void set_record(int input, int w, int h, int rate)
{
    const int words[3] = {w, h, rate};
    for (int i = 0; i < 3; ++i)
        kor_table()->set_u16(0x380 + 6 * input + 2 * i, uint16_t(words[i]));
    dizidezorar::edid_rewrite[input] = 1;
}
}

class TestEdid : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }
    void set_up() override { dizidezorar::pInstance(); }

private slots:

    void built_from_the_record_data()
    {
        // vic: 0: not a CEA mode; -1: refused, the old EDID stays
        kor_columns<int, Timing, int, int>({"input", "timing", "rate", "vic"});
        QTest::newRow("1920x1080@60") << 2 << Timing{14850, 1920, 1080, 280, 45, 88, 44, 4, 5, 0x1E} << 60 << 16;
        QTest::newRow("3840x2160@60") << 5 << Timing{59400, 3840, 2160, 560, 90, 176, 88, 8, 10, 0x1E} << 60 << 97;
        QTest::newRow("1280x720@50") << 0 << Timing{7425, 1280, 720, 700, 30, 440, 40, 5, 5, 0x1E} << 50 << 19;
        QTest::newRow("1024x768@60 RB") << 1 << Timing{5600, 1024, 768, 160, 22, 48, 32, 3, 4, 0x1A} << 60 << 0;
        QTest::newRow("zero width") << 3 << Timing{0, 0, 1080} << 60 << -1;
        QTest::newRow("negative height") << 3 << Timing{0, 1920, -1} << 60 << -1;
        QTest::newRow("wider than a timing can say") << 3 << Timing{0, 5000, 1080} << 60 << -1;
        QTest::newRow("no rate") << 3 << Timing{0, 1920, 1080} << 0 << -1;
        QTest::newRow("pixel clock too high") << 3 << Timing{0, 3840, 2160} << 120 << -1;
    }
    void built_from_the_record()
    {
        QFETCH(int, input);
        QFETCH(Timing, timing);
        QFETCH(int, vic);
        set_record(input, timing[1], timing[2], kor_data<int>("rate"));
        dizidezorar::p_kavri_source->run_pass();

        QCOMPARE(int(dizidezorar::edid_rewrite[input]), 0);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(env->edid()->writes(i), i == input && vic >= 0 ? 1 : 0);
            QCOMPARE(env->edid()->hotplug_pulses(i), i == input && vic >= 0 ? 1 : 0);
        }
        if (vic < 0)
            return;
        const Edid e = env->edid()->contents(input);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(e.data()), 8), QByteArray::fromHex("00ffffffffffff00"));
        QCOMPARE(e[18] << 8 | e[19], 0x0103);  // EDID 1.3
        QCOMPARE(e[20] & 0x80, 0x80);  // digital
        QCOMPARE(e[24] & 0x02, 0x02);  // the first detailed timing is the preferred one
        QCOMPARE(int(e[126]), 1);
        QCOMPARE(block_sum(e, 0), 0);
        QCOMPARE(block_sum(e, 1), 0);
        QCOMPARE(detailed_timing(e.data() + 54), timing);

        // The range limits take in the preferred timing.
        const uint8_t *range = e.data() + 72;
        QCOMPARE(int(range[3]), 0xFD);
        const double line_khz = timing[0] * 10.0 / (timing[1] + timing[3]);
        const double refresh = line_khz * 1000 / (timing[2] + timing[4]);
        QVERIFY(range[5] <= refresh && refresh <= range[6]);
        QVERIFY(range[7] <= line_khz && line_khz <= range[8]);
        QVERIFY(timing[0] <= range[9] * 1000);
        QCOMPARE(int(e[93]), 0xFC);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(e.data() + 95), 9), QByteArray("KOR Z73N\n"));

        QCOMPARE(e[128] << 8 | e[129], 0x0203);  // CEA-861 revision 3
        const auto blocks = cea_blocks(e);
        QVERIFY(blocks.contains("3030c00"));  // HDMI
        QCOMPARE(blocks.contains("3d85dc4"), vic == 97);  // HDMI Forum, for 4K at 60 only
        const QByteArray svds = blocks["2"];  // video
        QVERIFY(svds.contains(char(1)));  // 640x480, which every sink takes
        if (vic)
            QCOMPARE(int(uint8_t(svds[0])), vic);
        QVERIFY(!svds.contains(char(97)) || vic == 97);  // nothing larger than the chosen mode
    }

    // From the table through the scaler's dispatcher and the input thread to the EEPROMs.
    void two_records_in_one_change_reach_both_inputs()
    {
        QCOMPARE(dizidezorar::p_kavri_source->initialize(), 0);
        kor_table()->KorSetEDIDPara(0, 1280, 720, 60);
        kor_table()->KorSetEDIDPara(3, 3840, 2160, 30);
        v331_manage::pInstance()->run_pass();
        QTRY_COMPARE(env->edid()->hotplug_pulses(3), 1);
        QTRY_COMPARE(env->edid()->hotplug_pulses(0), 1);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(env->edid()->writes(i), (i == 0 || i == 3) ? 1 : 0);
        QCOMPARE(detailed_timing(env->edid()->contents(0).data() + 54)[1], 1280);
        QCOMPARE(detailed_timing(env->edid()->contents(3).data() + 54).mid(0, 2), Timing({29700, 3840}));
    }
};

QTEST_MAIN(TestEdid)
#include "test_edid.moc"
