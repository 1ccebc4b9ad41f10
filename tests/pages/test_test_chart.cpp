#include "kor_form_check.h"
#include "kor_test_helpers.h"
#include "ui/pages/test_chart.h"

#include <cstring>

namespace {
int pattern() { return kor_table()->ram[0x360]; }

// The items (thumbnails 0 to 7, the close button 8) showing the selected style.
QList<int> selected_items()
{
    QList<int> out;
    for (int i = 0; i < 9; ++i) {
        const QString name = i < 8 ? QStringLiteral("label_test%1").arg(i + 1) : QStringLiteral("Button_closetest");
        if (kor_focused(g_test_chart, name))
            out << i;
    }
    return out;
}
QList<int> patterns_drawn(SimScaler *sim)
{
    QList<int> out;
    for (const ScalerCall &c : sim->calls_named("pattern"))
        out << c.args.at(0);
    return out;
}
}

// The test pattern page, worked with the panel keys from the settings menu.
class TestTestChart : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        v331_manage::pInstance();
        g_language = 1;
    }

private slots:

    void form()
    {
        test_chart page;
        QCOMPARE(page.size(), QSize(320, 240));
        const char *caption = "color:rgb(255,255,255);";
        const QString odd = kor_form_mismatches(
            &page, {{"label_testimage", "QLabel", "test_chart", {40, 0, 220, 22}, 10, caption},
                    {"frame", "QFrame", "test_chart", {10, 42, 300, 190}, 0, nullptr},
                    {"label_test8", "QLabel", "frame", {230, 84, 50, 50}, 0, nullptr},
                    {"label_wline", "QLabel", "frame", {220, 136, 70, 17}, 7, caption},
                    {"Button_closetest", "QPushButton", "frame", {110, 161, 80, 24}, 7, nullptr}});
        QCOMPARE(odd, QString());
        for (QLabel *thumb : page.findChildren<QLabel *>(QRegularExpression("^label_test\\d$")))
            QVERIFY(!thumb->pixmap(Qt::ReturnByValue).isNull());
    }

    void keys_data()
    {
        // before: the pattern on when the page opens; keys: a leading K sets the key lock
        // selected: -1: back in the settings menu; -2: in the user modes; shown: the pattern byte at the end
        kor_columns<int, QString, int, int, QList<int>>({"before", "keys", "selected", "shown", "drawn"});
        QTest::newRow("opening leaves the pattern") << 3 << "" << 0 << 3 << QList<int>{};
        QTest::newRow("eight rights reach the close button") << 0 << "RRRRRRRR" << 8 << 0 << QList<int>{};
        QTest::newRow("nine rights wrap") << 0 << "RRRRRRRRR" << 0 << 0 << QList<int>{};
        QTest::newRow("left from the first") << 0 << "L" << 8 << 0 << QList<int>{};
        QTest::newRow("OK on red, then green") << 3 << "ORO" << 1 << 2 << QList<int>{1, 2};
        QTest::newRow("OK on the colour bar") << 0 << "RRRRRO" << 5 << 6 << QList<int>{6};
        QTest::newRow("OK on horizontal lines") << 0 << "LLO" << 7 << 8 << QList<int>{8};
        QTest::newRow("back after a pattern") << 0 << "RRROB" << -1 << 0 << QList<int>{4, 0};
        QTest::newRow("back, a pattern left on") << 3 << "RRRRB" << -1 << 0 << QList<int>{0};
        QTest::newRow("back, no pattern on") << 0 << "RRRRB" << -1 << 0 << QList<int>{};
        QTest::newRow("back from the key board") << 0 << "ROb" << -1 << 0 << QList<int>{2, 0};
        QTest::newRow("OK on the close button") << 0 << "LLLORRO" << -1 << 0 << QList<int>{7, 0};
        QTest::newRow("mode key leaves the pattern on") << 0 << "RRRROM" << -2 << 5 << QList<int>{5};
        QTest::newRow("mode key under the key lock") << 0 << "KRRRROM" << 4 << 5 << QList<int>{5};
    }
    void keys()
    {
        QFETCH(QString, keys);
        QFETCH(int, selected);
        QFETCH(int, shown);
        QFETCH(QList<int>, drawn);
        kor_table()->ram[0x360] = uint8_t(kor_data<int>("before"));
        std::memcpy(kor_table()->shadow, kor_table()->ram, KOR_TABLE_SIZE);
        kor_table()->set_u16(0x304, keys.startsWith('K'));
        kor_open(kor_settings + "RRO", 16);
        QCOMPARE(int(v331_manage::para_changed), 0);
        for (QChar k : keys.mid(keys.startsWith('K'))) {
            kor_keys(k);
            // Only OK and back write the pattern, back also with no pattern on.
            QCOMPARE(int(v331_manage::para_changed), int(k == 'O' || k.toLower() == 'b'));
            kor_scaler_pass();
        }
        QCOMPARE(pattern(), shown);
        QCOMPARE(patterns_drawn(env->scaler()), drawn);
        QCOMPARE(int(g_page_focus), selected >= 0 ? 16 : selected == -1 ? 5 : 4);
        QCOMPARE(bool(g_test_chart), selected >= 0);
        QCOMPARE(kor_mode_key_reached_custom_mode(), selected == -2);
        if (selected >= 0)
            QCOMPARE(selected_items(), QList<int>{selected});
        if (!drawn.isEmpty())
            QCOMPARE(int(uint8_t(env->read_file("/data/ram_device_info").at(2 + 0x60))), shown);  // saved
        if (g_test_chart)
            kor_save_row_screen(g_test_chart, "test_chart");
    }

    void modal_run_back_to_the_settings_menu()
    {
        int inside = -1;
        KorKeyScript script;
        script.keys(kor_settings + "RRO").step([&] { inside = g_page_focus; }).keys("RO");
        script.step([&] { QCOMPARE(pattern(), 2); }).keys("BB");
        QVERIFY(script.run());
        QCOMPARE(inside, 16);
        QVERIFY(!g_test_chart && !g_option);
        QCOMPARE(int(g_page_focus), 1);
        QCOMPARE(pattern(), 0);
    }

    void language_change_while_in_front()
    {
        kor_open(kor_settings + "RRO", 16);
        kor_host_language(2);
        QCOMPARE(kor_text(g_test_chart, "label_testimage"), QString::fromUtf8("Тестовый образец"));
        QCOMPARE(kor_text(g_test_chart, "label_color"), QString::fromUtf8("Тест 6"));
        QCOMPARE(kor_text(g_test_chart, "Button_closetest"), QString::fromUtf8("Закрыть"));
        kor_save_screen(g_test_chart, "test_chart-ru");
    }
};

QTEST_MAIN(TestTestChart)
#include "test_test_chart.moc"
