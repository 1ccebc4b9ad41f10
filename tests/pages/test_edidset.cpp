#include "core/global.h"
#include "core/korrampara.h"
#include "inputs/dizidezorar.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/edid_eeprom.h"
#include "scaler/v331_manage.h"
#include "ui/pages/edidset.h"
#include "ui/pages/inputchoose.h"
#include "ui/shell/custommode.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/my_lineedit.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
const char kFieldFocus[] =
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:1px solid rgb(255,171,84);";
const char kRateEdit[] = "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:1px solid rgb(255,0,0);";

KorRamPara *table()
{
    return KorRamPara::p_korrampara_config;
}

// The EDID record of source `id`: width, height, rate.
QList<int> record(int id)
{
    return {table()->u16(0x380 + 6 * id), table()->u16(0x382 + 6 * id), table()->u16(0x384 + 6 * id)};
}

// A record the host wrote; `applied` also puts it in the shadow copy.
void host_record(int id, int w, int h, int r, bool applied)
{
    const int base = 0x380 + 6 * id;
    table()->set_u16(base, uint16_t(w));
    table()->set_u16(base + 2, uint16_t(h));
    table()->set_u16(base + 4, uint16_t(r));
    if (applied)
        std::memcpy(table()->shadow + base, table()->ram + base, 6);
}

// L left, R right, K OK, B back, M mode.
void keys(const QString &script)
{
    for (QChar c : script) {
        const KorKey key = c == 'L' ? KorKey::Left
            : c == 'R'              ? KorKey::Right
            : c == 'K'              ? KorKey::Ok
            : c == 'B'              ? KorKey::Back
                                    : KorKey::Mode;
        kor_press(key);
    }
}

template <class W> W *child(const char *name)
{
    return g_edidset ? g_edidset->findChild<W *>(name) : nullptr;
}

// Name and timing shown on the input card.
QString card()
{
    QFrame *frame = child<QFrame>("frame_source");
    if (!frame)
        return QString();
    QStringList texts;
    for (QLabel *label : frame->findChildren<QLabel *>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts.join('|');
}

// The outline of the selected tab.
QFrame *tab_outline()
{
    for (QFrame *frame : g_edidset->findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly))
        if (frame->size() == QSize(50, 43))
            return frame;
    return nullptr;
}

QPushButton *button(const QString &caption)
{
    for (QPushButton *b : g_edidset->findChildren<QPushButton *>())
        if (b->text() == caption)
            return b;
    return nullptr;
}

QImage icon(const QString &path)
{
    return QPixmap(path).toImage();
}
}

