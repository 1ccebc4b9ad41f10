#include "inputs/dizidezorar.h"
#include "kor_test_helpers.h"
#include "platform/edid_eeprom.h"
#include "ui/pages/edidset.h"
#include "ui/pages/inputchoose.h"

#include <array>
#include <numeric>

using Edid = std::array<uint8_t, 256>;
using Timing = QVector<int>;  // clock (10 kHz), h/v active, h/v blank, h front, h sync, v front, v sync, flags

namespace {
// The EDID record of source `id`: width, height, rate.
QList<int> record(int id)
{
    return {kor_table()->u16(KorTable::edid_width(id)), kor_table()->u16(KorTable::edid_height(id)),
            kor_table()->u16(KorTable::edid_rate(id))};
}

// A record the host wrote; `applied` also puts it in the shadow copy.
void host_record(int id, int w, int h, int r, bool applied = false)
{
    const int words[3] = {w, h, r};
    for (int i = 0; i < 3; ++i)
        applied ? kor_set_applied(KorTable::edid_width(id) + 2 * i, uint16_t(words[i]))
                : kor_table()->set_u16(KorTable::edid_width(id) + 2 * i, uint16_t(words[i]));
}

QString text_of(const char *name) { return kor_text(g_edidset, name); }
QFrame *source_frame() { return kor_child<QFrame>(g_edidset, "frame_source"); }
bool box_open() { return kor_child(g_edidset, "frame_add")->isVisible(); }

// Name and timing shown on the input card.
QString card()
{
    QStringList texts;
    for (QLabel *label : source_frame()->findChildren<QLabel *>())
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

int block_sum(const Edid &e, int block) { return std::accumulate(&e[128 * block], &e[128 * block + 128], 0) % 256; }

Timing detailed_timing(const uint8_t *d)
{
    return {d[0] | (d[1] << 8),              d[2] | ((d[4] >> 4) << 8),        d[5] | ((d[7] >> 4) << 8),
            d[3] | ((d[4] & 0x0F) << 8),     d[6] | ((d[7] & 0x0F) << 8),      d[8] | ((d[11] >> 6) << 8),
            d[9] | (((d[11] >> 4) & 3) << 8), (d[10] >> 4) | (((d[11] >> 2) & 3) << 4),
            (d[10] & 0x0F) | ((d[11] & 3) << 4), d[17]};
}

// The reduced-blanking timing of a size the CEA modes do not have, worked out in whole numbers
// from the CVT rules: 160 pixels of horizontal blanking (48 front porch, 32 sync), vertical
// blanking of at least 460 us, that is floor(460 us / estimated line period) + 1 lines with the
// period (1 s / rate - 460 us) / height, and never fewer than a 3-line front porch, the sync
// and 6 lines of back porch; the clock rounded down to 0.25 MHz; hsync +, vsync -.
// `v_sync` is the standard's sync width for the size's aspect ratio.
Timing reduced_blanking(int w, int h, int rate, int v_sync)
{
    const qint64 vbi = std::max<qint64>(qint64(460) * h * rate / (1000000 - 460 * rate) + 1, 3 + v_sync + 6);
    const qint64 clock_khz = qint64(rate) * (h + vbi) * (w + 160) / 250000 * 250;
    return {int(clock_khz / 10), w, h, 160, int(vbi), 48, 32, 3, v_sync, 0x1A};
}

// The data blocks of the CEA extension by tag; vendor blocks by tag and OUI ("3030c00").
QMap<QString, QByteArray> cea_blocks(const Edid &e)
{
    QMap<QString, QByteArray> blocks;
    const uint8_t *x = e.data() + 128;
    for (int p = 4; p < x[2]; p += 1 + (x[p] & 31)) {
        const QByteArray body(reinterpret_cast<const char *>(x + p + 1), x[p] & 31);
        blocks[QString::number(x[p] >> 5) + (x[p] >> 5 == 3 ? body.left(3).toHex() : QByteArray())] = body;
    }
    return blocks;
}
}

// The EDID page worked with the panel keys: tabs, card, edit box, what it stores and offers;
// and the EDID each input is given, built from its record.
class TestEdidset : public KorTest {
    Q_OBJECT
    void open_page() { kor_open("ok ok ok", 8); }  // main menu, input page, EDID page

private slots:

