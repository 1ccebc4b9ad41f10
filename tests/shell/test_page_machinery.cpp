#include "core/config_engine.h"
#include "kor_probe_page.h"
#include "kor_test_helpers.h"
#include "ui/shell/kor_keyboard.h"
#include "ui/shell/mainmenu.h"
#include "ui/shell/my_lineedit.h"
#include "ui/shell/tip.h"

#include <QApplication>

using namespace KorTable::Window;

namespace {
int custommode_count()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<CustomMode *>(w) ? 1 : 0;
    return n;
}

// From the home screen, entry after entry (counted from the first); pages are shown rather
// than run modally.
void open_path(const QList<int> &entries)
{
    kor_set_modal_pages(false);
    kor_press(KorKey::Ok);  // home -> main menu
    for (int entry : entries)
        kor_keys(QString("right*%1 ok").arg(entry));
}
}

// The home screen and the menus, worked with the five keys; and what every page gets from the
// shared machinery: keys, traces, the mode key, the number keyboard and its session, the
// pop-up and the key-board glue.
class TestPageMachinery : public KorTest {
    Q_OBJECT

    // A probe page opened (shown, not modal) from `from`, else from the main menu.
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
    kor_keyboard glue;
    // Window 2 is current; windows 0, 2 and 5 are on; window 2 is black, not frozen.
    void set_up_windows()
    {
        for (int w : {0, 2, 5})
            kor_table()->set_u16(offset(w, kEnable), 1);
        kor_table()->set_u16(offset(2, kSource), 9);
        kor_table()->ram[offset(2, kBlack)] = 1;
        kor_keyboard::set_current_window(2);
        v331_manage::para_changed = 0;
    }

private slots:

    void home_and_main_menu()
    {
        KorRamPara *table = kor_table();
        table->set_u16(KorTable::kLedWidth, 2560);
        table->set_u16(KorTable::kLedHeight, 720);
        for (int w : {0, 3})
            table->set_u16(offset(w, kEnable), 1);
        table->set_u16(offset(0, kSource), 4);
        table->set_u16(offset(3, kSource), 1);
        table->set_u16(KorTable::kKeyLock, 1);  // locks the key board, not the way through the menus
        g_language = 1;
        kor_refresh();
        QCOMPARE(int(g_page_focus), 0);
        QCOMPARE(kor_text(window, "label_size"), QString("LED: 2560x720"));
        QCOMPARE(kor_text(window, "label_window0"), QString("> Window 1: HDMI3"));
        QCOMPARE(kor_text(window, "label_window1"), QString("Window 4: DVI"));
        QVERIFY(window->findChild<QLabel *>("label_window2")->isHidden());
        QCOMPARE(kor_text(window, "label_lock"), QString("Keys locked"));
        kor_save_screen(window, "home");
        kor_press(KorKey::Back);  // nothing beneath the home screen
        QCOMPARE(int(g_page_focus), 0);
        kor_press(KorKey::Ok);
        QCOMPARE(window->screen_number(), 1);
        kor_save_screen(window, "mainmenu");
        kor_press(KorKey::Back);
        QCOMPARE(window->screen_number(), 0);
        kor_press_code(Qt::Key_Q);  // the key board's letters work the same
        QCOMPARE(int(g_page_focus), 1);
        kor_set_modal_pages(false);
        kor_keys("right right ok");
        kor_save_screen(g_option, "option-en");
    }

