#include "core/config_engine.h"
#include "kor_probe_page.h"
#include "kor_test_helpers.h"
#include "ui/shell/mainmenu.h"

namespace {
// From the home screen, entry after entry (counted from the first); pages are shown rather
// than run modally.
void open_path(const QList<int> &entries)
{
    kor_set_modal_pages(false);
    kor_press(KorKey::Ok);  // home -> main menu
    for (int entry : entries)
        kor_keys(QString(entry, 'R') + "O");
}
}

// The home screen and the menus, worked with the five keys.
class TestMenus : public KorTest {
    Q_OBJECT

private slots:

    void home_and_main_menu()
    {
        using KorWindowRecord::offset;
        KorRamPara *table = kor_table();
        table->set_u16(0x562, 2560);
        table->set_u16(0x564, 720);
        for (int w : {0, 3})
            table->set_u16(offset(w, KorWindowRecord::kEnable), 1);
        table->set_u16(offset(0, KorWindowRecord::kSource), 4);
        table->set_u16(offset(3, KorWindowRecord::kSource), 1);
        table->set_u16(0x304, 1);  // locks the key board, not the way through the menus
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
        QTest::newRow("output settings") << QList<int>{2, 0} << 6 << none << none << true;
        QTest::newRow("connection") << QList<int>{2, 1} << 10 << none << none << true;
        QTest::newRow("test pattern") << QList<int>{2, 2} << 16 << none << none << true;
        QTest::newRow("smart mapping") << QList<int>{2, 3} << 24 << none << none << true;
        QTest::newRow("advanced") << QList<int>{2, 4} << 12 << none << none << true;
        QTest::newRow("picture quality") << QList<int>{3, 0} << 19 << none << none << true;
        QTest::newRow("temperature") << QList<int>{3, 1} << 20 << none << none << true;
        QTest::newRow("LCD display") << QList<int>{2, 4, 0} << 15 << none << none << true;
        QTest::newRow("other settings") << QList<int>{2, 4, 1} << 17 << none << none << true;
        QTest::newRow("factory") << QList<int>{2, 4, 2} << 18 << none << none << true;
        QTest::newRow("recovery with a pack") << QList<int>{2, 4, 3} << 25 << none << none << true;
        QTest::newRow("recovery without packs") << QList<int>{2, 4, 3} << 25 << none << none << false;
        QTest::newRow("ageing log, code as shipped") << QList<int>{2, 4, 4} << 23 << none << "1688" << true;
        QTest::newRow("ageing log, keyboard left") << QList<int>{2, 4, 4} << 23 << none << none << false;
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
        if (page == 25 && opens)
            env->write_file("/data/rcvrecovery/pack1.bin", "x");
        else
            QDir().mkpath(env->path("/data/rcvrecovery"));
        open_path(path.mid(0, path.size() - 1));
        const int parent = g_page_focus;
        // The other pages behind the menus have tests of their own.
        const bool here = QList<int>{3, 4, 5, 9, 11, 12}.contains(page);
        if (!here)
            kor_register_probe(page, parent);
        kor_keys(QString(path.last(), 'R') + "O");
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

    void menus_retext_on_language_change()
    {
        open_path({2});
        QCOMPARE(kor_text(g_option, "label_title"), QString("设置"));
        kor_host_language(1);
        QCOMPARE(kor_text(g_option, "label_title"), QString("Settings"));
        kor_save_screen(g_option, "option-en");
        kor_press(KorKey::Back);
        QCOMPARE(kor_text(g_mainmenu, "label_title"), QString("Main Menu"));
    }

    void number_keyboard_keys_data()
    {
        // answer: null: no answer
        kor_columns<QString, QString>({"keys", "answer"});
        QTest::newRow("OK at once keeps the start text") << "LLO" << "55";
        QTest::newRow("two digits") << "OROLLLO" << "12";
        QTest::newRow("digit then delete") << "OLLLORO" << "";
        QTest::newRow("zero") << "LLLLORRO" << "0";
        QTest::newRow("back") << "OB" << QString();
    }
    void number_keyboard_keys()
    {
        QFETCH(QString, answer);
        NumberKeyboard *keyboard = g_numberkeyboard;
        QSignalSpy spy(keyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit);
        keyboard->label_show(QString::fromUtf8("宽"), "55");
        keyboard->show();
        kor_save_screen(keyboard, "numberkeyboard");
        for (QChar k : kor_data<QString>("keys"))
            QTest::sendKeyEvent(QTest::Click, keyboard, Qt::Key(kor_key_code(kor_key(k))), QString(), Qt::NoModifier);
        QCOMPARE(spy.count(), answer.isNull() ? 0 : 1);
        if (!answer.isNull())
            QCOMPARE(spy.first().first().toString(), answer);
        QVERIFY(!keyboard->isVisible());
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
