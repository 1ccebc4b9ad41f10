#pragma once
#include "core/global.h"
#include "fpga/fpga_manage.h"
#include "kor_test_env.h"
#include "platform/sim_fpga.h"

#include <QSignalSpy>
#include <vector>

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
