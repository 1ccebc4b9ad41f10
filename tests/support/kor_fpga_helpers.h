#pragma once
#include "core/global.h"
#include "fpga/fpga_manage.h"
#include "fpga/pack_formats.h"
#include "kor_test_env.h"
#include "platform/sim_fpga.h"

#include <QSignalSpy>
#include <vector>

// Bytes as the simulated cards keep them.
inline std::vector<uint8_t> kor_bytes(const QByteArray &b)
{
    return std::vector<uint8_t>(b.begin(), b.end());
}

// A card's parameter block, told apart from the others by its seed.
inline QByteArray kor_block(int seed, int size = 300)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(seed * 31 + i);
    return b;
}

// A recovery net on `port`: blocks seeded first_seed, first_seed + 1, ... in chain order.
inline RecoveryNet kor_recovery_net(uint8_t port, int cards, int first_seed = 0, int size = 300)
{
    RecoveryNet n;
    n.port = port;
    for (int k = 0; k < cards; ++k)
        n.cards.push_back(kor_block(first_seed + k, size));
    return n;
}

// Writes a smart-mapping pack of `data` (one byte flipped at `damage`) and chooses it as the
// page does.
inline void kor_choose_pack(const KorTestEnv &env, const QByteArray &data, int damage = -1)
{
    MappingPack pack;
    pack.data = data;
    QByteArray file = encode_mapping_pack(pack);
    if (damage >= 0)
        file[damage] = char(file[damage] ^ 1);
    env.write_file("/data/smartmapping/chosen.ykfile", file);
    g_ykfile_name = "/data/smartmapping/chosen.ykfile";
}

// Progress of the FPGA worker's jobs as the pages would see it.
struct KorJobProgress {
    std::vector<int> percents;
    int job = 0;
};

// Brings up the FPGA manager over the simulated FPGA without starting its thread.
inline fpga_manage *kor_fpga_up()
{
    fpga_manage *m = fpga_manage::pInstance();
    m->fpga_bring_up();
    return m;
}

// Runs worker passes (one tick apart) until the job reports 100; returns what it reported.
// Gives up after max_passes.
inline KorJobProgress kor_finish_job(int max_passes = 2000)
{
    fpga_manage *m = fpga_manage::p_fpga_manage;
    QSignalSpy spy(m->notifier(), &fpga_job_notifier::job_progress);
    KorJobProgress out;
    for (int i = 0; i < max_passes; ++i) {
        m->run_pass();
        m->notifier()->deliver();
        KorTestEnv::tick(1);
        bool ended = false;
        for (const QList<QVariant> &args : spy) {
            out.job = args.at(0).toInt();
            out.percents.push_back(args.at(1).toInt());
            ended = ended || args.at(1).toInt() == 100;
        }
        spy.clear();
        if (ended)
            break;
    }
    return out;
}

// Posts the job as a page does and runs it to its end.
inline KorJobProgress kor_run_job(uint8_t job, int max_passes = 2000)
{
    kor_send_job(job, 0);
    return kor_finish_job(max_passes);
}
