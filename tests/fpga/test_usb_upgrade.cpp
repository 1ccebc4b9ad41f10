#include "kor_test_helpers.h"
#include "platform/kor_clock.h"

namespace {
QByteArray package(uint8_t kind, uint8_t fpga, char fill, int size, const char *controller = "Z73N")
{
    return encode_upgrade_image(UpgradeImage{kind, fpga, QByteArray(size, fill)}, controller);
}
}

class TestUsbUpgrade : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }
    void set_up() override
    {
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10)));
        kor_fpga_up();
    }

    // Runs the engine as the upgrade page starts it; returns the update codes raised.
    QList<QVariantList> run_upgrade()
    {
        QSignalSpy codes(kor_table(), &KorRamPara::sig_update_para);
        g_send_para[1] = 0;
        g_usb_grade = 1;
        for (int i = 0; i < 300 && g_usb_grade; ++i)
            fpga_manage::p_fpga_manage->run_pass();
        fpga_manage::p_fpga_manage->notifier()->deliver();
        return codes;
    }
    QStringList log_lines() const
    {
        return QString::fromStdString(fpga_manage::p_fpga_manage->usb_upgrade_log_text()).split('\n');
    }

private slots:

    void install_data()
    {
        // name: empty: no stick
        kor_columns<QString, QByteArray, QString>({"name", "file", "result"});
        const QByteArray app = package(UpgradeApplication, 0, 'A', 5000);
        QByteArray bad_crc = app;
        bad_crc[40] = 'B';
        QTest::newRow("no stick") << "" << QByteArray() << "";
        QTest::newRow("application") << "app.KOR" << app << "app.KOR: ok, application";
        QTest::newRow("combined bitstream and MCU")
            << "fpga.KORZK" << package(UpgradeFpgaBitstream, 1, 'F', 3000) + package(UpgradeMcuFirmware, 0, 'M', 700)
            << "fpga.KORZK: ok, FPGA1 FPGA bitstream, FPGA0 MCU firmware";
        QTest::newRow("flash write fails") << "wfail.KOR" << package(UpgradeFpgaBitstream, 0, 'F', 100)
                                           << "wfail.KOR: failed, FPGA0 FPGA bitstream write error";
        QTest::newRow("bad checksum") << "crc.KOR" << bad_crc << "crc.KOR: failed, bad checksum";
        QTest::newRow("other controller") << "z.KOR" << package(UpgradeApplication, 0, 'A', 10, "Z99X")
                                          << "z.KOR: failed, wrong controller";
        QTest::newRow("two images in a plain package") << "two.KOR" << app + app << "two.KOR: failed, trailing data";
        QTest::newRow("truncated") << "cut.KOR" << app.left(2000) << "cut.KOR: failed, bad length";
        QTest::newRow("not a package") << "junk.KOR" << QByteArray("hello") << "junk.KOR: failed, bad header";
        QTest::newRow("fonts without a writer") << "font.KOR" << package(UpgradeScalerFonts, 0, 'f', 10)
                                                << "font.KOR: failed, OSD fonts write error";
    }
    void install()
    {
        QFETCH(QString, name);
        QFETCH(QString, result);
        sim_fpga()->set_flash_write_fails(name == "wfail.KOR");
        if (!name.isEmpty()) {
            env->write_file("/mnt/usb1/" + name, kor_data<QByteArray>("file"));
            env->write_file("/mnt/usb1/notes.txt", "x");
            env->write_file("/mnt/usb1/lower.kor", package(UpgradeApplication, 0, 'L', 10));
        }
        QCOMPARE(run_upgrade(), QList<QVariantList>{{104}});
        QCOMPARE(int(g_usb_grade), 0);
        QCOMPARE(int(kor_job_step()), 0);
        const int ok = result.contains(": ok"), failed = !name.isEmpty() && !ok;
        QStringList want{"USB upgrade 2024-03-05 08:09:10", QString("packages: %1").arg(ok + failed)};
        if (!name.isEmpty())
            want << result;
        want << QString("USB upgrade end 2024-03-05 08:09:10: %1 ok, %2 failed").arg(ok).arg(failed);
        QCOMPARE(log_lines(), want);

        QCOMPARE(env->read_file("/data/app/korZ73N"), name == "app.KOR" ? QByteArray(5000, 'A') : QByteArray());
        QCOMPARE(QFileInfo(env->path("/data/app/korZ73N")).isExecutable(), name == "app.KOR");
        const bool fpga = name == "fpga.KORZK";
        QCOMPARE(sim_fpga()->flash_image(1, FpgaDevice::FlashBitstream), kor_bytes(QByteArray(fpga ? 3000 : 0, 'F')));
        QCOMPARE(sim_fpga()->flash_image(0, FpgaDevice::FlashMcu), kor_bytes(QByteArray(fpga ? 700 : 0, 'M')));
        QVERIFY(sim_fpga()->flash_image(0, FpgaDevice::FlashBitstream).empty());
    }

    void good_and_bad_packages_in_the_upgrade_directory()
    {
        g_usb_grade_path = "upgrade";
        int font_writes = 0;
        fpga_manage::p_fpga_manage->set_font_writer([&font_writes](const QByteArray &img) {
            ++font_writes;
            return img.size() == 10 ? 0 : 1;
        });
        env->write_file("/mnt/usb1/upgrade/font.KOR", package(UpgradeScalerFonts, 0, 'f', 10));
        env->write_file("/mnt/usb1/upgrade/bad.KORZK", QByteArray(64, 'x'));
        env->write_file("/mnt/usb1/root.KOR", package(UpgradeApplication, 0, 'A', 10));
        QCOMPARE(fpga_manage::p_fpga_manage->get_usb_file_list_path().size(), 2);

        QCOMPARE(run_upgrade(), QList<QVariantList>{{104}});
        QStringList lines = log_lines();
        QCOMPARE(lines.size(), 5);
        std::sort(lines.begin() + 2, lines.end() - 1);  // the stick's order
        QCOMPARE(lines.mid(1), QStringList({"packages: 2", "bad.KORZK: failed, bad header", "font.KOR: ok, OSD fonts",
                                            "USB upgrade end 2024-03-05 08:09:10: 1 ok, 1 failed"}));
        QCOMPARE(font_writes, 1);
        QVERIFY(env->read_file("/data/app/korZ73N").isEmpty());
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
