// The smart-mapping page: tool column, quick screen setup, ring, mode key, closing, texts.
#include "test_smartmapping_support.h"

#include "core/korrampara.h"
#include "hostlink/host_events.h"
#include "ui/shell/custommode.h"
#include "ui/shell/kor_keyboard.h"

#include <QLineEdit>
#include <QtTest>
#include <memory>

using namespace sm;
using Cells = QVector<QPoint>;
Q_DECLARE_METATYPE(Cells)

namespace {
// First stacked page of each tool.
const int kToolPage[4] = {0, 4, 6, 7};


QByteArray line_bytes()
{
    return QByteArray(reinterpret_cast<const char *>(line_type), 12);
}

QByteArray expected_line(int w, int h, int x, int y, int port, int rows, int cols, int pattern)
{
    QByteArray b(12, '\0');
    const int words[4] = {w, h, x, y};
    for (int i = 0; i < 4; ++i) {
        b[2 * i] = char(words[i] & 0xFF);
        b[2 * i + 1] = char((words[i] >> 8) & 0xFF);
    }
    b[8] = char(port);
    b[9] = char(rows);
    b[10] = char(cols);
    b[11] = char(pattern);
    return b;
}
}

class TestSmartMapping : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    ScriptedNumberKeyboard *keyboard = nullptr;

    // The panel with the FPGA manager over the simulated cards (its thread not started).
    void start()
    {
        kor_start_ui(*env);
        kor_fpga_up();
        keyboard = kor_install_scripted_keyboard();
    }
    // Step 3 of the quick setup with the fields as the form has them.
    void to_step3()
    {
        keys("ORRO");  // enter, Step 1 to Next
        keys("RRRO");  // Step 2 to Next
        QCOMPARE(shown_page(), 2);
    }

