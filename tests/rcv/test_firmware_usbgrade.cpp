#include "core/global.h"
#include "core/korrampara.h"
#include "core/syncupdate.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "hostlink/usbserver.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/kor_clock.h"
#include "ui/pages/linkoption.h"
#include "ui/rcv/firmware_usbgrade.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"
#include "ui/shell/tip.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {
const char kMarked[] = "background-color:#4777FF;color: #FFFFFF;";
const char kUnmarked[] = "background-color: rgb(33, 36, 53);color: #FFFFFF";

struct Entry {
    QString text;
    QString style;
};

QFrame *list_frame()
{
    return g_firmware_usbgrade->findChild<QFrame *>("frame_file");
}
// The labels of the list frame, top to bottom.
QList<Entry> entries()
{
    QList<QLabel *> labels = list_frame()->findChildren<QLabel *>();
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() < b->y(); });
    QList<Entry> out;
    for (QLabel *l : labels)
        out << Entry{l->text(), l->styleSheet()};
    return out;
}
QString caption(const QString &name)
{
    return "<font color = #FFFFFF >" + name.toHtmlEscaped() + "</font>";
}
QPushButton *list_button(const char *name)
{
    return list_frame()->findChild<QPushButton *>(name);
}
QString log_text()
{
    return g_firmware_usbgrade->findChild<QLabel *>("label_log")->text();
}
QByteArray package(uint8_t kind, char fill, int size)
{
    UpgradeImage img;
    img.kind = kind;
    img.image = QByteArray(size, fill);
    return encode_upgrade_image(img);
}
}

