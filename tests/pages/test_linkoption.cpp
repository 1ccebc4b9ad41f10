#include "core/global.h"
#include "kor_settings_helpers.h"
#include "ui/pages/linkoption.h"
#include "ui/rcv/firmware_usbgrade.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"
#include "ui/shell/tip.h"

#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
QString title()
{
    return g_linkoption->findChild<QWidget *>("label_title")->property("text").toString();
}
}

// The connection menu: its keys, its three entries and what the refresh step shows on it.
class TestLinkOption : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_open_from_settings({KorKey::Right, KorKey::Ok});
    }
    void cleanup() { env.reset(); }

    void opens()
    {
        QCOMPARE(int(g_page_focus), 10);
        QCOMPARE(title(), QString::fromUtf8("通讯设置"));
        kor_save_screen(g_linkoption, "linkoption");
        // A touch opens an entry too.
        QTest::mouseClick(g_linkoption->findChild<QPushButton *>("Button_usb"), Qt::LeftButton);
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
        for (KorKey k : {KorKey::Ok, KorKey::Right, KorKey::Right, KorKey::Ok, KorKey::Right, KorKey::Ok})
            script.press(k);
        for (int i = 0; i < 3; ++i)
            script.press(KorKey::Ok).step(entered).press(KorKey::Back).step(returned).press(KorKey::Right);
        script.step([] { kor_press_code(kor_key_code(KorKey::Left, true)); });
        script.press(KorKey::Ok).step(entered).press(KorKey::Back).press(KorKey::Back);
        script.step([&] { seen << QString::number(g_page_focus); }).press(KorKey::Back);
        QVERIFY(script.run());
        QCOMPARE(seen, QStringList({"21", "10 Communication", "22", "10 Communication", "26", "10 Communication",
                                    "26", "5"}));
        QVERIFY(!g_linkoption);
    }

    // Refresh and a new stick show the done tick and re-text the menu; other codes do neither.
    void refresh_shows_the_done_tick()
    {
        KorRamPara::p_korrampara_config->ram[0x300] = 2;
        for (int code : {105, 106, 100, 1}) {
            g_tip->hide();
            kor_refresh(code);
            const bool done = code < 105;
            QCOMPARE(g_tip->isVisible() && g_tip->kind() == 1, done);
            QCOMPARE(title(), done ? QString::fromUtf8("Подключение") : QString::fromUtf8("通讯设置"));
        }
    }

    void mode_key()
    {
        KorRamPara::p_korrampara_config->set_u16(0x304, 1);
        kor_press(KorKey::Mode);
        QCOMPARE(int(g_page_focus), 10);  // the key lock holds it
        KorRamPara::p_korrampara_config->set_u16(0x304, 0);
        kor_press(KorKey::Mode);
        QCOMPARE(int(g_page_focus), 4);
        QVERIFY(!g_linkoption && !g_option && g_custommode);
        QCOMPARE(int(g_mode_shortcut_key), 1);
    }
};

QTEST_MAIN(TestLinkOption)
#include "test_linkoption.moc"
