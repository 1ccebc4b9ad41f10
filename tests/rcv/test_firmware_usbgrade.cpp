#include "core/syncupdate.h"
#include "hostlink/usbserver.h"
#include "kor_test_helpers.h"
#include "platform/kor_clock.h"
#include "scaler/v331_manage.h"
#include "ui/rcv/firmware_usbgrade.h"
#include "ui/shell/tip.h"

#include <QDir>

namespace {
const char kMarked[] = "background-color:#4777FF;color: #FFFFFF;";

struct Entry {
    QString text;
    bool marked;
};

QFrame *list_frame() { return kor_child<QFrame>(g_firmware_usbgrade, "frame_file"); }
QPushButton *list_button(const QString &name) { return kor_child<QPushButton>(list_frame(), name); }
QString log_text() { return kor_text(g_firmware_usbgrade, "label_log"); }

// The labels of the list frame, top to bottom.
QList<Entry> entries()
{
    QList<QLabel *> labels = list_frame()->findChildren<QLabel *>();
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() < b->y(); });
    QList<Entry> out;
    for (QLabel *l : labels)
        out << Entry{l->text(), l->styleSheet() == QLatin1String(kMarked)};
    return out;
}
QString caption(const QString &path)
{
    return "<font color = #FFFFFF >" + QFileInfo(path).fileName().toHtmlEscaped() + "</font>";
}
void open_page() { kor_open(kor_settings + "ROLO", 26); }

QByteArray package(uint8_t kind, uint8_t fpga, char fill, int size)
{
    return encode_upgrade_image(UpgradeImage{kind, fpga, QByteArray(size, fill)}, "Z73N");
}
}

// The USB firmware-upgrade page: the stick's packages, paging, stick events, OK and the
// engine's result; and the engine beneath it: what it installs from the stick and logs.
class TestFirmwareUsbgrade : public KorTest {
    Q_OBJECT
    void set_up() override { kor_clock_set_fixed(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10))); }

    void stick_file(const QString &name, const QByteArray &data = "x") { env->write_file("/mnt/usb1/" + name, data); }
    void numbered_packages(int n)
    {
        for (int i = 0; i < n; ++i)
            stick_file(QString("p%1.KORZK").arg(i, 3, 10, QChar('0')));
    }

    // Runs the engine to its end, started as the upgrade page does unless it runs; returns the
    // update codes raised.
    static QList<QVariantList> run_upgrade()
    {
        QSignalSpy codes(kor_table(), &KorRamPara::sig_update_para);
        if (!g_usb_grade) {
            g_send_para[1] = 0;
            g_usb_grade = 1;
        }
        for (int i = 0; i < 300 && g_usb_grade; ++i)
            fpga_manage::p_fpga_manage->run_pass();
        fpga_manage::p_fpga_manage->notifier()->deliver();
        KorTestEnv::process_events();
        return codes;
    }
    static QStringList log_lines()
    {
        return QString::fromStdString(fpga_manage::p_fpga_manage->usb_upgrade_log_text()).split('\n');
    }

