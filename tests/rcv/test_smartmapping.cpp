// The smart-mapping page: tool column, quick screen setup, port choice, ring, closing, texts.
#include "test_smartmapping_support.h"

#include "hostlink/host_events.h"
#include "ui/shell/kor_keyboard.h"

using namespace sm;
using Cells = QVector<QPoint>;
Q_DECLARE_METATYPE(Cells)

namespace {
const int kToolPage[4] = {0, 4, 6, 7};  // first stacked page of each tool
constexpr const char *kGrey = "background-color: gray";

QByteArray line_bytes()
{
    return QByteArray(reinterpret_cast<const char *>(line_type), 12);
}
}

class TestSmartMapping : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }
    void start_page(bool fpga = true)
    {
        QVERIFY(sm::start_page(*env, fpga));
        keyboard = kor_install_scripted_keyboard();
    }
    const QString to_step3 = "ORRORRRO";  // the quick setup's Step 3, the fields as the form has them

private slots:

    void tool_column_skips_the_greyed_load_scan_data()
    {
        kor_columns<QString, bool>({"file", "greyed"});
        QTest::newRow("no pack anywhere") << QString() << true;
        QTest::newRow("stick without packs") << "/mnt/usb1/notes.txt" << true;
        QTest::newRow("pack on the device") << "/data/smartmapping/a.ykfile" << false;
        QTest::newRow("pack on the stick") << "/mnt/usb1/b.ykfile" << false;
    }
    void tool_column_skips_the_greyed_load_scan()
    {
        QFETCH(QString, file);
        QFETCH(bool, greyed);
        if (!file.isEmpty())
            env->write_file(file, pack_file(1));
        start_page();
        QCOMPARE(style("Button_loadscan").contains(kGrey), greyed);
        if (file.isEmpty() || file.startsWith("/data"))
            kor_save_screen(g_smartmapping, greyed ? "smartmapping-greyed" : "smartmapping");
        // Each tool is shown as soon as the focus reaches it, around in both directions.
        const QVector<int> order = greyed ? QVector<int>{0, 2, 3} : QVector<int>{0, 1, 2, 3};
        const int n = order.size();
        for (int i = 1; i <= 2 * n; ++i) {
            kor_press(i <= n ? KorKey::Right : KorKey::Left);
            const int entry = order[i <= n ? i % n : 2 * n - i];
            QCOMPARE(focused_entry(), entry);
            QCOMPARE(shown_page(), kToolPage[entry]);
        }
    }

    void quick_setup_places_the_cards_data()
    {
        // answers: width, height, rows, columns, offsets; moves: port cells moved to the right
        // picker: keys in the routing picker, opened on pattern 1
        // line: width, height, x, y (16 bits), port, rows, columns, pattern
        // cells: column, row of each card (empty: not checked)
        kor_columns<QStringList, int, int, QString, QByteArray, int, Cells>({"answers", "group", "moves", "picker", "line", "cards", "cells"});
        // Pattern 5 stored, the picker opens again on it: three to the left is 2.
        QTest::newRow("2 x 3 serpentine on LED3")
            << QStringList{"128", "96", "2", "3", "10", "20"} << 0 << 2 << "RRRROOLLLO"
            << QByteArray::fromHex("8000 6000 0a00 1400 02 02 03 02") << 6
            << Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}};
        // Cancel, and back in the picker, keep the stored pattern.
        QTest::newRow("values cut to their fields on LED13")
            << QStringList{"70000", "abc", "300", "1", "65537", "-1"} << 1 << 4 << "LOORRBO" + QString(15, 'R') + "O"
            << QByteArray::fromHex("7011 0000 0100 ffff 0c 2c 01 10") << 2 << Cells{};
    }
    void quick_setup_places_the_cards()
    {
        QFETCH(int, group);
        QFETCH(int, moves);
        QFETCH(QString, picker);
        QFETCH(QByteArray, line);
        QFETCH(int, cards);
        QFETCH(Cells, cells);
        const int port = 8 * group + moves;
        sim_fpga()->set_chain(port, cards);
        sim_fpga()->set_chain(port ^ 1, 2);
        start_page();
        keyboard->answers = kor_data<QStringList>("answers");
        auto shot = [&](const char *name) {
            if (group == 0)
                kor_save_screen(g_smartmapping, name);
        };

        kor_keys("OORORO");  // Step 1: width, height, Next
        kor_keys(QString(group ? "RO" : "O") + QString(moves, 'R'));  // from the group's first port
        QCOMPARE(chosen_cell(), QStringLiteral("LED%1").arg(port + 1));
        shot("smartmapping-step2");
        kor_keys("O" + QString(3 - group, 'R') + "O");  // confirmed, Next
        QCOMPARE(shown_page(), 2);
        shot("smartmapping-step3");
        kor_keys("ORORO");  // rows, columns, the routing picker
        QCOMPARE(shown_page(), 3);
        shot("smartmapping-route");
        kor_keys(picker);
        QCOMPARE(widget<QAbstractButton>("Button_route")->text(), QStringLiteral("走线%1").arg(int(line[11])));
        kor_keys("RORORRO");  // offsets, Send
        QCOMPARE(keyboard->calls.size(), 6);
        QCOMPARE(line_bytes(), line);
        QCOMPARE(job_word(), 1);
        QVERIFY(g_qround_bar && g_qround_bar->isVisible());
        shot("smartmapping-ring");

        const KorJobProgress p = kor_finish_job();
        QCOMPARE(p.job, 1);
        QCOMPARE(p.percents.back(), 100);
        QVERIFY(!g_qround_bar);
        auto word = [&line](int i) { return int(uint8_t(line[i])) | (int(uint8_t(line[i + 1])) << 8); };
        for (int k = 0; k < cards; ++k) {
            const SimRcvCard c = sim_fpga()->card(port, k);
            QVERIFY(c.positioned);
            if (!cells.isEmpty())
                QCOMPARE(QPoint(c.x, c.y),
                         QPoint(word(4) + cells[k].x() * word(0), word(6) + cells[k].y() * word(2)));
        }
        QVERIFY(sim_fpga()->received(port ^ 1, 0).empty());
        kor_keys("B");  // the keys are free again
        QCOMPARE(shown_page(), 1);
    }

    void port_choice_data()
    {
        // cell: the cell drawn as chosen ("" none of the group shown)
        kor_columns<QString, int, QString>({"script", "port", "cell"});
        // Step 2: back restores the port held before OK.
        const QString step2 = "ORRO";
        QTest::newRow("step 2: OK on the second group") << step2 + "RO" << 8 << "LED9";
        QTest::newRow("step 2: seven to the right") << step2 + "RORRRRRRR" << 15 << "LED16";
        QTest::newRow("step 2: and around") << step2 + "RORRRRRRRR" << 8 << "LED9";
        QTest::newRow("step 2: back restores") << step2 + "RORRRRRRRRB" << 0 << "";
        QTest::newRow("step 2: left wraps in the first group") << step2 + "OL" << 7 << "LED8";
        QTest::newRow("step 2: OK keeps the cell") << step2 + "OLLO" << 6 << "LED7";
        QTest::newRow("step 2: a kept port comes back after a later back") << step2 + "OLLOROB" << 6 << "";
        QTest::newRow("step 2: and shows again on its group") << step2 + "OLLOROBL" << 6 << "LED7";
        QTest::newRow("step 2: OK on a group starts from its first cell") << step2 + "OLLOROBLO" << 0 << "LED1";
        // The load scan: back keeps the port moved to, unless one was confirmed since.
        const QString scan = "RO";
        QTest::newRow("load scan: OK on a group then back") << scan + "OB" << 0 << "LED1";
        QTest::newRow("load scan: moved, not confirmed: back keeps it") << scan + "ORRB" << 2 << "LED3";
        QTest::newRow("load scan: confirmed, moved again: back restores") << scan + "OROORRRB" << 1 << "LED2";
        QTest::newRow("load scan: second group") << scan + "RORO" << 9 << "LED10";
        QTest::newRow("load scan: left wraps") << scan + "OLO" << 7 << "LED8";
        QTest::newRow("load scan: re-entered on the stored port's group") << scan + "ROROBO" << 9 << "LED10";
    }
    void port_choice()
    {
        env->write_file("/data/smartmapping/a.ykfile", pack_file(1));
        start_page();
        kor_keys(kor_data<QString>("script"));
        QTEST(int(line_type[8]), "port");
        QTEST(chosen_cell(), "cell");
    }

    void the_ring_locks_the_page()
    {
        sim_fpga()->set_chain(0, 2);
        start_page();
        kor_table()->set_u16(KorWindowRecord::offset(2, KorWindowRecord::kEnable), 1);
        kor_keys(to_step3 + "LO");  // Send
        QVERIFY(g_qround_bar);
        const QByteArray line = line_bytes();
        const QByteArray request(reinterpret_cast<const char *>(g_send_para), 36);

        // Neither keys nor touch change the step, the focus, the port or a field.
        kor_keys("LRLROB");
        QVERIFY(in_focus("Button_send") && !in_focus("lineEdit_line"));
        for (const char *name : {"Button_front_3", "Button_route", "Button_send", "Button_shortcut", "Button_loadscan",
                                 "Button_paraweld", "Button_mapping", "Button_next", "Button_next_2",
                                 "Button_wlan2", "Button_wlan6", "Button_next_5", "Button_confirm",
                                 "Button_mapping_state", "Button_route7"}) {
            widget<QAbstractButton>(name)->click();
            QCOMPARE(shown_page(), 2);
        }
        QTest::mouseClick(widget("lineEdit_line"), Qt::LeftButton);
        QCOMPARE(keyboard->calls.size(), 0);
        QCOMPARE(line_bytes(), line);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_send_para), 36), request);
        // The key board's window keys still work.
        QCOMPARE(kor_keyboard::current_window(), 0);
        kor_press_code(Qt::Key_C);
        QCOMPARE(kor_keyboard::current_window(), 2);

        kor_finish_job();
        QVERIFY(!g_qround_bar);
        kor_keys("B");
        QCOMPARE(shown_page(), 1);
    }

    void a_job_that_ends_at_once_closes_the_ring()
    {
        // Port 0 has no link: the worker thread refuses the job on its first pass.
        start_page();
        QCOMPARE(fpga_manage::p_fpga_manage->start_worker(), 0);
        kor_keys(to_step3 + "LO");
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QCOMPARE(kor_job(), 0);
        kor_keys("B");
        QCOMPARE(shown_page(), 1);
    }

    void no_job_without_the_fpga_manager()
    {
        start_page(false);
        kor_keys(to_step3 + "LO");  // Send
        kor_keys("BBBROO");         // curing (no pack: the load scan is skipped)
        kor_keys("BROO");           // the mapping switch
        QCOMPARE(shown_page(), 7);
        QVERIFY(!g_qround_bar);
        QCOMPARE(job_word(), 0);
        QCOMPARE(kor_job(), 0);
    }

    void closing_data()
    {
        // how: l: key lock set first; keys; r/d: the host's news of a pack last
        // focus: the page in front after: 5 the settings, 4 the custom mode, 24 still this
        kor_columns<QString, int>({"how", "focus"});
        QTest::newRow("back in the column") << "B" << 5;
        QTest::newRow("back from Step 3, step by step") << "ORRORRROBBBB" << 5;
        QTest::newRow("host sent a pack") << "r" << 5;
        QTest::newRow("host deleted a pack") << "d" << 5;
        QTest::newRow("mode key") << "M" << 4;
        QTest::newRow("mode key inside a tool") << "OM" << 4;
        QTest::newRow("mode key, key lock set") << "lM" << 24;
        QTest::newRow("mode key, ring shown") << "ROOM" << 24;  // curing started
        QTest::newRow("host's news, ring shown") << "ROOr" << 24;
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, focus);
        sim_fpga()->set_chain(3, 1);
        start_page();
        kor_table()->set_u16(0x304, how.startsWith('l'));
        kor_keys(how.remove(QRegularExpression("[lrd]")));
        if (kor_data<QString>("how").endsWith('r'))
            host_pack_file_received();
        if (kor_data<QString>("how").endsWith('d'))
            host_pack_file_deleted();
        KorTestEnv::process_events();
        kor_check_left(24, focus);  // refused keys reach no glue
        if (focus == 5) {  // built again with the files as they are now
            env->write_file("/data/smartmapping/new.ykfile", pack_file(2));
            kor_keys("O");
            QVERIFY(g_smartmapping && !style("Button_loadscan").contains(kGrey));
        }
    }

    void texts_follow_the_language()
    {
        kor_start_ui(*env);
        kor_fpga_up();
        g_language = 3;  // Vietnamese, not enabled here: English, with its column geometry
        g_lcd_lang_valid = 0x17;
        open_page();
        QCOMPARE(widget<QAbstractButton>("Button_load")->text(), QStringLiteral("Load"));
        QCOMPARE(widget("Button_loadscan")->geometry(), QRect(5, 87, 65, 30));
        kor_keys("ORRO");  // zh-TW set while Step 2 is in front: the pages behind it follow too
        kor_host_language(4);
        QCOMPARE(widget<QAbstractButton>("Button_load")->text(), QStringLiteral("加載"));
        QCOMPARE(widget("Button_loadscan")->geometry(), QRect(5, 77, 65, 20));
    }
};

QTEST_MAIN(TestSmartMapping)
#include "test_smartmapping.moc"
