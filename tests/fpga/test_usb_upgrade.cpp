#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "platform/kor_clock.h"
#include "platform/sim_fpga.h"

#include <QFileInfo>
#include <QtTest>
#include <memory>

namespace {
QByteArray image(char fill, int size) { return QByteArray(size, fill); }

QByteArray package(uint8_t kind, uint8_t fpga, const QByteArray &data, const char *controller = "Z73N")
{
    UpgradeImage img;
    img.kind = kind;
    img.fpga = fpga;
    img.image = data;
    return encode_upgrade_image(img, controller);
}

std::vector<uint8_t> bytes_of(const QByteArray &b) { return std::vector<uint8_t>(b.begin(), b.end()); }
}

class TestUsbUpgrade : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    // Runs the engine as the upgrade page starts it; returns the update codes raised.
    QList<int> run_upgrade()
    {
        fpga_manage *m = fpga_manage::p_fpga_manage;
        QSignalSpy codes(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);
        g_send_para[1] = 0;
        g_usb_grade = 1;
        for (int i = 0; i < 300 && g_usb_grade; ++i)
            m->run_pass();
        m->notifier()->deliver();
        QList<int> out;
        for (const QList<QVariant> &args : codes)
            out << args.at(0).toInt();
        return out;
    }
    QStringList log_lines() const
    {
        return QString::fromStdString(fpga_manage::p_fpga_manage->usb_upgrade_log_text()).split('\n');
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10)));
        kor_fpga_up();
    }
    void cleanup() { env.reset(); }

    void install_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("result");
        const QByteArray app = package(UpgradeApplication, 0, image('A', 5000));
        QByteArray bad_crc = app;
        bad_crc[40] = 'B';
        QTest::newRow("application") << "app.KOR" << app << "app.KOR: ok, application";
        QTest::newRow("combined bitstream and MCU")
            << "fpga.KORZK"
            << package(UpgradeFpgaBitstream, 1, image('F', 3000)) + package(UpgradeMcuFirmware, 0, image('M', 700))
            << "fpga.KORZK: ok, FPGA1 FPGA bitstream, FPGA0 MCU firmware";
        QTest::newRow("bad checksum") << "crc.KOR" << bad_crc << "crc.KOR: failed, bad checksum";
        QTest::newRow("other controller") << "z.KOR" << package(UpgradeApplication, 0, image('A', 10), "Z99X")
                                          << "z.KOR: failed, wrong controller";
        QTest::newRow("two images in a plain package") << "two.KOR" << app + app << "two.KOR: failed, trailing data";
        QTest::newRow("truncated") << "cut.KOR" << app.left(2000) << "cut.KOR: failed, bad length";
        QTest::newRow("not a package") << "junk.KOR" << QByteArray("hello") << "junk.KOR: failed, bad header";
        QTest::newRow("fonts without a writer") << "font.KOR" << package(UpgradeScalerFonts, 0, image('f', 10))
                                                << "font.KOR: failed, OSD fonts write error";
    }
    void install()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QString, result);
        env->write_file("/mnt/usb1/" + name, file);
        env->write_file("/mnt/usb1/notes.txt", "x");
        env->write_file("/mnt/usb1/lower.kor", package(UpgradeApplication, 0, image('L', 10)));

        const QList<int> codes = run_upgrade();
        QCOMPARE(codes, QList<int>{104});
        QCOMPARE(int(g_usb_grade), 0);
        QCOMPARE(int(kor_job_step()), 0);
        const bool ok = result.contains(": ok");
        const QStringList lines = log_lines();
        QCOMPARE(lines, QStringList({"USB upgrade 2024-03-05 08:09:10", "packages: 1", result,
                                     QString("USB upgrade end 2024-03-05 08:09:10: %1 ok, %2 failed")
                                         .arg(ok ? 1 : 0)
                                         .arg(ok ? 0 : 1)}));

        const QByteArray app = env->read_file("/data/app/korZ73N");
        if (name == "app.KOR") {
            QCOMPARE(app, image('A', 5000));
            QVERIFY(QFileInfo(env->path("/data/app/korZ73N")).isExecutable());
        } else {
            QVERIFY(app.isEmpty());
        }
        SimFpga *sim = sim_fpga();
        if (name == "fpga.KORZK") {
            QCOMPARE(sim->flash_image(1, FpgaDevice::FlashBitstream), bytes_of(image('F', 3000)));
            QCOMPARE(sim->flash_image(0, FpgaDevice::FlashMcu), bytes_of(image('M', 700)));
        } else {
            QVERIFY(sim->flash_image(0, FpgaDevice::FlashBitstream).empty());
            QVERIFY(sim->flash_image(1, FpgaDevice::FlashBitstream).empty());
        }
    }

    void good_and_bad_packages_in_the_upgrade_directory()
    {
        g_usb_grade_path = "upgrade";
        int font_writes = 0;
        fpga_manage::p_fpga_manage->set_font_writer([&font_writes](const QByteArray &img) {
            ++font_writes;
            return img.size() == 10 ? 0 : 1;
        });
        env->write_file("/mnt/usb1/upgrade/font.KOR", package(UpgradeScalerFonts, 0, image('f', 10)));
        env->write_file("/mnt/usb1/upgrade/bad.KORZK", QByteArray(64, 'x'));
        env->write_file("/mnt/usb1/root.KOR", package(UpgradeApplication, 0, image('A', 10)));
        QCOMPARE(fpga_manage::p_fpga_manage->get_usb_file_list_path().size(), 2);

        QCOMPARE(run_upgrade(), QList<int>{104});
        const QStringList lines = log_lines();
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(1), QString("packages: 2"));
        QVERIFY(lines.contains("font.KOR: ok, OSD fonts"));
        QVERIFY(lines.contains("bad.KORZK: failed, bad header"));
        QVERIFY(lines.last().endsWith(": 1 ok, 1 failed"));
        QCOMPARE(font_writes, 1);
        QVERIFY(env->read_file("/data/app/korZ73N").isEmpty());
    }

    void no_stick()
    {
        QCOMPARE(run_upgrade(), QList<int>{104});
        QCOMPARE(log_lines().mid(1), QStringList({"packages: 0", "USB upgrade end 2024-03-05 08:09:10: 0 ok, 0 failed"}));
    }

    void flash_write_error_is_reported()
    {
        sim_fpga()->set_flash_write_fails(true);
        env->write_file("/mnt/usb1/f.KOR", package(UpgradeFpgaBitstream, 0, image('F', 100)));
        run_upgrade();
        QVERIFY(log_lines().contains("f.KOR: failed, FPGA0 FPGA bitstream write error"));
    }

    void at_most_100_packages()
    {
        for (int i = 0; i < 105; ++i)
            env->write_file(QString("/mnt/usb1/p%1.KOR").arg(i), "x");
        QCOMPARE(fpga_manage::p_fpga_manage->get_usb_file_list_path().size(), 100);
    }
};

QTEST_MAIN(TestUsbUpgrade)
#include "test_usb_upgrade.moc"
