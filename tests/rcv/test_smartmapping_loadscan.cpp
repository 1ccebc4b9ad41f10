// The smart-mapping page's load scan (port step, file list, Load), curing and mapping switch.
#include "test_smartmapping_support.h"

#include "core/korrampara.h"
#include "platform/data_root.h"

#include <QIcon>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace sm;

namespace {

// The names the page lists, in its order: the device's packs in directory order, then the
// stick's, at most 100.
QStringList listed_names()
{
    QStringList names;
    for (const char *dir : {"/data/smartmapping", "/mnt/usb1"}) {
        const QFileInfoList entries =
            QDir(kor_path(QString::fromLatin1(dir))).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Unsorted);
        for (const QFileInfo &fi : entries)
            if (fi.suffix() == "ykfile" && names.size() < 100)
                names << fi.fileName();
    }
    return names;
}

QStringList shown_names()
{
    QStringList names;
    for (const Row &r : rows())
        names << r.text;
    return names;
}

bool same_image(const QIcon &a, const char *resource)
{
    return a.pixmap(40, 20).toImage() == QIcon(QString::fromLatin1(resource)).pixmap(40, 20).toImage();
}
}

class TestSmartMappingLoadScan : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    void start()
    {
        kor_start_ui(*env);
        kor_fpga_up();
    }
    void add_packs(int device, int stick, int first_seed = 0)
    {
        for (int i = 0; i < device; ++i)
            env->write_file(QStringLiteral("/data/smartmapping/d%1.ykfile").arg(first_seed + i, 3, 10, QChar('0')),
                            pack_file(first_seed + i));
        for (int i = 0; i < stick; ++i)
            env->write_file(QStringLiteral("/mnt/usb1/u%1.ykfile").arg(first_seed + i, 3, 10, QChar('0')),
                            pack_file(100 + first_seed + i));
    }
    // The chosen row is drawn once and is the file Load sends.
    void check_choice()
    {
        const int row = chosen_row();
        QVERIFY(row >= 0);
        QCOMPARE(g_ykfile_name, path_of(rows().at(row)));
    }
    void usb_code(int code)
    {
        KorRamPara::p_korrampara_config->test_signal(code);
        KorTestEnv::process_events();
    }