    void tabs()
    {
        open_page();
        kor_save_screen(g_edidset, "edidset");
        kor_keys("left*3");  // round to HDMI4
        QCOMPARE(card(), QString("HDMI4|3840x2160@60Hz"));
        QCOMPARE(tab_outline()->geometry(), QRect(4 + 52 * 3, 38, 50, 43));
        QVERIFY(kor_focused(tab_outline()) && kor_focused(source_frame()) && !box_open());
        // Only the rebuilt card is there.
        QCOMPARE(g_edidset->findChildren<QFrame *>("frame_source").size(), 1);
    }

    void edit_box_data()
    {
        // host_rate: 0: the default record; keys: after opening the page
        kor_columns<int, QString, QStringList, QList<int>, int>({"host_rate", "keys", "answers", "stored", "changed"});
        const QList<int> hd{1920, 1080, 60}, hd30{1920, 1080, 30}, hd50{1920, 1080, 50};
        QTest::newRow("width and height typed")
            << 0 << "ok ok right ok left left ok" << QStringList{"1280", "720"} << QList<int>{1280, 720, 60} << 1;
        QTest::newRow("rate to 30") << 0 << "ok right right ok left ok right*3 ok" << QStringList() << hd30 << 1;
        // A host rate other than 60 or 30 survives leaving the rate item untouched.
        QTest::newRow("host rate 50 kept") << 50 << "ok left ok" << QStringList() << hd50 << 1;
        QTest::newRow("width above 32767 stores 0")
            << 0 << "ok ok left ok" << QStringList{"40000"} << QList<int>{0, 1080, 60} << 1;
        // Back on the rate brings back what it showed, and the choice the next toggle starts from.
        QTest::newRow("back on the rate") << 0 << "ok right right ok left back right*3 ok" << QStringList() << hd << 1;
        QTest::newRow("back on the rate, toggled again")
            << 0 << "ok right right ok left back ok left ok right*3 ok" << QStringList() << hd30 << 1;
        QTest::newRow("cancel stores nothing") << 0 << "ok ok left left ok" << QStringList{"1280"} << hd << 0;
        QTest::newRow("delete stores nothing") << 0 << "ok ok left*3 ok" << QStringList{"1280"} << hd << 0;
        QTest::newRow("back stores nothing") << 0 << "ok ok back" << QStringList{"1280"} << hd << 0;
    }
    void edit_box()
    {
        QFETCH(int, host_rate);
        QFETCH(QList<int>, stored);
        if (host_rate)
            host_record(2, 1920, 1080, host_rate, true);
        QList<QList<int>> before;
        for (int i = 0; i < 6; ++i)
            before << record(i);
        keyboard->answers = kor_data<QStringList>("answers");
        open_page();
        kor_keys(kor_data<QString>("keys"));
        before[2] = stored;
        for (int i = 0; i < 6; ++i)
            QCOMPARE(record(i), before[i]);
        QTEST(int(v331_manage::para_changed), "changed");
        QVERIFY(keyboard->answers.isEmpty());
        // Back at the tab row; the card shows what the table holds.
        QVERIFY(!box_open());
        QVERIFY(card().endsWith(QString("|%1x%2@%3Hz").arg(stored[0]).arg(stored[1]).arg(stored[2])));
    }

    void host_changes()
    {
        g_lcd_lang_valid = 0x1F;
        open_page();
        // The host changes HDMI1's record; at the tab row the next refresh shows it.
        host_record(2, 1280, 720, 50);
        kor_refresh();
        QCOMPARE(card(), QString("HDMI1|1280x720@50Hz"));
        // A new language re-texts the page; the box shows the host's rate.
        kor_host_language(2);
        kor_press(KorKey::Ok);
        QCOMPARE(text_of("label_title") + " " + text_of("label_rate"), QString("Настройка EDID 50"));
        kor_save_screen(g_edidset, "edidset-ru");
        // While the box is open a change shows neither in the box nor on the card...
        host_record(2, 800, 600, 60);
        kor_refresh();
        QCOMPARE(text_of("lineEdit_W"), QString("1280"));
        kor_keys("right right ok left");  // the rate toggled, in red
        QVERIFY(kor_style(g_edidset, "label_rate").contains("255,0,0"));
        QCOMPARE(text_of("label_rate"), QString("60"));
        kor_save_screen(g_edidset, "edidset-rate");
        kor_keys("back back");
        QCOMPARE(card(), QString("HDMI1|1280x720@50Hz"));
        // ...until the input is selected again.
        kor_keys("right left");
        QCOMPARE(card(), QString("HDMI1|800x600@60Hz"));
    }

