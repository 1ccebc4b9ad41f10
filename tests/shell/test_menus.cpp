#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "kor_probe_page.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/imagequality.h"
#include "ui/pages/inputchoose.h"
#include "ui/pages/inputcut.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainmenu.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/option.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {
void press_times(KorKey key, int times)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}
void send_key(QWidget *target, int code)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}
QString title_of(QWidget *page)
{
    return page->findChild<QLabel *>("label_title")->text();
}
}

// The home screen and the menus, worked with the five keys.
class TestMenus : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;

    // Main menu entry `index` opened; pages are shown rather than run modally.
    void open_from_main_menu(int index)
    {
        kor_set_modal_pages(false);
        kor_press(KorKey::Ok);  // home -> main menu
        press_times(KorKey::Right, index);
        kor_press(KorKey::Ok);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
    }
    void cleanup() { env.reset(); }

    void home_and_main_menu()
    {
        QCOMPARE(int(g_page_focus), 0);
        kor_save_screen(window, "home");
        kor_press(KorKey::Back);  // nothing beneath the home screen
        QCOMPARE(int(g_page_focus), 0);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), 1);
        QCOMPARE(window->screen_number(), 1);
        kor_save_screen(window, "mainmenu");
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 0);
        // The key board's letters work the same.
        kor_press_code(Qt::Key_Q);
        QCOMPARE(int(g_page_focus), 1);
        // The real modal run: OK opens the settings menu, back returns.
        kor_set_modal_pages(true);
        int inside = -1;
        KorKeyScript script;
        script.press(KorKey::Left).press(KorKey::Left).press(KorKey::Ok).step([&] { inside = g_page_focus; }).press(KorKey::Back);
        QVERIFY(script.run());
        QCOMPARE(inside, 5);
        QCOMPARE(int(g_page_focus), 1);
        QVERIFY(!g_option);
    }

    void home_shows_the_table()
    {
        KorRamPara *table = KorRamPara::p_korrampara_config;
        table->set_u16(0x562, 2560);
        table->set_u16(0x564, 720);
        table->set_u16(KorWindowRecord::offset(0, 0), 1);
        table->set_u16(KorWindowRecord::offset(0, KorWindowRecord::kSource), 4);
        table->set_u16(KorWindowRecord::offset(3, 0), 1);
        table->set_u16(KorWindowRecord::offset(3, KorWindowRecord::kSource), 1);
        table->set_u16(0x304, 1);
        g_language = 1;
        table->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(window->findChild<QLabel *>("label_size")->text(), QString("LED: 2560x720"));
        QCOMPARE(window->findChild<QLabel *>("label_window0")->text(), QString("> Window 1: HDMI3"));
        QCOMPARE(window->findChild<QLabel *>("label_window1")->text(), QString("Window 4: DVI"));
        QVERIFY(window->findChild<QLabel *>("label_window2")->isHidden());
        QCOMPARE(window->findChild<QLabel *>("label_lock")->text(), QString("Keys locked"));
        kor_save_screen(window, "home-locked");
    }

    void main_menu_entries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("screen");
        QTest::newRow("input") << 0 << 3 << "inputchoose";
        QTest::newRow("user modes") << 1 << 4 << "custommode-menu";
        QTest::newRow("settings") << 2 << 5 << "option-menu";
        QTest::newRow("picture") << 3 << 11 << "imagequality";
    }
    void main_menu_entries()
    {
        QFETCH(int, index);
        QFETCH(int, page);
        QFETCH(QString, screen);
        open_from_main_menu(index);
        QCOMPARE(int(g_page_focus), page);
        QVERIFY(kor_front_page());
        QCOMPARE(kor_front_page()->page_number(), page);
        kor_save_screen(kor_front_page(), screen);
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 1);
        QVERIFY(!kor_page(page));
    }

    void settings_entries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("built");
        QTest::newRow("output settings") << 0 << 6 << true;
        QTest::newRow("output settings not built") << 0 << 6 << false;
        QTest::newRow("connection") << 1 << 10 << true;
        QTest::newRow("test pattern") << 2 << 16 << true;
        QTest::newRow("test pattern not built") << 2 << 16 << false;
        QTest::newRow("smart mapping") << 3 << 24 << true;
        QTest::newRow("smart mapping not built") << 3 << 24 << false;
    }
    void settings_entries()
    {
        QFETCH(int, index);
        QFETCH(int, page);
        QFETCH(bool, built);
        if (built)
            kor_register_probe(page, 5);
        else
            kor_page_register_slot(page, KorPageSlot());  // as before the page's file exists
        open_from_main_menu(2);
        QVERIFY(g_option);
        press_times(KorKey::Right, index);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), built ? page : 5);
        QCOMPARE(kor_probe(page) != nullptr, built);
        if (!built)
            return;
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 5);
        QVERIFY(g_option);
    }

    void advanced_entries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("built");
        QTest::addColumn<bool>("pack_file");
        QTest::addColumn<QString>("code");  // typed on the keyboard; null: back
        QTest::addColumn<bool>("opens");
        QTest::newRow("LCD display") << 0 << 15 << true << false << QString() << true;
        QTest::newRow("other settings") << 1 << 17 << true << false << QString() << true;
        QTest::newRow("other settings not built") << 1 << 17 << false << false << QString() << false;
        QTest::newRow("factory") << 2 << 18 << true << false << QString() << true;
        QTest::newRow("recovery with a pack") << 3 << 25 << true << true << QString() << true;
        QTest::newRow("recovery without packs") << 3 << 25 << true << false << QString() << false;
        QTest::newRow("ageing log, right code") << 4 << 23 << true << false << "1688" << true;
        QTest::newRow("ageing log, wrong code") << 4 << 23 << true << false << "1234" << false;
        QTest::newRow("ageing log, keyboard left") << 4 << 23 << true << false << QString() << false;
        QTest::newRow("ageing log not built") << 4 << 23 << false << false << "1688" << false;
    }
    void advanced_entries()
    {
        QFETCH(int, index);
        QFETCH(int, page);
        QFETCH(bool, built);
        QFETCH(bool, pack_file);
        QFETCH(QString, code);
        QFETCH(bool, opens);
        ScriptedNumberKeyboard *keyboard = kor_install_scripted_keyboard();
        keyboard->answers << code;
        if (built)
            kor_register_probe(page, 12);
        if (pack_file)
            env->write_file("/data/rcvrecovery/pack1.bin", "x");
        else
            QDir().mkpath(env->path("/data/rcvrecovery"));
        open_from_main_menu(2);
        kor_press(KorKey::Left);  // the advanced entry
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), 12);
        QVERIFY(g_advancedoption);
        kor_save_screen(g_advancedoption, "advancedoption");
        press_times(KorKey::Right, index);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), opens ? page : 12);
        QCOMPARE(kor_probe(page) != nullptr, opens);
        if (page == 23)
            QCOMPARE(keyboard->calls.size(), built ? 1 : 0);
        // The code field never shows what was typed.
        QCOMPARE(g_advancedoption->findChild<QLineEdit *>("lineEdit_code")->text(), QString());
        if (opens) {
            kor_press(KorKey::Back);
            QCOMPARE(int(g_page_focus), 12);
        }
    }

    void access_code_is_a_setting()
    {
        ConfigEngine::p_config->write_config_variant(ConfigItem::AgeAccessCode, "4321");
        ScriptedNumberKeyboard *keyboard = kor_install_scripted_keyboard();
        keyboard->answers << "1688" << "4321";
        kor_register_probe(23, 12);
        open_from_main_menu(2);
        kor_press(KorKey::Left);
        kor_press(KorKey::Ok);
        kor_press(KorKey::Left);  // wraps to the ageing log
        kor_press(KorKey::Ok);
        QVERIFY(!kor_probe(23));
        kor_press(KorKey::Ok);
        QVERIFY(kor_probe(23));
        QCOMPARE(keyboard->calls.size(), 2);
        QCOMPARE(keyboard->calls[0].start_text, QString());
    }

    void picture_menu_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("built");
        QTest::newRow("quality") << 0 << 19 << true;
        QTest::newRow("temperature") << 1 << 20 << true;
        QTest::newRow("quality not built") << 0 << 19 << false;
    }
    void picture_menu()
    {
        QFETCH(int, index);
        QFETCH(int, page);
        QFETCH(bool, built);
        if (built)
            kor_register_probe(page, 11);
        open_from_main_menu(3);
        QVERIFY(g_imagequality);
        press_times(KorKey::Right, index);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), built ? page : 11);
        if (!built)
            return;
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 11);
        QVERIFY(g_imagequality);
    }

    void input_page()
    {
        KorRamPara::p_korrampara_config->set_u16(KorWindowRecord::offset(0, KorWindowRecord::kSource), 1);
        kor_register_probe(8, 3);
        open_from_main_menu(0);
        QVERIFY(g_inputchoose);
        QCOMPARE(g_inputchoose->findChild<QLabel *>("sourcelistseq4name")->styleSheet(),
                 QString("color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(71, 119, 255);"));
        kor_press(KorKey::Ok);  // EDID
        QCOMPARE(int(g_page_focus), 8);
        // The source changes while the EDID page is open; back re-reads it.
        KorRamPara::p_korrampara_config->set_u16(KorWindowRecord::offset(0, KorWindowRecord::kSource), 2);
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 3);
        QCOMPARE(g_inputchoose->findChild<QLabel *>("sourcelistseq0name")->styleSheet(),
                 QString("color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(71, 119, 255);"));
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);  // crop page
        QCOMPARE(int(g_page_focus), 9);
        QVERIFY(g_inputcut);
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 3);
        QVERIFY(!g_inputcut);
    }

    void menus_retext_on_language_change()
    {
        open_from_main_menu(2);
        QCOMPARE(title_of(g_option), QString("设置"));
        KorRamPara::p_korrampara_config->ram[0x300] = 1;
        KorRamPara::p_korrampara_config->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(int(g_language), 1);
        QCOMPARE(title_of(g_option), QString("Settings"));
        kor_save_screen(g_option, "option-en");
        kor_press(KorKey::Back);
        QCOMPARE(title_of(g_mainmenu), QString("Main Menu"));
    }

    void number_keyboard_keys_data()
    {
        QTest::addColumn<QString>("keys");  // L left, R right, K OK, B back
        QTest::addColumn<QString>("answer"); // null: no answer
        QTest::newRow("OK at once keeps the start text") << "LLK" << "55";
        QTest::newRow("two digits") << "KRKLLLK" << "12";
        QTest::newRow("digit then delete") << "KLLLKRK" << "";
        QTest::newRow("zero") << "LLLLKRRK" << "0";
        QTest::newRow("back") << "KB" << QString();
    }
    void number_keyboard_keys()
    {
        QFETCH(QString, keys);
        QFETCH(QString, answer);
        NumberKeyboard *keyboard = g_numberkeyboard;
        QSignalSpy spy(keyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit);
        keyboard->label_show("Width", "55");
        keyboard->show();
        for (QChar k : keys) {
            const KorKey key = k == 'L' ? KorKey::Left : k == 'R' ? KorKey::Right : k == 'K' ? KorKey::Ok : KorKey::Back;
            send_key(keyboard, kor_key_code(key));
        }
        QCOMPARE(spy.count(), answer.isNull() ? 0 : 1);
        if (!answer.isNull())
            QCOMPARE(spy.first().first().toString(), answer);
        QVERIFY(!keyboard->isVisible());
        keyboard->label_show(QString::fromUtf8("宽"), "1920");
        keyboard->show();
        kor_save_screen(keyboard, "numberkeyboard");
        keyboard->hide();
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
