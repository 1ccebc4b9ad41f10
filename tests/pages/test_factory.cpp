#include "core/config_engine.h"
#include "inputs/dizidezorar.h"
#include "kor_test_helpers.h"
#include "ui/pages/factory.h"

#include <QSettings>
#include <cstring>

namespace {
QComboBox *combo() { return kor_child<QComboBox>(g_factory, "Box_lang_2"); }
bool combo_editing() { return combo()->styleSheet().contains("rgb(255,0,0)"); }
QString advanced_title() { return kor_text(g_advancedoption, "label_title"); }

// From the advanced settings, then `keys`; unapplied.
void open_factory(const QString &keys = QString())
{
    kor_open(kor_advanced + "RRO", 18);
    kor_keys(keys);
}

// The stored part of the defaults as a reset leaves it: 60 in the per-window pairs.
QByteArray stored_defaults()
{
    QByteArray image(reinterpret_cast<const char *>(default_para_ramlist), 2 + KOR_STORED_SIZE);
    for (int k = 0; k < 16; ++k)
        image[2 + 0xB00 + 4 * k - 0x300] = image[2 + 0xB02 + 4 * k - 0x300] = char(60);
    return image;
}

// A font presence line: the prefix, then the 32, 64 and 128 pieces, green when present.
QString font_line(const QString &prefix, const QString &unit, bool has32, bool has64)
{
    const QString white = "<font style = 'font-size:12px' color = #ffffff >%1</font>";
    auto piece = [&](const char *size, bool present) {
        return QString("<font style = 'font-size:13px' color = %1 >%2</font>")
            .arg(present ? "#00ff00" : "#ff0000", size + unit);
    };
    return white.arg(prefix) + piece("32", has32) + white.arg("|") + piece("64", has64) + white.arg("|") +
           piece("128", has64);
}

int edid_flags()
{
    int bits = 0;
    for (int i = 0; i < dizidezorar::kInputs; ++i)
        bits |= dizidezorar::edid_rewrite[i].load() << i;
    return bits;
}
}

// The factory settings page: the panel language, the three table resets and the OSD font
// presence, worked with the panel keys beneath the advanced settings.
class TestFactory : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        v331_manage::pInstance()->led_para_wait_limit = std::chrono::milliseconds(0);
        g_lcd_lang_valid = 0x1F;
    }