private slots:

    // Every KORZK package and the first plain one are marked; names are shown as text.
    void lists_the_stick_data()
    {
        // files: under /mnt/usb1/; dir: upgrade-directory setting
        kor_columns<QStringList, QString, QStringList, int>({"files", "dir", "listed", "marked"});
        QTest::newRow("packages among other files")
            << QStringList({"a.KOR", "d.KOR", "b&<i>.KORZK", "c.KORZK", "notes.txt", "lower.kor", "x.KORZ", "KOR"})
            << " " << QStringList({"a.KOR", "b&<i>.KORZK", "c.KORZK", "d.KOR"}) << 3;
        QTest::newRow("upgrade subdirectory")
            << QStringList({"upgrade/u.KOR", "upgrade/v.KORZK", "root.KOR", "upgrade/deeper/w.KOR"}) << "upgrade"
            << QStringList({"upgrade/u.KOR", "upgrade/v.KORZK"}) << 2;
    }
    void lists_the_stick()
    {
        QFETCH(QStringList, listed);
        g_usb_grade_path = kor_data<QString>("dir").toStdString();
        for (const QString &f : kor_data<QStringList>("files"))
            stick_file(f);
        open_page();
        QStringList found = g_firmware_usbgrade->file_list();
        const QList<Entry> shown = entries();
        QCOMPARE(shown.size(), found.size());
        int marks = 0;
        for (int i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown[i].text, caption(found[i]));
            marks += shown[i].marked;
        }
        QTEST(marks, "marked");
        found.sort();
        QCOMPARE(found.join(' '), "/mnt/usb1/" + listed.join(" /mnt/usb1/"));
        if (QTest::currentDataTag() == QLatin1String("packages among other files"))
            kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade");
    }

    // Four to a page, at most 100; next past the last page wraps to the first, previous
    // stops at it.
    void paging_data()
    {
        kor_columns<int, int>({"packages", "listed"});
        QTest::newRow("five") << 5 << 5;
        QTest::newRow("more than a hundred") << 105 << 100;
    }
    void paging()
    {
        QFETCH(int, packages);
        QFETCH(int, listed);
        numbered_packages(packages);
        open_page();
        const QStringList found = g_firmware_usbgrade->file_list();
        QCOMPARE(found.size(), listed);
        QCOMPARE(fpga_manage::pInstance()->get_usb_file_list_path().size(), listed);  // what the engine installs
        const int pages = (listed + 3) / 4;
        for (int p = 0; p < pages; ++p) {
            QCOMPARE(entries().size(), std::min(4, listed - 4 * p));
            QCOMPARE(entries().first().text, caption(found[4 * p]));
            QCOMPARE(list_button("Button_previous") != nullptr, p > 0);
            QCOMPARE(list_button("Button_next") != nullptr, p < pages - 1);
            if (p == 1 && packages == 5)
                kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade-page2");
            if (p < pages - 1)
                QTest::mouseClick(list_button("Button_next"), Qt::LeftButton);
        }
        g_firmware_usbgrade->kor_Button_next_clicked();
        QCOMPARE(entries().first().text, caption(found[0]));
        QTest::mouseClick(list_button("Button_next"), Qt::LeftButton);
        QTest::mouseClick(list_button("Button_previous"), Qt::LeftButton);
        g_firmware_usbgrade->kor_Button_previous_clicked();
        QCOMPARE(entries().first().text, caption(found[0]));
        QVERIFY(!list_button("Button_previous"));
    }

    // End to end with the stick watcher: 101 empties the list and 102 fills it again,
    // starting from an empty list so no package is listed twice.
    void stick_events()
    {
        UsbServer *usb = UsbServer::pInstance();
        SyncUpdate::p_sync->attach(usb, SIGNAL(sig_usb_update(int)));
        auto watch = [usb] {
            usb->run_pass();
            KorTestEnv::process_events();
        };
        stick_file("a.KOR");
        stick_file("b.KORZK");
        open_page();
        watch();  // 100, 102
        QCOMPARE(entries().size(), 2);
        stick_file("c.KORZK");
        QCOMPARE(g_firmware_usbgrade->file_list().size(), 2);
        kor_refresh(102);
        QCOMPARE(g_firmware_usbgrade->file_list().size(), 3);
        QCOMPARE(entries().size(), 3);
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        watch();
        QVERIFY(g_firmware_usbgrade->file_list().isEmpty());
        QCOMPARE(entries()[0].text, QString::fromUtf8("无加载文件!"));
        kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade-empty");
        stick_file("d.KORZK");
        watch();
        QCOMPARE(g_firmware_usbgrade->file_list(), QStringList({"/mnt/usb1/d.KORZK"}));
        QCOMPARE(entries()[0].text, caption("d.KORZK"));
        kor_keys("M");  // no upgrade started: mode closes the page
        kor_check_left(26, 4);
    }

    // OK starts the engine once per opening, and never while it still runs from an earlier
    // opening (that would reset its step in the middle of an install).
    void ok_starts_the_engine_once_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("engine idle") << false;
        QTest::newRow("engine still running") << true;
    }
    void ok_starts_the_engine_once()
    {
        QFETCH(bool, running);
        g_usb_grade = running ? 1 : 0;
        kor_set_job_step(running ? 2 : 7);
        open_page();
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_usb_grade), 1);
        QCOMPARE(int(kor_job_step()), running ? 2 : 0);
        kor_set_job_step(2);
        kor_press(KorKey::Ok);
        QCOMPARE(int(kor_job_step()), 2);
        // The engine ends: not started again from this opening, unless it was refused before.
        g_usb_grade = 0;
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_usb_grade), running ? 1 : 0);
    }

    // With the worker: the packages are installed and code 104 shows the engine's log,
    // escaped, one step per line. Mode is refused once OK has started the engine; back is
    // taken and the engine goes on without the page.
    void upgrade_end_to_end_data()
    {
        QTest::addColumn<bool>("stay");  // the page stays open until the end
        QTest::newRow("page open") << true;
        QTest::newRow("page closed meanwhile") << false;
    }
    void upgrade_end_to_end()
    {
        QFETCH(bool, stay);
        kor_fpga_up();
        stick_file("app.KOR", package(UpgradeApplication, 0, 'A', 4000));
        stick_file("bad&<b>.KORZK", QByteArray(64, 'x'));
        stick_file("notes.txt");
        open_page();
        kor_keys(stay ? "OM" : "OB");
        QCOMPARE(run_upgrade(), QList<QVariantList>{{104}});
        QCOMPARE(int(g_usb_grade), 0);
        QCOMPARE(env->read_file("/data/app/korZ73N"), QByteArray(4000, 'A'));
        const QString log = log_lines().join('\n');
        QVERIFY(log.contains("app.KOR: ok, application"));
        if (!stay) {
            QCOMPARE(int(g_page_focus), 10);
            QCOMPARE(g_tip->kind(), 1);
            return;
        }
        QCOMPARE(int(g_page_focus), 26);
        QCOMPARE(log_text(), "<font style = 'font-size:13px' color = #51BB28 >downing over<br>" +
                                 log.toHtmlEscaped().replace("\n", "<br>") + "</font>");
        QVERIFY(log_text().contains("bad&amp;&lt;b&gt;.KORZK: failed, bad header<br>"));
        QVERIFY(log_text().contains("USB upgrade 2024-03-05 08:09:10"));
        kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade-done");
    }

    void install_data()
    {
        kor_columns<QString, QByteArray, QString>({"name", "file", "result"});
        const QByteArray app = package(UpgradeApplication, 0, 'A', 5000);
        QByteArray bad_crc = app;
        bad_crc[40] = 'B';
        QTest::newRow("application") << "app.KOR" << app << "app.KOR: ok, application";
        QTest::newRow("combined bitstream and MCU")
            << "fpga.KORZK" << package(UpgradeFpgaBitstream, 1, 'F', 3000) + package(UpgradeMcuFirmware, 0, 'M', 700)
            << "fpga.KORZK: ok, FPGA1 FPGA bitstream, FPGA0 MCU firmware";
        QTest::newRow("flash write fails") << "wfail.KOR" << package(UpgradeFpgaBitstream, 0, 'F', 100)
                                           << "wfail.KOR: failed, FPGA0 FPGA bitstream write error";
        QTest::newRow("bad checksum") << "crc.KOR" << bad_crc << "crc.KOR: failed, bad checksum";
        QTest::newRow("fonts to the scaler") << "fonts.KOR" << package(UpgradeScalerFonts, 0, 'f', 10)
                                             << "fonts.KOR: ok, OSD fonts";
        QTest::newRow("fonts without a writer") << "font.KOR" << package(UpgradeScalerFonts, 0, 'f', 10)
                                                << "font.KOR: failed, OSD fonts write error";
    }
    void install()
    {
        kor_fpga_up();
        QFETCH(QString, name);
        QFETCH(QString, result);
        sim_fpga()->set_flash_write_fails(name == "wfail.KOR");
        if (name == "fonts.KOR")  // as start-up wires it
            fpga_manage::p_fpga_manage->set_font_writer(
                [](const QByteArray &image) { return v331_manage::pInstance()->write_font_image(image); });
        env->write_file("/mnt/usb1/" + name, kor_data<QByteArray>("file"));
        env->write_file("/mnt/usb1/notes.txt", "x");
        env->write_file("/mnt/usb1/lower.kor", package(UpgradeApplication, 0, 'L', 10));
        QCOMPARE(run_upgrade(), QList<QVariantList>{{104}});
        QCOMPARE(int(g_usb_grade), 0);
        QCOMPARE(int(kor_job_step()), 0);
        const int ok = result.contains(": ok");
        const QString end = QString("USB upgrade end 2024-03-05 08:09:10: %1 ok, %2 failed").arg(ok).arg(1 - ok);
        QCOMPARE(log_lines(), QStringList({"USB upgrade 2024-03-05 08:09:10", "packages: 1", result, end}));

        QCOMPARE(env->read_file("/data/app/korZ73N"), name == "app.KOR" ? QByteArray(5000, 'A') : QByteArray());
        QCOMPARE(QFileInfo(env->path("/data/app/korZ73N")).isExecutable(), name == "app.KOR");
        const bool fpga = name == "fpga.KORZK";
        QCOMPARE(sim_fpga()->flash_image(1, FpgaDevice::FlashBitstream), kor_bytes(QByteArray(fpga ? 3000 : 0, 'F')));
        QCOMPARE(sim_fpga()->flash_image(0, FpgaDevice::FlashMcu), kor_bytes(QByteArray(fpga ? 700 : 0, 'M')));
        QVERIFY(sim_fpga()->flash_image(0, FpgaDevice::FlashBitstream).empty());
        QCOMPARE(env->scaler()->calls_named("font_image").size(), size_t(name == "fonts.KOR"));
    }
};

QTEST_MAIN(TestFirmwareUsbgrade)
#include "test_firmware_usbgrade.moc"
