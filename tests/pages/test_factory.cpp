#include "core/config_engine.h"
#include "core/utils.h"
#include "inputs/dizidezorar.h"
#include "kor_test_helpers.h"
#include "ui/pages/factory.h"

#include <QSettings>
#include <cstring>

namespace {
QComboBox *combo() { return kor_child<QComboBox>(g_factory, "Box_lang_2"); }
bool combo_editing() { return combo()->styleSheet().contains("rgb(255,0,0)"); }

// From the advanced settings, then `keys`; unapplied.
void open_factory(const QString &keys = QString())
{
    kor_open(kor_advanced + " right right ok", 18);
    kor_keys(keys);
}

// The stored part of the defaults as a reset leaves it: 60 in the per-window pairs.
QByteArray stored_defaults()
{
    QByteArray image(reinterpret_cast<const char *>(default_para_ramlist), kKorTableFileSize);
    for (int k = 0; k < KorTable::kWindowPairs; ++k)
        for (int word = 0; word < 2; ++word)
            image[kor_file_index(KorTable::window_pair(k, word))] = char(60);
    return image;
}

// The OSD font sizes a font presence line draws green, e.g. "64|128".
QString green_sizes(const QString &line)
{
    QStringList out;
    for (auto m = QRegularExpression("color = #00ff00 >(\\d+)").globalMatch(line); m.hasNext();)
        out << m.next().captured(1);
    return out.join('|');
}
}

// The factory settings page: the panel language, the three table resets and the OSD font
// presence, worked with the panel keys beneath the advanced settings.
class TestFactory : public KorTest {
    Q_OBJECT
    void set_up() override
    {
        v331_manage::pInstance();
        g_lcd_lang_valid = 0x1F;
    }

private slots:

    // OK on the combo edits the language: left and right step through the enabled ones,
    // writing nothing; OK applies it unless it is the stored one; back drops it.
    void language_data()
    {
        // start: g_language, the table holding 0; shown: the combo after each key, '-' when closed
        kor_columns<int, int, QString, QString, int>({"valid", "start", "keys", "shown", "stored"});
        QTest::newRow("zh, en, zh-tw") << 0x13 << 1 << "ok right right left left" << "14041" << 0;
        QTest::newRow("right twice, OK applies Russian") << 0x1F << 0 << "ok right right ok" << "0122" << 2;
        // Nothing written, nothing applied.
        QTest::newRow("OK twice on the stored language") << 0x1F << 0 << "ok ok" << "00" << 0;
        QTest::newRow("back while editing drops the choice") << 0x1F << 0 << "ok right back" << "01-" << 0;
        QTest::newRow("a language out of range opens in English") << 0x1F << 7 << "ok back" << "1-" << 0;
    }
    void language()
    {
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(int, stored);
        g_lcd_lang_valid = uint8_t(kor_data<int>("valid"));
        g_language = uint8_t(start);
        open_factory();
        if (keys == "ok ok")
            kor_save_screen(g_factory, "factory");
        const QByteArray before = kor_ram();
        QString got;
        for (const QString &key : kor_script(keys)) {
            kor_press_key(key);
            got += g_factory ? QString::number(combo()->currentIndex()) : "-";
        }
        QTEST(got, "shown");
        QCOMPARE(int(v331_manage::para_changed), stored ? 1 : 0);
        QCOMPARE(int(g_language), stored ? stored : start);
        if (!stored)
            QCOMPARE(kor_ram(), before);
        QCOMPARE(int(g_page_focus), g_factory ? 18 : 12);
        if (!g_factory)
            return;
        QCOMPARE(combo_editing(), !keys.endsWith("ok"));
        if (combo_editing())
            kor_save_screen(g_factory, "factory-editing");
        if (!stored)
            return;
        QCOMPARE(int(kor_ram().at(KorTable::kLanguage)), stored);
        QCOMPARE(kor_text(g_factory, "label_factory"), QString("Системные настройки"));
        // Back re-texts the advanced settings in the new language.
        kor_press(KorKey::Back);
        QCOMPARE(kor_text(g_advancedoption, "label_title"), QString("Дополнительно"));
    }

