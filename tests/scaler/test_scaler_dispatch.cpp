#include "core/brightness_request.h"
#include "core/utils.h"
#include "kor_test_helpers.h"

#include <future>
#include <thread>

using Writes = QVector<QPair<int, int>>;  // (table offset, 16-bit value)
Q_DECLARE_METATYPE(Writes)

namespace {
v331_manage *scaler_manager() { return v331_manage::p_v331_manage; }

// A page's change: table writes and the change byte, all under para_mutex.
void change(const Writes &writes, int code = 1)
{
    QMutexLocker lock(&v331_manage::para_mutex);
    for (const auto &w : writes)
        kor_table()->set_u16(w.first, uint16_t(w.second));
    v331_manage::para_changed = uint8_t(code);
}
}

class TestScalerDispatch : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }
    void set_up() override { v331_manage::pInstance(); }

private slots:

    void programs_each_change_data()
    {
        kor_columns<Writes, int, QStringList>({"writes", "code", "expected"});
        auto row = [](const char *name, const Writes &w, const QStringList &expected, int code = 1) {
            QTest::newRow(name) << w << code << expected;
        };
        using namespace KorTable;
        row("saturation, code 2", {{kSaturation, 80}}, {"saturation(80)"}, 2);
        row("picture words", {{kContrast, 1}, {kSharpness, 2}, {kSaturation, 3}},
            {"contrast(1)", "sharpness(2)", "saturation(3)"});
        row("brightness, also to the fpga", {{kBrightness, 30}}, {"brightness(50)"});
        row("warm", {{kColorTempType, 1}}, {"color_gains(8845,8113,7056)"});
        row("cool", {{kColorTempType, 3}}, {"color_gains(6944,8282,10978)"});
        row("nature, type taken modulo 4", {{kColorTempType, 6}}, {"color_gains(8192,8192,8192)"});
        row("custom", {{kColorTempType, 0}, {kGainRed, 128}, {kGainGreen, 64}, {kGainBlue, 255}},
            {"color_gains(8192,4096,16320)"});
        row("pattern", {{kTestPattern, 5}}, {"pattern(5)"});
        row("pattern above 8 is none", {{kTestPattern, 9}}, {"pattern(0)"});
        row("window pairs", {{window_pair(2, 0), 61}, {window_pair(5, 1), 1}, {window_pair(6, 0), 1}},
            {"window_value(2,0,61)", "window_value(5,1,1)"});
        row("width", {{kLedWidth, 2560}}, {"panel_init(2560,1080,0,0,0)"});
        row("out1 size", {{output_width(0), 1280}, {output_height(0), 720}}, {"panel_init(1920,1080,1280,720,0)"});
        row("splice mode taken modulo 6", {{kSpliceMode, 7}}, {"panel_init(1920,1080,0,0,1)"});
    }
    void programs_each_change()
    {
        QFETCH(int, code);
        QFETCH(QStringList, expected);
        QSignalSpy refresh(kor_table(), &KorRamPara::sig_update_para);
        change(kor_data<Writes>("writes"), code);
        const QByteArray shadow = kor_shadow();

        scaler_manager()->run_pass();

        QCOMPARE(kor_scaler_calls(env->scaler()), expected);
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(QList<QVariantList>(refresh), QList<QVariantList>{{code}});
        // Only the refresh step moves the shadow.
        QCOMPARE(kor_shadow(), shadow);
        // Geometry hands over to the FPGA worker, with the OSD off; brightness is its to set.
        const bool geometry = !expected.isEmpty() && expected[0].startsWith("panel_init");
        QCOMPARE(int(g_set_led_para), geometry ? 2 : 0);
        QCOMPARE(int(g_osd_update), 0);
        QCOMPARE(kor_take_fpga_brightness_request(), !expected.filter("brightness").isEmpty());
        QVERIFY(!kor_take_fpga_brightness_request());
        QCOMPARE(int(g_bri_set_flag), 0);

        // Nothing pending: the next pass does nothing.
        env->scaler()->clear();
        scaler_manager()->run_pass();
        QVERIFY(env->scaler()->calls().empty());
        QCOMPARE(refresh.count(), 1);
    }

    // The FPGA worker's steps are timed by the GUI's tick: the wait must neither hold the
    // table's lock nor last.
    void geometry_waits_for_the_handover_without_the_lock()
    {
        g_set_led_para = 1;  // the FPGA worker is still stepping
        QSignalSpy refresh(kor_table(), &KorRamPara::sig_update_para);
        change({{KorTable::kLedWidth, 3840}, {KorTable::kOsdEnable, 1}});
        // The wait is bounded, so this returns, and joins, also when a check below fails.
        auto pass = std::async(std::launch::async, [] { scaler_manager()->run_pass(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        // A page can still change the table while the scaler waits.
        QVERIFY(v331_manage::para_mutex.tryLock(1000));
        kor_table()->set_u16(KorTable::kLedHeight, 2160);
        kor_table()->set_u16(KorTable::kContrast, 40);
        v331_manage::para_mutex.unlock();
        QVERIFY(env->scaler()->calls().empty());
        g_set_led_para = 0;  // hand-over done
        pass.wait();
        // What was written during the wait is applied in the same pass.
        QCOMPARE(kor_scaler_calls(env->scaler()), (QStringList{"panel_init(3840,2160,0,0,0)", "contrast(40)"}));
        QCOMPARE(int(g_set_led_para), 2);
        QCOMPARE(int(g_osd_update), 1);
        QCOMPARE(int(v331_manage::para_changed), 0);
        KorTestEnv::process_events();  // the refresh is signalled in the GUI thread
        QCOMPARE(refresh.count(), 1);
        // A hand-over that never ends holds the panel back no longer than the limit.
        KorTestEnv::process_events();  // the refresh takes the shadow
        env->scaler()->clear();
        scaler_manager()->led_para_wait_limit = std::chrono::milliseconds(20);
        g_set_led_para = 1;
        change({{KorTable::kLedWidth, 1280}});
        auto stuck = std::async(std::launch::async, [] { scaler_manager()->run_pass(); });
        const bool ended = stuck.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!ended)
            g_set_led_para = 0;  // so that the check fails rather than hangs
        stuck.wait();
        QVERIFY(ended);
        QCOMPARE(kor_scaler_calls(env->scaler()), QStringList("panel_init(1280,2160,0,0,0)"));
    }

    void worker_applies_and_refreshes()
    {
        QList<int> codes;
        connect(kor_table(), &KorRamPara::sig_update_para, this, [&](int c) { codes << c; });
        QCOMPARE(scaler_manager()->initialize(), 0);
        change({{KorTable::kSharpness, 77}});
        // The refresh reaches the GUI thread queued; the shadow follows once applied.
        QTRY_COMPARE(codes, QList<int>{1});
        QCOMPARE(kor_scaler_calls(env->scaler()), QStringList{"sharpness(77)"});
        QTRY_COMPARE(int(kor_table()->shadow_u16(KorTable::kSharpness)), 77);
    }
};

QTEST_MAIN(TestScalerDispatch)
#include "test_scaler_dispatch.moc"
