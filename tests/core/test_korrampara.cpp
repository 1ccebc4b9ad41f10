#include "core/config_engine.h"
#include "core/para_change.h"
#include "core/singleton.h"
#include "core/syncupdate.h"
#include "core/utils.h"
#include "kor_test_helpers.h"
#include "platform/shell_runner.h"

#include <cstring>

namespace {
QStringList stand_ins_destroyed;  // by the stand-in singletons below
void destroy_a() { stand_ins_destroyed << "a"; }
void destroy_b() { stand_ins_destroyed << "b"; }
}

// Language byte and enabled languages before; what KorLanguageChanged returns; the language
// and the byte after.
struct Lang {
    int byte, valid, result, language, byte_after;
};
Q_DECLARE_METATYPE(Lang)

class TestKorRamPara : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }

private slots:

    void defaults_image()
    {
        using namespace KorTable;
        const QByteArray d = QByteArray::fromRawData(reinterpret_cast<const char *>(default_para_ramlist),
                                                     kKorTableFileSize);
        auto w = [&d](int off) { return kor_file_u16(d, off); };
        QCOMPARE(int(uint8_t(d[0]) | (uint8_t(d[1]) << 8)), 0xAAAA);  // the marker
        QCOMPARE(QVector<int>({w(kLanguage), w(kKeyLock), w(kSpliceMode), w(kLedWidth), w(kLedHeight),
                               w(window_pair(0, 0))}),
                 QVector<int>({0, 0, 0, 1920, 1080, 0}));
        for (int i = 0; i < 8; ++i)  // brightness, contrast, sharpness, saturation, colour type, gains
            QCOMPARE(w(kBrightness + 2 * i), (QVector<int>{100, 50, 10, 50, 2, 64, 64, 64}[i]));
        for (int id = 0; id < kEdidSources; ++id)  // the inputs' EDID records
            QCOMPARE(QVector<int>({w(edid_width(id)), w(edid_height(id)), w(edid_rate(id))}),
                     id >= 4 ? QVector<int>({3840, 2160, 60}) : QVector<int>({1920, 1080, 60}));
    }

    void load_table_data()
    {
        kor_columns<QByteArray, bool>({"file", "kept"});
        QByteArray valid(kKorTableFileSize, '\0');
        valid[0] = valid[1] = char(0xAA);
        valid[kor_file_index(KorTable::kLedWidth) + 1] = char(0x05);  // width 1280
        valid[kor_file_index(KorTable::kTestPattern)] = 3;            // a pattern that must not survive
        QByteArray unmarked = valid;
        unmarked[1] = 0x55;
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("short") << valid.left(1000) << false;
        QTest::newRow("unmarked") << unmarked << false;
        QTest::newRow("valid") << valid << true;
    }
    void load_table()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, kept);
        if (!file.isEmpty())
            env->write_file("/data/ram_device_info", file);
        env->start();
        QCOMPARE(int(kor_table()->u16(KorTable::kLedWidth)), kept ? 1280 : 1920);
        QCOMPARE(int(kor_table()->u16(KorTable::kLedHeight)), kept ? 0 : 1080);
        QCOMPARE(int(kor_table()->ram[KorTable::kTestPattern]), 0);
        for (int k = 0; k < 2 * KorTable::kWindowPairs; ++k)  // the low bytes of the sixteen window pairs
            QCOMPARE(int(kor_table()->ram[KorTable::window_pair(k / 2, k % 2)]), 60);
        QVERIFY(std::memcmp(kor_table()->ram, kor_table()->shadow, KorTable::kSize) == 0);
        // A bad file is replaced by the defaults on disk too.
        const QByteArray on_disk = env->read_file("/data/ram_device_info");
        QCOMPARE(on_disk.size(), kKorTableFileSize);
        QCOMPARE(QVector<int>({uint8_t(on_disk[0]), kor_file_u16(on_disk, KorTable::kLedWidth)}),
                 QVector<int>({0xAA, kept ? 1280 : 1920}));
    }

    void saved_only_on_change()
    {
        env->start();
        auto saves_after_save = [] {
            kor_table()->ram_para_save();
            KorTestEnv::process_events();
            return SyncUpdate::p_sync->saves();
        };
        const int before = SyncUpdate::p_sync->saves();
        QCOMPARE(saves_after_save(), before);  // nothing stored changed
        kor_table()->ram[KorTable::kStoredBegin - 1] = 7;  // live status (its last byte) is never stored
        QCOMPARE(saves_after_save(), before);
        kor_table()->set_u16(KorTable::kLedWidth, 2560);
        QCOMPARE(saves_after_save(), before + 1);
        QCOMPARE(kor_file_u16(env->read_file("/data/ram_device_info"), KorTable::kLedWidth), 2560);
        QCOMPARE(int(kor_table()->shadow_u16(KorTable::kLedWidth)), 2560);
    }

    void pending_change_is_saved_but_not_shadowed()
    {
        env->start();
        {
            QMutexLocker lock(&ParaChange::mutex);
            kor_table()->set_u16(KorTable::kContrast, 70);
            ParaChange::changed = 1;
        }
        SyncUpdate::p_sync->para_sync(1);
        SyncUpdate::p_sync->flush_saves();
        QCOMPARE(kor_file_u16(env->read_file("/data/ram_device_info"), KorTable::kContrast), 70);
        QCOMPARE(int(kor_table()->shadow_u16(KorTable::kContrast)), 50);
        ParaChange::changed = 0;  // the scaler applied it and refreshes
        SyncUpdate::p_sync->para_sync(1);
        QCOMPARE(int(kor_table()->shadow_u16(KorTable::kContrast)), 70);
    }

    void language_changed_data()
    {
        QTest::addColumn<Lang>("l");
        QTest::newRow("same") << Lang{0, 0x1F, 0, 0, 0};
        QTest::newRow("english") << Lang{1, 0x1F, 1, 1, 1};
        QTest::newRow("first enabled") << Lang{2, 0x18, 1, 3, 3};
        QTest::newRow("above four") << Lang{9, 0x1F, 1, 0, 0};
        QTest::newRow("none enabled") << Lang{9, 0x00, 1, 0, 9};
    }
    void language_changed()
    {
        QFETCH(Lang, l);
        env->start();
        g_lcd_lang_valid = uint8_t(l.valid);
        kor_table()->ram[KorTable::kLanguage] = uint8_t(l.byte);
        kor_table()->ram[KorTable::kLanguageHigh] = l.byte ? 5 : 0;
        QCOMPARE(kor_table()->KorLanguageChanged(), l.result);
        QCOMPARE(int(g_language), l.language);
        QCOMPARE(int(kor_table()->ram[KorTable::kLanguage]), l.byte_after);
        if (l.byte_after != l.byte)
            QCOMPARE(int(kor_table()->ram[KorTable::kLanguageHigh]), 0);
    }

    // The tests' tear-down: the workers first, then SyncUpdate, the table and the settings;
    // within a rank the newest first, one made again counting as new.
    void singletons_destroyed_by_rank()
    {
        env->start();
        v331_manage::pInstance();
        fpga_manage::pInstance();
        stand_ins_destroyed.clear();
        kor_register_singleton(KorSingletons::kWorkers, destroy_a);
        kor_register_singleton(KorSingletons::kWorkers, destroy_b);
        kor_register_singleton(KorSingletons::kWorkers, destroy_a);
        kor_destroy_singletons(KorSingletons::kWorkers);
        QCOMPARE(stand_ins_destroyed, (QStringList{"a", "b"}));
        QVERIFY(!v331_manage::p_v331_manage && !fpga_manage::p_fpga_manage);
        QVERIFY(SyncUpdate::p_sync && KorRamPara::p_korrampara_config && ConfigEngine::p_config);
        kor_destroy_singletons();
        QVERIFY(!SyncUpdate::p_sync && !KorRamPara::p_korrampara_config && !ConfigEngine::p_config);
        QCOMPARE(stand_ins_destroyed.size(), 2);
    }

    // A source's record is set through the pages (see the EDID page's tests); outside 0 to 5
    // nothing is written.
    void edid_para_ignores_other_sources()
    {
        env->start();
        const QByteArray before = kor_ram();
        kor_table()->KorSetEDIDPara(6, 1, 1, 1);
        kor_table()->KorSetEDIDPara(-1, 1, 1, 1);
        QCOMPARE(kor_ram(), before);
        QCOMPARE(int(ParaChange::changed), 0);
        // A valid source asks for the change, but never lowers a pending user-mode alignment.
        kor_table()->KorSetEDIDPara(1, 1280, 720, 50);
        QCOMPARE(int(ParaChange::changed), 1);
        ParaChange::changed = 2;
        kor_table()->KorSetEDIDPara(1, 1280, 720, 60);
        QCOMPARE(int(ParaChange::changed), 2);
    }

    // The settings survive a restart of the engine, a bad line harms nothing, and the network
    // is set up from them.
    void settings_and_ip_address()
    {
        env->write_file("/data/configs/tcpip.ini", "[config]\nusbupgradedir=update\n\x01\x02garbage==\n");
        env->start();
        QCOMPARE(QString::fromStdString(g_usb_grade_path), QString("update"));
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, "10.0.0.5");
        ConfigEngine::p_config->write_config_variant(ConfigItem::SubNetMask, "255.255.0.0");
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, "10.0.0.1");
        ConfigEngine::destroy_instance();
        factoryage_log << "x";
        ConfigEngine::pInstance();
        QVERIFY(factoryage_log.isEmpty());
        Utils::initIPAddress();
        const std::vector<std::string> expected = {
            "ifconfig eth0 >/dev/null 2>&1", "route del default wlan0", "ifconfig eth0 10.0.0.5 netmask 255.255.0.0",
            "route add -host 10.0.0.5 dev eth0", "route add default gw 10.0.0.1 metric 100",
            "route add -host 255.255.255.255 eth0", "route del 255.255.255.255 wlan1"};
        QCOMPARE(env->commands(), expected);
        // No interface: nothing more runs.
        env->shell()->clear();
        env->shell()->set_status_for("ifconfig eth0 >", 256);
        Utils::initIPAddress();
        QCOMPARE(env->commands().size(), size_t(1));
        // Success is exit status 0 only.
        int status = 0;
        QCOMPARE(Utils::system_mutex("false", &status), 0);
        env->shell()->set_status(1);
        QCOMPARE(Utils::system_mutex("false", &status), 255);
        QCOMPARE(status, 1);
    }
};

QTEST_MAIN(TestKorRamPara)
#include "test_korrampara.moc"
