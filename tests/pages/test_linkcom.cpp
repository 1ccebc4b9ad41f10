#include "core/global.h"
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/linkcom.h"
#include "ui/pages/linkoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
QString text_of(const char *name)
{
    if (QLabel *label = g_linkcom->findChild<QLabel *>(name))
        return label->text();
    return g_linkcom->findChild<QPushButton *>(name)->text();
}
}

// The serial-link information page: fixed values, five languages, back and mode.
class TestLinkCom : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    // Home -> main menu -> settings -> connection -> serial link.
    void open_linkcom()
    {
        kor_set_modal_pages(false);
        for (KorKey k : {KorKey::Ok, KorKey::Right, KorKey::Right, KorKey::Ok, KorKey::Right, KorKey::Ok, KorKey::Ok})
            kor_press(k);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
    }
    void cleanup() { env.reset(); }

    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("valid");  // g_lcd_lang_valid
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("bits");
        QTest::addColumn<QString>("stop");
        QTest::newRow("zh-CN") << 0 << 31 << QString::fromUtf8("串口连接") << QString::fromUtf8("波特率")
                               << QString::fromUtf8("数据位") << QString::fromUtf8("停止位");
        QTest::newRow("vi") << 3 << 31 << QString::fromUtf8("Cài đặt cổng nối tiếp") << QString::fromUtf8("Tốc độ truyền")
                            << QString::fromUtf8("Bit dữ liệ") << QString::fromUtf8("Dừng bit");
        QTest::newRow("ru not enabled") << 2 << 0x1B << "Serial port" << "Baud rate" << "Data bits" << "Stop bit";
    }
    void texts()
    {
        QFETCH(int, language);
        QFETCH(int, valid);
        QFETCH(QString, title);
        QFETCH(QString, baud);
        QFETCH(QString, bits);
        QFETCH(QString, stop);
        g_language = uint8_t(language);
        g_lcd_lang_valid = uint8_t(valid);
        open_linkcom();
        QCOMPARE(int(g_page_focus), 21);
        QVERIFY(g_linkcom);
        QCOMPARE(text_of("label_com"), title);
        QCOMPARE(text_of("label_baud"), baud);
        QCOMPARE(text_of("label_bit"), bits);
        QCOMPARE(text_of("label_stop"), stop);
        // The values are the same in every language.
        QCOMPARE(text_of("Button_baud"), QString("115200"));
        QCOMPARE(text_of("pushButton"), QString("8"));
        QCOMPARE(text_of("pushButton_2"), QString("1"));
        kor_save_screen(g_linkcom, "linkcom-" + QString(QTest::currentDataTag()).replace(' ', '-'));
    }

    void left_right_ok_change_nothing()
    {
        open_linkcom();
        linkcom *page = g_linkcom;
        const QImage before = page->grab().toImage();
        for (KorKey k : {KorKey::Left, KorKey::Right, KorKey::Ok, KorKey::Right})
            kor_press(k);
        QCOMPARE(g_linkcom, page);
        QCOMPARE(int(g_page_focus), 21);
        QCOMPARE(page->grab().toImage(), before);
        kor_save_screen(page, "linkcom");
    }

    void refresh_does_not_reach_it()
    {
        open_linkcom();
        KorRamPara::p_korrampara_config->ram[0x300] = 1;
        KorRamPara::p_korrampara_config->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(text_of("label_com"), QString::fromUtf8("串口连接"));
    }

    void back_returns_to_the_menu_data()
    {
        QTest::addColumn<bool>("letter");
        QTest::newRow("panel key") << false;
        QTest::newRow("key-board O") << true;
    }
    void back_returns_to_the_menu()
    {
        QFETCH(bool, letter);
        open_linkcom();
        LinkOption *menu = g_linkoption;
        g_language = 1;
        kor_press_code(kor_key_code(KorKey::Back, letter));
        QVERIFY(!g_linkcom);
        QCOMPARE(g_linkoption, menu);
        QCOMPARE(int(g_page_focus), 10);
        QCOMPARE(menu->findChild<QLabel *>("label_title")->text(), QString("Communication"));
        // Another entry opens normally afterwards.
        kor_press(KorKey::Right);
        kor_press(KorKey::Ok);
        QCOMPARE(int(g_page_focus), 22);
    }

    void mode_key_closes_the_chain()
    {
        open_linkcom();
        kor_press(KorKey::Mode);
        QVERIFY(!g_linkcom);
        QVERIFY(!g_linkoption);
        QVERIFY(!g_option);
        QVERIFY(g_custommode);
        QCOMPARE(int(g_page_focus), 4);
    }
};

QTEST_MAIN(TestLinkCom)
#include "test_linkcom.moc"