    void mode_key()
    {
        open_page();
        kor_press(KorKey::Ok);  // in the box
        kor_check_mode_key(8, box_open);
        // A refresh after the page went finds nothing of it.
        kor_refresh();
        kor_flush_deletes();
        QCOMPARE(int(g_page_focus), 4);
    }

    // The operator's way, each page run modally over the one beneath; the stored timing
    // reaches the input's EEPROM through the scaler and input workers, and the file.
    void stored_edid_is_offered()
    {
        kor_set_modal_pages(true);
        keyboard->answers << "1280" << "720";
        QList<int> stored;
        KorKeyScript script;
        script.keys("ok ok ok right right").step([&] {  // HDMI3
            kor_table()->set_u16(KorTable::Window::offset(0, KorTable::Window::kSource), 1);  // DVI, meanwhile
        });
        script.keys("ok ok right ok right ok left ok right*3 ok");  // width, height, the rate to 30, save
        // Back on the input page, which re-reads the window's source.
        bool marked = false;
        script.step([&] { stored = record(4); }).press(KorKey::Back).step([&] {
            QLabel *dvi = g_inputchoose->findChild<QLabel *>("sourcelistseq4name");
            marked = g_page_focus == 3 && dvi->styleSheet().contains("71, 119, 255");
        });
        QVERIFY(script.press(KorKey::Back).run());
        QVERIFY(marked);
        QCOMPARE(stored, (QList<int>{1280, 720, 30}));
        QCOMPARE(int(g_page_focus), 1);
        QVERIFY(!g_edidset && !g_inputchoose);
        v331_manage::pInstance()->run_pass();
        dizidezorar::pInstance()->run_pass();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(env->edid()->writes(i), i == 4 ? 1 : 0);
        QCOMPARE(detailed_timing(env->edid()->contents(4).data() + 54).mid(1, 2), Timing({1280, 720}));
        QCOMPARE(env->edid()->hotplug_pulses(4), 1);
        // The refresh the scaler raised saves the table.
        KorTestEnv::process_events();
        const int at = kor_file_index(KorTable::edid_width(4));
        QCOMPARE(env->read_file("/data/ram_device_info").mid(at, 6).toHex(), QByteArray("0005d0021e00"));
    }

