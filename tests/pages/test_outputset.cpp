#include "core/global.h"
#include "kor_settings_helpers.h"
#include "ui/pages/ledset.h"
#include "ui/pages/netset.h"
#include "ui/pages/outputset.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"

#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
QString info() { return g_outputset->findChild<QWidget *>("label_info")->property("text").toString(); }
}

// The output menu and the way in and out of its two pages.
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
        kor_open_from_settings({KorKey::Ok});
    }
    void cleanup() { env.reset(); }

    void size_line_follows_the_led_page()
    {
        QCOMPARE(info(), QString("LED Screen can be set:1920x1080"));
        keyboard->answers << "2560";
        kor_press_each({KorKey::Ok, KorKey::Ok, KorKey::Right, KorKey::Right, KorKey::Ok, KorKey::Back});  // Apply
        QCOMPARE(int(g_page_focus), 6);
        QCOMPARE(info(), QString("LED Screen can be set:2560x1080"));
        // A language change re-texts the menu at the next refresh, size line included.
        kor_host_language(3);
        QCOMPARE(info(), QString::fromUtf8("Gợi ý: Kích thước màn hình LED hiện tại::2560x1080"));
        kor_save_screen(g_outputset, "outputset-vi");
        // A touch opens an entry too.
        QTest::mouseClick(g_outputset->findChild<QPushButton *>("Button_lanset"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), 14);
    }

    void mode_key_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("locked");
        for (int page : {6, 13, 14})
            QTest::newRow(qPrintable(QString::number(page))) << page << false;
        QTest::newRow("13 key lock") << 13 << true;
    }
    void mode_key()
    {
        QFETCH(int, page);
        QFETCH(bool, locked);
        if (page == 14)
            kor_press(KorKey::Left);  // wraps to the port page
        if (page != 6)
            kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), page);
        KorRamPara::p_korrampara_config->set_u16(0x304, locked ? 1 : 0);
        kor_press(KorKey::Mode);
        QCOMPARE(int(g_page_focus), locked ? page : 4);
        QCOMPARE(kor_page(page) != nullptr, locked);
        QCOMPARE(g_option != nullptr, locked);
        QCOMPARE(g_custommode != nullptr, !locked);
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
        for (KorKey k : {KorKey::Ok, KorKey::Right, KorKey::Right, KorKey::Ok, KorKey::Ok})
            script.press(k);
        script.step(note);
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