    // The host's language while the combo is edited: the keys step from it.
    void language_changed_elsewhere_while_editing()
    {
        open_factory("ok");
        kor_host_language(3);
        QCOMPARE(combo()->currentIndex(), 3);
        QCOMPARE(kor_text(g_factory, "label_lang"), QString("Ngôn ngữ"));
        QVERIFY(combo_editing());
        kor_press(KorKey::Right);
        QCOMPARE(combo()->currentIndex(), 4);
    }

    // Every reset restores the stored table ("Keep IP,EDIP" all but the EDID area) in one
    // change; "Reset ALL" first sets the network to its defaults unless the address is already
    // the default. A new splice mode or LED size goes to the FPGA worker while it runs; the EDID
    // rewrite is asked of the input manager when there is one, but not by "Keep IP,EDIP".
    void resets_data()
    {
        // differs: the words that the reset changes: splice mode (bit 0), LED width (bit 1), LED height (bit 2)
        kor_columns<int, bool, bool, int, QString>({"item", "fpga", "inputs", "differs", "ip"});
        QTest::newRow("Keep IP: FPGA running, new size") << 1 << true << true << 7 << "10.0.0.5";
        QTest::newRow("Keep IP: FPGA running, only the splice mode") << 1 << true << false << 1 << "10.0.0.5";
        QTest::newRow("Keep IP,EDIP: no FPGA or input manager") << 2 << false << false << 7 << "10.0.0.5";
        QTest::newRow("Keep IP,EDIP: input manager, FPGA running, only the height")
            << 2 << true << true << 4 << "10.0.0.5";
        QTest::newRow("Reset ALL: FPGA running, size unchanged") << 3 << true << true << 0 << "10.0.0.5";
        QTest::newRow("Reset ALL: address already the default") << 3 << false << true << 2 << "192.168.1.199";
    }
    void resets()
    {
        QFETCH(int, item);
        QFETCH(bool, fpga);
        QFETCH(int, differs);
        QFETCH(QString, ip);
        using namespace KorTable;
        KorRamPara *table = kor_table();
        const bool keeps_edid = item == 2, network = item == 3 && ip != "192.168.1.199";
        const bool rewrite = !keeps_edid && kor_data<bool>("inputs");
        ConfigEngine *config = ConfigEngine::p_config;
        config->write_config_variant(ConfigItem::IPAddress, ip);
        config->write_config_variant(ConfigItem::SubNetMask, "255.0.0.0");
        config->write_config_variant(ConfigItem::GateWay, "10.0.0.1");
        g_str_ip = ip.toStdString();
        if (kor_data<bool>("inputs"))
            dizidezorar::pInstance();
        if (fpga)
            fpga_manage::pInstance()->set_register_for_test(0, 80, 3);
        // A table that differs from the defaults everywhere a reset may reach (the splice mode
        // and LED size as the row says), applied and saved, in English.
        const QByteArray defaults = stored_defaults();
        for (int off = 0; off < kSize; ++off) {
            const bool same =
                off >= kSpliceMode && off < kLedHeight + 2 && !(differs >> ((off - kSpliceMode) / 2) & 1);
            table->ram[off] = same ? defaults[kor_file_index(off)] : uint8_t(off * 7 + 3);
        }
        table->set_u16(kLanguage, 1);
        std::memcpy(table->shadow, table->ram, kSize);
        g_language = 1;
        g_set_led_setup = 7;
        const QByteArray before = kor_ram();
        open_factory(QString("right*%1 ok").arg(item));

        QSettings file(env->path("/data/configs/tcpip.ini"), QSettings::IniFormat);
        QCOMPARE(file.value("config/IPAddress").toString() + " " + file.value("config/SubNetMask").toString() + " " +
                     file.value("config/GateWay").toString(),
                 network ? "192.168.1.199 255.255.255.0 192.168.1.1" : ip + " 255.0.0.0 10.0.0.1");
        QCOMPARE(env->commands().empty(), !network);
        QByteArray expected = before;
        for (int off = kStoredBegin; off < kSize; ++off)
            if (!(keeps_edid && off >= kEdidBegin && off < kSpliceMode))
                expected[off] = defaults[kor_file_index(off)];
        QCOMPARE(kor_ram().toHex(), expected.toHex());
        QCOMPARE(kor_shadow(), before);  // the refresh step's
        QCOMPARE(int(v331_manage::para_changed), 1);
        for (const auto &flag : dizidezorar::edid_rewrite)
            QCOMPARE(int(flag), rewrite ? 1 : 0);
        const bool handover = fpga && differs;
        QCOMPARE(int(g_set_led_para), handover ? 1 : 0);
        QCOMPARE(int(g_set_led_setup), handover ? 0 : 7);

        // The scaler's pass once the hand-over is done: the refresh saves the restored table,
        // re-texting the page in Chinese.
        g_set_led_para = 0;
        kor_scaler_pass();
        QByteArray want = defaults;
        if (keeps_edid)
            want.replace(kor_file_index(kEdidBegin), kSpliceMode - kEdidBegin,
                         before.mid(kEdidBegin, kSpliceMode - kEdidBegin));
        QCOMPARE(env->read_file("/data/ram_device_info").toHex(), want.toHex());
        QCOMPARE(int(g_language), 0);
        QCOMPARE(kor_text(g_factory, "label_factory"), QString("工厂设置"));
        // The key lock went with the rest: the mode key works again.
        kor_press(KorKey::Mode);
        QVERIFY(!g_factory && kor_mode_key_reached_custom_mode());
    }

