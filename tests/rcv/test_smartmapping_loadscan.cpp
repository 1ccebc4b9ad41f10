// The smart-mapping page's load scan (port step, file list, Load), curing and the mapping switch.
#include "smartmapping_test_support.h"

class TestSmartMappingLoadScan : public SmartMappingTest {
    Q_OBJECT

private slots:
    void file_list_keys_data()
    {
        kor_columns<int, int, QString, int, int>({"device", "stick", "script", "page", "row"});
        QTest::newRow("four: first page") << 2 << 2 << "" << 0 << 0;
        QTest::newRow("four: past the last page") << 2 << 2 << "right*4" << 0 << 0;
        QTest::newRow("six: left on the second page") << 3 << 3 << "right*3 left" << 0 << 2;
        QTest::newRow("a hundred at most, and around") << 60 << 60 << "right*100" << 0 << 0;
        QTest::newRow("four: left from the second page") << 2 << 2 << "right*3 left" << 0 << 0;
        // Whole pages: the last one is full and has no next page.
        QTest::newRow("three: one page") << 2 << 1 << "" << 0 << 0;
        QTest::newRow("three: around the one page") << 2 << 1 << "right*3" << 0 << 0;
        QTest::newRow("six: the last page") << 3 << 3 << "right*3" << 1 << 0;
        QTest::newRow("six: its last row") << 3 << 3 << "right*5" << 1 << 2;
        QTest::newRow("six: past the last page") << 3 << 3 << "right*6" << 0 << 0;
        QTest::newRow("nine: the last page touched") << 4 << 5 << "n n" << 2 << 0;
        QTest::newRow("nine: left from the last page") << 4 << 5 << "right*6 left" << 1 << 2;
        QTest::newRow("nine: past the last page") << 4 << 5 << "right*9" << 0 << 0;
        QTest::newRow("ninety-nine: the last page") << 50 << 49 << "right*98" << 32 << 2;
        QTest::newRow("ninety-nine: past the last page") << 50 << 49 << "right*99" << 0 << 0;
        // Touch: a row by its number, n the next page.
        QTest::newRow("touched onto a shorter page") << 2 << 2 << "2 n" << 1 << 0;
    }
    void file_list_keys()
    {
        QFETCH(int, device);
        QFETCH(int, stick);
        QFETCH(QString, script);
        QFETCH(int, page);
        QFETCH(int, row);
        add_packs(device, stick);
        start_page();
        kor_keys("right ok left ok");  // the load scan's port step, then Next
        QCOMPARE(shown_page(), 5);
        for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
            if (step[0].isDigit() || step == "n")
                file_frame()->findChild<QPushButton *>(step == "n" ? "Button_next_page" : step)->click();
            else
                kor_keys(step);
        }

