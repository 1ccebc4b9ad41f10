#include "core/global.h"
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/linkcom.h"
#include "ui/pages/linkoption.h"
#include "ui/pages/linkwlan.h"
#include "ui/rcv/firmware_usbgrade.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"
#include "ui/shell/tip.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
const char kHighlighted[] =
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);"
    "border-radius:10px;padding:2px 4px";
const char *const kEntries[3] = {"Button_com", "Button_wlan", "Button_usb"};

QPushButton *entry(int i)
{
    return g_linkoption->findChild<QPushButton *>(kEntries[i]);
}
QString title()
{
    return g_linkoption->findChild<QLabel *>("label_title")->text();
}
// The highlighted entry, -1 when none or more than one is.
int highlighted()
{
    int found = -1;
    for (int i = 0; i < 3; ++i) {
        if (entry(i)->styleSheet() == QLatin1String(kHighlighted)) {
            if (found >= 0)
                return -1;
            found = i;
        }
    }
    return found;
}
}

// The connection menu: its keys, its three entries and what the refresh step shows on it.
class TestLinkOption : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    // Home -> main menu -> settings -> connection, pages shown rather than run modally.
    void open_link_option()
    {
        kor_set_modal_pages(false);
        kor_press(KorKey::Ok);
        kor_press(KorKey::Right);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        open_link_option();
    }
    void cleanup() { env.reset(); }

    void opens_from_the_settings_menu()
    {
        QVERIFY(g_linkoption);
        QCOMPARE(int(g_page_focus), 10);
        QCOMPARE(g_linkoption->size(), QSize(320, 240));
        QCOMPARE(title(), QString::fromUtf8("通讯设置"));
        QCOMPARE(highlighted(), 0);
        QCOMPARE(entry(1)->styleSheet(),
                 QString("color: rgb(255, 255, 255);\nbackground-color: rgb(33, 36, 53) ;\n"
                         "border:2px;border-radius:10px;padding:2px 4px;"));
        kor_save_screen(g_linkoption, "linkoption");
        kor_press(KorKey::Back);
        QVERIFY(!g_linkoption);
        QCOMPARE(int(g_page_focus), 5);
        QVERIFY(g_option);
    }

    void keys_wrap_around_data()
    {
        QTest::addColumn<QString>("keys");  // L left, R right
        QTest::addColumn<bool>("letters");
        QTest::addColumn<int>("selected");
        QTest::newRow("right") << "R" << false << 1;
        QTest::newRow("right three times") << "RRR" << false << 0;
        QTest::newRow("left from the first") << "L" << false << 2;
        QTest::newRow("left twice") << "LL" << false << 1;
        QTest::newRow("key-board letters") << "RRRRL" << true << 0;
    }
    void keys_wrap_around()
    {
        QFETCH(QString, keys);
        QFETCH(bool, letters);
        QFETCH(int, selected);
        for (QChar k : keys)
            kor_press_code(kor_key_code(k == 'L' ? KorKey::Left : KorKey::Right, letters));
        QCOMPARE(highlighted(), selected);
        QCOMPARE(int(g_page_focus), 10);
    }

    void entries_open_and_return_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("next_page");  // the entry to the right of it
        QTest::newRow("serial link") << 0 << 21 << 22;
        QTest::newRow("network") << 1 << 22 << 26;
        QTest::newRow("USB upgrade") << 2 << 26 << 21;
    }
    void entries_open_and_return()
    {
        QFETCH(int, index);
        QFETCH(int, page);
        QFETCH(int, next_page);
        LinkOption *menu = g_linkoption;
        for (int i = 0; i < index; ++i)
            kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), page);
        QVERIFY(kor_page(page));
        QCOMPARE(kor_page(page)->page_number(), page);
        // A language change while the child is in front shows on the menu after back.
        g_language = 1;
        kor_press(KorKey::Back);
        QVERIFY(!kor_page(page));
        QCOMPARE(g_linkoption, menu);
        QCOMPARE(int(g_page_focus), 10);
        QCOMPARE(title(), QString("Communication"));
        QCOMPARE(entry(1)->text(), QString("Net connect"));
        // The menu goes on working: the next entry opens and returns too.
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), next_page);
        QVERIFY(kor_page(next_page));
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 10);
    }

    void entries_run_modally()
    {
        // The real run: each child's exec() returns to the menu.
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_set_modal_pages(true);
        QList<int> inside;
        KorKeyScript script;
        script.press(KorKey::Ok).press(KorKey::Right).press(KorKey::Right).press(KorKey::Ok);  // settings
        script.press(KorKey::Right).press(KorKey::Ok);                                        // connection
        for (int i = 0; i < 3; ++i) {
            script.press(KorKey::Ok).step([&] { inside << g_page_focus; }).press(KorKey::Back);
            script.step([&] { inside << g_page_focus; }).press(KorKey::Right);
        }
        script.press(KorKey::Back).step([&] { inside << g_page_focus; }).press(KorKey::Back);
        QVERIFY(script.run());
        QCOMPARE(inside, QList<int>({21, 10, 22, 10, 26, 10, 5}));
        QVERIFY(!g_linkoption);
    }

    void touch_opens_an_entry()
    {
        QTest::mouseClick(entry(2), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), 26);
        QVERIFY(g_firmware_usbgrade);
    }

    void refresh_shows_the_done_tick_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("tip");
        QTest::newRow("refresh") << 1 << true;
        QTest::newRow("USB disk added") << 100 << true;
        QTest::newRow("window check") << 105 << false;
        QTest::newRow("key-board LEDs") << 106 << false;
    }
    void refresh_shows_the_done_tick()
    {
        QFETCH(int, code);
        QFETCH(bool, tip);
        g_tip->hide();
        KorRamPara::p_korrampara_config->ram[0x300] = 2;
        KorRamPara::p_korrampara_config->test_signal(code);
        KorTestEnv::process_events();
        QCOMPARE(g_tip->isVisible(), tip);
        if (tip)
            QCOMPARE(g_tip->kind(), 1);
        // The same refresh re-texts the menu in the new language.
        QCOMPARE(title(), tip ? QString::fromUtf8("Подключение") : QString::fromUtf8("通讯设置"));
    }

    void mode_key_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("free") << false;
        QTest::newRow("key lock") << true;
    }
    void mode_key()
    {
        QFETCH(bool, locked);
        KorRamPara::p_korrampara_config->set_u16(0x304, locked ? 1 : 0);
        kor_press(KorKey::Mode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(g_linkoption != nullptr, locked);
        QCOMPARE(g_option != nullptr, locked);
        QCOMPARE(g_custommode != nullptr, !locked);
        QCOMPARE(int(g_page_focus), locked ? 10 : 4);
        QCOMPARE(int(g_mode_shortcut_key), locked ? 0 : 1);
    }
};

QTEST_MAIN(TestLinkOption)
#include "test_linkoption.moc"
