#include "fpga/rcv_recovery_file.h"
#include "kor_test_helpers.h"

class TestPackFiles : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }

private slots:

    void damaged_packs_data()
    {
        // mapping: else a recovery pack; at: byte flipped (bit 4); cut: bytes cut off the end
        // refit: a checksum made to fit the damage
        kor_columns<bool, int, int, bool, QString>({"mapping", "at", "cut", "refit", "error"});
        QTest::newRow("mapping whole") << true << -1 << 0 << false << "";
        QTest::newRow("mapping magic") << true << 0 << 0 << false << "bad header";
        QTest::newRow("mapping data") << true << 60 << 0 << false << "bad checksum";
        QTest::newRow("mapping truncated") << true << -1 << 10 << false << "bad length";
        QTest::newRow("mapping, only a head") << true << -1 << 100 << false << "bad length";
        QTest::newRow("recovery truncated") << false << -1 << 7 << false << "bad checksum";
        QTest::newRow("recovery card count") << false << 20 << 0 << false << "bad checksum";
        QTest::newRow("recovery card count, fitting crc") << false << 20 << 0 << true << "bad length";
        QTest::newRow("recovery port 16, fitting crc") << false << 9 << 0 << true << "bad net";
    }
    void damaged_packs()
    {
        QFETCH(bool, mapping);
        QFETCH(int, at);
        QFETCH(bool, refit);
        QFETCH(QString, error);
        const MappingPack pack{QStringLiteral("P4 indoor 64x32"), QByteArray(100, 's')};
        const RecoveryScreen screen{{kor_recovery_net(0, 2, 0, 3), kor_recovery_net(15, 1, 5, 500)}};
        QByteArray file = mapping ? encode_mapping_pack(pack) : encode_recovery_pack({screen, screen});
        if (at >= 0)
            file[at] = char(file[at] ^ 0x10);
        file.chop(kor_data<int>("cut") + (refit ? 4 : 0));
        const uint32_t crc = rcv_crc32(reinterpret_cast<const uint8_t *>(file.constData()), file.size());
        for (int i = 0; i < 4 && refit; ++i)
            file.append(char(crc >> (8 * i)));
        MappingPack back;
        std::vector<RecoveryScreen> got;
        QString why;
        QCOMPARE(mapping ? decode_mapping_pack(file, &back, &why) : decode_recovery_pack(file, &got, &why),
                 error.isEmpty() ? 0 : 1);
        QCOMPARE(why, error);
        if (error.isEmpty())
            QVERIFY(back.description == pack.description && back.data == pack.data);
    }

    void recovery_packs_in_name_order()
    {
        const RecoveryScreen net_0_and_15{{kor_recovery_net(0, 2), kor_recovery_net(15, 1)}};
        QByteArray broken = encode_recovery_pack({net_0_and_15});
        broken[10] = char(broken[10] ^ 1);
        env->write_file("/data/rcvrecovery/b", encode_recovery_pack({RecoveryScreen{{kor_recovery_net(9, 1)}}}));
        env->write_file("/data/rcvrecovery/a", encode_recovery_pack({net_0_and_15, net_0_and_15}));
        env->write_file("/data/rcvrecovery/c", broken);
        std::vector<RecoveryScreen> got;
        QCOMPARE(rcvRecovery::read_recovery_dir("/data/rcvrecovery", &got), 0);
        QCOMPARE(int(got.size()), 3);
        QCOMPARE(int(got[0].nets[1].port), 15);
        QCOMPARE(got[1].nets[0].cards, net_0_and_15.nets[0].cards);
        QCOMPARE(int(got[2].nets[0].port), 9);
        // Nothing readable.
        QFile::remove(env->path("/data/rcvrecovery/a"));
        QFile::remove(env->path("/data/rcvrecovery/b"));
        QCOMPARE(rcvRecovery::read_recovery_dir("/data/rcvrecovery", &got), 1);
        QCOMPARE(rcvRecovery::read_recovery_dir("/data/none", &got), 1);
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
    }
};

QTEST_MAIN(TestPackFiles)
#include "test_pack_files.moc"
