#include "kor_test_helpers.h"
#include "ui/pages/linkcom.h"
#include "ui/pages/linkoption.h"

// The serial-link information page: fixed values, back and mode.
class TestLinkCom : public KorTest {
    Q_OBJECT
    void set_up() override { kor_open(kor_settings + "ROO", 21); }

private slots:
    void fixed_values()
    {
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

    void back_and_mode_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("back") << "B";
        QTest::newRow("key-board O") << "b";
        QTest::newRow("mode") << "M";
    }
    void back_and_mode()
    {
        QFETCH(QString, key);
        LinkOption *menu = g_linkoption;
        g_language = 1;
        kor_keys(key);
        kor_check_left(21, key == "M" ? 4 : 10);
        QCOMPARE(g_linkoption, key == "M" ? nullptr : menu);
        if (menu == g_linkoption)  // re-texted on the way back
            QCOMPARE(kor_text(menu, "label_title"), QString("Communication"));
    }
};

QTEST_MAIN(TestLinkCom)
#include "test_linkcom.moc"
