#include "kor_test_helpers.h"
#include "ui/pages/linkcom.h"
#include "ui/pages/linkoption.h"
#include "ui/rcv/firmware_usbgrade.h"
#include "ui/shell/tip.h"

namespace {
QString title() { return kor_text(g_linkoption, "label_title"); }
}

// The connection menu: its keys, its three entries and what the refresh step shows on it; and
// the serial-link information page behind its first entry.
class TestLinkOption : public KorTest {
    Q_OBJECT
    void set_up() override { kor_open(kor_settings + "RO", 10); }

private slots:
    void opens()
    {
        QCOMPARE(title(), QString::fromUtf8("通讯设置"));
        kor_save_screen(g_linkoption, "linkoption");
        // A touch opens an entry too.
        QTest::mouseClick(kor_child<QPushButton>(g_linkoption, "Button_usb"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), 26);
        QVERIFY(g_firmware_usbgrade);
    }

    // The real run: each entry's exec() returns to the menu, re-texted for a language change
    // made while the entry was in front; right wraps from the last entry to the first, and
    // left (here the key board's letter) from the first to the last.
    void entries_open_and_return()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_set_modal_pages(true);
        QStringList seen;
        auto entered = [&] {
            seen << QString::number(g_page_focus);
            g_language = 1;
        };
        auto returned = [&] { seen << QString::number(g_page_focus) + " " + title(); };
        KorKeyScript script;
        script.keys(kor_settings + "RO");
        for (int i = 0; i < 3; ++i)
            script.keys("O").step(entered).keys("B").step(returned).keys("R");
        script.step([] { kor_press_code(kor_key_code(KorKey::Left, true)); });
        script.keys("O").step(entered).keys("BB").step([&] { seen << QString::number(g_page_focus); }).keys("B");
        QVERIFY(script.run());
        QCOMPARE(seen, QStringList({"21", "10 Communication", "22", "10 Communication", "26", "10 Communication",
                                    "26", "5"}));
        QVERIFY(!g_linkoption);
    }

    // Refresh and a new stick show the done tick and re-text the menu; other codes do neither.
    void refresh_shows_the_done_tick()
    {
        kor_table()->ram[0x300] = 2;
        for (int code : {105, 106, 100, 1}) {
            g_tip->hide();
            kor_refresh(code);
            const bool done = code < 105;
            QCOMPARE(g_tip->isVisible() && g_tip->kind() == 1, done);
            QCOMPARE(title(), done ? QString::fromUtf8("Подключение") : QString::fromUtf8("通讯设置"));
        }
    }

    void mode_key() { kor_check_mode_key(10); }

    void serial_link_fixed_values()
    {
        kor_keys("O");
        QCOMPARE(kor_text(g_linkcom, "label_com"), QString::fromUtf8("串口连接"));
        QCOMPARE(QStringList({kor_text(g_linkcom, "Button_baud"), kor_text(g_linkcom, "pushButton"),
                              kor_text(g_linkcom, "pushButton_2")}),
                 QStringList({"115200", "8", "1"}));
        kor_save_screen(g_linkcom, "linkcom");
        // Nothing to select or change, and the refresh step leaves the page alone.
        const QImage before = g_linkcom->grab().toImage();
        kor_keys("LRO");
        kor_host_language(1);
        QCOMPARE(int(g_page_focus), 21);
        QCOMPARE(g_linkcom->grab().toImage(), before);
    }

    // Back (also the key board's letter) returns to the menu, re-texted; mode leaves both.
    void serial_link_back_and_mode_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("back") << "B";
        QTest::newRow("key-board O") << "b";
        QTest::newRow("mode") << "M";
    }
    void serial_link_back_and_mode()
    {
        QFETCH(QString, key);
        LinkOption *menu = g_linkoption;
        kor_keys("O");
        g_language = 1;
        kor_keys(key);
        kor_check_left(21, key == "M" ? 4 : 10);
        QCOMPARE(g_linkoption, key == "M" ? nullptr : menu);
        if (menu == g_linkoption)  // re-texted on the way back
            QCOMPARE(title(), QString("Communication"));
    }
};

QTEST_MAIN(TestLinkOption)
#include "test_linkoption.moc"
