#include "core/syncupdate.h"
#include "core/worker.h"
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
void open_page() { kor_open(kor_settings + " right ok left ok", 26); }

QByteArray package(uint8_t kind, uint8_t fpga, char fill, int size, const char *controller = "Z73N")
{
    return encode_upgrade_image(UpgradeImage{kind, fpga, QByteArray(size, fill)}, controller);
}

// An ELF head with one program header, then `fill`: 32-bit little-endian ARM unless `wide`.
QByteArray executable(int size, bool wide = false)
{
    QByteArray e(size, 'A');
    const uint8_t head[] = {0x7f, 'E', 'L', 'F', uint8_t(wide ? 2 : 1), 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            2, 0, uint8_t(wide ? 62 : 40), 0, 1, 0, 0, 0};
    std::copy(head, head + sizeof head, e.begin());
    e[28] = 52;  // program headers right after the head: 1 of 32 bytes
    e[29] = e[30] = e[31] = 0;
    e[42] = 32;
    e[43] = 0;
    e[44] = 1;
    e[45] = 0;
    return e;
}
QByteArray app_package(int size, bool wide = false)
{
    return encode_upgrade_image(UpgradeImage{UpgradeApplication, 0, executable(size, wide)});
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
    long reboots() const
    {
        const std::vector<std::string> commands = env->commands();
        return std::count(commands.begin(), commands.end(), "reboot");
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
        SyncUpdate::p_sync->attach(usb, &UsbServer::sig_usb_update);
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
        kor_keys("mode");  // no upgrade started: mode closes the page
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

    // With the worker: the packages are installed and code 104 shows the outcome first (two
    // lines fit the box), then the engine's log, escaped; green only when every package went
    // in. The new application takes effect by a reboot 3 s after the end. Mode is refused once
    // OK has started the engine; back is taken and the engine goes on without the page.
    void upgrade_end_to_end_data()
    {
        kor_columns<bool, bool, QString>({"stay", "bad", "outcome"});  // stay: the page stays open
        QTest::newRow("one package refused") << true << true << "1 ok, 1 failed: bad&amp;&lt;b&gt;.KORZK";
        QTest::newRow("all installed") << true << false << "1 ok, 0 failed";
        QTest::newRow("page closed meanwhile") << false << true << "";
    }
    void upgrade_end_to_end()
    {
        QFETCH(bool, stay);
        QFETCH(bool, bad);
        fpga_manage *m = kor_fpga_up();
        stick_file("app.KOR", app_package(4000));
        if (bad)
            stick_file("bad&<b>.KORZK", QByteArray(64, 'x'));
        stick_file("notes.txt");
        open_page();
        kor_keys(stay ? "ok mode" : "ok back");
        QCOMPARE(run_upgrade(), QList<QVariantList>{{104}});
        QCOMPARE(int(g_usb_grade), 0);
        QCOMPARE(env->read_file("/data/app/korZ73N"), executable(4000));
        const QString log = log_lines().join('\n');
        QVERIFY(log.contains("app.KOR: installed application"));
        for (const unsigned ticks : {0u, 299u, 1u, 500u}) {  // 3 s
            env->tick(ticks);
            m->run_pass();
            QCOMPARE(reboots(), ticks == 1 || ticks == 500 ? 1 : 0);
        }
        if (!stay) {
            QCOMPARE(int(g_page_focus), 10);
            QCOMPARE(g_tip->kind(), 1);
            return;
        }
        QCOMPARE(int(g_page_focus), 26);
        const QString colour = bad ? "#FF0000" : "#51BB28";
        QCOMPARE(log_text(), "<font style = 'font-size:13px' color = " + colour + " >downing over<br>" +
                                 kor_data<QString>("outcome") + "<br>" + log.toHtmlEscaped().replace("\n", "<br>") +
                                 "</font>");
        QVERIFY(kor_child<QLabel>(g_firmware_usbgrade, "label_log")->alignment() & Qt::AlignTop);
        QVERIFY(log_text().contains("USB upgrade 2024-03-05 08:09:10"));
        kor_save_row_screen(g_firmware_usbgrade, "firmware_usbgrade-done");
    }

    // With the worker on its own thread, the reboot for a new application comes when the tick
    // makes it due (3 s after the end), not at the worker's next idle check.
    void reboot_on_time_with_the_worker()
    {
        stick_file("app.KOR", app_package(4000));
        QCOMPARE(fpga_manage::pInstance()->initialize(), 0);
        g_send_para[1] = 0;
        g_usb_grade = 1;
        KorWorker::wake_all();
        QTRY_VERIFY_WITH_TIMEOUT(g_usb_grade == 0, 5000);
        QTest::qWait(50);  // the worker is in its wait
        env->tick(fpga_manage::kRebootTicks - 1);
        KorWorker::wake_pending();
        QTest::qWait(50);
        QCOMPARE(reboots(), 0L);
        env->tick(1);
        KorWorker::wake_pending();
        QTRY_COMPARE_WITH_TIMEOUT(reboots(), 1L, 1000);
    }

    // A directory setting that leads off the stick lists and installs nothing.
    void upgrade_directory_stays_on_the_stick_data()
    {
        kor_columns<QString, bool>({"dir", "link"});
        QTest::newRow("up and out") << "../../data/smartmapping" << false;
        QTest::newRow("a link on the stick") << "up" << true;
        QTest::newRow("to nowhere off the stick") << "../../nowhere" << false;
    }
    void upgrade_directory_stays_on_the_stick()
    {
        QFETCH(QString, dir);
        kor_fpga_up();
        env->write_file("/data/smartmapping/app.KOR", app_package(300));
        stick_file("app.KOR", app_package(300));
        if (kor_data<bool>("link"))
            QVERIFY(QFile::link(env->path("/data/smartmapping"), env->path("/mnt/usb1/up")));
        g_usb_grade_path = dir.toStdString();
        open_page();
        QVERIFY(g_firmware_usbgrade->file_list().isEmpty());
        kor_press(KorKey::Ok);
        run_upgrade();
        QVERIFY(!QFile::exists(env->path("/data/app/korZ73N")));
        QVERIFY(log_lines().contains("upgrade directory refused: " + dir));
        QVERIFY(log_text().contains("color = #FF0000 >downing over<br>0 ok, 0 failed<br>"));
    }

    // Every language's texts; a language whose bit is clear shows English.
    void texts_data()
    {
        kor_columns<int, int, QStringList>({"language", "valid", "texts"});  // title, button, no files
        QTest::newRow("zh") << 0 << 0x1F << QStringList{"USB升级", "确定", "无加载文件!"};
        QTest::newRow("en") << 1 << 0x1F << QStringList{"USB UPDATE", "OK", "No loaded file!"};
        QTest::newRow("ru") << 2 << 0x1F << QStringList{"Обновление через USB", "OK", "Нет файлов для загрузки!"};
        QTest::newRow("vi") << 3 << 0x1F
                            << QStringList{"Sử dụng ổ USB  để cập nhập", "Đồng ý", "Không có tập tin để tải!"};
        QTest::newRow("zh-TW") << 4 << 0x1F << QStringList{"USB昇級", "確定", "無加載文件!"};
        QTest::newRow("ru not enabled") << 2 << 0x1B << QStringList{"USB UPDATE", "OK", "No loaded file!"};
    }
    void texts()
    {
        g_lcd_lang_valid = uint8_t(kor_data<int>("valid"));
        g_language = uint8_t(kor_data<int>("language"));
        open_page();
        QCOMPARE((QStringList{kor_text(g_firmware_usbgrade, "label_usb_update"),
                              kor_text(g_firmware_usbgrade, "Button_grade"), entries().value(0).text}),
                 kor_data<QStringList>("texts"));
    }

    // The time-stamp button: "downing over" in green before OK, the red warning after it; the
    // time without leading zeros.
    void time_stamp()
    {
        open_page();
        QPushButton *grade = kor_child<QPushButton>(g_firmware_usbgrade, "Button_grade");
        QTest::mouseClick(grade, Qt::LeftButton);
        QCOMPARE(log_text(), "<font style = 'font-size:12px' color = #51BB28 >\r\ndowning over \r\n8:9:10</font>");
        kor_press(KorKey::Ok);
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 5), QTime(12, 0, 5)));
        QTest::mouseClick(grade, Qt::LeftButton);
        QCOMPARE(log_text(), "<font style = 'font-size:12px' color = #FF0000 >downing ,Dont power off !!\r\n12:0:5</font>");
    }

    // What reaches the device: nothing of a package that fails a check (an image of each
    // kind is checked before any is written), and exactly what went in when a write fails.
    void install_data()
    {
        // written: "app", "bit1", "mcu0", "fonts"
        kor_columns<QString, QByteArray, QString, QStringList>({"name", "file", "result", "written"});
        const QByteArray app = app_package(5000);
        const QByteArray bitstream = package(UpgradeFpgaBitstream, 1, 'F', 3000);
        const QByteArray mcu = package(UpgradeMcuFirmware, 0, 'M', 700);
        const QByteArray fonts = package(UpgradeScalerFonts, 0, 'f', 100);
        QByteArray bad_crc = mcu;
        bad_crc[40] = 'B';
        QByteArray unknown = mcu;
        unknown[5] = 5;
        QTest::newRow("application") << "app.KOR" << app << "app.KOR: installed application" << QStringList{"app"};
        QTest::newRow("combined bitstream and MCU") << "fpga.KORZK" << bitstream + mcu
                                                    << "fpga.KORZK: installed FPGA1 FPGA bitstream, FPGA0 MCU firmware"
                                                    << QStringList{"bit1", "mcu0"};
        QTest::newRow("flash write fails midway")
            << "wfail.KORZK" << fonts + bitstream + mcu
            << "wfail.KORZK: installed OSD fonts; failed FPGA1 FPGA bitstream (write error); not written FPGA0 MCU firmware"
            << QStringList{"fonts"};
        QTest::newRow("fonts without a writer")
            << "nowriter.KOR" << fonts << "nowriter.KOR: failed OSD fonts (write error)" << QStringList();
        const auto refused = [](const char *row, const QString &name, const QByteArray &file, const QString &why) {
            QTest::newRow(row) << name << file << name + ": refused, " + why << QStringList();
        };
        refused("empty application", "a.KOR", package(UpgradeApplication, 0, 'A', 0), "empty image");
        refused("empty bitstream", "b.KOR", package(UpgradeFpgaBitstream, 0, 'F', 0), "empty image");
        refused("text as the program", "t.KOR", package(UpgradeApplication, 0, 't', 21), "implausible size");
        refused("64-bit PC program", "pc.KOR", app_package(5000, true), "not an executable");
        refused("tiny bitstream", "tiny.KOR", package(UpgradeFpgaBitstream, 0, 'F', 100), "implausible size");
        refused("wrong controller", "c.KOR", package(UpgradeMcuFirmware, 0, 'M', 700, "Z73X"), "wrong controller");
        refused("unknown kind", "k.KOR", unknown, "unknown kind");
        refused("two images in a plain package", "two.KOR", bitstream + mcu, "trailing data");
        refused("bad second image in a combined package", "second.KORZK", app + bad_crc, "bad checksum");
    }
    void install()
    {
        fpga_manage *m = kor_fpga_up();
        QFETCH(QString, name);
        QFETCH(QString, result);
        QFETCH(QStringList, written);
        sim_fpga()->set_flash_write_fails(name == "wfail.KORZK");
        if (name != "nowriter.KOR")  // as start-up wires it
            m->set_font_writer([](const QByteArray &image) { return v331_manage::pInstance()->write_font_image(image); });
        env->write_file("/mnt/usb1/" + name, kor_data<QByteArray>("file"));
        env->write_file("/mnt/usb1/notes.txt", "x");
        env->write_file("/mnt/usb1/lower.kor", app_package(100));
        QCOMPARE(run_upgrade(), QList<QVariantList>{{104}});
        QCOMPARE(int(g_usb_grade), 0);
        QCOMPARE(int(kor_job_step()), 0);
        const int ok = written.size() == 1 + result.count(',') && !result.contains("failed");
        const QString end = QString("USB upgrade end 2024-03-05 08:09:10: %1 ok, %2 failed").arg(ok).arg(1 - ok);
        QCOMPARE(log_lines(), QStringList({"USB upgrade 2024-03-05 08:09:10", "packages: 1", result, end}));
        QCOMPARE(m->usb_upgrade_report().installed(), ok);

        const bool app = written.contains("app");
        QCOMPARE(env->read_file("/data/app/korZ73N"), app ? executable(5000) : QByteArray());
        QCOMPARE(QFileInfo(env->path("/data/app/korZ73N")).isExecutable(), app);
        QCOMPARE(sim_fpga()->flash_image(1, FpgaDevice::FlashBitstream),
                 kor_bytes(QByteArray(written.contains("bit1") ? 3000 : 0, 'F')));
        QCOMPARE(sim_fpga()->flash_image(0, FpgaDevice::FlashMcu),
                 kor_bytes(QByteArray(written.contains("mcu0") ? 700 : 0, 'M')));
        QCOMPARE(env->scaler()->calls_named("font_image").size(), size_t(written.contains("fonts")));
        // Only a new application asks for the reboot.
        env->tick(fpga_manage::kRebootTicks);
        m->run_pass();
        QCOMPARE(reboots(), app ? 1 : 0);
    }
};

QTEST_MAIN(TestFirmwareUsbgrade)
#include "test_firmware_usbgrade.moc"
