#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/syncupdate.h"
#include "core/utils.h"
#include "kor_test_env.h"
#include "platform/shell_runner.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
uint16_t le16(const QByteArray &file, int table_offset)
{
    const int i = 2 + table_offset - 0x300;
    return uint16_t(uint8_t(file[i]) | (uint8_t(file[i + 1]) << 8));
}
KorRamPara *table() { return KorRamPara::p_korrampara_config; }
}

class TestKorRamPara : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init() { env.reset(new KorTestEnv); }
    void cleanup() { env.reset(); }

    void defaults_image()
    {
        const unsigned char *d = default_para_ramlist;
        QCOMPARE(int(d[0]), 0xAA);
        QCOMPARE(int(d[1]), 0xAA);
        auto w = [d](int off) { return int(d[2 + off - 0x300] | (d[3 + off - 0x300] << 8)); };
        QCOMPARE(w(0x562), 1920);
        QCOMPARE(w(0x564), 1080);
        const int picture[8] = {100, 50, 10, 50, 2, 64, 64, 64};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(w(0x880 + 2 * i), picture[i]);
        for (int id = 0; id < 6; ++id) {
            QCOMPARE(w(0x380 + 6 * id), id >= 4 ? 3840 : 1920);
            QCOMPARE(w(0x382 + 6 * id), id >= 4 ? 2160 : 1080);
            QCOMPARE(w(0x384 + 6 * id), 60);
        }
        QCOMPARE(w(0x300), 0);
        QCOMPARE(w(0x304), 0);
        QCOMPARE(w(0x560), 0);
        QCOMPARE(w(0xB00), 0);
        for (int i = 2 + 3328; i < 4096; ++i)
            QCOMPARE(int(d[i]), 0);
    }

    void load_table_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("kept");
        QByteArray valid(2 + 3328, '\0');
        valid[0] = char(0xAA);
        valid[1] = char(0xAA);
        valid[2 + 0x562 - 0x300] = char(0x00);
        valid[3 + 0x562 - 0x300] = char(0x05);  // width 1280
        valid[2 + 0x360 - 0x300] = 3;           // a pattern that must not survive
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
        QCOMPARE(int(table()->u16(0x562)), kept ? 1280 : 1920);
        QCOMPARE(int(table()->u16(0x564)), kept ? 0 : 1080);
        QCOMPARE(int(table()->ram[0x360]), 0);
        for (int k = 0; k < 16; ++k) {
            QCOMPARE(int(table()->ram[0xB00 + 4 * k]), 60);
            QCOMPARE(int(table()->ram[0xB02 + 4 * k]), 60);
        }
        QVERIFY(std::memcmp(table()->ram, table()->shadow, 4096) == 0);
        // A bad file is replaced by the defaults on disk too.
        const QByteArray on_disk = env->read_file("/data/ram_device_info");
        QCOMPARE(on_disk.size(), 2 + 3328);
        QCOMPARE(uint8_t(on_disk[0]), uint8_t(0xAA));
        QCOMPARE(int(le16(on_disk, 0x562)), kept ? 1280 : 1920);
    }

    void save_is_atomic_and_only_on_change()
    {
        env->start();
        SyncUpdate *sync = SyncUpdate::p_sync;
        const int before = sync->saves();
        table()->ram_para_save();
        KorTestEnv::process_events();
        QCOMPARE(sync->saves(), before);  // nothing stored changed

        table()->ram[0x100] = 7;          // live status is never stored
        table()->ram_para_save();
        KorTestEnv::process_events();
        QCOMPARE(sync->saves(), before);

        table()->set_u16(0x562, 2560);
        table()->ram_para_save();
        KorTestEnv::process_events();
        QCOMPARE(sync->saves(), before + 1);
        QCOMPARE(int(le16(env->read_file("/data/ram_device_info"), 0x562)), 2560);
        QCOMPARE(int(table()->shadow_u16(0x562)), 2560);
        // No temporary file left beside it.
        QCOMPARE(QDir(env->path("/data")).entryList(QDir::Files), QStringList{"ram_device_info"});
    }

    void refresh_calls_the_page_in_front()
    {
        env->start();
        QList<int> seen5, seen13;
        SyncUpdate::p_sync->set_page_hook(5, [&](int c) { seen5 << c; });
        SyncUpdate::p_sync->set_page_hook(13, [&](int c) { seen13 << c; });
        g_page_focus = 13;
        table()->test_signal(1);
        // Delivered queued, also from the GUI thread.
        QVERIFY(seen13.isEmpty());
        KorTestEnv::process_events();
        QCOMPARE(seen13, QList<int>{1});
        g_page_focus = 5;
        table()->test_signal(100);
        table()->test_signal(105);  // key-board LEDs only: no page refresh
        KorTestEnv::process_events();
        QCOMPARE(seen5, QList<int>{100});
        g_page_focus = 7;  // no hook: nothing happens
        table()->test_signal(1);
        KorTestEnv::process_events();
    }

    void pending_change_is_saved_but_not_shadowed()
    {
        env->start();
        {
            QMutexLocker lock(&ParaChange::mutex);
            table()->set_u16(0x882, 70);
            ParaChange::changed = 1;
        }
        SyncUpdate::p_sync->para_sync(1);
        QCOMPARE(int(le16(env->read_file("/data/ram_device_info"), 0x882)), 70);
        QCOMPARE(int(table()->shadow_u16(0x882)), 50);
        ParaChange::changed = 0;  // the scaler applied it and refreshes
        const int saves = SyncUpdate::p_sync->saves();
        SyncUpdate::p_sync->para_sync(1);
        QCOMPARE(int(table()->shadow_u16(0x882)), 70);
        QCOMPARE(SyncUpdate::p_sync->saves(), saves);  // already on disk
    }

    void language_changed_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("valid");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("table_byte");
        QTest::newRow("same") << 0 << 0x1F << 0 << 0 << 0;
        QTest::newRow("english") << 1 << 0x1F << 1 << 1 << 1;
        QTest::newRow("russian disabled") << 2 << 0x1B << 1 << 0 << 0;
        QTest::newRow("first enabled") << 2 << 0x18 << 1 << 3 << 3;
        QTest::newRow("above four") << 9 << 0x1F << 1 << 0 << 0;
        QTest::newRow("none enabled") << 9 << 0x00 << 1 << 0 << 9;
    }
    void language_changed()
    {
        QFETCH(int, byte);
        QFETCH(int, valid);
        QFETCH(int, result);
        QFETCH(int, language);
        QFETCH(int, table_byte);
        env->start();
        g_lcd_lang_valid = uint8_t(valid);
        table()->ram[0x300] = uint8_t(byte);
        table()->ram[0x301] = byte ? 5 : 0;
        QCOMPARE(table()->KorLanguageChanged(), result);
        QCOMPARE(int(g_language), language);
        QCOMPARE(int(table()->ram[0x300]), table_byte);
        if (table_byte != byte)
            QCOMPARE(int(table()->ram[0x301]), 0);
    }

    void edid_para()
    {
        env->start();
        table()->KorSetEDIDPara(4, 2560, 1440, 30);
        QCOMPARE(int(table()->u16(0x380 + 24)), 2560);
        QCOMPARE(int(table()->u16(0x382 + 24)), 1440);
        QCOMPARE(int(table()->u16(0x384 + 24)), 30);
        QCOMPARE(int(ParaChange::changed), 1);
        ParaChange::changed = 0;
        unsigned char before[4096];
        std::memcpy(before, table()->ram, 4096);
        table()->KorSetEDIDPara(6, 1, 1, 1);
        table()->KorSetEDIDPara(-1, 1, 1, 1);
        QVERIFY(std::memcmp(before, table()->ram, 4096) == 0);
        QCOMPARE(int(ParaChange::changed), 0);
    }

    void init_ip_address()
    {
        env->start();
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, "10.0.0.5");
        ConfigEngine::p_config->write_config_variant(ConfigItem::SubNetMask, "255.255.0.0");
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, "10.0.0.1");
        Utils::initIPAddress();
        const std::vector<std::string> expected = {
            "ifconfig eth0 >/dev/null 2>&1",
            "route del default wlan0",
            "ifconfig eth0 10.0.0.5 netmask 255.255.0.0",
            "route add -host 10.0.0.5 dev eth0",
            "route add default gw 10.0.0.1 metric 100",
            "route add -host 255.255.255.255 eth0",
            "route del 255.255.255.255 wlan1",
        };
        QCOMPARE(env->commands(), expected);
        QCOMPARE(QString::fromStdString(g_str_gateway), QString("10.0.0.1"));
        // No interface: nothing more runs.
        env->shell()->clear();
        env->shell()->set_status_for("ifconfig eth0 >", 256);
        Utils::initIPAddress();
        QCOMPARE(env->commands().size(), size_t(1));
        int status = 0;
        QCOMPARE(Utils::system_mutex("false", &status), 0);
        env->shell()->set_status(1);
        QCOMPARE(Utils::system_mutex("false", &status), 255);
        QCOMPARE(status, 1);
    }

    void settings_survive_and_bad_ini_is_harmless()
    {
        env->write_file("/data/configs/tcpip.ini", "[config]\nusbupgradedir=update\n\x01\x02garbage==\n");
        env->start();
        QCOMPARE(QString::fromStdString(g_usb_grade_path), QString("update"));
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, "1.2.3.4");
        ConfigEngine::destroy_instance();
        factoryage_log << "x";
        ConfigEngine::pInstance();
        QCOMPARE(ConfigEngine::p_config->read_config(ConfigItem::GateWay).toString(), QString("1.2.3.4"));
        QVERIFY(factoryage_log.isEmpty());
    }
};

QTEST_MAIN(TestKorRamPara)
#include "test_korrampara.moc"
