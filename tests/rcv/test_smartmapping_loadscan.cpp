// The smart-mapping page's load scan (port step, file list, Load), curing and mapping switch.
#include "test_smartmapping_support.h"

#include "platform/data_root.h"

#include <QDir>
#include <QIcon>
#include <QtEndian>

using namespace sm;

namespace {
// The names the page lists, in its order: the device's packs in directory order, then the
// stick's, at most 100.
QStringList listed_names()
{
    QStringList names;
    for (const char *dir : {"/data/smartmapping", "/mnt/usb1"})
        for (const QFileInfo &fi : QDir(kor_path(QString::fromLatin1(dir))).entryInfoList(QDir::Files, QDir::Unsorted))
            if (fi.suffix() == "ykfile" && names.size() < 100)
                names << fi.fileName();
    return names;
}

QStringList shown_names()
{
    QStringList names;
    for (const Row &r : rows())
        names << r.text;
    return names;
}

bool shows_icon(QAbstractButton *b, bool on)
{
    const QIcon want(on ? QStringLiteral(":/png/button_on.png") : QStringLiteral(":/png/button_off.png"));
    return b->icon().pixmap(40, 20).toImage() == want.pixmap(40, 20).toImage();
}

bool paging(const char *name)
{
    return file_frame()->findChild<QPushButton *>(name);
}
}

class TestSmartMappingLoadScan : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }

    void add_packs(int device, int stick, int first = 0)
    {
        for (int i = first; i < first + device; ++i)
            env->write_file(QStringLiteral("/data/smartmapping/d%1.ykfile").arg(i, 3, 10, QChar('0')), pack_file(i));
        for (int i = first; i < first + stick; ++i)
            env->write_file(QStringLiteral("/mnt/usb1/u%1.ykfile").arg(i, 3, 10, QChar('0')), pack_file(100 + i));
    }
    // The one row drawn as chosen is the file Load sends.
    void check_choice()
    {
        const int row = chosen_row();
        QVERIFY(row >= 0);
        const Row r = rows().at(row);
        QCOMPARE(g_ykfile_name, ((r.usb ? "/mnt/usb1/" : "/data/smartmapping/") + r.text).toStdString());
    }

