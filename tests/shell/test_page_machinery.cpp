#include "core/global.h"
#include "core/korrampara.h"
#include "kor_probe_page.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainmenu.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/my_lineedit.h"
#include "ui/shell/option.h"
#include "ui/shell/tip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
void send_key(QWidget *target, int code)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}
int custommode_count()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<CustomMode *>(w))
            ++n;
    return n;
}
void flush_deletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}

// What every page gets from the shared machinery: keys, traces, the mode key, going back,
// texts, the focus list, the refresh hooks and the number-keyboard session.
class TestPageMachinery : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;
    ScriptedNumberKeyboard *keyboard = nullptr;

    // A probe page 20 opened from the main menu, shown (not modal).
    KorProbePage *open_probe(int number = 20, KorPage *from = nullptr)
    {
        kor_set_modal_pages(false);
        kor_register_probe(number, from ? from->page_number() : 1);
        if (!from) {
            window->show_menu();
            from = g_mainmenu;
        }
        from->open_page(number);
        return kor_probe(number);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
    }
    void cleanup() { env.reset(); }

    void keys_reach_the_page_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("closes");
        QTest::newRow("panel left") << int(Qt::Key_F4) << "left" << false;
        QTest::newRow("letter S") << int(Qt::Key_S) << "left" << false;
        QTest::newRow("panel right") << int(Qt::Key_F5) << "right" << false;
        QTest::newRow("letter R") << int(Qt::Key_R) << "right" << false;
        QTest::newRow("panel OK") << int(Qt::Key_F6) << "ok" << false;
        QTest::newRow("letter Q") << int(Qt::Key_Q) << "ok" << false;
        QTest::newRow("panel back") << int(Qt::Key_PowerOff) << "back" << true;
        QTest::newRow("letter O") << int(Qt::Key_O) << "back" << true;
        QTest::newRow("other key") << int(Qt::Key_X) << "other:88" << false;
    }
    void keys_reach_the_page()
    {
        QFETCH(int, code);
        QFETCH(QString, event);
        QFETCH(bool, closes);
        QPointer<KorProbePage> page = open_probe();
        QCOMPARE(int(g_page_focus), 20);
        kor_press_code(code);
        QVERIFY(page);
        QCOMPARE(page->events, QStringList{event});
        QCOMPARE(kor_probe(20) == nullptr, closes);
        QCOMPARE(int(g_page_focus), closes ? 1 : 20);
        flush_deletes();
        QCOMPARE(page.isNull(), closes);
    }

    void release_passes_the_key_on()
    {
        // Window 2 on: the key board's 'C' reaches the glue from whatever page is in front.
        KorRamPara::p_korrampara_config->set_u16(KorWindowRecord::offset(2, 0), 1);
        open_probe();
        kor_press_code(Qt::Key_C);
        QCOMPARE(kor_keyboard::current_window(), 2);
    }

    void traces_data()
    {
        QTest::addColumn<int>("rights");  // right presses before the traced key
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("debug");
        QTest::addColumn<QString>("trace");
        QTest::newRow("left") << 0 << int(Qt::Key_F4) << 254 << "this is left-code [KorProbePage][Release] ui_select=0\n";
        QTest::newRow("left after a move") << 1 << int(Qt::Key_S) << 254
                                           << "this is left-code [KorProbePage][Release] ui_select=0x1\n";
        QTest::newRow("right") << 1 << int(Qt::Key_F5) << 254
                               << "this is right-code [KorProbePage][Release] ui_select=0x1\n";
        QTest::newRow("OK") << 0 << int(Qt::Key_Q) << 254
                            << "this is OK button(KorProbePage)[Press]\nthis is OK button(KorProbePage)[Release]\n";
        QTest::newRow("back") << 0 << int(Qt::Key_PowerOff) << 254
                              << "this is back button(KorProbePage)[Press]\nthis is back button(KorProbePage)[Release]\n";
        QTest::newRow("mode") << 0 << int(Qt::Key_Stop) << 254 << "this is mode-code [KorProbePage][Release]\n";
        QTest::newRow("other key") << 0 << int(Qt::Key_X) << 254 << "";
        QTest::newRow("debug off") << 0 << int(Qt::Key_F6) << 0 << "";
    }
    void traces()
    {
        QFETCH(int, rights);
        QFETCH(int, code);
        QFETCH(int, debug);
        QFETCH(QString, trace);
        open_probe();
        for (int i = 0; i < rights; ++i)
            kor_press(KorKey::Right);
        g_debugSwitch = uint8_t(debug);
        KorTraceCapture capture;
        kor_press_code(code);
        QCOMPARE(capture.text(), trace);
    }

    void mode_key_closes_the_chain_three_deep()
    {
        // Main menu -> Option -> AdvancedOption -> page 17, each run modally.
        kor_register_probe(17, 12);
        QPointer<KorPage> option, advanced, probe;
        bool all_open = false;
        KorKeyScript script;
        script.step([this] { window->show_menu(); })
            .press(KorKey::Right)
            .press(KorKey::Right)
            .press(KorKey::Ok)    // settings menu
            .press(KorKey::Left)  // wraps to the advanced entry
            .press(KorKey::Ok)
            .press(KorKey::Right)  // other settings
            .press(KorKey::Ok)
            .step([&] {
                option = g_option;
                advanced = g_advancedoption;
                probe = kor_probe(17);
                all_open = option && advanced && probe && int(g_page_focus) == 17;
            })
            .press(KorKey::Mode);
        QVERIFY(script.run());
        QVERIFY(all_open);
        QVERIFY(!g_option);
        QVERIFY(!g_advancedoption);
        QVERIFY(!kor_probe(17));
        QVERIFY(g_custommode);
        QVERIFY(g_custommode->isVisible());
        QCOMPARE(int(g_page_focus), 4);
        QCOMPARE(int(g_mode_shortcut_key), 1);
        QCOMPARE(window->screen_number(), 1);
        flush_deletes();
        QVERIFY(option.isNull());
        QVERIFY(advanced.isNull());
        QVERIFY(probe.isNull());
        QCOMPARE(custommode_count(), 1);
        kor_save_screen(g_custommode, "custommode");
    }

    void pages_beneath_outlive_their_handlers()
    {
        // Pages 20 -> 21 -> 22 from the main menu; 20 and 21 run the event loop once their
        // child's exec() returns, while the mode key has already closed them.
        kor_register_probe(20, 1);
        kor_register_probe(21, 20);
        kor_register_probe(22, 21);
        QPointer<KorProbePage> first, second;
        KorKeyScript script;
        script.step([this] { window->show_menu(); })
            .step([this] { g_mainmenu->open_page(20); })
            .step([&] {
                first = kor_probe(20);
                first->child = 21;
                first->spin_after_child = true;
            })
            .press(KorKey::Ok)
            .step([&] {
                second = kor_probe(21);
                second->child = 22;
                second->spin_after_child = true;
            })
            .press(KorKey::Ok)
            .step([&] { QCOMPARE(int(g_page_focus), 22); })
            .press(KorKey::Mode);
        QVERIFY(script.run());
        QVERIFY(!kor_probe(20) && !kor_probe(21) && !kor_probe(22));
        QCOMPARE(int(g_page_focus), 4);
        flush_deletes();
        QVERIFY(first.isNull() && second.isNull());
    }

    void mode_key_refused_data()
    {
        QTest::addColumn<bool>("key_lock");
        QTest::addColumn<bool>("page_refuses");
        QTest::newRow("key lock") << true << false;
        QTest::newRow("page refuses (ring shown)") << false << true;
    }
    void mode_key_refused()
    {
        QFETCH(bool, key_lock);
        QFETCH(bool, page_refuses);
        if (key_lock)
            KorRamPara::p_korrampara_config->set_u16(0x304, 1);
        kor_register_probe(17, 12);
        QList<int> focus_after_back;
        KorKeyScript script;
        script.step([this] { window->show_menu(); })
            .press(KorKey::Right)
            .press(KorKey::Right)
            .press(KorKey::Ok)
            .press(KorKey::Left)
            .press(KorKey::Ok)
            .press(KorKey::Right)
            .press(KorKey::Ok)
            .step([&] { kor_probe(17)->refuse_mode = page_refuses; })
            .press(KorKey::Mode)
            .step([&] {
                QVERIFY(kor_probe(17));
                QCOMPARE(kor_probe(17)->events, QStringList());
                QCOMPARE(int(g_page_focus), 17);
                QVERIFY(!g_custommode);
            })
            .press(KorKey::Back)
            .step([&] { focus_after_back << g_page_focus; })
            .press(KorKey::Back)
            .step([&] { focus_after_back << g_page_focus; })
            .press(KorKey::Back)
            .step([&] { focus_after_back << g_page_focus; });
        QVERIFY(script.run());
        QCOMPARE(focus_after_back, (QList<int>{12, 5, 1}));
        QVERIFY(!g_option && !g_advancedoption && !g_custommode);
        QCOMPARE(int(g_mode_shortcut_key), 0);
    }

    void custommode_is_built_once()
    {
        window->show_menu();
        send_key(g_mainmenu, Qt::Key_Stop);
        QPointer<CustomMode> first = g_custommode;
        QVERIFY(first);
        QCOMPARE(int(g_page_focus), 4);
        // The mode key again, from the menu and from a page, while it is open.
        send_key(g_mainmenu, Qt::Key_M);
        kor_register_probe(20, 1);
        kor_set_modal_pages(false);
        g_mainmenu->open_page(20);
        kor_press(KorKey::Mode);
        flush_deletes();
        QVERIFY(first);
        QCOMPARE(g_custommode, first.data());
        QCOMPARE(custommode_count(), 1);
        QCOMPARE(int(g_page_focus), 4);
        // Its back returns to the main window.
        kor_press(KorKey::Back);
        QVERIFY(!g_custommode);
        QCOMPARE(int(g_page_focus), 1);
        QCOMPARE(int(g_mode_shortcut_key), 0);
        flush_deletes();
        QVERIFY(first.isNull());
        // The main menu's entry opens it as well, without the shortcut flag.
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_mode_shortcut_key), 0);
    }

    void number_keyboard_answer_reaches_the_opener_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("second_field");
        QTest::addColumn<QString>("answer");  // null: back on the keyboard
        QTest::newRow("OK on the first field") << "ok" << false << "1234";
        QTest::newRow("key board Q on the second") << "letter" << true << "77";
        QTest::newRow("touch on the second field") << "touch" << true << "5";
        QTest::newRow("keyboard left by back") << "ok" << false << QString();
    }
    void number_keyboard_answer_reaches_the_opener()
    {
        QFETCH(QString, how);
        QFETCH(bool, second_field);
        QFETCH(QString, answer);
        // Page 21 in front of page 20; both have fields of the same names.
        KorProbePage *beneath = open_probe(20);
        KorProbePage *front = open_probe(21, beneath);
        QCOMPARE(int(g_page_focus), 21);
        keyboard->answers << answer;
        My_lineEdit *field = second_field ? front->field_b : front->field_a;
        const QString before = field->text();
        if (second_field && how != "touch")
            kor_press(KorKey::Right);
        if (how == "touch")
            QTest::mouseClick(field, Qt::LeftButton);
        else
            kor_press_code(how == "letter" ? Qt::Key_Q : Qt::Key_F6);
        QCOMPARE(keyboard->calls.size(), 1);
        QCOMPARE(keyboard->calls[0].title, second_field ? QString("title B") : QString("title A"));
        QCOMPARE(keyboard->calls[0].start_text, before);
        QCOMPARE(field->text(), answer.isNull() ? before : answer);
        // The other field and the page beneath are untouched.
        QCOMPARE((second_field ? front->field_a : front->field_b)->text(), second_field ? QString("10") : QString("20"));
        QCOMPARE(beneath->field_a->text(), QString("10"));
        QCOMPARE(beneath->field_b->text(), QString("20"));
        QVERIFY(!beneath->events.join(' ').contains("confirm"));
        QCOMPARE(front->events.filter("confirm").size(), answer.isNull() ? 0 : 1);
        // An answer outside any session reaches nobody.
        g_numberkeyboard->label_show("stray", "999");
        g_numberkeyboard->confirm();
        QCOMPARE(front->events.filter("confirm").size(), answer.isNull() ? 0 : 1);
        QVERIFY(!beneath->events.join(' ').contains("confirm"));
    }

    void back_returns_to_the_page_beneath()
    {
        KorProbePage *beneath = open_probe(20);
        open_probe(21, beneath);
        kor_press(KorKey::Back);
        QVERIFY(!kor_probe(21));
        QCOMPARE(int(g_page_focus), 20);
        QCOMPARE(beneath->events, QStringList{"child:21"});
        // Back to the main menu, which is re-texted on the way (English now).
        g_language = 1;
        kor_press(KorKey::Back);
        QVERIFY(!kor_probe(20));
        QCOMPARE(int(g_page_focus), 1);
        QCOMPARE(g_mainmenu->findChild<QLabel *>("label_title")->text(), QString("Main Menu"));
        // And to the home screen.
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), 0);
        QCOMPARE(window->screen_number(), 0);
    }

    void language_choice_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("valid");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("zh") << 0 << 0x1F << "中文" << "";
        QTest::newRow("en") << 1 << 0x1F << "English" << "en_";
        QTest::newRow("ru") << 2 << 0x1F << "Русский" << "ru_";
        QTest::newRow("vi") << 3 << 0x1F << "Tiếng Việt" << "vn_";
        QTest::newRow("zh-tw") << 4 << 0x1F << "繁體" << "tn_";
        QTest::newRow("ru disabled") << 2 << 0x1B << "English" << "en_";
        QTest::newRow("zh disabled") << 0 << 0x1E << "English" << "en_";
        QTest::newRow("not a language") << 7 << 0xFF << "English" << "en_";
    }
    void language_choice()
    {
        QFETCH(int, language);
        QFETCH(int, valid);
        QFETCH(QString, text);
        QFETCH(QString, prefix);
        g_language = uint8_t(language);
        g_lcd_lang_valid = uint8_t(valid);
        QCOMPARE(kor_tr("中文", "English", "Русский", "Tiếng Việt", "繁體"), text);
        QCOMPARE(kor_icon_prefix(), prefix);
    }

    void focus_list_wraps_and_restyles_two()
    {
        kor_set_modal_pages(false);
        window->show_menu();
        g_mainmenu->open_page(5);
        QVERIFY(g_option);
        QList<QPushButton *> entries;
        for (const char *name : {"output_set", "link_set", "test_chart", "smart_mapping", "advanced_set"})
            entries << g_option->findChild<QPushButton *>(name);
        const QString form_style = entries[2]->styleSheet();
        const QString normal = KorStyle::menu_normal;
        const QString focus = KorStyle::menu_focus;
        QCOMPARE(entries[0]->styleSheet(), focus);
        kor_press(KorKey::Left);
        QCOMPARE(entries[4]->styleSheet(), focus);
        QCOMPARE(entries[0]->styleSheet(), normal);
        QCOMPARE(entries[2]->styleSheet(), form_style);  // never selected: untouched
        kor_press(KorKey::Right);
        QCOMPARE(entries[0]->styleSheet(), focus);
        QCOMPARE(entries[4]->styleSheet(), normal);
        kor_save_screen(g_option, "option");
    }

    void refresh_hooks_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("refreshed");
        QTest::addColumn<int>("tip");
        QTest::newRow("page 17") << 17 << 1 << true << true << 0;
        QTest::newRow("connection menu: done tick") << 10 << 1 << true << true << 1;
        QTest::newRow("smart mapping: USB in") << 24 << 100 << true << true << 3;
        QTest::newRow("smart mapping: USB out") << 24 << 101 << true << true << 4;
        QTest::newRow("upgrade page: mounted") << 26 << 102 << true << true << 5;
        QTest::newRow("smart mapping: other code") << 24 << 1 << true << true << 0;
        QTest::newRow("key-board LEDs only") << 17 << 105 << true << false << 0;
        QTest::newRow("page not open") << 24 << 100 << false << false << 0;
    }
    void refresh_hooks()
    {
        QFETCH(int, page);
        QFETCH(int, code);
        QFETCH(bool, open);
        QFETCH(bool, refreshed);
        QFETCH(int, tip);
        kor_register_probe(page, 1);
        KorProbePage *probe = open ? open_probe(page) : nullptr;
        g_page_focus = uint8_t(page);
        KorRamPara::p_korrampara_config->test_signal(code);
        KorTestEnv::process_events();
        if (probe)
            QCOMPARE(probe->events, refreshed ? QStringList{QStringLiteral("refresh:%1").arg(code)} : QStringList());
        QCOMPARE(g_tip->isVisible(), tip != 0);
        if (tip)
            QCOMPARE(g_tip->kind(), tip);
    }

    void tip_hides_after_300_ticks_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("shown");
        QTest::newRow("done") << 1 << true;
        QTest::newRow("USB in") << 3 << true;
        QTest::newRow("USB out") << 4 << true;
        QTest::newRow("reading") << 5 << true;
        QTest::newRow("kind 2") << 2 << false;
        QTest::newRow("kind 6") << 6 << false;
    }
    void tip_hides_after_300_ticks()
    {
        QFETCH(int, kind);
        QFETCH(bool, shown);
        G_timeTicks = 0xFFFFFF00u;  // across the counter's wrap
        g_tip->tip_create(kind);
        QCOMPARE(g_tip->isVisible(), shown);
        if (!shown)
            return;
        kor_save_screen(g_tip, QStringLiteral("tip-%1").arg(kind));
        for (int i = 0; i < 299; ++i)
            window->slot_update_timer_ticks();
        QVERIFY(g_tip->isVisible());
        window->slot_update_timer_ticks();
        QVERIFY(!g_tip->isVisible());
    }
};

QTEST_MAIN(TestPageMachinery)
#include "test_page_machinery.moc"
