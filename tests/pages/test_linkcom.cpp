#include "core/global.h"
#include "kor_settings_helpers.h"
#include "ui/pages/linkcom.h"
#include "ui/pages/linkoption.h"
#include "ui/shell/custommode.h"

#include <QImage>
#include <QtTest>
#include <memory>

// The serial-link information page: fixed values, back and mode.
class TestLinkCom : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    static QString text_of(const char *name)
    {
        return g_linkcom->findChild<QWidget *>(name)->property("text").toString();
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        kor_open_from_settings({KorKey::Right, KorKey::Ok, KorKey::Ok});
    }
    void cleanup() { env.reset(); }

    void fixed_values()
    {
        QCOMPARE(int(g_page_focus), 21);
        QCOMPARE(text_of("label_com"), QString::fromUtf8("串口连接"));
        QCOMPARE(QStringList({text_of("Button_baud"), text_of("pushButton"), text_of("pushButton_2")}),
                 QStringList({"115200", "8", "1"}));
        kor_save_screen(g_linkcom, "linkcom");
        // Nothing to select or change, and the refresh step leaves the page alone.
        const QImage before = g_linkcom->grab().toImage();
        kor_press_each({KorKey::Left, KorKey::Right, KorKey::Ok});
        kor_host_language(1);
        QCOMPARE(int(g_page_focus), 21);
        QCOMPARE(g_linkcom->grab().toImage(), before);
    }

    void back_and_mode_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("back") << kor_key_code(KorKey::Back);
        QTest::newRow("key-board O") << kor_key_code(KorKey::Back, true);
        QTest::newRow("mode") << kor_key_code(KorKey::Mode);
    }
    void back_and_mode()
    {
        QFETCH(int, code);
        LinkOption *menu = g_linkoption;
        g_language = 1;
        kor_press_code(code);
        QVERIFY(!g_linkcom);
        const bool mode = code == kor_key_code(KorKey::Mode);
        QCOMPARE(int(g_page_focus), mode ? 4 : 10);
        QCOMPARE(g_linkoption, mode ? nullptr : menu);
        QCOMPARE(g_custommode != nullptr, mode);
        if (!mode)  // re-texted on the way back
            QCOMPARE(menu->findChild<QWidget *>("label_title")->property("text").toString(), QString("Communication"));
    }
};

QTEST_MAIN(TestLinkCom)
#include "test_linkcom.moc"
