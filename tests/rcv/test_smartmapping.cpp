// The smart-mapping page: tool column, quick screen setup, routing, port choice, ring, closing.
#include "smartmapping_test_support.h"

class TestSmartMapping : public SmartMappingTest {
    Q_OBJECT

private slots:

    void tool_column_skips_the_greyed_load_scan_data()
    {
        kor_columns<QString, bool>({"file", "greyed"});
        QTest::newRow("no pack anywhere") << QString() << true;
        QTest::newRow("pack on the device") << "/data/smartmapping/a.ykfile" << false;
    }
    void tool_column_skips_the_greyed_load_scan()
    {
        QFETCH(QString, file);
        QFETCH(bool, greyed);
        if (!file.isEmpty())
            env->write_file(file, pack_file(1));
        start_page();
        QCOMPARE(kor_style(g_smartmapping, "Button_loadscan").contains("background-color: gray"), greyed);
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
        // answers: width, height, rows, columns, offsets; moves: port cells moved to the right; picker: keys
        // in it, opened on pattern 1; line: width, height, x, y (16 bits), port, rows, columns, pattern
        kor_columns<QStringList, int, int, QString, QByteArray, int, Cells>(
            {"answers", "group", "moves", "picker", "line", "cards", "cells"});
        // Pattern 5 stored, the picker opens again on it: three to the left is 2.
        QTest::newRow("2 x 3 serpentine on LED3")
            << QStringList{"128", "96", "2", "3", "10", "20"} << 0 << 2 << "right*4 ok ok left*3 ok"
            << QByteArray::fromHex("8000 6000 0a00 1400 02 02 03 02") << 6
            << Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}};  // each card's column and row
        // Cancel, and back in the picker, keep the stored pattern.
        QTest::newRow("values cut to their fields on LED13")
            << QStringList{"70000", "abc", "300", "1", "65537", "-1"} << 1 << 4
            << "left ok ok right right back ok right*15 ok"
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
        kor_table()->set_u16(KorTable::Window::offset(2, KorTable::Window::kEnable), 1);
        keyboard->answers = kor_data<QStringList>("answers");
        auto shot = [&](const char *name) {
            if (group == 0)
                kor_save_screen(g_smartmapping, name);
        };

        kor_keys("ok ok right ok right ok");  // Step 1: width, height, Next
        kor_keys(QString(group ? "right ok" : "ok") + QString(" right*%1").arg(moves));  // from the group's first port
        QCOMPARE(chosen_cell(), QStringLiteral("LED%1").arg(port + 1));
        shot("smartmapping-step2");
        kor_keys(QString("ok right*%1 ok").arg(3 - group));  // confirmed, Next
        QCOMPARE(shown_page(), 2);
        shot("smartmapping-step3");
        kor_keys("ok right ok right ok");  // rows, columns, the routing picker
        QCOMPARE(shown_page(), 3);
        shot("smartmapping-route");
        kor_keys(picker);
        QCOMPARE(widget<QAbstractButton>("Button_route")->text(), QStringLiteral("走线%1").arg(int(line[11])));
        kor_keys("right ok right ok right right ok");  // offsets, Send
        QVERIFY(g_qround_bar && g_qround_bar->isVisible());
        shot("smartmapping-ring");
        const QByteArray request(reinterpret_cast<const char *>(g_send_para), 36);
        // While the ring is shown neither keys nor touch change the step, the focus, the port
        // or a field; the key board's window keys still work.
        kor_keys("left ok back");
        QVERIFY(in_focus("Button_send") && !in_focus("lineEdit_line"));
        for (const char *name : {"Button_front_3", "Button_route", "Button_send", "Button_shortcut", "Button_loadscan",
                                 "Button_paraweld", "Button_mapping", "Button_next", "Button_next_2",
                                 "Button_wlan2", "Button_wlan6", "Button_next_5", "Button_confirm",
                                 "Button_mapping_state", "Button_route7", "5" /* a port cell */}) {
            widget<QAbstractButton>(name)->click();
            QCOMPARE(shown_page(), 2);
        }
        QTest::mouseClick(widget("lineEdit_line"), Qt::LeftButton);
        QCOMPARE(keyboard->calls.size(), 6);
        QCOMPARE(line_bytes(), line);
        QCOMPARE(job_word(), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_send_para), 36), request);
        QCOMPARE(kor_keyboard::current_window(), 0);
        kor_press_code(Qt::Key_C);
        QCOMPARE(kor_keyboard::current_window(), 2);

        QCOMPARE(kor_finish_job().job, 1);
        QVERIFY(!g_qround_bar);
        auto word = [&line](int i) { return int(uint8_t(line[i])) | (int(uint8_t(line[i + 1])) << 8); };
        for (int k = 0; k < cards; ++k) {
            const SimRcvCard c = sim_fpga()->card(port, k);
            QVERIFY(c.positioned);
            if (!cells.isEmpty())
                QCOMPARE(QPoint(c.x, c.y), QPoint(word(4) + cells[k].x() * word(0), word(6) + cells[k].y() * word(2)));
        }
        QVERIFY(sim_fpga()->received(port ^ 1, 0).empty());
    }

    // Every text of every stacked page, and the keyboard's titles, in the language shown:
    // the page opened in it or switched to it by the host, English where it is not enabled.
    void texts_in_every_language_data()
    {
        kor_columns<int, int, bool, int>({"language", "enabled", "host", "shown"});
        QTest::newRow("zh") << 0 << 0x1F << false << 0;
        QTest::newRow("en") << 1 << 0x1F << false << 1;
        QTest::newRow("ru from the host") << 2 << 0x1F << true << 2;
        QTest::newRow("vi") << 3 << 0x1F << false << 3;
        QTest::newRow("zh-TW from the host") << 4 << 0x1F << true << 4;
        QTest::newRow("ru not enabled") << 2 << 0x1B << false << 1;
    }
    void texts_in_every_language()
    {
        QFETCH(int, language);
        QFETCH(int, shown);
        kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
        g_lcd_lang_valid = uint8_t(kor_data<int>("enabled"));
        if (!kor_data<bool>("host"))
            g_language = uint8_t(language);
        kor_open(kor_settings + " right*3 ok", 24);
        if (kor_data<bool>("host"))
            kor_host_language(language);
        // Each stacked page is visited by touch, and each field pressed while its page is shown.
        const auto click = [](const char *name) { widget<QAbstractButton>(name)->click(); };
        const auto press = [](const char *name) { QTest::mouseClick(widget(name), Qt::LeftButton); };
        click("Button_shortcut");
        press("lineEdit_X");
        press("lineEdit_Y");
        for (const char *name : {"Button_next", "Button_next_2"})
            click(name);
        for (const char *name : {"lineEdit_line", "lineEdit_column", "lineEdit_horzion", "lineEdit_vert"})
            press(name);
        for (const char *name : {"Button_route", "Button_loadscan", "Button_next_5", "Button_paraweld", "Button_mapping"})
            click(name);
        for (const PageText &t : kTexts) {
            const QString text = *t.name ? kor_text(g_smartmapping, t.name) : kor_label_texts(file_frame()).value(0);
            QVERIFY2(text == QString::fromUtf8(t.text[shown]), t.name);
        }
        QStringList titles;
        for (const ScriptedNumberKeyboard::Call &c : keyboard->calls)
            titles << c.title;
        QStringList want;
        for (const char *title : kTitles[shown])
            want << QString::fromUtf8(title);
        QCOMPARE(titles, want);
        // The tool column: taller entries where the texts are long.
        const bool chinese = shown == 0 || shown == 4;
        QCOMPARE(widget("Button_mapping")->geometry(), chinese ? QRect(5, 145, 65, 20) : QRect(5, 177, 65, 30));
        if (shown == 2 || shown == 3)
            kor_save_row_screen(g_smartmapping, "smartmapping");
    }

    // A language change re-texts the page in front; a stacked page shown later, also by a
    // button that sets no texts, comes in the new language and in its own style.
    void a_page_shown_later_takes_the_new_language()
    {
        start_page();
        kor_keys("ok right right ok right*3 ok");  // Step 3
        kor_host_language(1);
        QCOMPARE(kor_text(g_smartmapping, "label_step3"), QString("Step 3 Screen parameter setting"));
        kor_keys("back");  // Step 2, shown as it was
        QCOMPARE(shown_page(), 1);
        QCOMPARE(kor_text(g_smartmapping, "label_step2"), QString("Step 2 Select port"));
        widget<QAbstractButton>("Button_paraweld")->click();
        QCOMPARE(widget("label_step1_6")->palette().color(QPalette::WindowText), QColor(Qt::white));
    }

    // The sixteen orders of the routing picker: those from the top-right corner and the
    // straight column-first ones; 2 x 3 cabinets of 128 x 96 on LED1.
    void routing_patterns_data()
    {
        // cells: (column, row) of each card in chain order
        kor_columns<int, Cells>({"pattern", "cells"});
        QTest::newRow("3 top-left columns straight") << 3 << Cells{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
        QTest::newRow("5 top-right rows straight") << 5 << Cells{{2, 0}, {1, 0}, {0, 0}, {2, 1}, {1, 1}, {0, 1}};
        QTest::newRow("6 top-right rows serpentine") << 6 << Cells{{2, 0}, {1, 0}, {0, 0}, {0, 1}, {1, 1}, {2, 1}};
        QTest::newRow("7 top-right columns straight") << 7 << Cells{{2, 0}, {2, 1}, {1, 0}, {1, 1}, {0, 0}, {0, 1}};
        QTest::newRow("8 top-right columns serpentine") << 8 << Cells{{2, 0}, {2, 1}, {1, 1}, {1, 0}, {0, 0}, {0, 1}};
        QTest::newRow("11 bottom-left columns straight") << 11 << Cells{{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}};
        QTest::newRow("15 bottom-right columns straight") << 15 << Cells{{2, 1}, {2, 0}, {1, 1}, {1, 0}, {0, 1}, {0, 0}};
    }
    void routing_patterns()
    {
        QFETCH(int, pattern);
        QFETCH(Cells, cells);
        sim_fpga()->set_chain(0, 6);
        start_page();
        keyboard->answers = QStringList{"2", "3"};
        kor_keys("ok right right ok right*3 ok");  // Step 1 as the form has it, Step 2 on LED1
        kor_keys("ok right ok right ok");  // rows, columns, the picker on pattern 1
        kor_keys(QString("right*%1 ok right*4 ok").arg(pattern - 1));  // the pattern, Send
        QCOMPARE(int(line_type[11]), pattern);
        QCOMPARE(kor_finish_job().job, 1);
        for (int k = 0; k < 6; ++k) {
            const SimRcvCard c = sim_fpga()->card(0, k);
            QCOMPARE(QPoint(c.x, c.y), QPoint(128 * cells[k].x(), 96 * cells[k].y()));
        }
    }

    void port_choice_data()
    {
        // cell: the cell drawn as chosen ("" none of the group shown)
        kor_columns<QString, int, QString>({"script", "port", "cell"});
        // Step 2: back restores the port held before OK.
        const QString step2 = "ok right right ok";
        QTest::newRow("step 2: seven to the right and around") << step2 + " right ok right*8" << 8 << "LED9";
        QTest::newRow("step 2: back restores") << step2 + " right ok right*8 back" << 0 << "";
        QTest::newRow("step 2: a kept port comes back after a later back")
            << step2 + " ok left left ok right ok back" << 6 << "";
        // The load scan: back keeps the port moved to, unless one was confirmed since.
        const QString scan = "right ok";
        QTest::newRow("load scan: moved, not confirmed: back keeps it") << scan + " ok right right back" << 2 << "LED3";
        QTest::newRow("load scan: confirmed, moved again: back restores")
            << scan + " ok right ok ok right*3 back" << 1 << "LED2";
    }
    void port_choice()
    {
        env->write_file("/data/smartmapping/a.ykfile", pack_file(1));
        start_page();
        kor_keys(kor_data<QString>("script"));
        QTEST(int(line_type[8]), "port");
        QTEST(chosen_cell(), "cell");
    }

    void a_job_that_ends_at_once_closes_the_ring()
    {
        // Port 0 has no link: the worker thread refuses the job on its first pass.
        start_page();
        QCOMPARE(fpga_manage::p_fpga_manage->start_worker(), 0);
        kor_keys("ok right right ok right*3 ok left ok");  // Send in Step 3
        QTRY_VERIFY_WITH_TIMEOUT(!g_qround_bar, 5000);
        QCOMPARE(kor_job(), 0);
        kor_keys("back");
        QCOMPARE(shown_page(), 1);
    }

    void closing_data()
    {
        // how: "lock" the key lock set first; keys; "host" the host's news of a pack last
        // focus: the page in front after: 5 the settings, 4 the custom mode, 24 still this
        kor_columns<QString, int>({"how", "focus"});
        QTest::newRow("back in the column") << "back" << 5;
        QTest::newRow("host sent a pack") << "host" << 5;
        QTest::newRow("mode key") << "mode" << 4;
        QTest::newRow("mode key, key lock set") << "lock mode" << 24;
        QTest::newRow("mode key, ring shown") << "right ok ok mode" << 24;  // curing started
        QTest::newRow("host's news, ring shown") << "right ok ok host" << 24;
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, focus);
        sim_fpga()->set_chain(3, 1);
        start_page();
        kor_table()->set_u16(KorTable::kKeyLock, how.startsWith("lock"));
        kor_keys(how.remove(QRegularExpression("lock|host")));
        if (kor_data<QString>("how").endsWith("host"))
            host_pack_file_received();
        KorTestEnv::process_events();
        kor_check_left(24, focus);  // refused keys reach no glue
    }

};

QTEST_MAIN(TestSmartMapping)
#include "test_smartmapping.moc"
