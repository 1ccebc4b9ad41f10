#include "core/korrampara.h"
#include "inputs/dizidezorar.h"
#include "kor_test_env.h"
#include "platform/edid_eeprom.h"
#include "scaler/v331_manage.h"

#include <QtTest>
#include <array>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }
using Edid = std::array<uint8_t, 256>;

int block_sum(const Edid &e, int block)
{
    int sum = 0;
    for (int i = 0; i < 128; ++i)
        sum += e[128 * block + i];
    return sum % 256;
}

struct Dtd {
    int clock, h_active, h_blank, v_active, v_blank, h_front, h_sync, v_front, v_sync, flags;
};
Dtd decode_dtd(const uint8_t *d)
{
    Dtd t;
    t.clock = d[0] | (d[1] << 8);
    t.h_active = d[2] | ((d[4] >> 4) << 8);
    t.h_blank = d[3] | ((d[4] & 0x0F) << 8);
    t.v_active = d[5] | ((d[7] >> 4) << 8);
    t.v_blank = d[6] | ((d[7] & 0x0F) << 8);
    t.h_front = d[8] | ((d[11] >> 6) << 8);
    t.h_sync = d[9] | (((d[11] >> 4) & 3) << 8);
    t.v_front = (d[10] >> 4) | (((d[11] >> 2) & 3) << 4);
    t.v_sync = (d[10] & 0x0F) | ((d[11] & 3) << 4);
    t.flags = d[17];
    return t;
}

// The data blocks of the CEA extension, by tag (vendor blocks by their first OUI byte).
QMap<QString, QByteArray> cea_blocks(const Edid &e)
{
    QMap<QString, QByteArray> blocks;
    const uint8_t *x = e.data() + 128;
    for (int p = 4; p < x[2];) {
        const int tag = x[p] >> 5, len = x[p] & 31;
        const QByteArray body(reinterpret_cast<const char *>(x + p + 1), len);
        QString key = QString::number(tag);
        if (tag == 3)
            key += body.left(3).toHex();
        blocks[key] = body;
        p += 1 + len;
    }
    return blocks;
}
const QString kVideo = "2", kHdmi = "3030c00", kForum = "3d85dc4";

void set_record(int input, int w, int h, int rate)
{
    const int base = 0x380 + 6 * input;
    table()->set_u16(base, uint16_t(w));
    table()->set_u16(base + 2, uint16_t(h));
    table()->set_u16(base + 4, uint16_t(rate));
}
}