// The EDID page worked with the panel keys: tabs, card, edit box, what it stores and offers.
class TestEdidset : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    MainWindow *window = nullptr;
    ScriptedNumberKeyboard *keyboard = nullptr;

    // Home -> main menu -> input page -> EDID page, shown rather than run modally.
    void open_page()
    {
        kor_set_modal_pages(false);
        keys("KKK");
        QVERIFY(g_edidset);
        QCOMPARE(int(g_page_focus), 8);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        window = kor_start_ui(*env);
        keyboard = kor_install_scripted_keyboard();
    }
    void cleanup() { env.reset(); }

    void tabs_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("connector");
        QTest::newRow("at open") << "" << 0 << "HDMI1|1920x1080@60Hz" << ":/png/HDMI.png";
        QTest::newRow("right to HDMI3") << "RR" << 2 << "HDMI3|3840x2160@60Hz" << ":/png/HDMI.png";
        QTest::newRow("right to DVI") << "RRRR" << 4 << "DVI|1920x1080@60Hz" << ":/png/DVI.png";
        QTest::newRow("right five times") << "RRRRR" << 5 << "EXT|1920x1080@60Hz" << ":/png/HDMI.png";
        QTest::newRow("right wraps") << "RRRRRR" << 0 << "HDMI1|1920x1080@60Hz" << ":/png/HDMI.png";
        QTest::newRow("left wraps") << "L" << 5 << "EXT|1920x1080@60Hz" << ":/png/HDMI.png";
        QTest::newRow("left to HDMI4") << "LLL" << 3 << "HDMI4|3840x2160@60Hz" << ":/png/HDMI.png";
    }
    void tabs()
    {
        QFETCH(QString, script);
        QFETCH(int, position);
        QFETCH(QString, shown);
        QFETCH(QString, connector);
        open_page();
        keys(script);
        QCOMPARE(card(), shown);
        QCOMPARE(tab_outline()->geometry(), QRect(4 + 52 * position, 38, 50, 43));
        QVERIFY(tab_outline()->styleSheet().contains("border-top-color:rgb(255,171,84)"));
        QFrame *frame = child<QFrame>("frame_source");
        QCOMPARE(frame->geometry(), QRect(4, 80, 310, 120));
        QCOMPARE(frame->styleSheet(), QString("#frame_source{border:1px solid rgb(255,171,84);}"));
        // Only the rebuilt card is there; its connector icon follows the input.
        QCOMPARE(g_edidset->findChildren<QFrame *>("frame_source").size(), 1);
        bool found = false;
        for (QLabel *label : frame->findChildren<QLabel *>())
            if (label->geometry() == QRect(25, 13, 25, 8))
                found = label->pixmap(Qt::ReturnByValue).toImage() == icon(connector);
        QVERIFY(found);
        QVERIFY(child<QFrame>("frame_add")->isHidden());
        QCOMPARE(int(g_page_focus), 8);
        if (script.isEmpty()) {
            // Tabs in list order; HDMI3 and HDMI4 named in green.
            QVERIFY(child<QLabel>("sourcelistseq0name")->text().contains(">HDMI1<"));
            QVERIFY(child<QLabel>("sourcelistseq2name")->text().contains("#51BB28 >HDMI3<"));
            QVERIFY(child<QLabel>("sourcelistseq5name")->text().contains("#ffffff >EXT<"));
            QCOMPARE(child<QLabel>("sourcelistseq4pixmap")->pixmap(Qt::ReturnByValue).toImage(), icon(":/png/DVI.png"));
            kor_save_screen(g_edidset, "edidset");
        }
    }

    void edit_box_data()
    {
        QTest::addColumn<int>("host_rate");   // 0: the default record
        QTest::addColumn<QString>("script");  // after opening the page
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("id");
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<int>("changed");
        const QStringList none;
        const QList<int> hd{1920, 1080, 60};
        QTest::newRow("save unchanged") << 0 << "KLK" << none << 2 << hd << 1;
        QTest::newRow("width and height typed") << 0 << "KKRKLLK" << QStringList{"1280", "720"} << 2
                                                << QList<int>{1280, 720, 60} << 1;
        QTest::newRow("HDMI4, unchanged") << 0 << "LLLKLK" << none << 5 << QList<int>{3840, 2160, 60} << 1;
        QTest::newRow("EXT, width typed") << 0 << "LKKLK" << QStringList{"1024"} << 0 << QList<int>{1024, 1080, 60}
                                          << 1;
        QTest::newRow("rate to 30") << 0 << "KRRKLKRRRK" << none << 2 << QList<int>{1920, 1080, 30} << 1;
        QTest::newRow("rate 30 to 60") << 30 << "KRRKRKRRRK" << none << 2 << hd << 1;
        QTest::newRow("rate toggled, then back") << 0 << "KRRKLBRRRK" << none << 2 << hd << 1;
        QTest::newRow("host rate 50 kept") << 50 << "KLK" << none << 2 << QList<int>{1920, 1080, 50} << 1;
        QTest::newRow("host rate 50, rate item left by OK")
            << 50 << "KRRKKRRRK" << none << 2 << QList<int>{1920, 1080, 50} << 1;
        QTest::newRow("host rate 50, rate item left by back")
            << 50 << "KRRKBRRRK" << none << 2 << QList<int>{1920, 1080, 50} << 1;
        QTest::newRow("host rate 50, toggled once") << 50 << "KRRKLKRRRK" << none << 2 << hd << 1;
        QTest::newRow("host rate 50, toggled twice")
            << 50 << "KRRKLLKRRRK" << none << 2 << QList<int>{1920, 1080, 30} << 1;
        QTest::newRow("largest width") << 0 << "KKLK" << QStringList{"32767"} << 2 << QList<int>{32767, 1080, 60} << 1;
        QTest::newRow("width above 32767 stores 0")
            << 0 << "KKLK" << QStringList{"40000"} << 2 << QList<int>{0, 1080, 60} << 1;
        QTest::newRow("empty width stores 0") << 0 << "KKLK" << QStringList{""} << 2 << QList<int>{0, 1080, 60} << 1;
        QTest::newRow("keyboard left without answer") << 0 << "KKLK" << QStringList{QString()} << 2 << hd << 1;
        QTest::newRow("delete stores nothing") << 0 << "KKRRRK" << QStringList{"1280"} << 2 << hd << 0;
        QTest::newRow("cancel stores nothing") << 0 << "KKLLK" << QStringList{"1280"} << 2 << hd << 0;
        QTest::newRow("back stores nothing") << 0 << "KKB" << QStringList{"1280"} << 2 << hd << 0;
    }
    void edit_box()
    {
        QFETCH(int, host_rate);
        QFETCH(QString, script);
        QFETCH(QStringList, answers);
        QFETCH(int, id);
        QFETCH(QList<int>, stored);
        QFETCH(int, changed);
        if (host_rate)
            host_record(2, 1920, 1080, host_rate, true);
        QList<QList<int>> before;
        for (int i = 0; i < 6; ++i)
            before << record(i);
        keyboard->answers = answers;
        open_page();
        keys(script);
        QCOMPARE(record(id), stored);
        for (int i = 0; i < 6; ++i)
            if (i != id)
                QCOMPARE(record(i), before[i]);
        QCOMPARE(int(v331_manage::para_changed), changed);
        QVERIFY(keyboard->answers.isEmpty());
        // Back at the tab row; the card shows what the table holds.
        QVERIFY(child<QFrame>("frame_add")->isHidden());
        QVERIFY(child<QFrame>("frame_source")->styleSheet().contains("255,171,84"));
        QVERIFY(card().endsWith(QString("|%1x%2@%3Hz").arg(stored[0]).arg(stored[1]).arg(stored[2])));
        QCOMPARE(int(g_page_focus), 8);
        // The box shows the stored record again when it is next opened.
        keys("K");
        QCOMPARE(child<My_lineEdit>("lineEdit_W")->text(), QString::number(stored[0]));
        QCOMPARE(child<QLabel>("label_rate")->text(), QString::number(stored[2]));
    }

    void edit_box_states()
    {
        host_record(2, 1920, 1080, 50, true);
        open_page();
        keys("K");
        QLabel *rate = child<QLabel>("label_rate");
        QVERIFY(child<QFrame>("frame_add")->isVisible());
        QCOMPARE(child<QLabel>("label_edid_source")->text(), QString::fromUtf8("EDID信源:HDMI1"));
        QCOMPARE(child<My_lineEdit>("lineEdit_W")->styleSheet(), QString(kFieldFocus));
        QCOMPARE(rate->text(), QString("50"));
        QVERIFY(tab_outline()->styleSheet().contains("border-top-color:rgb(71, 119, 255)"));
        QCOMPARE(child<QFrame>("frame_source")->styleSheet(), QString("#frame_source{border:1px solid rgb(71, 119, 255);}"));
        for (const char *caption : {"删除", "取消", "保存"})
            QVERIFY(button(QString::fromUtf8(caption))->isVisible());
        QCOMPARE(button(QString::fromUtf8("保存"))->geometry(), QRect(205, 214, 50, 20));
        kor_save_screen(g_edidset, "edidset-box");
        keys("RRK");
        QCOMPARE(rate->styleSheet(), QString(kRateEdit));
        keys("L");
        QCOMPARE(rate->text(), QString("60"));
        kor_save_screen(g_edidset, "edidset-rate");
        keys("L");
        QCOMPARE(rate->text(), QString("30"));
        // Back leaves the rate item as it was and stays in the box.
        keys("B");
        QCOMPARE(rate->text(), QString("50"));
        QCOMPARE(rate->styleSheet(), QString(kFieldFocus));
        QVERIFY(child<QFrame>("frame_add")->isVisible());
        // The highlight walks width, height, rate, delete, cancel, save and wraps.
        keys("R");
        QCOMPARE(button(QString::fromUtf8("删除"))->styleSheet(), QString(
            "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53); border:1px solid rgb(255,171,84);"));
        keys("RRR");
        QCOMPARE(child<My_lineEdit>("lineEdit_W")->styleSheet(), QString(kFieldFocus));
        QCOMPARE(button(QString::fromUtf8("保存"))->styleSheet(), QString(
            "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53) ; border:1px solid rgb(255,255,255);;"));
    }

    // The keyboard titles follow the language, but only Chinese has its own.
    void languages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("enabled");
        QTest::addColumn<QString>("label_w");
        QTest::addColumn<QString>("title_w");
        QTest::addColumn<QString>("title_h");
        QTest::newRow("zh-CN") << 0 << 0x1F << "宽" << "宽" << "高";
        QTest::newRow("en") << 1 << 0x1F << "W" << "W" << "H";
        QTest::newRow("ru") << 2 << 0x1F << "Ширина" << "W" << "H";
        QTest::newRow("vi") << 3 << 0x1F << "Rộng" << "W" << "H";
        QTest::newRow("zh-TW") << 4 << 0x1F << "寬" << "寬" << "高";
        QTest::newRow("zh-TW disabled") << 4 << 0x03 << "W" << "W" << "H";
    }
    void languages()
    {
        QFETCH(int, language);
        QFETCH(int, enabled);
        QFETCH(QString, label_w);
        QFETCH(QString, title_w);
        QFETCH(QString, title_h);
        g_language = uint8_t(language);
        g_lcd_lang_valid = uint8_t(enabled);
        keyboard->answers << QString() << QString();
        open_page();
        keys("KKRK");
        QCOMPARE(child<QLabel>("label_W")->text(), label_w);
        QCOMPARE(keyboard->calls.size(), 2);
        QCOMPARE(keyboard->calls[0].title, title_w);
        QCOMPARE(keyboard->calls[0].start_text, QString("1920"));
        QCOMPARE(keyboard->calls[1].title, title_h);
        QCOMPARE(keyboard->calls[1].start_text, QString("1080"));
        if (language == 2)
            kor_save_screen(g_edidset, "edidset-ru");
    }

    void refresh()
    {
        open_page();
        // The host changes HDMI1's record; at the tab row the next refresh shows it.
        host_record(2, 1280, 720, 50, false);
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(card(), QString("HDMI1|1280x720@50Hz"));
        // A new language re-texts the page.
        table()->ram[0x300] = 1;
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(child<QLabel>("label_title")->text(), QString("EDID Settings"));
        // While the box is open a change shows neither in the box nor on the card...
        keys("K");
        host_record(2, 800, 600, 60, false);
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(card(), QString("HDMI1|1280x720@50Hz"));
        QCOMPARE(child<My_lineEdit>("lineEdit_W")->text(), QString("1280"));
        keys("B");
        QCOMPARE(card(), QString("HDMI1|1280x720@50Hz"));
        // ...until the input is selected again.
        keys("RL");
        QCOMPARE(card(), QString("HDMI1|800x600@60Hz"));
        // A host width above 32767 shows signed on the card.
        host_record(2, 40000, 600, 60, false);
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(card(), QString("HDMI1|-25536x600@60Hz"));
    }

    // Save reaches the input's EEPROM through the scaler and input workers, and the file.
    void stored_edid_is_offered()
    {
        keyboard->answers << "1280" << "720";
        open_page();
        keys("RRKKRKLLK");  // HDMI3: width, height, save
        QCOMPARE(record(4), (QList<int>{1280, 720, 60}));
        v331_manage::pInstance()->run_pass();
        QCOMPARE(int(v331_manage::para_changed), 0);
        dizidezorar::pInstance()->run_pass();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(env->edid()->writes(i), i == 4 ? 1 : 0);
        const auto edid = env->edid()->contents(4);
        const uint8_t *dtd = edid.data() + 54;
        QCOMPARE(dtd[2] | ((dtd[4] >> 4) << 8), 1280);
        QCOMPARE(dtd[5] | ((dtd[7] >> 4) << 8), 720);
        QCOMPARE(env->edid()->hotplug_pulses(4), 1);
        // The refresh the scaler raised saves the table.
        KorTestEnv::process_events();
        const QByteArray file = env->read_file("/data/ram_device_info");
        const int at = 2 + 0x380 - 0x300 + 6 * 4;
        QVERIFY(file.size() > at + 6);
        QCOMPARE(uint8_t(file[at]) | (uint8_t(file[at + 1]) << 8), 1280);
        QCOMPARE(uint8_t(file[at + 2]) | (uint8_t(file[at + 3]) << 8), 720);
        QCOMPARE(card(), QString("HDMI3|1280x720@60Hz"));
    }

    void leaving_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("edid_open");
        QTest::addColumn<bool>("input_open");
        QTest::newRow("back") << "B" << false << 3 << false << true;
        QTest::newRow("back from the box, then back") << "KRBB" << false << 3 << false << true;
        QTest::newRow("mode") << "M" << false << 4 << false << false;
        QTest::newRow("mode in the box") << "KM" << false << 4 << false << false;
        QTest::newRow("mode, keys locked") << "M" << true << 8 << true << true;
    }
    void leaving()
    {
        QFETCH(QString, script);
        QFETCH(bool, locked);
        QFETCH(int, focus);
        QFETCH(bool, edid_open);
        QFETCH(bool, input_open);
        open_page();
        table()->set_u16(KorWindowRecord::offset(0, KorWindowRecord::kSource), 1);
        if (locked)
            table()->set_u16(0x304, 1);
        keys(script);
        QCOMPARE(int(g_page_focus), focus);
        QCOMPARE(g_edidset != nullptr, edid_open);
        QCOMPARE(g_inputchoose != nullptr, input_open);
        QCOMPARE(g_custommode != nullptr, focus == 4);
        QCOMPARE(int(g_mode_shortcut_key), focus == 4 ? 1 : 0);
        if (focus == 3) {
            // The input page re-read the window's source.
            QVERIFY(g_inputchoose->findChild<QLabel *>("sourcelistseq4name")->styleSheet().contains("71, 119, 255"));
        }
        // A refresh after the page went finds nothing of it.
        table()->test_signal(1);
        KorTestEnv::process_events();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(int(g_page_focus), focus);
    }

    // The operator's way: each page runs modally over the one beneath.
    void modal_run()
    {
        kor_set_modal_pages(true);
        QList<int> stored;
        int focus_in_page = -1;
        KorKeyScript script;
        script.press(KorKey::Ok)
            .press(KorKey::Ok)
            .press(KorKey::Ok)
            .step([&] { focus_in_page = g_page_focus; })
            .press(KorKey::Ok)
            .press(KorKey::Right)
            .press(KorKey::Right)
            .press(KorKey::Ok)
            .press(KorKey::Left)
            .press(KorKey::Ok)
            .press(KorKey::Right)
            .press(KorKey::Right)
            .press(KorKey::Right)
            .press(KorKey::Ok)
            .step([&] { stored = record(2); })
            .press(KorKey::Back)
            .press(KorKey::Back);
        QVERIFY(script.run());
        QCOMPARE(focus_in_page, 8);
        QCOMPARE(stored, (QList<int>{1920, 1080, 30}));
        QCOMPARE(int(g_page_focus), 1);
        QVERIFY(!g_edidset && !g_inputchoose);
    }
};

QTEST_MAIN(TestEdidset)
#include "test_edidset.moc"
