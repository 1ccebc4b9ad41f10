#include "core/global.h"
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/ledset.h"
#include "ui/pages/netset.h"
#include "ui/pages/outputset.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }

// Home -> main menu -> settings -> output settings.
void open_outputset()
{
    kor_set_modal_pages(false);
    kor_press(KorKey::Ok);
    kor_press(KorKey::Right);
    kor_press(KorKey::Right);
    kor_press(KorKey::Ok);
    kor_press(KorKey::Ok);
}

QString text_of(const char *name)
{
    return g_outputset->findChild<QWidget *>(name)->property("text").toString();
}

void refresh()
{
    table()->test_signal(1);
    KorTestEnv::process_events();
}
}

class TestOutputSet : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    ScriptedNumberKeyboard *keyboard = nullptr;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
        g_language = 1;
    }
    void cleanup() { env.reset(); }

    void menu()
    {
        open_outputset();
        QCOMPARE(int(g_page_focus), 6);
        QVERIFY(g_outputset);
        QCOMPARE(text_of("label_title"), QString("Output Seeting"));
        QCOMPARE(text_of("Button_ledset"), QString("LED Setting"));
        QCOMPARE(text_of("Button_lanset"), QString("Port output"));
        QCOMPARE(text_of("label_info"), QString("LED Screen can be set:1920x1080"));
        QCOMPARE(g_outputset->findChild<QWidget *>("Button_ledset")->styleSheet(), QString(KorStyle::menu_focus));
        kor_save_screen(g_outputset, "outputset");
        // Left wraps to the port output entry.
        kor_press(KorKey::Left);
        QCOMPARE(g_outputset->findChild<QWidget *>("Button_lanset")->styleSheet(), QString(KorStyle::menu_focus));
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), 14);
        QVERIFY(g_netset);
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 6);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), 13);
        QVERIFY(g_ledset);
        kor_press(KorKey::Back);
        // A pointer press on an entry opens it too.
        QTest::mouseClick(g_outputset->findChild<QPushButton *>("Button_lanset"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), 14);
    }

    void size_line_follows_the_led_page()
    {
        open_outputset();
        kor_press(KorKey::Ok);
        keyboard->answers << "2560";
        kor_press(KorKey::Ok);
        kor_press(KorKey::Right);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);  // Apply
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 6);
        QCOMPARE(text_of("label_info"), QString("LED Screen can be set:2560x1080"));
        // A language change re-texts the menu at the next refresh, size line included.
        table()->ram[0x300] = 3;
        refresh();
        QCOMPARE(text_of("label_info"), QString::fromUtf8("Gợi ý: Kích thước màn hình LED hiện tại::2560x1080"));
        QCOMPARE(text_of("Button_lanset"), QString::fromUtf8("Cài đặt\ncổng MẠNG"));
        kor_save_screen(g_outputset, "outputset-vi");
    }

    void back_and_mode_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("key");  // 0 back, 1 mode, 2 mode with the key lock
        for (int page : {6, 13, 14}) {
            QTest::newRow(qPrintable(QString("%1 back").arg(page))) << page << 0;
            QTest::newRow(qPrintable(QString("%1 mode").arg(page))) << page << 1;
            QTest::newRow(qPrintable(QString("%1 mode locked").arg(page))) << page << 2;
        }
    }
    void back_and_mode()
    {
        QFETCH(int, page);
        QFETCH(int, key);
        open_outputset();
        if (page == 14)
            kor_press(KorKey::Left);
        if (page != 6)
            kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), page);
        QPointer<KorPage> shown = kor_front_page();
        QVERIFY(shown);
        if (key == 2)
            table()->set_u16(0x304, 1);
        // The menu beneath shows the number the page leaves in the table meanwhile.
        table()->set_u16(0x562, 1280);
        kor_press(key == 0 ? KorKey::Back : KorKey::Mode);
        switch (key) {
        case 0:
            QCOMPARE(int(g_page_focus), page == 6 ? 5 : 6);
            QVERIFY(!kor_page(page));
            QVERIFY(g_option);
            if (page != 6)
                QCOMPARE(text_of("label_info"), QString("LED Screen can be set:1280x1080"));
            break;
        case 1:
            QCOMPARE(int(g_page_focus), 4);
            QVERIFY(!kor_page(page));
            QVERIFY(!g_outputset);
            QVERIFY(!g_option);
            QVERIFY(g_custommode);
            QCOMPARE(int(g_mode_shortcut_key), 1);
            break;
        default:
            QCOMPARE(int(g_page_focus), page);
            QCOMPARE(kor_page(page), shown.data());
            QVERIFY(g_outputset);
            QVERIFY(!g_custommode);
        }
    }

    // The pages run modally as on the panel: each key reaches the page in front.
    void modal_walk()
    {
        QList<int> seen;
        auto note = [&seen] { seen << g_page_focus; };
        KorKeyScript script;
        script.press(KorKey::Ok).press(KorKey::Right).press(KorKey::Right).press(KorKey::Ok).press(KorKey::Ok).step(note);
        script.press(KorKey::Ok).step(note).press(KorKey::Back).step(note);
        script.press(KorKey::Right).press(KorKey::Ok).step(note).press(KorKey::Right).press(KorKey::Back).step(note);
        script.press(KorKey::Back).step(note).press(KorKey::Back).step(note);
        QVERIFY(script.run());
        QCOMPARE(seen, QList<int>({6, 13, 6, 14, 6, 5, 1}));
        QVERIFY(!g_outputset && !g_ledset && !g_netset);
    }
};

QTEST_MAIN(TestOutputSet)
#include "test_outputset.moc"