private slots:

    void opens_and_goes_back()
    {
        open_factory();
        QVERIFY(kor_focused(g_factory, "Box_lang_2"));
        QCOMPARE(kor_text(g_factory, "label_factory"), QString("工厂设置"));
        kor_save_screen(g_factory, "factory");
        // Left wraps from the combo to the last item.
        {
            KorTraceCapture trace;
            kor_press(KorKey::Left);
            QVERIFY(trace.text().contains("this is left-code [factory][Release]"));
        }
        QVERIFY(kor_focused(g_factory, "Button_rst3") && !kor_focused(g_factory, "Box_lang_2"));
        kor_child<QLabel>(g_advancedoption, "label_title")->setText("stale");
        kor_press(KorKey::Back);
        QVERIFY(!g_factory);
        QCOMPARE(int(g_page_focus), 12);
        QCOMPARE(advanced_title(), QString("高级设置"));
    }

    // OK on the combo edits the language: left and right step through the enabled ones,
    // writing nothing; OK applies it unless it is the stored one; back drops it.
    void language_data()
    {
        // start: g_language; the table holds 0; shown: the combo after each key, '-' when closed
        // stored: table byte 0x300 afterwards
        kor_columns<int, int, QString, QString, int>({"valid", "start", "keys", "shown", "stored"});
        QTest::newRow("all, right") << 0x1F << 0 << "ORRRRR" << "012340" << 0;
        QTest::newRow("zh, en, zh-tw") << 0x13 << 1 << "ORRLL" << "14041" << 0;
        QTest::newRow("English only") << 0x02 << 1 << "ORRLL" << "11111" << 0;
        QTest::newRow("right twice, OK applies Russian") << 0x1F << 0 << "ORRO" << "0122" << 2;
        // Nothing written, nothing applied, not even re-texted.
        QTest::newRow("OK twice on the stored language") << 0x1F << 0 << "OO" << "00" << 0;
        QTest::newRow("there and back again") << 0x1F << 0 << "ORLO" << "0100" << 0;
        QTest::newRow("back while editing drops the choice") << 0x1F << 0 << "ORB" << "01-" << 0;
    }
    void language()
    {
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(int, stored);
        g_lcd_lang_valid = uint8_t(kor_data<int>("valid"));
        g_language = uint8_t(start);
        open_factory();
        kor_child<QLabel>(g_factory, "label_factory")->setText("untouched");
        const QByteArray before = kor_ram();
        QString got;
        for (QChar k : keys) {
            kor_keys(k);
            got += g_factory ? QString::number(combo()->currentIndex()) : "-";
        }
        QTEST(got, "shown");
        QCOMPARE(int(v331_manage::para_changed), stored ? 1 : 0);
        QCOMPARE(int(g_language), stored ? stored : start);
        QCOMPARE(kor_ram().at(0x300), char(stored));
        if (!stored)
            QCOMPARE(kor_ram(), before);
        if (!g_factory) {
            QCOMPARE(int(g_page_focus), 12);
            return;
        }
        QCOMPARE(kor_text(g_factory, "label_factory"), QString(stored ? "Системные настройки" : "untouched"));
        QCOMPARE(combo_editing(), !keys.endsWith('O'));
        if (QTest::currentDataTag() == QByteArray("all, right"))
            kor_save_screen(g_factory, "factory-editing");
        if (!stored)
            return;
        // The refresh after the scaler's pass stores the byte with the table.
        kor_scaler_pass();
        QCOMPARE(int(v331_manage::para_changed), 0);
        QCOMPARE(uint8_t(env->read_file("/data/ram_device_info").at(2)), uint8_t(stored));
        // Back re-texts the advanced settings in the new language.
        kor_press(KorKey::Back);
        QCOMPARE(advanced_title(), QString("Дополнительно"));
    }

    void language_changed_elsewhere_while_editing()
    {
        open_factory("O");
        {
            QMutexLocker lock(&v331_manage::para_mutex);
            kor_table()->ram[0x300] = 3;  // the host
        }
        kor_refresh();
        QCOMPARE(combo()->currentIndex(), 3);
        QCOMPARE(kor_text(g_factory, "label_lang"), QString("Ngôn ngữ"));
        // Still editing: the keys step from the new language.
        QVERIFY(combo_editing());
        kor_press(KorKey::Right);
        QCOMPARE(combo()->currentIndex(), 4);
        // The mode key does nothing while the keys are locked.
        kor_table()->set_u16(0x304, 0x100);
        kor_press(KorKey::Mode);
        QVERIFY(g_factory && combo_editing() && !g_custommode);
        QCOMPARE(int(g_page_focus), 18);
    }

    // Every reset restores the stored table ("Keep IP,EDIP" all but the EDID area) in one
    // change; "Reset ALL" first sets the network to its defaults, unless the address is
    // already the default one.
    void resets_data()
    {
        // network: set to the defaults
        kor_columns<int, QString, bool>({"item", "ip", "network"});
        QTest::newRow("Keep IP") << 1 << "10.0.0.5" << false;
        QTest::newRow("Keep IP,EDIP") << 2 << "10.0.0.5" << false;
        QTest::newRow("Reset ALL") << 3 << "10.0.0.5" << true;
        QTest::newRow("Reset ALL, address already the default") << 3 << "192.168.1.199" << false;
    }
    void resets()
    {
        QFETCH(int, item);
        QFETCH(QString, ip);
        QFETCH(bool, network);
        KorRamPara *table = kor_table();
        const bool keeps_edid = item == 2;
        ConfigEngine *config = ConfigEngine::p_config;
        config->write_config_variant(ConfigItem::IPAddress, ip);
        config->write_config_variant(ConfigItem::SubNetMask, "255.0.0.0");
        config->write_config_variant(ConfigItem::GateWay, "10.0.0.1");
        g_str_ip = ip.toStdString();
        dizidezorar::pInstance();
        // A table that differs from the defaults everywhere a reset may reach, applied and
        // saved, in English.
        for (int off = 0; off < KOR_TABLE_SIZE; ++off)
            table->ram[off] = uint8_t(off * 7 + 3);
        table->ram[0x300] = 1;
        table->ram[0x301] = 0;
        std::memcpy(table->shadow, table->ram, KOR_TABLE_SIZE);
        g_language = 1;
        const QByteArray before = kor_ram();
        const QByteArray file_before = env->read_file("/data/ram_device_info");
        open_factory(QString(item, 'R') + "O");

        QSettings file(env->path("/data/configs/tcpip.ini"), QSettings::IniFormat);
        QCOMPARE(file.value("config/IPAddress").toString() + " " + file.value("config/SubNetMask").toString() + " " +
                     file.value("config/GateWay").toString(),
                 network ? "192.168.1.199 255.255.255.0 192.168.1.1" : ip + " 255.0.0.0 10.0.0.1");
        // Synced, then the interface reconfigured from the settings.
        QCOMPARE(env->commands().empty(), !network);
        QByteArray expected = before;
        const QByteArray defaults = stored_defaults();
        for (int off = 0x300; off < KOR_TABLE_SIZE; ++off)
            if (!(keeps_edid && off >= 0x380 && off < 0x560))
                expected[off] = defaults[2 + off - 0x300];
        QCOMPARE(kor_ram().toHex(), expected.toHex());
        // The shadow is the refresh step's; no file is written by the page.
        QCOMPARE(kor_shadow(), before);
        QCOMPARE(env->read_file("/data/ram_device_info"), file_before);
        QCOMPARE(int(v331_manage::para_changed), 1);
        QCOMPARE(edid_flags(), keeps_edid ? 0 : 0x3F);

        // After the scaler's pass the refresh saves the restored table and re-texts the page:
        // the default language is simplified Chinese.
        kor_scaler_pass();
        QByteArray want = defaults;
        if (keeps_edid)
            want.replace(2 + 0x80, 0x1E0, before.mid(0x380, 0x1E0));
        QCOMPARE(env->read_file("/data/ram_device_info").toHex(), want.toHex());
        QCOMPARE(int(g_language), 0);
        QCOMPARE(kor_text(g_factory, "label_factory"), QString("工厂设置"));
        QCOMPARE(combo()->currentIndex(), 0);
        // The key lock went with the rest: the mode key works again.
        kor_press(KorKey::Mode);
        QVERIFY(!g_factory && kor_mode_key_reached_custom_mode());
    }

    void led_hand_over_data()
    {
        // reg80: FPGA 0's state; -1: no FPGA manager; width: applied before the reset
        kor_columns<int, int, bool>({"reg80", "width", "hand_over"});
        QTest::newRow("already 1920x1080") << 3 << 1920 << false;
        QTest::newRow("width differed") << 3 << 2560 << true;
        QTest::newRow("fpga not running") << 2 << 2560 << false;
        QTest::newRow("no fpga manager") << -1 << 2560 << false;
    }
    void led_hand_over()
    {
        QFETCH(int, reg80);
        QFETCH(bool, hand_over);
        if (reg80 >= 0)
            fpga_manage::pInstance()->MCU_REG_func[0][80] = uint8_t(reg80);
        kor_table()->set_u16(0x562, uint16_t(kor_data<int>("width")));
        kor_table()->set_u16(0x564, 1080);
        kor_table()->set_u16(0x380, 1280);
        std::memcpy(kor_table()->shadow, kor_table()->ram, KOR_TABLE_SIZE);
        g_set_led_setup = 7;
        open_factory("RO");  // Keep IP
        QCOMPARE(int(g_set_led_para), hand_over ? 1 : 0);
        QCOMPARE(int(g_set_led_setup), hand_over ? 0 : 7);
        QCOMPARE(int(kor_table()->u16(0x562)), 1920);
        // The EDID records are restored, but with no input manager no rewrite is requested.
        QCOMPARE(int(kor_table()->u16(0x380)), 1920);
        QCOMPARE(edid_flags(), 0);
    }

    // The captions and the font lines follow the language shown: English where the language
    // is not enabled. Without the scaler manager no font is known to be there.
    void texts_data()
    {
        // fonts: -1: no scaler manager
        kor_columns<int, int, int, QString, QString, QString>({"fonts", "lang", "valid", "title", "cn", "en"});
        QTest::newRow("32 Chinese, 64 English, simplified") << 0x09 << 0 << 0x1F << "工厂设置"
            << font_line("中文:", "宽", true, false) << font_line("英文:", "宽", false, true);
        QTest::newRow("no scaler manager") << -1 << 0 << 0x1F << "工厂设置"
            << font_line("中文:", "宽", false, false) << font_line("英文:", "宽", false, false);
        QTest::newRow("all, simplified not enabled") << 0x0F << 0 << 0x1E << "Factory setup"
            << font_line("CN:", "", true, true) << font_line("EN:", "", true, true);
    }
    void texts()
    {
        QFETCH(int, fonts);
        QFETCH(int, lang);
        QFETCH(int, valid);
        if (fonts < 0)
            v331_manage::destroy_instance();
        else
            v331_manage::p_v331_manage->font_valid = uint8_t(fonts);
        g_lcd_lang_valid = uint8_t(valid);
        g_language = uint8_t(lang);
        open_factory();
        QCOMPARE(combo()->currentIndex(), valid & (1 << lang) ? lang : 1);
        QTEST(kor_text(g_factory, "label_factory"), "title");
        QTEST(kor_text(g_factory, "FontCN"), "cn");
        QTEST(kor_text(g_factory, "FontEN"), "en");
        if (fonts == 0x09)
            kor_save_screen(g_factory, "factory-fonts");
    }
};

QTEST_MAIN(TestFactory)
#include "test_factory.moc"