        const QStringList all = listed_names();
        QCOMPARE(shown_names(), all.mid(3 * page, 3));
        const QVector<Row> r = rows();
        for (int i = 0; i < r.size(); ++i) {
            QCOMPARE(r[i].usb, 3 * page + i >= device);
            QCOMPARE(r[i].white, !r[i].usb);
        }
        QCOMPARE(chosen_row(), row);
        QVERIFY(r[row].cursor || script.endsWith('2'));  // a touched row is chosen, not under the cursor
        check_choice();
        QCOMPARE(paging("Button_previous"), page > 0);
        QCOMPARE(paging("Button_next_page"), page < (all.size() + 2) / 3 - 1);
        if (device == 2 && stick == 2 && script.isEmpty())
            kor_save_screen(g_smartmapping, "smartmapping-files");
    }

    // The stick is pulled once the worker has taken the file: the list is rebuilt only once
    // the job has ended.
    void load_sends_the_chosen_file_to_the_chosen_port()
    {
        add_packs(2, 1);
        sim_fpga()->set_chain(5, 3);
        sim_fpga()->set_chain(0, 2);
        start_page();
        kor_keys("right ok ok right*5 ok");  // the load scan: first group, LED6 confirmed
        kor_save_screen(g_smartmapping, "smartmapping-loadscan");
        kor_keys("left ok right right ok");  // Next, the stick's file chosen, Load in focus
        QVERIFY(in_focus("Button_load"));
        const std::string chosen = g_ykfile_name;
        QVERIFY(chosen.rfind("/mnt/usb1/", 0) == 0);
        kor_keys("ok");  // Load
        QCOMPARE(job_word(), 2);
        QVERIFY(g_qround_bar);
        const QByteArray file = env->read_file(QString::fromStdString(chosen));
        fpga_manage::p_fpga_manage->run_pass();
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        kor_refresh(101);
        QCOMPARE(rows().size(), 3);
        QCOMPARE(g_ykfile_name, chosen);
        QCOMPARE(kor_finish_job().job, 2);
        QVERIFY(!g_qround_bar);
        MappingPack pack;
        QVERIFY(decode_mapping_pack(file, &pack));
        for (int k = 0; k < 3; ++k)
            QCOMPARE(sim_fpga()->card(5, k).pack, std::vector<uint8_t>(pack.data.begin(), pack.data.end()));
        QVERIFY(sim_fpga()->received(0, 0).empty());
        QCOMPARE(shown_names().size(), 2);
        check_choice();
    }

    // A pack refused as corrupt (or empty) closes the ring with a failure shown, not as a success.
    void load_of_a_refused_pack_data()
    {
        kor_columns<QByteArray, bool>({"file", "refused"});
        const QByteArray whole = encode_mapping_pack(MappingPack{QString(), QByteArray(600, 'p')});
        QTest::newRow("whole") << whole << false;
        QTest::newRow("truncated") << whole.chopped(10) << true;
        QTest::newRow("empty") << encode_mapping_pack(MappingPack{QString(), QByteArray()}) << true;
    }
    void load_of_a_refused_pack()
    {
        QFETCH(bool, refused);
        sim_fpga()->set_chain(0, 2);
        env->write_file("/data/smartmapping/chosen.ykfile", kor_data<QByteArray>("file"));
        start_page();
        kor_keys("right ok ok ok");  // the load scan, first group's first port confirmed
        kor_keys("left ok ok ok");  // Next, the only file chosen, Load
        QCOMPARE(job_word(), 2);
        QCOMPARE(kor_finish_job().job, 2);
        KorTestEnv::process_events();
        QVERIFY(!g_qround_bar);
        QCOMPARE(g_tip->isVisible() && g_tip->kind() == 6, refused);
        QCOMPARE(sim_fpga()->card(0, 0).pack.empty(), refused);
    }

    // The stick pulled leaves an empty list; a stick mounted fills it, its names as plain text.
    void usb_changes_while_the_list_is_shown()
    {
        add_packs(0, 2);
        start_page();
        kor_keys("right ok left ok right");  // the list, second row
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        kor_refresh(101);
        QVERIFY(shown_names().isEmpty() && !paging("Button_previous") && !paging("Button_next_page"));
        QVERIFY(g_ykfile_name.empty() && in_focus("Button_front_6"));
        kor_save_screen(g_smartmapping, "smartmapping-nofile");
        add_packs(0, 3, 10);  // a stick with four packs, one named as markup, is mounted
        env->write_file("/mnt/usb1/<b>bold<br>x.ykfile", pack_file(1));
        kor_refresh(102);
        QCOMPARE(shown_names(), listed_names().mid(0, 3));
        for (QLabel *label : file_frame()->findChildren<QLabel *>())
            QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(paging("Button_next_page"));
        kor_keys("right");  // from the first row
        QCOMPARE(chosen_row(), 1);
        check_choice();
    }

    // Curing, then the mapping switch turned off and on again; OK while the ring is shown
    // does nothing.
    void curing_and_the_mapping_switch()
    {
        sim_fpga()->set_chain(0, 2);
        sim_fpga()->set_chain(9, 1);
        sim_fpga()->set_register(0, 0, 0x85);
        start_page();
        kor_keys("right ok");  // no pack: the load scan is skipped
        QCOMPARE(shown_page(), 6);
        QVERIFY(in_focus("Button_confirm"));
        kor_save_screen(g_smartmapping, "smartmapping-curing");
        kor_keys("ok");
        QCOMPARE(job_word(), 3);
        kor_keys("ok back");  // refused while the ring is shown
        QVERIFY(in_focus("Button_confirm") && g_qround_bar);
        QCOMPARE(kor_finish_job().job, 3);
        QVERIFY(sim_fpga()->card(0, 1).cured && sim_fpga()->card(9, 0).cured);

        kor_keys("back right");
        QCOMPARE(shown_page(), 7);
        QAbstractButton *state = widget<QAbstractButton>("Button_mapping_state");
        QVERIFY(shows_icon(state, true));
        kor_keys("ok");
        QVERIFY(in_focus("Button_mapping_state"));
        kor_save_screen(g_smartmapping, "smartmapping-mapping");
        for (bool now : {false, true}) {
            kor_keys("ok ok");  // the second press comes while the ring is shown: nothing
            QCOMPARE(int(sim_fpga()->register_value(0, 0)), now ? 0x85 : 0x05);
            QVERIFY(shows_icon(state, now));
            QCOMPARE(job_word(), 4);
            const uint32_t value = qFromLittleEndian<quint32>(g_send_para + 16);
            QCOMPARE(value, now ? 9u : 0u);
            kor_finish_job();
            QCOMPARE(sim_fpga()->card(9, 0).mapping, value);
        }
    }
};

QTEST_MAIN(TestSmartMappingLoadScan)
#include "test_smartmapping_loadscan.moc"