    void menu_entries_data()
    {
        // setting: the ageing log's access code, null: as shipped; code: typed on the keyboard, null: back
        kor_columns<QList<int>, int, QString, QString, bool>({"path", "page", "setting", "code", "opens"});
        const QString none;
        QTest::newRow("input") << QList<int>{0} << 3 << none << none << true;
        QTest::newRow("input: crop") << QList<int>{0, 1} << 9 << none << none << true;
        QTest::newRow("user modes") << QList<int>{1} << 4 << none << none << true;
        QTest::newRow("settings") << QList<int>{2} << 5 << none << none << true;
        QTest::newRow("picture") << QList<int>{3} << 11 << none << none << true;
        QTest::newRow("advanced") << QList<int>{2, 4} << 12 << none << none << true;
        QTest::newRow("recovery without packs") << QList<int>{2, 4, 3} << 25 << none << none << false;
        QTest::newRow("ageing log, code set") << QList<int>{2, 4, 4} << 23 << "4321" << "4321" << true;
        QTest::newRow("ageing log, old code") << QList<int>{2, 4, 4} << 23 << "4321" << "1688" << false;
    }
    void menu_entries()
    {
        QFETCH(QList<int>, path);
        QFETCH(int, page);
        QFETCH(QString, setting);
        QFETCH(QString, code);
        QFETCH(bool, opens);
        if (!setting.isNull())
            ConfigEngine::p_config->write_config_variant(ConfigItem::AgeAccessCode, setting);
        keyboard->answers << code;
        // The recovery entry opens only with a pack to recover from.
        QDir().mkpath(env->path("/data/rcvrecovery"));
        open_path(path.mid(0, path.size() - 1));
        const int parent = g_page_focus;
        // The other pages behind the menus have tests of their own.
        const bool here = QList<int>{3, 4, 5, 9, 11, 12}.contains(page);
        if (!here)
            kor_register_probe(page, parent);
        kor_keys(QString("right*%1 ok").arg(path.last()));
        QCOMPARE(int(g_page_focus), opens ? page : parent);
        QCOMPARE(kor_page(page) != nullptr, opens);
        QCOMPARE(keyboard->calls.size(), page == 23 ? 1 : 0);
        if (page == 23) {  // the code field starts empty and never shows what was typed
            QCOMPARE(keyboard->calls[0].start_text, QString());
            QCOMPARE(kor_text(g_advancedoption, "lineEdit_code"), QString());
        }
        if (!opens)
            return;
        if (here)
            kor_save_screen(kor_page(page), QString(kor_page(page)->metaObject()->className()).toLower());
        kor_press(KorKey::Back);
        QCOMPARE(int(g_page_focus), parent);
        QVERIFY(!kor_page(page));
    }

    void number_keyboard_keys_data()
    {
        // answer: null: no answer
        kor_columns<QString, QString>({"keys", "answer"});
        QTest::newRow("OK at once keeps the start text") << "left left ok" << "55";
        QTest::newRow("two digits") << "ok right ok left*3 ok" << "12";
        QTest::newRow("digit then delete") << "ok left*3 ok right ok" << "";
        QTest::newRow("back") << "ok back" << QString();
    }
    void number_keyboard_keys()
    {
        QFETCH(QString, answer);
        NumberKeyboard *keyboard = g_numberkeyboard;
        QSignalSpy spy(keyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit);
        keyboard->label_show(QString::fromUtf8("宽"), "55");
        keyboard->show();
        kor_save_screen(keyboard, "numberkeyboard");
        for (const QString &key : kor_script(kor_data<QString>("keys")))
            QTest::sendKeyEvent(QTest::Click, keyboard, Qt::Key(kor_key_code(key)), QString(), Qt::NoModifier);
        QCOMPARE(spy.count(), answer.isNull() ? 0 : 1);
        if (!answer.isNull())
            QCOMPARE(spy.first().first().toString(), answer);
        QVERIFY(!keyboard->isVisible());
    }