// The USB firmware-upgrade page: the stick's packages, paging, stick events, OK and the
// engine's result.
class TestFirmwareUsbgrade : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    // Home -> main menu -> settings -> connection -> USB upgrade.
    void open_page()
    {
        kor_set_modal_pages(false);
        for (KorKey k : {KorKey::Ok, KorKey::Right, KorKey::Right, KorKey::Ok, KorKey::Right, KorKey::Ok,
                         KorKey::Left, KorKey::Ok})
            kor_press(k);
    }
    void stick_file(const QString &name, const QByteArray &data = "x")
    {
        env->write_file("/mnt/usb1/" + name, data);
    }
    void numbered_packages(int n)
    {
        for (int i = 0; i < n; ++i)
            stick_file(QString("p%1.KORZK").arg(i, 3, 10, QChar('0')));
    }
    void signal(int code)
    {
        KorRamPara::p_korrampara_config->test_signal(code);
        KorTestEnv::process_events();
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_clock_set_fixed(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10)));
    }
    void cleanup() { env.reset(); }

    void lists_the_stick_data()
    {
        QTest::addColumn<QStringList>("files");  // under /mnt/usb1/; "x/" a folder, "@x" a link to the first
        QTest::addColumn<QString>("dir");        // upgrade-directory setting
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<int>("marked");
        QTest::newRow("packages among other files")
            << QStringList({"a.KOR", "b.KORZK", "c.KORZK", "notes.txt", "lower.kor", "x.KORZ", "KOR", "sub.KOR/"})
            << " " << QStringList({"a.KOR", "b.KORZK", "c.KORZK"}) << 3;
        QTest::newRow("second plain package not marked")
            << QStringList({"a.KOR", "b.KOR", "c.KORZK"}) << " " << QStringList({"a.KOR", "b.KOR", "c.KORZK"}) << 2;
        QTest::newRow("upgrade subdirectory")
            << QStringList({"upgrade/u.KOR", "upgrade/v.KORZK", "root.KOR", "upgrade/deeper/w.KOR"}) << "upgrade"
            << QStringList({"u.KOR", "v.KORZK"}) << 2;
        QTest::newRow("symbolic link left out") << QStringList({"a.KORZK", "@link.KOR"}) << " "
                                                << QStringList({"a.KORZK"}) << 1;
        QTest::newRow("names shown as text") << QStringList({"a&b<i>x.KOR"}) << " " << QStringList({"a&b<i>x.KOR"}) << 1;
        QTest::newRow("no stick") << QStringList() << " " << QStringList() << 0;
        QTest::newRow("no packages") << QStringList({"readme.txt"}) << " " << QStringList() << 0;
    }
    void lists_the_stick()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, dir);
        QFETCH(QStringList, listed);
        QFETCH(int, marked);
        g_usb_grade_path = dir.toStdString();
        for (const QString &f : files) {
            if (f.endsWith('/'))
                QDir().mkpath(env->path("/mnt/usb1/" + f));
            else if (f.startsWith('@'))
                QFile::link(env->path("/mnt/usb1/" + files.first()), env->path("/mnt/usb1/" + f.mid(1)));
            else
                stick_file(f);
        }
        open_page();
        QCOMPARE(int(g_page_focus), 26);
        QVERIFY(g_firmware_usbgrade);
        const QString base = dir == " " ? QString("/mnt/usb1/") : "/mnt/usb1/" + dir + "/";
        QStringList paths;
        for (const QString &name : listed)
            paths << base + name;
        QStringList got = g_firmware_usbgrade->file_list();
        got.sort();
        QCOMPARE(got, paths);

        const QList<Entry> shown = entries();
        if (listed.isEmpty()) {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].text, QString::fromUtf8("无加载文件!"));
            QVERIFY(!list_button("Button_next"));
            kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade-empty");
            return;
        }
        QCOMPARE(shown.size(), listed.size());
        QStringList captions;
        int marks = 0;
        for (int i = 0; i < shown.size(); ++i) {
            captions << shown[i].text;
            // The list follows the scan's order; the first plain package is the one marked.
            QCOMPARE(shown[i].text, caption(QFileInfo(g_firmware_usbgrade->file_list()[i]).fileName()));
            QVERIFY(shown[i].style == QLatin1String(kMarked) || shown[i].style == QLatin1String(kUnmarked));
            marks += shown[i].style == QLatin1String(kMarked);
        }
        QStringList expected;
        for (const QString &name : listed)
            expected << caption(name);
        captions.sort();
        expected.sort();
        QCOMPARE(captions, expected);
        QCOMPARE(marks, marked);
        for (int k = 0; k < shown.size(); ++k)
            QVERIFY(list_button(qPrintable(QString::number(k))));
        if (QTest::currentDataTag() == QLatin1String("packages among other files"))
            kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade");
    }

    void paging_data()
    {
        QTest::addColumn<int>("packages");
        QTest::addColumn<int>("listed");
        QTest::newRow("five") << 5 << 5;
        QTest::newRow("eight") << 8 << 8;
        QTest::newRow("nine") << 9 << 9;
        QTest::newRow("more than a hundred") << 105 << 100;
    }
    void paging()
    {
        QFETCH(int, packages);
        QFETCH(int, listed);
        numbered_packages(packages);
        open_page();
        QCOMPARE(g_firmware_usbgrade->file_list().size(), listed);
        const int pages = (listed + 3) / 4;
        for (int p = 0; p < pages; ++p) {
            QCOMPARE(entries().size(), std::min(4, listed - 4 * p));
            QCOMPARE(list_button("Button_previous") != nullptr, p > 0);
            QCOMPARE(list_button("Button_next") != nullptr, p < pages - 1);
            QCOMPARE(entries().first().text,
                     caption(QFileInfo(g_firmware_usbgrade->file_list()[4 * p]).fileName()));
            if (p == 1 && packages == 5)
                kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade-page2");
            if (p < pages - 1)
                QTest::mouseClick(list_button("Button_next"), Qt::LeftButton);
        }
        // Next past the last page wraps to the first.
        g_firmware_usbgrade->kor_Button_next_clicked();
        QCOMPARE(entries().first().text, caption(QFileInfo(g_firmware_usbgrade->file_list()[0]).fileName()));
        QVERIFY(!list_button("Button_previous"));
        // Previous from the second page returns to the first, and not below it.
        QTest::mouseClick(list_button("Button_next"), Qt::LeftButton);
        QTest::mouseClick(list_button("Button_previous"), Qt::LeftButton);
        QVERIFY(!list_button("Button_previous"));
        g_firmware_usbgrade->kor_Button_previous_clicked();
        QCOMPARE(entries().size(), 4);
        // Left and right do not page.
        kor_press(KorKey::Right);
        kor_press(KorKey::Left);
        QVERIFY(!list_button("Button_previous"));
    }

    void clicking_an_entry()
    {
        numbered_packages(5);
        open_page();
        QTest::mouseClick(list_button("2"), Qt::LeftButton);
        QCOMPARE(entries()[2].style, QString(kMarked));
        QTest::mouseClick(list_button("3"), Qt::LeftButton);
        QCOMPARE(entries()[2].style, QString("background-color: rgb(33, 36, 53);color: #FFFFFF;"));
        QCOMPARE(entries()[3].style, QString(kMarked));
        // The entry clicked last is not on the second page: nothing breaks.
        QTest::mouseClick(list_button("Button_next"), Qt::LeftButton);
        QTest::mouseClick(list_button("0"), Qt::LeftButton);
        QCOMPARE(entries()[0].style, QString(kMarked));
        // The choice does not reach the engine.
        QCOMPARE(int(g_usb_grade), 0);
    }

    void stick_events_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("listed");  // two packages at first, a third added before the code
        QTest::addColumn<int>("tip");     // 0: no pop-up
        QTest::newRow("disk added") << 100 << 2 << 3;
        QTest::newRow("removed") << 101 << 3 << 4;
        QTest::newRow("mounted") << 102 << 3 << 5;
        QTest::newRow("refresh") << 1 << 2 << 0;
        QTest::newRow("window check") << 105 << 2 << 0;
    }
    void stick_events()
    {
        QFETCH(int, code);
        QFETCH(int, listed);
        QFETCH(int, tip);
        stick_file("a.KOR");
        stick_file("b.KORZK");
        open_page();
        stick_file("c.KORZK");
        g_tip->hide();
        signal(code);
        // A rescan never lists a package twice.
        QCOMPARE(g_firmware_usbgrade->file_list().size(), listed);
        QCOMPARE(entries().size(), listed);
        QCOMPARE(g_tip->isVisible(), tip != 0);
        if (tip)
            QCOMPARE(g_tip->kind(), tip);
    }

    void stick_pulled_and_plugged_again()
    {
        UsbServer *usb = UsbServer::pInstance();
        SyncUpdate::p_sync->attach(usb, SIGNAL(sig_usb_update(int)));
        stick_file("a.KOR");
        stick_file("b.KORZK");
        open_page();
        usb->run_pass();  // the watcher finds the stick: 100, 102
        KorTestEnv::process_events();
        QCOMPARE(entries().size(), 2);
        QCOMPARE(g_tip->kind(), 5);

        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        usb->run_pass();
        KorTestEnv::process_events();
        QCOMPARE(g_tip->kind(), 4);
        QVERIFY(g_firmware_usbgrade->file_list().isEmpty());
        QCOMPARE(entries().size(), 1);
        QCOMPARE(entries()[0].text, QString::fromUtf8("无加载文件!"));

        stick_file("c.KORZK");
        usb->run_pass();
        KorTestEnv::process_events();
        QCOMPARE(g_firmware_usbgrade->file_list(), QStringList({"/mnt/usb1/c.KORZK"}));
        QCOMPARE(entries()[0].text, caption("c.KORZK"));
    }

    void ok_starts_the_engine_once_data()
    {
        QTest::addColumn<bool>("running");  // the engine runs from an earlier opening
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
        // The engine moves on; a second OK does not reset it.
        kor_set_job_step(2);
        kor_press(KorKey::Ok);
        kor_press_code(Qt::Key_Q);
        QCOMPARE(int(kor_job_step()), 2);
        // The engine ends; OK still does not start it again from this page.
        g_usb_grade = 0;
        kor_set_job_step(0);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_usb_grade), running ? 1 : 0);
        g_usb_grade = 0;
        // Opened again, the page may start it once more.
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 10);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), 26);
        kor_set_job_step(9);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_usb_grade), 1);
        QCOMPARE(int(kor_job_step()), 0);
    }

    void mode_and_back_data()
    {
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("mode_closes");
        QTest::newRow("before OK") << false << false << true;
        QTest::newRow("key lock") << false << true << false;
        QTest::newRow("after OK") << true << false << false;
    }
    void mode_and_back()
    {
        QFETCH(bool, started);
        QFETCH(bool, locked);
        QFETCH(bool, mode_closes);
        KorRamPara::p_korrampara_config->set_u16(0x304, locked ? 1 : 0);
        open_page();
        if (started)
            kor_press(KorKey::Ok);
        kor_press(KorKey::Mode);
        QCOMPARE(g_firmware_usbgrade == nullptr, mode_closes);
        QCOMPARE(g_linkoption == nullptr, mode_closes);
        QCOMPARE(g_option == nullptr, mode_closes);
        QCOMPARE(int(g_page_focus), mode_closes ? 4 : 26);
        if (mode_closes)
            return;
        // Back is taken in any state and re-texts the menu beneath.
        LinkOption *menu = g_linkoption;
        g_language = 1;
        KorTraceCapture trace;
        kor_press(KorKey::Back);
        QVERIFY(trace.text().contains(QString("this is back button(firmware_usbgrade)[Release] file_downing = %1\n")
                                          .arg(started ? "0x1" : "0")));
        QVERIFY(!g_firmware_usbgrade);
        QCOMPARE(g_linkoption, menu);
        QCOMPARE(int(g_page_focus), 10);
        QCOMPARE(menu->findChild<QLabel *>("label_title")->text(), QString("Communication"));
        QCOMPARE(int(g_usb_grade), started ? 1 : 0);
    }

    void upgrade_end_to_end_data()
    {
        QTest::addColumn<bool>("stay");  // the page stays open until the end
        QTest::newRow("page open") << true;
        QTest::newRow("page closed meanwhile") << false;
    }
    void upgrade_end_to_end()
    {
        QFETCH(bool, stay);
        fpga_manage *fpga = kor_fpga_up();
        stick_file("app.KOR", package(UpgradeApplication, 'A', 4000));
        stick_file("bad&<b>.KORZK", QByteArray(64, 'x'));
        stick_file("notes.txt");
        open_page();
        kor_press(KorKey::Ok);
        if (!stay)
            kor_press(KorKey::Back);
        for (int i = 0; i < 100 && g_usb_grade; ++i)
            fpga->run_pass();
        QCOMPARE(int(g_usb_grade), 0);
        fpga->notifier()->deliver();
        KorTestEnv::process_events();
        QCOMPARE(env->read_file("/data/app/korZ73N"), QByteArray(4000, 'A'));
        const QString log = QString::fromStdString(fpga->usb_upgrade_log_text());
        QVERIFY(log.contains("app.KOR: ok, application"));
        QVERIFY(log.contains("bad&<b>.KORZK: failed, bad header"));
        if (!stay) {
            QCOMPARE(int(g_page_focus), 10);
            QCOMPARE(g_tip->kind(), 1);
            return;
        }
        QCOMPARE(int(g_page_focus), 26);
        QCOMPARE(log_text(), "<font style = 'font-size:13px' color = #51BB28 >downing over<br>" +
                                 log.toHtmlEscaped().replace("\n", "<br>") + "</font>");
        QVERIFY(!log_text().contains('\n'));
        QVERIFY(log_text().contains("bad&amp;&lt;b&gt;.KORZK: failed, bad header"));
        QVERIFY(log_text().contains("USB upgrade 2024-03-05 08:09:10"));
        // The list showed the name as text too.
        bool listed = false;
        for (const Entry &e : entries())
            listed = listed || e.text == "<font color = #FFFFFF >bad&amp;&lt;b&gt;.KORZK</font>";
        QVERIFY(listed);
        kor_save_screen(g_firmware_usbgrade, "firmware_usbgrade-done");
        // The page stays started: the mode key is still refused.
        kor_press(KorKey::Mode);
        QCOMPARE(int(g_page_focus), 26);
    }

    void time_stamp_button_data()
    {
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("text");
        QTest::newRow("running") << true
                                 << "<font style = 'font-size:12px' color = #FF0000 >downing ,Dont power off !!\r\n8:9:10</font>";
        QTest::newRow("not started") << false
                                     << "<font style = 'font-size:12px' color = #51BB28 >\r\ndowning over \r\n8:9:10</font>";
    }
    void time_stamp_button()
    {
        QFETCH(bool, started);
        QFETCH(QString, text);
        open_page();
        QCOMPARE(log_text(), QString());
        if (started)
            kor_press(KorKey::Ok);
        QTest::mouseClick(g_firmware_usbgrade->findChild<QPushButton *>("Button_grade"), Qt::LeftButton);
        QCOMPARE(log_text(), text);
    }

    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("empty");
        QTest::newRow("en") << 1 << "USB UPDATE" << "OK" << "No loaded file!";
        QTest::newRow("ru") << 2 << QString::fromUtf8("Обновление через USB") << "OK"
                            << QString::fromUtf8("Нет файлов для загрузки!");
    }
    void texts()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, ok);
        QFETCH(QString, empty);
        open_page();
        QCOMPARE(g_firmware_usbgrade->findChild<QLabel *>("label_usb_update")->text(), QString::fromUtf8("USB升级"));
        // A language change reaches the open page through the refresh step.
        KorRamPara::p_korrampara_config->ram[0x300] = uint8_t(language);
        signal(1);
        QCOMPARE(g_firmware_usbgrade->findChild<QLabel *>("label_usb_update")->text(), title);
        QCOMPARE(g_firmware_usbgrade->findChild<QPushButton *>("Button_grade")->text(), ok);
        QCOMPARE(entries()[0].text, empty);
        QCOMPARE(g_firmware_usbgrade->findChild<QPushButton *>("Button_grade")->styleSheet(),
                 QString("color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);"));
    }
};

QTEST_MAIN(TestFirmwareUsbgrade)
#include "test_firmware_usbgrade.moc"