private slots:
    void init() { env.reset(new KorTestEnv); }
    void cleanup() { env.reset(); }

    void file_list_keys_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("stick");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("row");
        QTest::newRow("four: first page") << 2 << 2 << "" << 0 << 0;
        QTest::newRow("four: down the page") << 2 << 2 << "RR" << 0 << 2;
        QTest::newRow("four: past the page") << 2 << 2 << "RRR" << 1 << 0;
        QTest::newRow("four: past the last page") << 2 << 2 << "RRRR" << 0 << 0;
        QTest::newRow("four: left on the last page") << 2 << 2 << "RRRL" << 0 << 0;
        QTest::newRow("four: left on the first row") << 2 << 2 << "L" << 0 << 0;
        QTest::newRow("six: left on the second page") << 3 << 3 << "RRRL" << 0 << 2;
        QTest::newRow("six: left within a page") << 3 << 3 << "RRRRL" << 1 << 0;
        QTest::newRow("one stick file") << 0 << 1 << "RL" << 0 << 0;
        QTest::newRow("a hundred at most") << 60 << 60 << QString(99, 'R') << 33 << 0;
        QTest::newRow("and around") << 60 << 60 << QString(100, 'R') << 0 << 0;
    }
    void file_list_keys()
    {
        QFETCH(int, device);
        QFETCH(int, stick);
        QFETCH(QString, script);
        QFETCH(int, page);
        QFETCH(int, row);
        add_packs(device, stick);
        start();
        open_page();
        keys("RO");  // the load scan, port step
        QCOMPARE(shown_page(), 4);
        keys("LO");  // Next: the list
        QCOMPARE(shown_page(), 5);
        keys(script);

        const QStringList all = listed_names();
        QCOMPARE(all.size(), std::min(device + stick, 100));
        const int last = (all.size() + 2) / 3 - 1;
        QCOMPARE(shown_names(), all.mid(3 * page, 3));
        const QVector<Row> r = rows();
        for (int i = 0; i < r.size(); ++i)
            QCOMPARE(r[i].usb, 3 * page + i >= device);
        QCOMPARE(chosen_row(), row);
        QVERIFY(r[row].cursor);
        check_choice();
        QCOMPARE(paging_button("Button_previous"), page > 0);
        QCOMPARE(paging_button("Button_next_page"), page < last);
        if (device == 2 && script.isEmpty())
            kor_save_screen(g_smartmapping, "smartmapping-files");
    }

    void load_sends_the_chosen_file_to_the_chosen_port_data()
    {
        QTest::addColumn<QString>("script");  // keys on the list before OK
        QTest::addColumn<int>("seed");      // pack of the row chosen
        QTest::newRow("second device file") << "R" << 1;
        QTest::newRow("file on the stick") << "RR" << 100;
    }
    void load_sends_the_chosen_file_to_the_chosen_port()
    {
        QFETCH(QString, script);
        QFETCH(int, seed);
        add_packs(2, 1);
        sim_fpga()->set_chain(5, 3);
        sim_fpga()->set_chain(0, 2);
        start();
        open_page();
        keys("RO");            // the load scan
        keys("ORRRRRO");       // first group: LED6 confirmed
        QCOMPARE(int(line_type[8]), 5);
        QCOMPARE(chosen_cell(), QStringLiteral("LED6"));
        kor_save_screen(g_smartmapping, "smartmapping-loadscan");
        keys("LO");            // Next
        keys(script);
        keys("O");             // the row is chosen, Load in focus
        QVERIFY(in_focus("Button_load"));
        QVERIFY(!rows().at(chosen_row()).cursor);
        if (seed == 1)
            kor_save_screen(g_smartmapping, "smartmapping-files-load");
        // The row's file: the device's second, or the stick's only one.
        const std::string chosen = g_ykfile_name;
        keys("O");             // Load
        QCOMPARE(job_word(), 2);
        QVERIFY(g_qround_bar);
        QVERIFY(!in_focus("Button_load"));
        check_choice();
        const KorJobProgress p = finish_job();
        QCOMPARE(p.job, 2);
        QVERIFY(!g_qround_bar);
        MappingPack pack;
        QCOMPARE(decode_mapping_pack(env->read_file(QString::fromStdString(chosen)), &pack), 0);
        const std::vector<uint8_t> want(pack.data.begin(), pack.data.end());
        for (int k = 0; k < 3; ++k)
            QCOMPARE(sim_fpga()->card(5, k).pack, want);
        QVERIFY(sim_fpga()->received(0, 0).empty());
        if (seed == 100)
            QVERIFY(chosen.rfind("/mnt/usb1/", 0) == 0);
        else
            QVERIFY(chosen.rfind("/data/smartmapping/", 0) == 0);
    }

    void load_scan_port_choice_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("cell");
        QTest::newRow("OK on a group then back") << "OB" << 0 << "LED1";
        QTest::newRow("moved, not confirmed: back keeps it") << "ORRB" << 2 << "LED3";
        QTest::newRow("confirmed, moved again: back restores") << "OROORRRB" << 1 << "LED2";
        QTest::newRow("second group") << "RORO" << 9 << "LED10";
        QTest::newRow("left wraps") << "OLO" << 7 << "LED8";
        QTest::newRow("re-entered on the stored port's group") << "ROROBO" << 9 << "LED10";
    }
    void load_scan_port_choice()
    {
        QFETCH(QString, script);
        QFETCH(int, port);
        QFETCH(QString, cell);
        add_packs(1, 0);
        start();
        open_page();
        keys("RO");
        QVERIFY(in_focus("Button_wlan5"));
        keys(script);
        QCOMPARE(int(line_type[8]), port);
        QCOMPARE(chosen_cell(), cell);
    }

    void usb_changes_while_the_list_is_shown_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<QStringList>("after");  // names listed once the stick is gone
        QTest::newRow("device file left") << 1 << QStringList{"d000.ykfile"};
        QTest::newRow("nothing left") << 0 << QStringList{};
    }
    void usb_changes_while_the_list_is_shown()
    {
        QFETCH(int, device);
        QFETCH(QStringList, after);
        add_packs(device, 2);
        start();
        open_page();
        keys("ROLOR");  // the list, second row
        QCOMPARE(chosen_row(), 1);

        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        usb_code(101);
        QCOMPARE(shown_page(), 5);
        QCOMPARE(shown_names(), after);
        QVERIFY(!paging_button("Button_previous") && !paging_button("Button_next_page"));
        if (after.isEmpty()) {
            QCOMPARE(no_file_text(), QStringLiteral("无加载文件!"));
            QVERIFY(g_ykfile_name.empty());
            QVERIFY(in_focus("Button_front_6"));
            kor_save_screen(g_smartmapping, "smartmapping-nofile");
            keys("RO");  // Load with nothing chosen
            QVERIFY(in_focus("Button_load"));
            QVERIFY(!g_qround_bar);
            QCOMPARE(kor_job(), 0);
            keys("L");
        } else {
            QCOMPARE(chosen_row(), 0);
            check_choice();
        }

        // A stick with four packs is mounted.
        add_packs(0, 4, 10);
        usb_code(102);
        QCOMPARE(shown_names(), listed_names().mid(0, 3));
        QCOMPARE(chosen_row(), 0);
        check_choice();
        QVERIFY(paging_button("Button_next_page"));
        keys("R");
        QCOMPARE(chosen_row(), 1);
        check_choice();
        // Back from the list returns to the port step.
        keys("B");
        QCOMPARE(shown_page(), 4);
    }

    void touch_paging_keeps_a_drawn_choice()
    {
        add_packs(2, 2);
        start();
        open_page();
        keys("ROLO");
        QFrame *frame = file_frame();
        frame->findChild<QPushButton *>("2")->click();
        QCOMPARE(chosen_row(), 2);
        check_choice();
        frame->findChild<QPushButton *>("Button_next_page")->click();
        // The second page has one row: the choice moves onto it.
        QCOMPARE(rows().size(), 1);
        QCOMPARE(chosen_row(), 0);
        check_choice();
        file_frame()->findChild<QPushButton *>("Button_previous")->click();
        QCOMPARE(chosen_row(), 0);
        check_choice();
        // The keys go on from the row touched.
        file_frame()->findChild<QPushButton *>("1")->click();
        keys("R");
        QCOMPARE(chosen_row(), 2);
        check_choice();
    }

    void file_names_are_plain_text()
    {
        env->write_file("/data/smartmapping/<b>bold<br>x.ykfile", pack_file(1));
        env->write_file("/data/smartmapping/two\nlines.ykfile", pack_file(2));
        start();
        open_page();
        keys("ROLO");
        QStringList names = shown_names();
        names.sort();
        QCOMPARE(names, (QStringList{"<b>bold<br>x.ykfile", "twolines.ykfile"}));
        for (QLabel *label : file_frame()->findChildren<QLabel *>())
            QCOMPARE(label->textFormat(), Qt::PlainText);
        // The path keeps the real name.
        const QString chosen = QString::fromStdString(g_ykfile_name);
        QVERIFY(QFileInfo::exists(env->path(chosen)));
    }

    void a_stick_change_during_a_load_waits_for_its_end()
    {
        add_packs(1, 2);
        sim_fpga()->set_chain(0, 2);
        start();
        open_page();
        keys("ROLO");
        keys("RO");  // the stick's first file
        const std::string chosen = g_ykfile_name;
        QVERIFY(chosen.rfind("/mnt/usb1/", 0) == 0);
        keys("O");
        QVERIFY(g_qround_bar);
        fpga_manage::p_fpga_manage->run_pass();  // the worker has taken the file

        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        usb_code(101);
        QCOMPARE(rows().size(), 3);
        QCOMPARE(g_ykfile_name, chosen);

        finish_job();
        QVERIFY(!g_qround_bar);
        QVERIFY(!sim_fpga()->card(0, 1).pack.empty());
        QCOMPARE(shown_names(), QStringList{"d000.ykfile"});
        QCOMPARE(chosen_row(), 0);
        check_choice();
    }

    void curing()
    {
        sim_fpga()->set_chain(0, 2);
        sim_fpga()->set_chain(9, 1);
        start();
        open_page();
        keys("R");  // no pack: the load scan is skipped
        QCOMPARE(shown_page(), 6);
        keys("O");
        QVERIFY(in_focus("Button_confirm"));
        QVERIFY(style("Button_paraweld").contains(kBlueBorder));
        kor_save_screen(g_smartmapping, "smartmapping-curing");
        keys("O");
        QCOMPARE(job_word(), 3);
        QVERIFY(g_qround_bar);
        keys("OB");  // refused while the ring is shown
        QVERIFY(in_focus("Button_confirm"));
        const KorJobProgress p = finish_job();
        QCOMPARE(p.job, 3);
        QVERIFY(!g_qround_bar);
        QVERIFY(sim_fpga()->card(0, 1).cured && sim_fpga()->card(9, 0).cured);
        keys("B");
        QCOMPARE(focused_entry(), 2);
        QVERIFY(!in_focus("Button_confirm"));
    }

    void mapping_switch_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("on, turned off") << true;
        QTest::newRow("off, turned on") << false;
    }
    void mapping_switch()
    {
        QFETCH(bool, on);
        sim_fpga()->set_chain(2, 2);
        start();
        sim_fpga()->set_register(0, 0, on ? 0x85 : 0x05);
        open_page();
        keys("L");
        QCOMPARE(shown_page(), 7);
        QAbstractButton *state = widget<QAbstractButton>("Button_mapping_state");
        QVERIFY(same_image(state->icon(), on ? ":/png/button_on.png" : ":/png/button_off.png"));
        keys("O");
        QVERIFY(in_focus("Button_mapping_state"));
        if (on)
            kor_save_screen(g_smartmapping, "smartmapping-mapping");
        for (bool now : {!on, on}) {
            keys("O");
            QCOMPARE(int(sim_fpga()->register_value(0, 0)), now ? 0x85 : 0x05);
            QVERIFY(same_image(state->icon(), now ? ":/png/button_on.png" : ":/png/button_off.png"));
            QCOMPARE(job_word(), 4);
            const uint32_t value = g_send_para[16] | (g_send_para[17] << 8) | (g_send_para[18] << 16) |
                                   (uint32_t(g_send_para[19]) << 24);
            QCOMPARE(value, now ? 9u : 0u);
            // Pressed again while the ring is shown: nothing.
            keys("O");
            QCOMPARE(int(sim_fpga()->register_value(0, 0)), now ? 0x85 : 0x05);
            finish_job();
            QVERIFY(!g_qround_bar);
            QCOMPARE(sim_fpga()->card(2, 1).mapping, value);
        }
        keys("B");
        QCOMPARE(focused_entry(), 3);
    }
};

QTEST_MAIN(TestSmartMappingLoadScan)
#include "test_smartmapping_loadscan.moc"