private slots:
    void init() { env.reset(new KorTestEnv); }
    void cleanup() { env.reset(); }

    void tool_column_skips_the_greyed_load_scan_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("greyed");
        QTest::addColumn<QVector<int>>("right");
        QTest::addColumn<QVector<int>>("left");
        QTest::newRow("no pack anywhere") << QString() << true << QVector<int>{2, 3, 0} << QVector<int>{3, 2, 0};
        QTest::newRow("stick without packs") << "/mnt/usb1/notes.txt" << true << QVector<int>{2, 3, 0}
                                             << QVector<int>{3, 2, 0};
        QTest::newRow("pack on the device") << "/data/smartmapping/a.ykfile" << false << QVector<int>{1, 2, 3, 0}
                                            << QVector<int>{3, 2, 1, 0};
        QTest::newRow("pack on the stick") << "/mnt/usb1/b.ykfile" << false << QVector<int>{1, 2, 3, 0}
                                           << QVector<int>{3, 2, 1, 0};
    }
    void tool_column_skips_the_greyed_load_scan()
    {
        QFETCH(QString, file);
        QFETCH(bool, greyed);
        QFETCH(QVector<int>, right);
        QFETCH(QVector<int>, left);
        if (!file.isEmpty())
            env->write_file(file, pack_file(1));
        start();
        QVERIFY(open_page());
        QCOMPARE(int(g_page_focus), 24);
        QCOMPARE(shown_page(), 0);
        QCOMPARE(focused_entry(), 0);
        QCOMPARE(style("Button_loadscan").contains(kGrey), greyed);
        if (greyed)
            kor_save_screen(g_smartmapping, "smartmapping-greyed");
        else if (file.startsWith("/data"))
            kor_save_screen(g_smartmapping, "smartmapping");
        for (int entry : right) {
            kor_press(KorKey::Right);
            QCOMPARE(focused_entry(), entry);
            QCOMPARE(shown_page(), kToolPage[entry]);
        }
        for (int entry : left) {
            kor_press(KorKey::Left);
            QCOMPARE(focused_entry(), entry);
            QCOMPARE(shown_page(), kToolPage[entry]);
        }
        // The column shows each tool at once; OK enters it and back returns to the column.
        kor_press(KorKey::Ok);
        QVERIFY(style("Button_shortcut").contains(kBlueBorder));
        QVERIFY(in_focus("lineEdit_X"));
        kor_press(KorKey::Back);
        QCOMPARE(focused_entry(), 0);
        QVERIFY(!in_focus("lineEdit_X"));
        QVERIFY(g_smartmapping);
    }

    void quick_setup_places_the_cards_data()
    {
        QTest::addColumn<QStringList>("answers");  // width, height, rows, columns, offsets
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("moves");            // port cells moved, negative to the left
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("cards");
        QTest::addColumn<Cells>("cells");          // column, row of each card (empty: not checked)
        QTest::newRow("2 x 3 serpentine on LED3")
            << QStringList{"128", "96", "2", "3", "10", "20"} << 0 << 2 << 2
            << expected_line(128, 96, 10, 20, 2, 2, 3, 2) << 6
            << Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}};
        QTest::newRow("left wraps to LED8")
            << QStringList{"64", "32", "1", "2", "0", "0"} << 0 << -1 << 1 << expected_line(64, 32, 0, 0, 7, 1, 2, 1)
            << 2 << Cells{{0, 0}, {1, 0}};
        QTest::newRow("values cut to their fields on LED13")
            << QStringList{"70000", "abc", "300", "1", "65537", "-1"} << 1 << 4 << 16
            << expected_line(4464, 0, 1, 65535, 12, 44, 1, 16) << 2 << Cells{};
    }
    void quick_setup_places_the_cards()
    {
        QFETCH(QStringList, answers);
        QFETCH(int, group);
        QFETCH(int, moves);
        QFETCH(int, pattern);
        QFETCH(QByteArray, line);
        QFETCH(int, cards);
        QFETCH(Cells, cells);
        const int port = 8 * group + ((moves % 8) + 8) % 8;
        sim_fpga()->set_chain(port, cards);
        sim_fpga()->set_chain(port ^ 1, 2);
        start();
        open_page();
        keyboard->answers = answers;

        keys("O");  // Step 1: width, height, Next
        keys("ORO");
        keys("RO");
        QCOMPARE(shown_page(), 1);
        QCOMPARE(kor_job(), 0);

        if (group)
            keys("R");  // arriving on the second group shows ports 9 to 16
        keys("O");
        QCOMPARE(int(line_type[8]), 8 * group);
        for (int i = 0; i < qAbs(moves); ++i)
            kor_press(moves > 0 ? KorKey::Right : KorKey::Left);
        QCOMPARE(chosen_cell(), QStringLiteral("LED%1").arg(port + 1));
        if (pattern == 2)
            kor_save_screen(g_smartmapping, "smartmapping-step2");
        keys("O");  // confirmed
        keys(QString(3 - group, 'R') + "O");
        QCOMPARE(shown_page(), 2);

        keys("ORO");  // rows, columns
        keys("RO");   // the routing picker, on the stored pattern
        QCOMPARE(shown_page(), 3);
        QVERIFY(in_focus("Button_route1"));
        keys(QString(pattern - 1, 'R') + "O");
        QCOMPARE(shown_page(), 2);
        keys("RORO");  // offsets
        keys("RRO");   // Send
        QCOMPARE(line_bytes(), line);
        QCOMPARE(job_word(), 1);
        QVERIFY(g_qround_bar && g_qround_bar->isVisible());
        if (pattern == 2)
            kor_save_screen(g_smartmapping, "smartmapping-ring");

        QCOMPARE(keyboard->calls.size(), 6);
        const QStringList titles{"箱体宽度", "箱体高度", "箱体行数", "箱体列数", "水平偏移", "垂直偏移"};
        const QStringList starts{"128", "96", "1", "1", "0", "0"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(keyboard->calls[i].title, titles[i]);
            QCOMPARE(keyboard->calls[i].start_text, starts[i]);
        }

        const KorJobProgress p = finish_job();
        QCOMPARE(p.job, 1);
        QCOMPARE(p.percents.back(), 100);
        QVERIFY(!g_qround_bar);
        QCOMPARE(job_word(), 0);
        auto word = [&line](int i) { return int(uint8_t(line[i])) | (int(uint8_t(line[i + 1])) << 8); };
        for (int k = 0; k < cards; ++k) {
            const SimRcvCard c = sim_fpga()->card(port, k);
            QVERIFY(c.positioned);
            if (!cells.isEmpty())
                QCOMPARE(QPoint(c.x, c.y),
                         QPoint(word(4) + cells[k].x() * word(0), word(6) + cells[k].y() * word(2)));
        }
        QVERIFY(sim_fpga()->received(port ^ 1, 0).empty());
        // The keys are free again.
        keys("B");
        QCOMPARE(shown_page(), 1);
    }

    void step2_port_choice_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("cell");  // the cell drawn as chosen ("" none of the group shown)
        QTest::newRow("OK on the second group") << "RO" << 8 << "LED9";
        QTest::newRow("seven to the right") << "RORRRRRRR" << 15 << "LED16";
        QTest::newRow("and around") << "RORRRRRRRR" << 8 << "LED9";
        QTest::newRow("back restores the port held before OK") << "RORRRRRRRRB" << 0 << "";
        QTest::newRow("left wraps in the first group") << "OL" << 7 << "LED8";
        QTest::newRow("OK keeps the cell") << "OLLO" << 6 << "LED7";
        QTest::newRow("a kept port comes back after a later back") << "OLLOROB" << 6 << "";
        QTest::newRow("and shows again on its group") << "OLLOROBL" << 6 << "LED7";
        QTest::newRow("OK on a group starts from its first cell") << "OLLOROBLO" << 0 << "LED1";
    }
    void step2_port_choice()
    {
        QFETCH(QString, script);
        QFETCH(int, port);
        QFETCH(QString, cell);
        start();
        open_page();
        keys("ORRO");
        QCOMPARE(shown_page(), 1);
        QCOMPARE(int(line_type[8]), 0);
        keys(script);
        QCOMPARE(int(line_type[8]), port);
        QCOMPARE(chosen_cell(), cell);
    }

    void step3_focus_and_routing_picker()
    {
        start();
        open_page();
        to_step3();
        QVERIFY(in_focus("lineEdit_line"));
        keys("L");
        QVERIFY(in_focus("Button_send"));
        QVERIFY(!in_focus("lineEdit_line"));
        keys("RRR");
        QVERIFY(in_focus("Button_route"));
        kor_save_screen(g_smartmapping, "smartmapping-step3");
        keys("O");
        QCOMPARE(shown_page(), 3);
        QVERIFY(in_focus("Button_route1"));
        keys("L");
        QVERIFY(in_focus("Button_cancel"));
        kor_save_screen(g_smartmapping, "smartmapping-route");
        keys("O");
        QCOMPARE(shown_page(), 2);
        QCOMPARE(int(line_type[11]), 1);
        QVERIFY(in_focus("Button_route"));
        // Back in the picker keeps the stored pattern; OK on a pattern stores it.
        keys("ORRRRB");
        QCOMPARE(shown_page(), 2);
        QCOMPARE(int(line_type[11]), 1);
        keys("ORRRRO");
        QCOMPARE(int(line_type[11]), 5);
        QCOMPARE(widget<QAbstractButton>("Button_route")->text(), QStringLiteral("走线5"));
        keys("O");
        QVERIFY(in_focus("Button_route5"));
        QVERIFY(!in_focus("Button_cancel"));
        keys("B");
        // Back from Step 3 and Step 2 returns step by step to the column.
        keys("B");
        QCOMPARE(shown_page(), 1);
        keys("B");
        QCOMPARE(shown_page(), 0);
        keys("B");
        QCOMPARE(focused_entry(), 0);
        QVERIFY(g_smartmapping);
    }

    void the_ring_locks_the_page()
    {
        sim_fpga()->set_chain(0, 2);
        start();
        KorRamPara *table = KorRamPara::p_korrampara_config;
        table->set_u16(KorWindowRecord::offset(2, KorWindowRecord::kEnable), 1);
        open_page();
        to_step3();
        keys("LO");  // Send
        QVERIFY(g_qround_bar);
        const QByteArray line = line_bytes();
        const QByteArray request(reinterpret_cast<const char *>(g_send_para), 36);
        QVERIFY(in_focus("Button_send"));

        // Keys change nothing.
        keys("LRLROB");
        QCOMPARE(shown_page(), 2);
        QVERIFY(in_focus("Button_send"));
        QVERIFY(!in_focus("lineEdit_line"));
        // Touch changes neither the step nor the port.
        for (const char *name : {"Button_front_3", "Button_route", "Button_send", "Button_shortcut", "Button_loadscan",
                                 "Button_paraweld", "Button_mapping", "Button_next", "Button_next_2",
                                 "Button_wlan2", "Button_wlan6", "Button_next_5", "Button_confirm",
                                 "Button_mapping_state", "Button_route7"}) {
            widget<QAbstractButton>(name)->click();
            QCOMPARE(shown_page(), 2);
        }
        keyboard->answers << "7";
        QTest::mouseClick(widget("lineEdit_line"), Qt::LeftButton);
        QCOMPARE(keyboard->calls.size(), 0);
        QCOMPARE(widget<QLineEdit>("lineEdit_line")->text(), QStringLiteral("1"));
        QCOMPARE(line_bytes(), line);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_send_para), 36), request);
        // The mode key and the host's closing are refused too.
        kor_press(KorKey::Mode);
        host_pack_file_received();
        KorTestEnv::process_events();
        QVERIFY(g_smartmapping);
        QCOMPARE(int(g_page_focus), 24);
        QVERIFY(!g_custommode);
        // The key board's shortcuts still work.
        QCOMPARE(kor_keyboard::current_window(), 0);
        kor_press_code(Qt::Key_C);
        QCOMPARE(kor_keyboard::current_window(), 2);

        finish_job();
        QVERIFY(!g_qround_bar);
        keys("B");
        QCOMPARE(shown_page(), 1);
    }

    void a_job_that_ends_at_once_closes_the_ring()
    {
        // Port 0 has no link: the worker thread refuses the job on its first pass.
        start();
        open_page();
        to_step3();
        QCOMPARE(fpga_manage::p_fpga_manage->start_worker(), 0);
        keys("LO");
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QCOMPARE(kor_job(), 0);
        keys("B");
        QCOMPARE(shown_page(), 1);
    }

    void mode_key_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("closes");
        QTest::newRow("free") << "free" << true;
        QTest::newRow("inside a tool") << "tool" << true;
        QTest::newRow("key lock set") << "lock" << false;
        QTest::newRow("ring shown") << "ring" << false;
    }
    void mode_key()
    {
        QFETCH(QString, state);
        QFETCH(bool, closes);
        sim_fpga()->set_chain(3, 1);
        start();
        open_page();
        if (state == "lock")
            KorRamPara::p_korrampara_config->set_u16(0x304, 1);
        if (state == "tool")
            keys("O");
        if (state == "ring") {
            keys("ROO");  // curing started (the load scan is skipped: no pack)
            QVERIFY(g_qround_bar);
        }
        kor_press_code(Qt::Key_M);
        QCOMPARE(!g_smartmapping, closes);
        QCOMPARE(!g_option, closes);
        QCOMPARE(g_custommode != nullptr, closes);
        QCOMPARE(int(g_page_focus), closes ? 4 : 24);
        QCOMPARE(int(g_mode_shortcut_key), closes ? 1 : 0);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("back in the column") << "back";
        QTest::newRow("back from inside a tool, twice") << "tool";
        QTest::newRow("host sent a pack") << "received";
        QTest::newRow("host deleted a pack") << "deleted";
    }
    void closing()
    {
        QFETCH(QString, how);
        start();
        open_page();
        if (how == "back") {
            keys("B");
        } else if (how == "tool") {
            keys("OB");
            QVERIFY(g_smartmapping);
            keys("B");
        } else {
            if (how == "received")
                host_pack_file_received();
            else
                host_pack_file_deleted();
            QVERIFY(g_smartmapping);
            KorTestEnv::process_events();
        }
        QVERIFY(!g_smartmapping);
        QVERIFY(g_option);
        QCOMPARE(int(g_page_focus), 5);
        // Built again with the files as they are now.
        env->write_file("/data/smartmapping/new.ykfile", pack_file(2));
        keys("O");
        QVERIFY(g_smartmapping);
        QVERIFY(!style("Button_loadscan").contains(kGrey));
    }

    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("valid");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QRect>("loadscan");
        QTest::newRow("zh-CN") << 0 << 0x1F << "智能调屏" << "下一步" << QRect(5, 77, 65, 20);
        QTest::newRow("en") << 1 << 0x1F << "Smart debugging screen" << "Next" << QRect(5, 87, 65, 30);
        QTest::newRow("ru") << 2 << 0x1F << "Умная регулировка экрана" << "Следующий\nшаг" << QRect(5, 87, 65, 30);
        QTest::newRow("vi") << 3 << 0x1F << "Điều chỉnh màn hình thông minh" << "Bước tiếp theo" << QRect(5, 87, 65, 30);
        QTest::newRow("zh-TW") << 4 << 0x1F << "智能調屏" << "下一步" << QRect(5, 77, 65, 20);
        QTest::newRow("vi not enabled") << 3 << 0x17 << "Smart debugging screen" << "Next" << QRect(5, 87, 65, 30);
    }
    void texts()
    {
        QFETCH(int, language);
        QFETCH(int, valid);
        QFETCH(QString, title);
        QFETCH(QString, next);
        QFETCH(QRect, loadscan);
        start();
        g_language = uint8_t(language);
        g_lcd_lang_valid = uint8_t(valid);
        open_page();
        QCOMPARE(widget<QLabel>("label_title")->text(), title);
        QCOMPARE(widget<QAbstractButton>("Button_next_5")->text(), next);
        QCOMPARE(widget<QAbstractButton>("Button_mapping")->text(), QStringLiteral("Mapping"));
        QCOMPARE(widget("Button_loadscan")->geometry(), loadscan);
        if (language == 2)
            kor_save_screen(g_smartmapping, "smartmapping-ru");
    }

    void language_change_while_open()
    {
        start();
        open_page();
        keys("ORRO");  // Step 2 in front
        KorRamPara *table = KorRamPara::p_korrampara_config;
        table->ram[0x300] = 1;
        table->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(widget<QLabel>("label_step2")->text(), QStringLiteral("Step 2 Select port"));
        QCOMPARE(widget<QAbstractButton>("Button_wlan2")->text(), QStringLiteral("LED9~16"));
        // The pages not in front follow too.
        QCOMPARE(widget<QAbstractButton>("Button_load")->text(), QStringLiteral("Load"));
        QCOMPARE(widget("Button_mapping")->geometry(), QRect(5, 177, 65, 30));
        kor_save_screen(g_smartmapping, "smartmapping-en-step2");
    }
};

QTEST_MAIN(TestSmartMapping)
#include "test_smartmapping.moc"
