#include "kor_test_helpers.h"
#include "ui/pages/ledset.h"
#include "ui/pages/netset.h"
#include "ui/pages/outputset.h"

namespace {
QString info() { return kor_text(g_outputset, "label_info"); }
}

// The output menu and the way in and out of its two pages.
class TestOutputSet : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        g_language = 1;
        kor_open(kor_settings + "O", 6);
    }

private slots:
    void size_line_follows_the_led_page()
    {
        QCOMPARE(info(), QString("LED Screen can be set:1920x1080"));
        keyboard->answers << "2560";
        kor_keys("OORROB");  // Apply
        QCOMPARE(int(g_page_focus), 6);
        QCOMPARE(info(), QString("LED Screen can be set:2560x1080"));
        // A language change re-texts the menu at the next refresh, size line included.
        kor_host_language(3);
        QCOMPARE(info(), QString::fromUtf8("Gợi ý: Kích thước màn hình LED hiện tại::2560x1080"));
        kor_save_screen(g_outputset, "outputset-vi");
        // A touch opens an entry too.
        QTest::mouseClick(kor_child<QPushButton>(g_outputset, "Button_lanset"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), 14);
    }

    void mode_key_data()
    {
        kor_columns<QString, int>({"keys", "page"});
        QTest::newRow("6") << "" << 6;
        QTest::newRow("13") << "O" << 13;
        QTest::newRow("14") << "LO" << 14;  // left wraps to the port page
    }
    void mode_key()
    {
        kor_keys(kor_data<QString>("keys"));
        kor_check_mode_key(kor_data<int>("page"));
    }

    // Back from each page, with the pages run modally as on the panel.
    void modal_walk()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_set_modal_pages(true);
        QList<int> seen;
        auto note = [&seen] { seen << g_page_focus; };
        KorKeyScript script;
        script.keys(kor_settings + "O").step(note).keys("O").step(note).keys("B").step(note);
        script.keys("RO").step(note).keys("RB").step(note).keys("B").step(note).keys("B").step(note);
        QVERIFY(script.run());
        QCOMPARE(seen, QList<int>({6, 13, 6, 14, 6, 5, 1}));
        QVERIFY(!g_outputset && !g_ledset && !g_netset);
    }
};

QTEST_MAIN(TestOutputSet)
#include "test_outputset.moc"