private slots:

    void file_list_keys_data()
    {
        kor_columns<int, int, QString, int, int>({"device", "stick", "script", "page", "row"});
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
        // Touch: a row, n the next page, p the previous one.
        QTest::newRow("touched third row") << 2 << 2 << "2" << 0 << 2;
        QTest::newRow("touched onto a shorter page") << 2 << 2 << "2n" << 1 << 0;
        QTest::newRow("and back") << 2 << 2 << "2np" << 0 << 0;
        QTest::newRow("keys go on from a touched row") << 2 << 2 << "1R" << 0 << 2;
    }
    void file_list_keys()
    {
        QFETCH(int, device);
        QFETCH(int, stick);
        QFETCH(QString, script);
        QFETCH(int, page);
        QFETCH(int, row);
        add_packs(device, stick);
        QVERIFY(start_page(*env));
        kor_keys("ROLO");  // the load scan's port step, then Next
        QCOMPARE(shown_page(), 5);
        for (QChar c : script) {
            const QString touched = c == 'n' ? "Button_next_page" : c == 'p' ? "Button_previous" : QString(c);
            if (c.isDigit() || c == 'n' || c == 'p')
                file_frame()->findChild<QPushButton *>(touched)->click();
            else
                kor_keys(c);
        }

        const QStringList all = listed_names();
        QCOMPARE(all.size(), std::min(device + stick, 100));
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
        if (device == 2 && script.isEmpty())
            kor_save_screen(g_smartmapping, "smartmapping-files");
    }

    void load_sends_the_chosen_file_to_the_chosen_port_data()
    {
        // script: keys on the list before OK; pulled: the stick pulled once the worker has taken the file
        kor_columns<QString, QString, bool>({"script", "dir", "pulled"});
        QTest::newRow("second device file") << "R" << "/data/smartmapping/" << false;
        QTest::newRow("file on the stick") << "RR" << "/mnt/usb1/" << false;
        QTest::newRow("stick pulled during the load") << "RR" << "/mnt/usb1/" << true;
    }
    void load_sends_the_chosen_file_to_the_chosen_port()
    {
        QFETCH(bool, pulled);
        add_packs(2, 1);
        sim_fpga()->set_chain(5, 3);
        sim_fpga()->set_chain(0, 2);
        QVERIFY(start_page(*env));
        kor_keys("ROORRRRRO");  // the load scan: first group, LED6 confirmed
        QCOMPARE(int(line_type[8]), 5);
        QCOMPARE(chosen_cell(), QStringLiteral("LED6"));
        kor_save_screen(g_smartmapping, "smartmapping-loadscan");
        kor_keys("LO" + kor_data<QString>("script") + "O");  // Next, the row chosen, Load in focus
        QVERIFY(in_focus("Button_load"));
        const std::string chosen = g_ykfile_name;
        QVERIFY(chosen.rfind(kor_data<QString>("dir").toStdString(), 0) == 0);
        kor_keys("O");  // Load
        QCOMPARE(job_word(), 2);
        QVERIFY(g_qround_bar);
        check_choice();
        const QByteArray file = env->read_file(QString::fromStdString(chosen));
        if (pulled) {  // the list is rebuilt only once the job has ended
            fpga_manage::p_fpga_manage->run_pass();
            QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
            kor_refresh(101);
            QCOMPARE(rows().size(), 3);
            QCOMPARE(g_ykfile_name, chosen);
        }
        QCOMPARE(kor_finish_job().job, 2);
        QVERIFY(!g_qround_bar);
        MappingPack pack;
        QCOMPARE(decode_mapping_pack(file, &pack), 0);
        for (int k = 0; k < 3; ++k)
            QCOMPARE(sim_fpga()->card(5, k).pack, std::vector<uint8_t>(pack.data.begin(), pack.data.end()));
        QVERIFY(sim_fpga()->received(0, 0).empty());
        QCOMPARE(shown_names().size(), pulled ? 2 : 3);
        check_choice();
    }

    void usb_changes_while_the_list_is_shown_data()
    {
        QTest::addColumn<int>("device");
        QTest::newRow("device file left") << 1;
        QTest::newRow("nothing left") << 0;
    }
    void usb_changes_while_the_list_is_shown()
    {
        QFETCH(int, device);
        add_packs(device, 2);
        QVERIFY(start_page(*env));
        kor_keys("ROLOR");  // the list, second row
        QVERIFY(QDir(env->path("/mnt/usb1")).removeRecursively());
        kor_refresh(101);
        QCOMPARE(shown_page(), 5);
        QCOMPARE(shown_names(), device ? QStringList{"d000.ykfile"} : QStringList{});
        QVERIFY(!paging("Button_previous") && !paging("Button_next_page"));
        if (device) {
            check_choice();
        } else {
            QVERIFY(g_ykfile_name.empty() && in_focus("Button_front_6"));
            kor_save_screen(g_smartmapping, "smartmapping-nofile");
            kor_keys("RO");  // Load with nothing chosen
            QVERIFY(in_focus("Button_load") && !g_qround_bar);
            QCOMPARE(kor_job(), 0);
            kor_keys("L");
        }
        add_packs(0, 4, 10);  // a stick with four packs is mounted
        kor_refresh(102);
        QCOMPARE(shown_names(), listed_names().mid(0, 3));
        QVERIFY(paging("Button_next_page"));
        kor_keys("R");  // from the first row
        QCOMPARE(chosen_row(), 1);
        check_choice();
        kor_keys("B");  // back to the port step
        QCOMPARE(shown_page(), 4);
    }

    void file_names_are_plain_text()
    {
        env->write_file("/data/smartmapping/<b>bold<br>x.ykfile", pack_file(1));
        env->write_file("/data/smartmapping/two\nlines.ykfile", pack_file(2));
        QVERIFY(start_page(*env));
        kor_keys("ROLO");
        QStringList names = shown_names();
        names.sort();
        QCOMPARE(names, (QStringList{"<b>bold<br>x.ykfile", "twolines.ykfile"}));
        for (QLabel *label : file_frame()->findChildren<QLabel *>())
            QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(QFileInfo::exists(env->path(QString::fromStdString(g_ykfile_name))));  // the real name
    }

    void curing()
    {
        sim_fpga()->set_chain(0, 2);
        sim_fpga()->set_chain(9, 1);
        QVERIFY(start_page(*env));
        kor_keys("RO");  // no pack: the load scan is skipped
        QCOMPARE(shown_page(), 6);
        QVERIFY(in_focus("Button_confirm"));
        QVERIFY(style("Button_paraweld").contains("rgb(71, 119, 255)"));  // the entry drawn as entered
        kor_save_screen(g_smartmapping, "smartmapping-curing");
        kor_keys("O");
        QCOMPARE(job_word(), 3);
        kor_keys("OB");  // refused while the ring is shown
        QVERIFY(in_focus("Button_confirm") && g_qround_bar);
        QCOMPARE(kor_finish_job().job, 3);
        QVERIFY(!g_qround_bar);
        QVERIFY(sim_fpga()->card(0, 1).cured && sim_fpga()->card(9, 0).cured);
        kor_keys("B");
        QVERIFY(focused_entry() == 2 && !in_focus("Button_confirm"));
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
        sim_fpga()->set_register(0, 0, on ? 0x85 : 0x05);
        QVERIFY(start_page(*env));
        kor_keys("L");
        QCOMPARE(shown_page(), 7);
        QAbstractButton *state = widget<QAbstractButton>("Button_mapping_state");
        QVERIFY(shows_icon(state, on));
        kor_keys("O");
        QVERIFY(in_focus("Button_mapping_state"));
        if (on)
            kor_save_screen(g_smartmapping, "smartmapping-mapping");
        for (bool now : {!on, on}) {
            kor_keys("OO");  // the second press comes while the ring is shown: nothing
            QCOMPARE(int(sim_fpga()->register_value(0, 0)), now ? 0x85 : 0x05);
            QVERIFY(shows_icon(state, now));
            QCOMPARE(job_word(), 4);
            const uint32_t value = qFromLittleEndian<quint32>(g_send_para + 16);
            QCOMPARE(value, now ? 9u : 0u);
            kor_finish_job();
            QVERIFY(!g_qround_bar);
            QCOMPARE(sim_fpga()->card(2, 1).mapping, value);
        }
        kor_keys("B");
        QCOMPARE(focused_entry(), 3);
    }
};

QTEST_MAIN(TestSmartMappingLoadScan)
#include "test_smartmapping_loadscan.moc"