class TestEdid : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
        dizidezorar::pInstance();
    }
    void cleanup() { env.reset(); }

    void built_from_the_record_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("clock");  // 10 kHz
        QTest::addColumn<int>("h_blank");
        QTest::addColumn<int>("v_blank");
        QTest::addColumn<int>("h_front");
        QTest::addColumn<int>("h_sync");
        QTest::addColumn<int>("v_front");
        QTest::addColumn<int>("v_sync");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("vic");  // 0: not a CEA mode
        QTest::addColumn<bool>("hdmi20");
        QTest::newRow("1920x1080@60 CEA") << 2 << 1920 << 1080 << 60 << 14850 << 280 << 45 << 88 << 44 << 4 << 5
                                          << 0x1E << 16 << false;
        QTest::newRow("3840x2160@60 CEA") << 5 << 3840 << 2160 << 60 << 59400 << 560 << 90 << 176 << 88 << 8 << 10
                                          << 0x1E << 97 << true;
        QTest::newRow("1280x720@50 CEA") << 0 << 1280 << 720 << 50 << 7425 << 700 << 30 << 440 << 40 << 5 << 5
                                         << 0x1E << 19 << false;
        QTest::newRow("1024x768@60 reduced blanking") << 1 << 1024 << 768 << 60 << 5600 << 160 << 22 << 48 << 32 << 3
                                                      << 4 << 0x1A << 0 << false;
        QTest::newRow("1920x1080@120 reduced blanking") << 3 << 1920 << 1080 << 120 << 28550 << 160 << 64 << 48 << 32
                                                        << 3 << 5 << 0x1A << 0 << false;
    }
    void built_from_the_record()
    {
        QFETCH(int, input);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, rate);
        QFETCH(int, clock);
        QFETCH(int, h_blank);
        QFETCH(int, v_blank);
        QFETCH(int, h_front);
        QFETCH(int, h_sync);
        QFETCH(int, v_front);
        QFETCH(int, v_sync);
        QFETCH(int, flags);
        QFETCH(int, vic);
        QFETCH(bool, hdmi20);
        set_record(input, width, height, rate);
        dizidezorar::edid_rewrite[input] = 1;
        dizidezorar::p_kavri_source->run_pass();

        QCOMPARE(int(dizidezorar::edid_rewrite[input]), 0);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(env->edid()->writes(i), i == input ? 1 : 0);
            QCOMPARE(env->edid()->hotplug_pulses(i), i == input ? 1 : 0);
        }
        const Edid e = env->edid()->contents(input);
        const uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
        QVERIFY(std::equal(header, header + 8, e.begin()));
        QCOMPARE(int(e[18]), 1);  // EDID 1.3
        QCOMPARE(int(e[19]), 3);
        QCOMPARE(int(e[20]) & 0x80, 0x80);  // digital
        QCOMPARE(int(e[24]) & 0x02, 0x02);  // first detailed timing is the preferred one
        QCOMPARE(int(e[126]), 1);
        QCOMPARE(block_sum(e, 0), 0);
        QCOMPARE(block_sum(e, 1), 0);

        const Dtd t = decode_dtd(e.data() + 54);
        QCOMPARE(t.clock, clock);
        QCOMPARE(t.h_active, width);
        QCOMPARE(t.v_active, height);
        QCOMPARE(t.h_blank, h_blank);
        QCOMPARE(t.v_blank, v_blank);
        QCOMPARE(t.h_front, h_front);
        QCOMPARE(t.h_sync, h_sync);
        QCOMPARE(t.v_front, v_front);
        QCOMPARE(t.v_sync, v_sync);
        QCOMPARE(t.flags, flags);

        // The range limits take in the preferred timing.
        const uint8_t *range = e.data() + 72;
        QCOMPARE(int(range[3]), 0xFD);
        const double line_khz = t.clock * 10.0 / (width + t.h_blank);
        const double refresh = line_khz * 1000 / (height + t.v_blank);
        QVERIFY(range[5] <= refresh && refresh <= range[6]);
        QVERIFY(range[7] <= line_khz && line_khz <= range[8]);
        QVERIFY(t.clock <= range[9] * 1000);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(e.data() + 95), 9), QByteArray("KOR Z73N\n"));
        QCOMPARE(int(e[93]), 0xFC);

        QCOMPARE(int(e[128]), 0x02);  // CEA-861
        QCOMPARE(int(e[129]), 3);
        const auto blocks = cea_blocks(e);
        QVERIFY(blocks.contains(kVideo));
        QVERIFY(blocks.contains(kHdmi));
        QCOMPARE(blocks.contains(kForum), hdmi20);
        const QByteArray svds = blocks[kVideo];
        QVERIFY(svds.contains(char(1)));  // 640x480, which every sink takes
        if (vic)
            QCOMPARE(int(uint8_t(svds[0])), vic);
        // Nothing larger than the chosen mode is offered.
        QVERIFY(!svds.contains(char(97)) || vic == 97);
    }

    void refused_modes_keep_the_old_edid_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rate");
        QTest::newRow("zero width") << 0 << 1080 << 60;
        QTest::newRow("negative height") << 1920 << -1 << 60;
        QTest::newRow("wider than a timing can say") << 5000 << 1080 << 60;
        QTest::newRow("no rate") << 1920 << 1080 << 0;
        QTest::newRow("pixel clock too high") << 3840 << 2160 << 120;
    }
    void refused_modes_keep_the_old_edid()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, rate);
        set_record(3, width, height, rate);
        dizidezorar::edid_rewrite[3] = 1;
        dizidezorar::p_kavri_source->run_pass();
        QCOMPARE(int(dizidezorar::edid_rewrite[3]), 0);
        QCOMPARE(env->edid()->writes(3), 0);
        QCOMPARE(env->edid()->hotplug_pulses(3), 0);
    }

    void two_records_in_one_change_reach_both_inputs()
    {
        table()->KorSetEDIDPara(0, 1280, 720, 60);
        table()->KorSetEDIDPara(3, 3840, 2160, 30);
        v331_manage::pInstance()->run_pass();
        dizidezorar::p_kavri_source->run_pass();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(env->edid()->writes(i), (i == 0 || i == 3) ? 1 : 0);
        QCOMPARE(decode_dtd(env->edid()->contents(0).data() + 54).h_active, 1280);
        const Dtd uhd30 = decode_dtd(env->edid()->contents(3).data() + 54);
        QCOMPARE(uhd30.h_active, 3840);
        QCOMPARE(uhd30.clock, 29700);
    }

    void thread_serves_the_flags()
    {
        QCOMPARE(dizidezorar::p_kavri_source->initialize(), 0);
        dizidezorar::edid_rewrite[4] = 1;
        QTRY_COMPARE(env->edid()->hotplug_pulses(4), 1);
        QCOMPARE(int(env->edid()->contents(4)[54 + 2]), 3840 & 0xFF);
    }
};

QTEST_MAIN(TestEdid)
#include "test_edid.moc"
