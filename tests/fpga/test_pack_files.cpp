#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "fpga/rcv_recovery_file.h"
#include "kor_test_env.h"
#include "platform/rcv_frame.h"

#include <QFile>
#include <QtTest>
#include <memory>

namespace {
std::vector<RecoveryScreen> two_screens()
{
    RecoveryNet a;
    a.port = 0;
    a.cards = {QByteArray("one"), QByteArray("two")};
    RecoveryNet b;
    b.port = 15;
    b.cards = {QByteArray(500, 'x')};
    RecoveryScreen s1;
    s1.nets = {a, b};
    RecoveryScreen s2;
    s2.nets = {a};
    return {s1, s2};
}
}

class TestPackFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init() { env.reset(new KorTestEnv); }
    void cleanup() { env.reset(); }

    void mapping_pack_data()
    {
        QTest::addColumn<int>("damage");
        QTest::addColumn<int>("cut");
        QTest::addColumn<QString>("error");
        QTest::newRow("whole") << -1 << 0 << "";
        QTest::newRow("magic") << 0 << 0 << "bad header";
        QTest::newRow("data") << 60 << 0 << "bad checksum";
        QTest::newRow("truncated") << -1 << 10 << "bad length";
        QTest::newRow("only a head") << -1 << 100 << "bad length";
    }
    void mapping_pack()
    {
        QFETCH(int, damage);
        QFETCH(int, cut);
        QFETCH(QString, error);
        MappingPack p;
        p.description = QStringLiteral("P4 indoor 64x32");
        p.data = QByteArray(100, 's');
        QByteArray file = encode_mapping_pack(p);
        if (damage >= 0)
            file[damage] = char(file[damage] ^ 0x10);
        file.chop(cut);
        env->write_file("/data/smartmapping/p4.ykfile", file);
        MappingPack back;
        QString got;
        const int r = rcvRecovery::read_mapping_pack("/data/smartmapping/p4.ykfile", &back, &got);
        QCOMPARE(r, error.isEmpty() ? 0 : 1);
        QCOMPARE(got, error);
        if (error.isEmpty()) {
            QCOMPARE(back.description, p.description);
            QCOMPARE(back.data, p.data);
        }
    }

    void recovery_packs_in_name_order()
    {
        std::vector<RecoveryScreen> a = two_screens();
        RecoveryScreen third;
        RecoveryNet n;
        n.port = 9;
        n.cards = {QByteArray("z")};
        third.nets = {n};
        QByteArray broken = encode_recovery_pack(a);
        broken[10] = char(broken[10] ^ 1);
        env->write_file("/data/rcvrecovery/b", encode_recovery_pack({third}));
        env->write_file("/data/rcvrecovery/a", encode_recovery_pack(a));
        env->write_file("/data/rcvrecovery/c", broken);
        std::vector<RecoveryScreen> got;
        QCOMPARE(rcvRecovery::read_recovery_dir("/data/rcvrecovery", &got), 0);
        QCOMPARE(int(got.size()), 3);
        QCOMPARE(int(got[0].nets.size()), 2);
        QCOMPARE(int(got[0].nets[1].port), 15);
        QCOMPARE(got[0].nets[1].cards[0], QByteArray(500, 'x'));
        QCOMPARE(got[0].nets[0].cards[1], QByteArray("two"));
        QCOMPARE(int(got[2].nets[0].port), 9);
        // Nothing readable.
        QFile::remove(env->path("/data/rcvrecovery/a"));
        QFile::remove(env->path("/data/rcvrecovery/b"));
        QCOMPARE(rcvRecovery::read_recovery_dir("/data/rcvrecovery", &got), 1);
        QCOMPARE(rcvRecovery::read_recovery_dir("/data/none", &got), 1);
    }

    void recovery_pack_damage_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("damage");
        QTest::addColumn<bool>("recheck");  // a checksum made to fit the damage
        QTest::newRow("truncated") << 7 << -1 << false;
        QTest::newRow("card count") << 0 << 10 << false;
        QTest::newRow("no crc") << 4 << -1 << false;
        QTest::newRow("card count, fitting crc") << 0 << 10 << true;
        QTest::newRow("port 16, fitting crc") << 0 << 9 << true;
    }
    void recovery_pack_damage()
    {
        QFETCH(int, cut);
        QFETCH(int, damage);
        QFETCH(bool, recheck);
        QByteArray file = encode_recovery_pack(two_screens());
        if (damage >= 0)
            file[damage] = char(damage == 9 ? 16 : file[damage] + 1);
        file.chop(cut);
        if (recheck) {
            file.chop(4);
            const uint32_t crc = rcv_crc32(reinterpret_cast<const uint8_t *>(file.constData()), file.size());
            for (int i = 0; i < 4; ++i)
                file.append(char(crc >> (8 * i)));
        }
        QCOMPARE(decode_recovery_pack(file, nullptr), 1);
    }

    void directory_listing()
    {
        rcvRecovery reader;
        QCOMPARE(reader.get_dir_file("/data/smartmapping"), 1);
        QCOMPARE(reader.file_count(), 0);
        env->write_file("/data/smartmapping/a.ykfile", "a");
        env->write_file("/data/smartmapping/b.txt", "b");
        QDir().mkpath(env->path("/data/smartmapping/sub"));
        QFile::link(env->path("/data/smartmapping/a.ykfile"), env->path("/data/smartmapping/link.ykfile"));
        QCOMPARE(reader.get_dir_file("/data/smartmapping"), 0);
        QStringList files = reader.file_list();
        files.sort();
        QCOMPARE(files, QStringList({"/data/smartmapping/a.ykfile", "/data/smartmapping/b.txt"}));
        // The manager owns one for the pages.
        QVERIFY(fpga_manage::pInstance()->p_rcv_recovery_file);
    }
};

QTEST_MAIN(TestPackFiles)
#include "test_pack_files.moc"
