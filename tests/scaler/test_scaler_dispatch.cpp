#include "core/brightness_request.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/utils.h"
#include "inputs/dizidezorar.h"
#include "kor_test_env.h"
#include "platform/scaler_device.h"
#include "scaler/v331_manage.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <memory>
#include <thread>

using Writes = QVector<QPair<int, int>>;  // (table offset, 16-bit value)
Q_DECLARE_METATYPE(Writes)

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }
v331_manage *scaler_manager() { return v331_manage::p_v331_manage; }

// A page's change: table writes and the change byte in one section under para_mutex.
void change(const Writes &writes, int code = 1)
{
    QMutexLocker lock(&v331_manage::para_mutex);
    for (const auto &w : writes)
        table()->set_u16(w.first, uint16_t(w.second));
    v331_manage::para_changed = uint8_t(code);
}

QStringList calls(SimScaler *sim)
{
    QStringList out;
    for (const ScalerCall &c : sim->calls()) {
        QStringList args;
        for (int a : c.args)
            args << QString::number(a);
        out << QString::fromStdString(c.name) + "(" + args.join(",") + ")";
    }
    return out;
}
}

class TestScalerDispatch : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
        v331_manage::pInstance();
    }
    void cleanup() { env.reset(); }

    void programs_each_change_data()
    {
        QTest::addColumn<Writes>("writes");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nothing changed") << Writes{} << 1 << QStringList{};
        QTest::newRow("live status only") << Writes{{0x100, 9}} << 1 << QStringList{};
        QTest::newRow("contrast") << Writes{{0x882, 70}} << 1 << QStringList{"contrast(70)"};
        QTest::newRow("sharpness") << Writes{{0x884, 30}} << 1 << QStringList{"sharpness(30)"};
        QTest::newRow("saturation, code 2") << Writes{{0x886, 80}} << 2 << QStringList{"saturation(80)"};
        QTest::newRow("three picture words")
            << Writes{{0x882, 1}, {0x884, 2}, {0x886, 3}} << 1
            << QStringList{"contrast(1)", "sharpness(2)", "saturation(3)"};
        QTest::newRow("warm") << Writes{{0x888, 1}} << 1 << QStringList{"color_gains(8845,8113,7056)"};
        QTest::newRow("cool") << Writes{{0x888, 3}} << 1 << QStringList{"color_gains(6944,8282,10978)"};
        QTest::newRow("nature, type taken modulo 4")
            << Writes{{0x888, 6}} << 1 << QStringList{"color_gains(8192,8192,8192)"};
        QTest::newRow("custom")
            << Writes{{0x888, 0}, {0x88A, 128}, {0x88C, 64}, {0x88E, 255}} << 1
            << QStringList{"color_gains(8192,4096,16320)"};
        // The nature type ignores the gains, yet a gain change still programs once.
        QTest::newRow("gain under nature") << Writes{{0x88C, 100}} << 1 << QStringList{"color_gains(8192,8192,8192)"};
        QTest::newRow("custom gains from the low bytes")
            << Writes{{0x888, 4}, {0x88A, 0x0180}, {0x88C, 0x0201}, {0x88E, 0}} << 1
            << QStringList{"color_gains(8192,64,0)"};
        QTest::newRow("pattern") << Writes{{0x360, 5}} << 1 << QStringList{"pattern(5)"};
        QTest::newRow("pattern out of range is off") << Writes{{0x360, 9}} << 1 << QStringList{"pattern(0)"};
        QTest::newRow("window pairs")
            << Writes{{0xB00 + 4 * 2, 61}, {0xB02 + 4 * 5, 1}, {0xB00 + 4 * 6, 1}} << 1
            << QStringList{"window_value(2,0,61)", "window_value(5,1,1)"};
        QTest::newRow("second output is not geometry") << Writes{{0x588, 640}} << 1 << QStringList{};
    }
    void programs_each_change()
    {
        QFETCH(Writes, writes);
        QFETCH(int, code);
        QFETCH(QStringList, expected);
        QSignalSpy refresh(table(), &KorRamPara::sig_update_para);
        change(writes, code);
        unsigned char shadow[KOR_TABLE_SIZE];
        std::memcpy(shadow, table()->shadow, sizeof shadow);

        scaler_manager()->run_pass();

        QCOMPARE(calls(env->scaler()), expected);
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(refresh.count(), 1);
        QCOMPARE(refresh.at(0).at(0).toInt(), code);
        // Only the refresh step moves the shadow.
        QVERIFY(std::memcmp(shadow, table()->shadow, sizeof shadow) == 0);
        QCOMPARE(int(g_bri_set_flag), 0);
        QCOMPARE(int(g_set_led_para), 0);

        // Nothing pending: the next pass does nothing.
        env->scaler()->clear();
        scaler_manager()->run_pass();
        QVERIFY(env->scaler()->calls().empty());
        QCOMPARE(refresh.count(), 1);
    }

    void brightness_goes_to_the_fpga()
    {
        change({{0x880, 30}});
        scaler_manager()->run_pass();
        QCOMPARE(calls(env->scaler()), QStringList{"brightness(50)"});
        QVERIFY(kor_take_fpga_brightness_request());
        QVERIFY(!kor_take_fpga_brightness_request());
    }

    void geometry_data()
    {
        QTest::addColumn<Writes>("writes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("width") << Writes{{0x562, 2560}} << "panel_init(2560,1080,0,0,0)";
        QTest::newRow("height") << Writes{{0x564, 720}} << "panel_init(1920,720,0,0,0)";
        QTest::newRow("out1 size") << Writes{{0x584, 1280}, {0x586, 720}} << "panel_init(1920,1080,1280,720,0)";
        QTest::newRow("splice") << Writes{{0x560, 3}} << "panel_init(1920,1080,0,0,3)";
        QTest::newRow("splice modulo 6") << Writes{{0x560, 7}} << "panel_init(1920,1080,0,0,1)";
    }
    void geometry()
    {
        QFETCH(Writes, writes);
        QFETCH(QString, expected);
        change(writes);
        scaler_manager()->run_pass();
        QCOMPARE(calls(env->scaler()), QStringList{expected});
        QCOMPARE(int(g_set_led_para), 2);  // the FPGA worker's turn
        QCOMPARE(int(g_osd_update), 0);    // OSD off
    }

    void geometry_waits_for_the_handover_without_the_lock()
    {
        {
            QMutexLocker led(&Utils::_led_para_init_mutex);
            g_set_led_para = 1;  // the FPGA worker is still stepping
        }
        QSignalSpy refresh(table(), &KorRamPara::sig_update_para);
        change({{0x562, 3840}, {0x84C, 1}});
        // Ends the hand-over and joins also when a check below fails.
        struct Worker {
            std::thread thread{[] { scaler_manager()->run_pass(); }};
            void finish()
            {
                {
                    QMutexLocker led(&Utils::_led_para_init_mutex);
                    g_set_led_para = 0;
                }
                if (thread.joinable())
                    thread.join();
            }
            ~Worker() { finish(); }
        } worker;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));

        // A page can still change the table while the scaler waits.
        QVERIFY(v331_manage::para_mutex.tryLock(1000));
        table()->set_u16(0x564, 2160);
        table()->set_u16(0x882, 40);
        v331_manage::para_mutex.unlock();
        QVERIFY(env->scaler()->calls().empty());

        worker.finish();  // hand-over done
        // What was written during the wait is applied in the same pass.
        QCOMPARE(calls(env->scaler()), (QStringList{"panel_init(3840,2160,0,0,0)", "contrast(40)"}));
        QCOMPARE(int(g_set_led_para), 2);
        QCOMPARE(int(g_osd_update), 1);
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(refresh.count(), 1);
    }

    void geometry_wait_is_bounded()
    {
        g_set_led_para = 1;  // a hand-over that never ends
        scaler_manager()->led_para_wait_limit = std::chrono::milliseconds(50);
        change({{0x562, 1280}});
        QElapsedTimer timer;
        timer.start();
        scaler_manager()->run_pass();
        QVERIFY(timer.elapsed() >= 50);
        QVERIFY(timer.elapsed() < 1500);
        QCOMPARE(calls(env->scaler()), QStringList{"panel_init(1280,1080,0,0,0)"});
        QCOMPARE(int(g_set_led_para), 2);
    }

    void edid_records_flag_every_changed_input()
    {
        change({{0x380 + 6 * 1 + 4, 30}, {0x380 + 6 * 4, 2560}, {0x380 + 6 * 4 + 2, 1440}});
        scaler_manager()->run_pass();
        for (int input = 0; input < 6; ++input)
            QCOMPARE(int(dizidezorar::edid_rewrite[input]), (input == 1 || input == 4) ? 1 : 0);
        QVERIFY(env->scaler()->calls().empty());
    }

    void fonts_data()
    {
        QTest::addColumn<unsigned>("present");
        QTest::newRow("all") << 0x0Fu;
        QTest::newRow("none") << 0u;
        QTest::newRow("32-pixel Chinese and 64-pixel English") << 0x09u;
    }
    void fonts()
    {
        QFETCH(unsigned, present);
        env->scaler()->set_fonts(present);
        scaler_manager()->read_v331_font();
        QCOMPARE(unsigned(scaler_manager()->font_valid), present);
    }

    void worker_applies_and_refreshes()
    {
        QList<int> codes;
        connect(table(), &KorRamPara::sig_update_para, this, [&](int c) { codes << c; });
        QCOMPARE(scaler_manager()->initialize(), 0);
        change({{0x884, 77}});
        // The refresh reaches the GUI thread queued; the shadow follows once applied.
        QTRY_COMPARE(codes, QList<int>{1});
        QCOMPARE(calls(env->scaler()), QStringList{"sharpness(77)"});
        QTRY_COMPARE(int(table()->shadow_u16(0x884)), 77);
    }

    void font_image_updates_font_valid()
    {
        env->start();
        env->scaler()->set_fonts(0x01);
        v331_manage *v = v331_manage::pInstance();
        v->read_v331_font();
        QCOMPARE(int(v->font_valid), 0x01);
        QCOMPARE(v->write_font_image(QByteArray(64, 'f')), 0);
        QCOMPARE(int(v->font_valid), 0x0F);
        QCOMPARE(env->scaler()->calls_named("font_image").size(), size_t(1));
        QCOMPARE(v->write_font_image(QByteArray()), 255);
    }
};

QTEST_MAIN(TestScalerDispatch)
#include "test_scaler_dispatch.moc"