    void keys_and_traces_data()
    {
        // rights: right presses first; focus: afterwards: 20 unless the page closed; trace: null: traces switched off
        kor_columns<int, int, QString, int, QString>({"rights", "code", "event", "focus", "trace"});
        const QString left = "this is left-code [KorProbePage][Release] ui_select=";
        const QString right = "this is right-code [KorProbePage][Release] ui_select=0\n";
        const QString ok = "this is OK button(KorProbePage)[Press]\nthis is OK button(KorProbePage)[Release]\n";
        QTest::newRow("letter S after a move") << 1 << int(Qt::Key_S) << "left" << 20 << left + "0x1\n";
        QTest::newRow("letter R") << 0 << int(Qt::Key_R) << "right" << 20 << right;
        QTest::newRow("panel OK") << 0 << int(Qt::Key_F6) << "ok" << 20 << ok;
        QTest::newRow("panel mode") << 0 << int(Qt::Key_Stop) << "" << 4 << "this is mode-code [KorProbePage][Release]\n";
        QTest::newRow("key-board letter C") << 0 << int(Qt::Key_C) << "other:67" << 20 << "";
        QTest::newRow("traces off") << 0 << int(Qt::Key_F6) << "ok" << 20 << QString();
    }
    void keys_and_traces()
    {
        QFETCH(int, code);
        QFETCH(QString, event);
        QFETCH(int, focus);
        QFETCH(QString, trace);
        kor_table()->set_u16(offset(2, kEnable), 1);
        QPointer<KorProbePage> page = open_probe();
        kor_keys(QString("right*%1").arg(kor_data<int>("rights")));
        page->events.clear();
        g_debugSwitch = trace.isNull() ? 0 : 254;
        KorTraceCapture capture;
        kor_press_code(code);
        QCOMPARE(capture.text(), trace);
        QVERIFY(page);  // closed, not yet deleted
        QCOMPARE(page->events, event.isEmpty() ? QStringList() : QStringList{event});
        QCOMPARE(int(g_page_focus), focus);
        QCOMPARE(kor_probe(20) == nullptr, focus != 20);
        // Every released key also reaches the key-board glue.
        QCOMPARE(kor_keyboard::current_window(), code == Qt::Key_C ? 2 : 0);
        kor_flush_deletes();
        QCOMPARE(page.isNull(), focus != 20);
    }

    // Main menu -> Option -> AdvancedOption -> page 17 -> page 22, each run modally. Page 17
    // lets the event loop run once its child's exec() returns, after the mode key closed it.
    void mode_key()
    {
        kor_register_probe(17, 12);
        kor_register_probe(22, 17);
        QPointer<KorPage> option, advanced, p17, p22;
        bool all_open = false, in_custommode = false;
        KorKeyScript script;
        script.step([this] { window->show_menu(); });
        script.keys("right right ok left ok right ok");  // settings menu, its advanced entry, other settings
        script
            .step([&] {
                kor_probe(17)->child = 22;
                kor_probe(17)->spin_after_child = true;
            })
            .press(KorKey::Ok)
            .step([&] {
                option = g_option;
                advanced = g_advancedoption;
                p17 = kor_probe(17);
                p22 = kor_probe(22);
                all_open = option && advanced && p17 && p22 && int(g_page_focus) == 22;
            })
            .press(KorKey::Mode)
            .step([&] {
                in_custommode = int(g_page_focus) == 4 && g_custommode;
            });
        QVERIFY(script.run());  // else the pages were still open when the script ended
        QVERIFY(all_open);
        QVERIFY(in_custommode);
        QCOMPARE(int(g_mode_shortcut_key), 1);
        QCOMPARE(window->screen_number(), 1);
        QVERIFY(!g_option && !g_advancedoption && !kor_probe(17) && !kor_probe(22));
        kor_flush_deletes();
        QVERIFY(option.isNull() && advanced.isNull() && p17.isNull() && p22.isNull());
        QCOMPARE(custommode_count(), 1);
    }

    void custommode_is_built_once()
    {
        window->show_menu();
        kor_press(KorKey::Mode);
        QPointer<CustomMode> first = g_custommode;
        QVERIFY(first);
        // The mode key again, from the menu and from a page, while it is open.
        QTest::sendKeyEvent(QTest::Click, g_mainmenu, Qt::Key_M, QString(), Qt::NoModifier);
        open_probe(20, g_mainmenu);
        kor_press(KorKey::Mode);
        kor_flush_deletes();
        QCOMPARE(g_custommode, first.data());
        QCOMPARE(custommode_count(), 1);
        QCOMPARE(int(g_page_focus), 4);
        // Its back returns to the main window.
        kor_press(KorKey::Back);
        QVERIFY(!g_custommode);
        QCOMPARE(int(g_page_focus), 1);
        QCOMPARE(int(g_mode_shortcut_key), 0);
    }