    // "Reset ALL" puts the network back in a settings file written by hand: its other lines
    // stay byte for byte.
    void reset_all_keeps_the_file_text()
    {
        const char ini[] = "/data/configs/tcpip.ini";
        env->write_file(ini, "\xEF\xBB\xBF# network settings, set at the factory\r\n[config]\r\nIPAddress=10.1.2.3\r\n"
                             "MAC=00:11:22:33:44:55 ; label\r\n[net/eth0]\r\nmtu=1500\r\n");
        ConfigEngine::destroy_instance();
        ConfigEngine::pInstance();
        Utils::getIPAddress();
        open_factory("right*3 ok");
        QCOMPARE(env->read_file(ini), QByteArray("\xEF\xBB\xBF# network settings, set at the factory\r\n[config]\r\n"
                                                 "IPAddress=192.168.1.199\r\nMAC=00:11:22:33:44:55 ; label\r\n"
                                                 "SubNetMask=255.255.255.0\r\nGateWay=192.168.1.1\r\n[net/eth0]\r\nmtu=1500\r\n"));
        QVERIFY(ConfigEngine::p_config->saved());
    }

    void font_lines_data()
    {
        // fonts: in the scaler's flash, -1: no scaler manager; lines: the sizes drawn green, CN then EN
        kor_columns<int, bool, QString>({"fonts", "written", "lines"});
        QTest::newRow("32 Chinese, 64 English") << 0x09 << false << "32 64|128";
        QTest::newRow("all but 64 Chinese") << 0x0B << false << "32 32|64|128";
        QTest::newRow("a font image written") << 0x01 << true << "32|64|128 32|64|128";
        QTest::newRow("no scaler manager") << -1 << false << " ";
    }
    // Which OSD fonts the scaler's flash holds, as read when the page is built.
    void font_lines()
    {
        QFETCH(int, fonts);
        env->scaler()->set_fonts(unsigned(fonts));
        v331_manage::p_v331_manage->read_v331_font();
        if (kor_data<bool>("written"))
            QVERIFY(v331_manage::p_v331_manage->write_font_image(QByteArray(64, 'f')));
        if (fonts < 0)
            v331_manage::destroy_instance();
        open_factory();
        QTEST(green_sizes(kor_text(g_factory, "FontCN")) + " " + green_sizes(kor_text(g_factory, "FontEN")), "lines");
        if (fonts == 0x09)
            kor_save_screen(g_factory, "factory-fonts");
    }
};

QTEST_MAIN(TestFactory)
#include "test_factory.moc"
