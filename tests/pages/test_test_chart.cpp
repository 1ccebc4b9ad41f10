#include "core/global.h"
#include "core/korrampara.h"
#include "kor_form_check.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/scaler_device.h"
#include "scaler/v331_manage.h"
#include "ui/pages/test_chart.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }

const char kThumbSelected[] = "border:1px solid rgb(255,171,84);";
const char kThumbNormal[] = "color: rgb(255, 255, 255);";
const char kButtonSelected[] =
    "color: rgb(255, 255, 255); background-color:rgb(0,0,0);border:1px solid rgb(255,171,84);";
const char kButtonNormal[] = "color: rgb(255, 255, 255);background-color:rgb(0,0,0);border:1px solid rgb(255,255,255);";

void press(KorKey key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}
// The nine items in focus order.
QWidget *item(int i)
{
    if (i == 8)
        return g_test_chart->findChild<QPushButton *>("Button_closetest");
    return g_test_chart->findChild<QLabel *>(QStringLiteral("label_test%1").arg(i + 1));
}
// Items showing the selected style.
QList<int> selected_items()
{
    QList<int> out;
    for (int i = 0; i < 9; ++i)
        if (item(i)->styleSheet() == QString(i == 8 ? kButtonSelected : kThumbSelected))
            out << i;
    return out;
}
QString text_of(const char *name)
{
    if (QLabel *l = g_test_chart->findChild<QLabel *>(name))
        return l->text();
    return g_test_chart->findChild<QPushButton *>(name)->text();
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
class TestTestChart : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    void open_page()
    {
        kor_set_modal_pages(false);
        kor_press(KorKey::Ok);  // home -> main menu
        press(KorKey::Right, 2);
        kor_press(KorKey::Ok);  // settings
        press(KorKey::Right, 2);
        kor_press(KorKey::Ok);  // test pattern
        QVERIFY(g_test_chart);
        QCOMPARE(int(g_page_focus), 16);
    }
    // The scaler applies what is pending; its refresh saves the table.
    void apply()
    {
        v331_manage::p_v331_manage->run_pass();
        KorTestEnv::process_events();
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        v331_manage::pInstance();
        g_language = 1;
    }
    void cleanup() { env.reset(); }

    void form_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("style");  // null: set by the page
        const QString caption = "color:rgb(255,255,255);";
        QTest::newRow("title") << "label_testimage" << "QLabel" << "test_chart" << QRect(40, 0, 220, 22) << 10 << caption;
        QTest::newRow("frame") << "frame" << "QFrame" << "test_chart" << QRect(10, 42, 300, 190) << 0
                               << "#frame{\nbackground-color: rgb(16, 16, 28);\nborder:1px solid rgb(255, 255, 255);\n"
                                  "border-radius:6px;padding:2px 4px\n}";
        const int xs[4] = {20, 90, 160, 230};
        const char *const captions[4] = {"label_red", "label_green", "label_blue", "label_white"};
        for (int i = 0; i < 8; ++i) {
            const QString name = QStringLiteral("label_test%1").arg(i + 1);
            QTest::newRow(qPrintable(name)) << name << "QLabel" << "frame" << QRect(xs[i % 4], i < 4 ? 10 : 84, 50, 50)
                                            << 0 << QString();
        }
        for (int i = 0; i < 4; ++i)
            QTest::newRow(captions[i]) << captions[i] << "QLabel" << "frame" << QRect(xs[i], 62, 50, 17) << 7 << caption;
        QTest::newRow("black") << "label_black" << "QLabel" << "frame" << QRect(20, 136, 50, 17) << 7 << caption;
        QTest::newRow("colour bar") << "label_color" << "QLabel" << "frame" << QRect(85, 136, 60, 17) << 7 << caption;
        QTest::newRow("vertical") << "label_hline" << "QLabel" << "frame" << QRect(155, 136, 60, 17) << 7 << caption;
        QTest::newRow("horizontal") << "label_wline" << "QLabel" << "frame" << QRect(220, 136, 70, 17) << 7 << caption;
        QTest::newRow("close") << "Button_closetest" << "QPushButton" << "frame" << QRect(110, 161, 80, 24) << 7
                               << "color:rgb(255,255,255);\nborder:1px solid rgb(255, 255, 255);";
    }
    void form()
    {
        QFETCH(QString, name);
        QFETCH(QString, cls);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(int, points);
        QFETCH(QString, style);
        // The form as built, before the page restyles its items.
        std::unique_ptr<test_chart> page(new test_chart);
        QCOMPARE(page->size(), QSize(320, 240));
        QCOMPARE(page->styleSheet(), QString("background-color: rgb(16, 16, 28);"));
        QCOMPARE(kor_form_mismatch(page.get(), name, cls, parent, geometry, points, style), QString());
        if (cls == "QLabel" && name != "label_testimage")
            QVERIFY(page->findChild<QLabel *>(name)->alignment() & Qt::AlignHCenter);
        if (cls == "QPushButton")
            QCOMPARE(page->findChild<QWidget *>(name)->focusPolicy(), Qt::NoFocus);
    }

    void opening_leaves_the_pattern()
    {
        // A pattern left on earlier (not through this page) stays on while the page opens.
        table()->ram[0x360] = 3;
        std::memcpy(table()->shadow, table()->ram, KOR_TABLE_SIZE);
        open_page();
        QCOMPARE(int(table()->ram[0x360]), 3);
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(selected_items(), QList<int>{0});
        for (int i = 0; i < 8; ++i)
            QVERIFY(!static_cast<QLabel *>(item(i))->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(text_of("label_testimage"), QString("Test pattern"));
        QCOMPARE(text_of("label_color"), QString("Colour bar"));
        QCOMPARE(text_of("Button_closetest"), QString("Close"));
        kor_save_screen(g_test_chart, "test_chart");
    }

    void moving_the_selection_data()
    {
        QTest::addColumn<int>("rights");
        QTest::addColumn<int>("lefts");
        QTest::addColumn<int>("selected");
        QTest::newRow("one right") << 1 << 0 << 1;
        QTest::newRow("eight rights reach the close button") << 8 << 0 << 8;
        QTest::newRow("nine rights wrap") << 9 << 0 << 0;
        QTest::newRow("left from the first") << 0 << 1 << 8;
        QTest::newRow("two lefts") << 0 << 2 << 7;
        QTest::newRow("there and back") << 5 << 5 << 0;
    }
    void moving_the_selection()
    {
        QFETCH(int, rights);
        QFETCH(int, lefts);
        QFETCH(int, selected);
        open_page();
        press(KorKey::Right, rights);
        press(KorKey::Left, lefts);
        QCOMPARE(selected_items(), QList<int>{selected});
        // Items left behind get their normal style back.
        if (rights + lefts > 0 && selected != 0)
            QCOMPARE(item(0)->styleSheet(), QString(kThumbNormal));
        if (lefts > 0 && rights == 0 && selected != 8)
            QCOMPARE(item(8)->styleSheet(), QString(kButtonNormal));
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(int(table()->ram[0x360]), 0);
        if (selected == 8)
            kor_save_screen(g_test_chart, "test_chart-close-selected");
    }

    void ok_on_a_thumbnail_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 8; ++i)
            QTest::newRow(qPrintable(QStringLiteral("thumbnail %1").arg(i + 1))) << i;
    }
    void ok_on_a_thumbnail()
    {
        QFETCH(int, index);
        open_page();
        press(KorKey::Right, index);
        kor_press(KorKey::Ok);
        QCOMPARE(int(table()->ram[0x360]), index + 1);
        QCOMPARE(int(v331_manage::para_changed), 1);
        QVERIFY(g_test_chart);
        QCOMPARE(int(g_page_focus), 16);
        QCOMPARE(selected_items(), QList<int>{index});
        apply();
        QCOMPARE(patterns_drawn(env->scaler()), QList<int>{index + 1});
        QCOMPARE(int(uint8_t(env->read_file("/data/ram_device_info").at(2 + 0x60))), index + 1);
        if (index == 5)
            kor_save_screen(g_test_chart, "test_chart-colour-bar");
    }

    void leaving_turns_the_pattern_off_data()
    {
        QTest::addColumn<int>("pattern_item");  // thumbnail chosen first, -1 none
        QTest::addColumn<int>("moves");         // rights before leaving
        QTest::addColumn<bool>("by_close_button");
        QTest::addColumn<bool>("letter_keys");
        QTest::newRow("back after a pattern") << 3 << 0 << false << false;
        QTest::newRow("back after only moving") << -1 << 4 << false << false;
        QTest::newRow("back with the key board") << 1 << 0 << false << true;
        QTest::newRow("OK on the close button") << 6 << 2 << true << false;
        QTest::newRow("close button, nothing shown") << -1 << 8 << true << false;
    }
    void leaving_turns_the_pattern_off()
    {
        QFETCH(int, pattern_item);
        QFETCH(int, moves);
        QFETCH(bool, by_close_button);
        QFETCH(bool, letter_keys);
        open_page();
        if (pattern_item >= 0) {
            press(KorKey::Right, pattern_item);
            kor_press(KorKey::Ok);
            apply();
        }
        press(KorKey::Right, moves);
        QCOMPARE(selected_items().size(), 1);
        QCOMPARE(selected_items().first() == 8, by_close_button);
        kor_press_code(kor_key_code(by_close_button ? KorKey::Ok : KorKey::Back, letter_keys));
        QVERIFY(!g_test_chart);
        QCOMPARE(int(g_page_focus), 5);
        QVERIFY(g_option);
        QCOMPARE(int(table()->ram[0x360]), 0);
        // Raised also when no pattern was on.
        QCOMPARE(int(v331_manage::para_changed), 1);
        apply();
        QList<int> drawn;
        if (pattern_item >= 0)
            drawn << pattern_item + 1 << 0;
        QCOMPARE(patterns_drawn(env->scaler()), drawn);
    }

    void modal_run_back_to_the_settings_menu()
    {
        int inside = -1;
        KorKeyScript script;
        script.press(KorKey::Ok)
            .press(KorKey::Right)
            .press(KorKey::Right)
            .press(KorKey::Ok)
            .press(KorKey::Right)
            .press(KorKey::Right)
            .press(KorKey::Ok)
            .step([&] { inside = g_page_focus; })
            .press(KorKey::Right)
            .press(KorKey::Ok)
            .step([&] { QCOMPARE(int(table()->ram[0x360]), 2); })
            .press(KorKey::Back)
            .press(KorKey::Back);
        QVERIFY(script.run());
        QCOMPARE(inside, 16);
        QVERIFY(!g_test_chart);
        QVERIFY(!g_option);
        QCOMPARE(int(g_page_focus), 1);
        QCOMPARE(int(table()->ram[0x360]), 0);
    }

    void mode_key_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("unlocked") << false;
        QTest::newRow("key lock") << true;
    }
    void mode_key()
    {
        QFETCH(bool, locked);
        table()->set_u16(0x304, locked ? 1 : 0);
        open_page();
        press(KorKey::Right, 4);
        kor_press(KorKey::Ok);
        apply();
        kor_press(KorKey::Mode);
        // The pattern stays on the screen either way.
        QCOMPARE(int(table()->ram[0x360]), 5);
        QCOMPARE(int(v331_manage::para_changed), 0);
        if (locked) {
            QVERIFY(g_test_chart);
            QCOMPARE(int(g_page_focus), 16);
            QVERIFY(!g_custommode);
            return;
        }
        QVERIFY(!g_test_chart);
        QVERIFY(!g_option);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
        apply();
        QCOMPARE(patterns_drawn(env->scaler()), QList<int>{5});
    }

    void language_change_while_in_front_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("colour_bar");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QString>("screen");
        QTest::newRow("Russian") << 2 << QString::fromUtf8("Тестовый образец") << QString::fromUtf8("Тест 6")
                                 << QString::fromUtf8("Закрыть") << "test_chart-ru";
        QTest::newRow("traditional Chinese") << 4 << QString::fromUtf8("測試圖") << QString::fromUtf8("色帶")
                                             << QString::fromUtf8("關閉測試圖") << "test_chart-tw";
    }
    void language_change_while_in_front()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, colour_bar);
        QFETCH(QString, close);
        QFETCH(QString, screen);
        table()->ram[0x300] = 1;
        std::memcpy(table()->shadow, table()->ram, KOR_TABLE_SIZE);
        open_page();
        table()->ram[0x300] = uint8_t(language);
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(text_of("label_testimage"), title);
        QCOMPARE(text_of("label_color"), colour_bar);
        QCOMPARE(text_of("Button_closetest"), close);
        if (!screen.isEmpty())
            kor_save_screen(g_test_chart, screen);
    }
};

QTEST_MAIN(TestTestChart)
#include "test_test_chart.moc"