    void number_keyboard_answer_reaches_the_opener_data()
    {
        // answer: null: back on the keyboard
        kor_columns<QString, bool, QString>({"how", "second_field", "answer"});
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
        QCOMPARE(front->field_a->text() + front->field_b->text(),
                 answer.isNull() ? QString("1020") : second_field ? "10" + answer : answer + "20");
        // An answer outside any session reaches nobody.
        g_numberkeyboard->label_show("stray", "999");
        g_numberkeyboard->confirm();
        QCOMPARE(front->events.filter("confirm").size(), answer.isNull() ? 0 : 1);
        QCOMPARE(beneath->field_a->text() + beneath->field_b->text(), QString("1020"));
        QVERIFY(beneath->events.filter("confirm").isEmpty());
    }

    // Shown at start-up, the main window asks for the keys: a window system without a window
    // manager gives a new window none, and they would stay with the window that had them.
    void main_window_asks_for_the_keys_when_shown()
    {
        delete window;
        QWidget other;  // another program's window, with the keys
        other.setGeometry(0, 0, 50, 50);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        // Built and shown as start-up does it. This platform activates every window it shows;
        // the other window taking the keys back at once undoes that.
        window = new MainWindow;
        window->stop_tick();
        window->show();
        other.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), window->windowHandle());
    }

    // Whenever a page goes, the keys go to the page beneath: a window system without a window
    // manager gives them to nobody, and then a pop-up under the pointer would catch them.
    void keys_go_to_the_page_beneath()
    {
        KorProbePage *beneath = open_probe(20);
        KorProbePage *front = open_probe(21, beneath);
        QTRY_COMPARE(QGuiApplication::focusWindow(), front->windowHandle());
        kor_press(KorKey::Back);
        QTRY_COMPARE(QGuiApplication::focusWindow(), beneath->windowHandle());
        g_tip->tip_create(1);  // shown without the keys
        kor_press(KorKey::Back);
        QTRY_COMPARE(QGuiApplication::focusWindow(), window->windowHandle());
    }

    // The real keyboard's session lasts exactly as long as its window is up. Opened again over
    // a page built after it (a window system keeps a window shown again where it was in the
    // stack, beneath the newer page), it comes on top each time; a run asked for while one
    // runs is refused and leaves that one as it was, its answer for its own field.
    void number_keyboard_session_data()
    {
        kor_columns<QString>({"what"});
        QTest::newRow("again over a newer page") << "again";
        QTest::newRow("asked again while it runs") << "asked again";
    }
    void number_keyboard_session()
    {
        QFETCH(QString, what);
        delete g_numberkeyboard;
        NumberKeyboard *real = new NumberKeyboard;
        g_numberkeyboard = real;
        struct RaiseCount : QObject {
            int raises = 0;
            bool eventFilter(QObject *, QEvent *e) override
            {
                raises += e->type() == QEvent::ZOrderChange;
                return false;
            }
        } watch;
        real->installEventFilter(&watch);
        QStringList seen;
        auto look = [&] {
            seen << QString("%1 %2 %3").arg(real->isVisible()).arg(watch.raises).arg(real->title());
            watch.raises = 0;
        };
        kor_set_modal_pages(true);
        kor_register_probe(20, 1);
        kor_register_probe(21, 20);
        window->show_menu();
        KorKeyScript script;
        script.step([] { g_mainmenu->open_page(20); });
        if (what == "again") {
            script.step([] { kor_probe(20)->child = 21; }).keys("ok").keys("ok").step(look).keys("back back");
            script.keys("ok").keys("ok").step(look).keys("back back back");
        } else {
            script.keys("ok").step(look);
            script.step([] { QTest::mouseClick(kor_probe(20)->field_b, Qt::LeftButton); }).step(look);
            script.keys("ok right*11 ok").step([&] { seen << kor_probe(20)->field_a->text() + kor_probe(20)->field_b->text(); });
            script.keys("back");
        }
        QVERIFY(script.run());
        QVERIFY(!real->isVisible() && !QApplication::activeModalWidget());
        const QStringList expected = what == "again" ? QStringList{"1 1 title A", "1 1 title A"}
                                                     : QStringList{"1 1 title A", "1 0 title A", "120"};
        QCOMPARE(seen, expected);
    }

    void usb_tips_on_the_list_pages_data()
    {
        // kind: the pop-up shown, 0: none
        kor_columns<int, int, int>({"page", "code", "kind"});
        QTest::newRow("smart mapping, stick added") << 24 << 100 << 3;
        QTest::newRow("upgrade, stick removed") << 26 << 101 << 4;
        QTest::newRow("upgrade, reading") << 26 << 102 << 5;
        QTest::newRow("recovery, stick added") << 25 << 100 << 0;
    }
    // The refresh step tells about the stick on the pages that list its files.
    void usb_tips_on_the_list_pages()
    {
        QFETCH(int, page);
        QFETCH(int, kind);
        KorProbePage *probe = open_probe(page);
        kor_refresh(kor_data<int>("code"));
        QCOMPARE(probe->events.filter("refresh").size(), 1);
        QCOMPARE(g_tip->isVisible() ? g_tip->kind() : 0, kind);
    }

    void tip_hides_after_300_ticks()
    {
        for (int kind : {1, 2, 3, 4, 5, 6, 7}) {
            G_timeTicks = 0xFFFFFF00u;  // across the counter's wrap
            g_tip->tip_create(kind);
            const bool shown = kind != 2 && kind != 7;
            QCOMPARE(g_tip->isVisible(), shown);
            if (!shown)
                continue;
            kor_save_screen(g_tip, QStringLiteral("tip-%1").arg(kind));
            for (int i = 0; i < 299; ++i)
                window->slot_update_timer_ticks();
            QVERIFY(g_tip->isVisible());
            window->slot_update_timer_ticks();
            QVERIFY(!g_tip->isVisible());
        }
    }

    // The key-board glue: shortcut letters act on the table's window records.
    void codes_data()
    {
        // window: current afterwards; field: window 2's byte that changes, -1: none
        kor_columns<int, bool, int, int, int>({"key", "locked", "window", "field", "value"});
        QTest::newRow("A selects window 0") << int('A') << false << 0 << -1 << 0;
        QTest::newRow("B: window 1 is off") << int('B') << false << 2 << -1 << 0;
        QTest::newRow("C: already current") << int('C') << false << 2 << -1 << 0;
        const int sources[6] = {0, 1, 4, 5, 2, 3};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(QString(QChar('G' + i)))) << int('G' + i) << false << 2 << kSource << sources[i];
        QTest::newRow("N freezes") << int('N') << false << 2 << kFreeze << 1;
        QTest::newRow("P lights up") << int('P') << false << 2 << kBlack << 0;
        for (int key : {64, 77, 79, 81, int(Qt::Key_F4), int(Qt::Key_Stop)})
            QTest::newRow(qPrintable(QStringLiteral("code %1").arg(key))) << key << false << 2 << -1 << 0;
        for (int key : {int('A'), int('G'), int('N'), int('P')})
            QTest::newRow(qPrintable(QStringLiteral("locked %1").arg(QChar(key)))) << key << true << 2 << -1 << 0;
    }
    void codes()
    {
        set_up_windows();
        QFETCH(int, key);
        QFETCH(int, window);
        QFETCH(int, field);
        if (kor_data<bool>("locked"))
            kor_table()->set_u16(KorTable::kKeyLock, 1);
        const QByteArray before = kor_ram();
        QByteArray expected = before;
        if (field >= 0)
            expected[offset(2, field)] = char(kor_data<int>("value"));
        QSignalSpy spy(kor_table(), SIGNAL(sig_update_para(int)));
        glue.update_usb_keyEvent(key);
        QCOMPARE(kor_ram(), expected);
        QCOMPARE(kor_keyboard::current_window(), window);
        // A change of window refreshes the pages; only a record change reaches the scaler.
        QCOMPARE(spy.count(), window != 2 ? 1 : 0);
        for (const QList<QVariant> &args : spy)
            QCOMPARE(args.first().toInt(), 1);
        QCOMPARE(int(v331_manage::para_changed), field >= 0 ? 1 : 0);
        if (key == 'N' || key == 'P') {  // toggles: a second press restores
            glue.update_usb_keyEvent(key);
            QCOMPARE(kor_ram(), before);
        }
    }
};

QTEST_MAIN(TestPageMachinery)
#include "test_page_machinery.moc"