    void built_from_the_record_data()
    {
        // vic: 0: not a CEA mode; -1: refused, the old EDID stays
        kor_columns<int, Timing, int, int>({"input", "timing", "rate", "vic"});
        QTest::newRow("1920x1080@60") << 2 << Timing{14850, 1920, 1080, 280, 45, 88, 44, 4, 5, 0x1E} << 60 << 16;
        QTest::newRow("3840x2160@60") << 5 << Timing{59400, 3840, 2160, 560, 90, 176, 88, 8, 10, 0x1E} << 60 << 97;
        QTest::newRow("1024x768@60 RB") << 1 << Timing{5600, 1024, 768, 160, 22, 48, 32, 3, 4, 0x1A} << 60 << 0;
        // Reduced blanking by aspect ratio; the sync widths are the standard's: 4 lines for
        // 4:3, 5 for 16:9, 6 for 16:10, 7 for 5:4 and 15:9, 10 for any other shape. "least"
        // rows are short enough that the minimum blanking decides.
        const struct {
            const char *name;
            int w, h, rate, v_sync;
        } rb[] = {
            {"4:3 800x600@60", 800, 600, 60, 4},           {"4:3 1600x1200@30", 1600, 1200, 30, 4},
            {"4:3 1440x1080@60", 1440, 1080, 60, 4},       {"4:3 640x480@30 least", 640, 480, 30, 4},
            {"16:9 2560x1440@60", 2560, 1440, 60, 5},      {"16:9 1600x900@60", 1600, 900, 60, 5},
            {"16:9 1280x720@30", 1280, 720, 30, 5},        {"16:9 640x360@60 least", 640, 360, 60, 5},
            {"16:10 1280x800@30", 1280, 800, 30, 6},       {"16:10 1440x900@50", 1440, 900, 50, 6},
            {"16:10 640x400@60 least", 640, 400, 60, 6},   {"5:4 1280x1024@60", 1280, 1024, 60, 7},
            {"5:4 1280x1024@30", 1280, 1024, 30, 7},       {"5:4 640x512@30 least", 640, 512, 30, 7},
            {"15:9 1280x768@30", 1280, 768, 30, 7},        {"15:9 800x480@60 least", 800, 480, 60, 7},
            {"other 1360x768@60", 1360, 768, 60, 10},      {"other 3440x1440@60", 3440, 1440, 60, 10},
            {"other 2048x1080@30", 2048, 1080, 30, 10},    {"other 1024x600@60 least", 1024, 600, 60, 10},
        };
        for (const auto &r : rb)
            QTest::newRow(r.name) << 2 << reduced_blanking(r.w, r.h, r.rate, r.v_sync) << r.rate << 0;
        // Reduced-blanking timings as VESA publishes them.
        QTest::newRow("published 1400x1050R") << 0 << Timing{10100, 1400, 1050, 160, 30, 48, 32, 3, 4, 0x1A} << 60 << 0;
        QTest::newRow("published 1280x768R") << 1 << Timing{6825, 1280, 768, 160, 22, 48, 32, 3, 7, 0x1A} << 60 << 0;
        QTest::newRow("published 1440x900R") << 3 << Timing{8875, 1440, 900, 160, 26, 48, 32, 3, 6, 0x1A} << 60 << 0;
        QTest::newRow("published 1680x1050R") << 4 << Timing{11900, 1680, 1050, 160, 30, 48, 32, 3, 6, 0x1A} << 60 << 0;
        QTest::newRow("published 1920x1200R") << 5 << Timing{15400, 1920, 1200, 160, 35, 48, 32, 3, 6, 0x1A} << 60 << 0;
        QTest::newRow("published 2560x1600R") << 2 << Timing{26850, 2560, 1600, 160, 46, 48, 32, 3, 6, 0x1A} << 60 << 0;
        QTest::newRow("no rate") << 3 << Timing{0, 1920, 1080} << 0 << -1;
    }
    void built_from_the_record()
    {
        dizidezorar::pInstance();
        QFETCH(int, input);
        QFETCH(Timing, timing);
        QFETCH(int, vic);
        host_record(input, timing[1], timing[2], kor_data<int>("rate"));
        dizidezorar::edid_rewrite[input] = 1;
        dizidezorar::p_kavri_source->run_pass();

        QCOMPARE(int(dizidezorar::edid_rewrite[input]), 0);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(env->edid()->writes(i), i == input && vic >= 0 ? 1 : 0);
            QCOMPARE(env->edid()->hotplug_pulses(i), i == input && vic >= 0 ? 1 : 0);
        }
        if (vic < 0)
            return;
        const Edid e = env->edid()->contents(input);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(e.data()), 8), QByteArray::fromHex("00ffffffffffff00"));
        QCOMPARE(int(e[126]), 1);
        QCOMPARE(block_sum(e, 0), 0);
        QCOMPARE(block_sum(e, 1), 0);
        QCOMPARE(detailed_timing(e.data() + 54), timing);
        const auto blocks = cea_blocks(e);
        QVERIFY(blocks.contains("3030c00"));  // HDMI
        QCOMPARE(blocks.contains("3d85dc4"), vic == 97);  // HDMI Forum, for 4K at 60 only
        if (vic)
            QCOMPARE(int(uint8_t(blocks["2"][0])), vic);  // the first video descriptor
    }

    // From the table through the scaler's dispatcher and the input thread to the EEPROMs.
    void two_records_in_one_change_reach_both_inputs()
    {
        dizidezorar::pInstance();
        QCOMPARE(dizidezorar::p_kavri_source->initialize(), 0);
        kor_table()->KorSetEDIDPara(0, 1280, 720, 60);
        kor_table()->KorSetEDIDPara(3, 3840, 2160, 30);
        v331_manage::pInstance()->run_pass();
        QTRY_COMPARE(env->edid()->hotplug_pulses(3), 1);
        QTRY_COMPARE(env->edid()->hotplug_pulses(0), 1);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(env->edid()->writes(i), (i == 0 || i == 3) ? 1 : 0);
        QCOMPARE(detailed_timing(env->edid()->contents(0).data() + 54)[1], 1280);
        QCOMPARE(detailed_timing(env->edid()->contents(3).data() + 54).mid(0, 2), Timing({29700, 3840}));
    }
};

QTEST_MAIN(TestEdidset)
#include "test_edidset.moc"
