#pragma once
#include "fpga/fpga_job_notifier.h"
#include "fpga/pack_formats.h"
#include "platform/rcv_frame.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class FpgaDevice;
class fpga_registers;

enum RCV_CHECK_OR_RECOVERY { RCV_CHECK = 0, RCV_RECOVERY = 1 };

// The receiving-card jobs of the job request (fpga/fpga_job_request.h), run by the FPGA
// worker one step per pass. Every job goes the same three steps: 0 copies the request and
// plans the frames, 1 sends them with acknowledge rounds, 2 clears the job bytes and reports
// 100, whatever the outcome. Worker thread only.
class fpga_card_jobs {
public:
    fpga_card_jobs(fpga_registers &registers, std::shared_ptr<FpgaDevice> dev, fpga_job_notifier *notifier);

    bool busy() const { return m_job.job != 0; }
    // Takes job `job` of the request and runs its first step.
    void start(uint8_t job);
    // One step of the job in flight.
    void pass();
    // A job asked for while the USB-stick upgrade runs is dropped and reported busy.
    void refuse();
    // The step of check (5) or recovery (6) when that is the job in flight.
    void rcv_recovery_check_deal(RCV_CHECK_OR_RECOVERY what);

private:
    struct CardOp {
        RcvFrame frame;
        // Runs on the card's reply; false, with `error` set, fails the job.
        std::function<bool(const RcvFrame &reply, QString *error)> then;
    };
    struct CardJob {
        uint8_t job = 0;
        uint8_t step = 0;
        std::deque<CardOp> ops;
        int ops_total = 0;
        int ops_done = 0;
        bool op_sent = false;
        uint32_t op_tick = 0;
        int op_tries = 0;
        int last_percent = 0;
        bool failed = false;
        int result = JobFailed;  // what a failure is reported as
        unsigned char line[12] = {};
        QString pack_path;
        QByteArray pack;
        std::vector<RecoveryScreen> screens;
        int unrecovered_card = -1;
    };

    void job_steps(const std::function<void()> &prepare);
    bool prepare_card_job();
    int exchange_ops();
    void finish_card_job();
    void push_op(const CardOp &op, bool front = false);
    void push_chunks(uint8_t port, uint16_t card, uint8_t write_cmd, uint8_t end_cmd, const QByteArray &data,
                     bool front);
    void report_percent();
    void set_job_step(uint8_t step);
    bool plan_chain(uint8_t port, const RcvFrame &count_reply, QString *error);
    void prepare_recovery_ops(RCV_CHECK_OR_RECOVERY what);
    void queue_recovery_net(int screen, int net, int attempt);
    bool on_recovery_check(int screen, int net, int attempt, const RcvFrame &reply, QString *error);

    fpga_registers &m_registers;
    std::shared_ptr<FpgaDevice> m_dev;
    fpga_job_notifier *m_notifier;
    std::mutex m_card_mutex;  // receiving-card frames on the FPGA
    CardJob m_job;
    bool m_listed = false;  // a check put a card into the recovery page's list
};
