#include "fpga/fpga_card_jobs.h"

#include "core/global.h"
#include "core/utils.h"
#include "fpga/fpga_job_request.h"
#include "fpga/fpga_registers.h"
#include "fpga/rcv_recovery_file.h"
#include "fpga/route_pattern.h"
#include "platform/fpga_device.h"

#include <algorithm>
#include <cstring>

namespace {
// A frame is sent again when no reply came within this many ticks, at most kTries times.
constexpr uint32_t kAckTicks = 50;
constexpr int kTries = 3;
constexpr int kChunk = 256;
// Frames exchanged in one pass while the cards answer at once.
constexpr int kOpsPerPass = 8;
const char kRecoveryDir[] = "/data/rcvrecovery";

enum { ExchangePending = 0, ExchangeDone = 1, ExchangeFailed = 2 };

RcvFrame make_frame(uint8_t port, uint16_t card, uint8_t command, uint32_t address = 0,
                    std::vector<uint8_t> data = {})
{
    RcvFrame f;
    f.port = port;
    f.card = card;
    f.command = command;
    f.address = address;
    f.data = std::move(data);
    return f;
}

uint16_t le16(const unsigned char *p) { return uint16_t(p[0] | (p[1] << 8)); }
}

fpga_card_jobs::fpga_card_jobs(fpga_registers &registers, std::shared_ptr<FpgaDevice> dev,
                               fpga_job_notifier *notifier)
    : m_registers(registers), m_dev(std::move(dev)), m_notifier(notifier)
{
}

void fpga_card_jobs::set_job_step(uint8_t step)
{
    // The step is the worker's; byte 1 only mirrors it, so a stray store there by a page
    // cannot move the job.
    m_job.step = step;
    kor_set_job_step(step);
}

void fpga_card_jobs::push_op(const CardOp &op, bool front)
{
    if (front)
        m_job.ops.push_front(op);
    else
        m_job.ops.push_back(op);
    ++m_job.ops_total;
}

void fpga_card_jobs::push_chunks(uint8_t port, uint16_t card, uint8_t write_cmd, uint8_t end_cmd, const QByteArray &data,
                              bool front)
{
    std::vector<CardOp> ops;
    const auto *bytes = reinterpret_cast<const uint8_t *>(data.constData());
    for (int off = 0; off < data.size(); off += kChunk) {
        const int n = std::min(kChunk, data.size() - off);
        ops.push_back(CardOp{make_frame(port, card, write_cmd, uint32_t(off),
                                        std::vector<uint8_t>(bytes + off, bytes + off + n)),
                             nullptr});
    }
    std::vector<uint8_t> end;
    rcv_put32(end, uint32_t(data.size()));
    rcv_put32(end, rcv_crc32(bytes, data.size()));
    ops.push_back(CardOp{make_frame(port, card, end_cmd, 0, end), nullptr});
    if (front) {
        for (auto it = ops.rbegin(); it != ops.rend(); ++it)
            push_op(*it, true);
    } else {
        for (const CardOp &op : ops)
            push_op(op, false);
    }
}

void fpga_card_jobs::report_percent()
{
    if (m_job.ops_total <= 0)
        return;
    const int p = std::min(99, m_job.ops_done * 100 / m_job.ops_total);
    if (p > m_job.last_percent) {
        m_job.last_percent = p;
        m_notifier->post_progress(m_job.job, p);
    }
}

void fpga_card_jobs::start(uint8_t job)
{
    m_job = CardJob();
    m_job.job = job;
    set_job_step(0);
    kor_trace("\n fpga job %d start\n", int(job));
    pass();
}

void fpga_card_jobs::refuse()
{
    const uint8_t job = kor_job();
    if (!job)
        return;
    // Byte 1 is the upgrade engine's step now: only the job byte is cleared.
    kor_drop_job();
    kor_trace("\n fpga job %d refused: USB upgrade running\n", int(job));
    m_notifier->post_result(job, JobBusy);
    m_notifier->post_progress(job, 100);
}

void fpga_card_jobs::pass()
{
    if (m_job.job == 5 || m_job.job == 6) {
        rcv_recovery_check_deal(m_job.job == 5 ? RCV_CHECK : RCV_RECOVERY);
        return;
    }
    job_steps([this] {
        if (!prepare_card_job())
            m_job.failed = true;
    });
}

void fpga_card_jobs::rcv_recovery_check_deal(RCV_CHECK_OR_RECOVERY what)
{
    if (m_job.job != (what == RCV_CHECK ? 5 : 6))
        return;
    job_steps([this, what] { prepare_recovery_ops(what); });
}

// Every card job: step 0 prepares its frames, step 1 exchanges them with the cards, step 2
// ends the job (also after a failure).
void fpga_card_jobs::job_steps(const std::function<void()> &prepare)
{
    switch (m_job.step) {
    case 0:
        prepare();
        set_job_step(m_job.failed ? 2 : 1);
        break;
    case 1: {
        const int r = exchange_ops();
        if (r == ExchangeFailed)
            m_job.failed = true;
        if (r != ExchangePending)
            set_job_step(2);
        break;
    }
    default:
        finish_card_job();
        break;
    }
}

bool fpga_card_jobs::prepare_card_job()
{
    const uint8_t job = m_job.job;
    if (job < 1 || job > 4) {
        kor_trace("\n fpga job %d: not a card job\n", int(job));
        return false;
    }
    // The page's request is copied before anything else; it may change it from now on.
    std::memcpy(m_job.line, line_type, sizeof m_job.line);
    if (job == 2)
        m_job.pack_path = QString::fromStdString(g_ykfile_name);
    if (!m_registers.running()) {
        kor_trace("\n fpga job %d: fpga not running\n", int(job));
        return false;
    }
    const uint16_t links = m_registers.read_links();

    if (job == 3 || job == 4) {
        // Every linked port is told at once; its chain answers as one.
        std::vector<uint8_t> data;
        uint8_t command = RCV_CMD_CURE;
        if (job == 4) {
            command = RCV_CMD_MAPPING;
            rcv_put32(data, kor_mapping_value());
        }
        for (uint8_t port = 0; port < fpga_registers::kPorts; ++port)
            if (links & (1u << port))
                push_op(CardOp{make_frame(port, kRcvAllCards, command, 0, data), nullptr});
        if (m_job.ops.empty())
            kor_trace("\n fpga job %d: no port has a link\n", int(job));
        return !m_job.ops.empty();
    }

    // Jobs 1 and 2 work on the port of the quick-setup record.
    const uint8_t port = m_job.line[8];
    if (job == 2) {
        MappingPack pack;
        QString error;
        if (m_job.pack_path.isEmpty() || !rcvRecovery::read_mapping_pack(m_job.pack_path, &pack, &error)) {
            kor_trace("\n fpga job 2: pack %s: %s\n", qPrintable(m_job.pack_path), qPrintable(error));
            m_job.result = JobPackRefused;
            return false;
        }
        m_job.pack = pack.data;
    }
    if (port >= fpga_registers::kPorts || !(links & (1u << port))) {
        kor_trace("\n fpga job %d: port %d has no link\n", int(job), int(port));
        return false;
    }
    // The chain's length decides which cards are addressed.
    push_op(CardOp{make_frame(port, kRcvAllCards, RCV_CMD_COUNT),
                   [this, port](const RcvFrame &reply, QString *error) { return plan_chain(port, reply, error); }});
    return true;
}

bool fpga_card_jobs::plan_chain(uint8_t port, const RcvFrame &count_reply, QString *error)
{
    if (count_reply.data.size() < 2) {
        *error = QStringLiteral("no card count");
        return false;
    }
    const int cards = rcv_get16(count_reply.data.data());
    if (m_job.job == 2) {
        for (int k = 0; k < cards; ++k)
            push_chunks(port, uint16_t(k), RCV_CMD_PACK_WRITE, RCV_CMD_PACK_END, m_job.pack, false);
        return true;
    }
    // Job 1: card k takes the k-th cabinet of the routing pattern.
    const int rows = m_job.line[9];
    const int cols = m_job.line[10];
    const int n = std::min(cards, rows * cols);
    if (cards != rows * cols)
        kor_trace("\n fpga job 1: %d cards for %d cabinets\n", cards, rows * cols);
    const uint16_t w = le16(m_job.line), h = le16(m_job.line + 2);
    const uint16_t x0 = le16(m_job.line + 4), y0 = le16(m_job.line + 6);
    for (int k = 0; k < n; ++k) {
        const RouteCell c = route_cell(m_job.line[11], rows, cols, k);
        std::vector<uint8_t> pos;
        rcv_put16(pos, uint16_t(x0 + c.column * w));
        rcv_put16(pos, uint16_t(y0 + c.row * h));
        push_op(CardOp{make_frame(port, uint16_t(k), RCV_CMD_POSITION, 0, pos), nullptr});
    }
    return true;
}

void fpga_card_jobs::prepare_recovery_ops(RCV_CHECK_OR_RECOVERY what)
{
    // No report yet; the page relists only once a card is named here.
    kor_set_card_field(0xFFFF);
    if (what == RCV_CHECK)
        m_listed = false;
    if (!m_registers.running()) {
        kor_trace("\n rcv_recovery_check_deal: fpga not running\n");
        m_job.failed = true;
        return;
    }
    QString error;
    if (!rcvRecovery::read_recovery_dir(QString::fromLatin1(kRecoveryDir), &m_job.screens, &error)) {
        kor_trace("\n rcv_recovery_check_deal: %s: %s\n", kRecoveryDir, qPrintable(error));
        m_job.failed = true;
        m_job.result = JobPackRefused;
        return;
    }
    const uint16_t links = m_registers.read_links();
    for (size_t s = 0; s < m_job.screens.size(); ++s) {
        for (size_t n = 0; n < m_job.screens[s].nets.size(); ++n) {
            const uint8_t port = m_job.screens[s].nets[n].port;
            if (links & (1u << port))
                queue_recovery_net(int(s), int(n), 0);
            else
                kor_trace("\n rcv_recovery_check_deal: screen %d port %d has no link\n", int(s) + 1, port + 1);
        }
    }
    if (m_job.ops.empty())
        m_job.failed = true;
}

void fpga_card_jobs::queue_recovery_net(int screen, int net, int attempt)
{
    const uint8_t port = m_job.screens[size_t(screen)].nets[size_t(net)].port;
    push_op(CardOp{make_frame(port, kRcvAllCards, RCV_CMD_CHECK),
                   [this, screen, net, attempt](const RcvFrame &reply, QString *error) {
                       return on_recovery_check(screen, net, attempt, reply, error);
                   }},
            attempt > 0);
}

bool fpga_card_jobs::on_recovery_check(int screen, int net, int attempt, const RcvFrame &reply, QString *error)
{
    if (reply.data.size() < 2) {
        *error = QStringLiteral("no card named");
        return false;
    }
    const uint16_t card = rcv_get16(reply.data.data());
    kor_set_card_field(card);
    if (card == kRcvNoCard)
        return true;
    const RecoveryNet &n = m_job.screens[size_t(screen)].nets[size_t(net)];
    const int count = int(n.cards.size());
    if (m_job.job == 5) {
        // One card is listed per check.
        const QString entry = QString::asprintf("%02d/%02d/%02d/%02d", screen + 1, n.port + 1, card + 1, count);
        m_listed = true;
        m_notifier->post_recovery_list(QStringList{entry}, 1);
        m_job.ops.clear();
        return true;
    }
    if (card >= count || attempt >= count) {
        // Beyond what the pack describes, or it keeps asking: left as it is.
        kor_trace("\n rcv recovery: screen %d port %d card %d not recovered\n", screen + 1, n.port + 1, card + 1);
        m_job.unrecovered_card = card;
        return true;
    }
    // The card gets its parameters back, then the port is checked again.
    queue_recovery_net(screen, net, attempt + 1);
    push_chunks(n.port, card, RCV_CMD_RECOVER_WRITE, RCV_CMD_RECOVER_END, n.cards[size_t(card)], true);
    return true;
}

int fpga_card_jobs::exchange_ops()
{
    for (int budget = kOpsPerPass; budget > 0; --budget) {
        if (m_job.ops.empty())
            return ExchangeDone;
        const RcvFrame &out = m_job.ops.front().frame;
        RcvFrame reply;
        bool got = false;
        {
            std::lock_guard<std::mutex> lock(m_card_mutex);
            if (!m_job.op_sent) {
                const std::vector<uint8_t> bytes = rcv_frame_encode(out);
                if (m_dev->card_send(bytes.data(), int(bytes.size())) != 0) {
                    kor_trace("\n fpga job %d: frame refused on port %d\n", int(m_job.job), out.port + 1);
                    return ExchangeFailed;
                }
                m_job.op_sent = true;
                m_job.op_tick = G_timeTicks.load();
            }
            std::vector<uint8_t> bytes;
            while (!got && m_dev->card_poll(out.port, &bytes)) {
                // Late answers to an earlier try are passed over.
                got = rcv_frame_decode(bytes.data(), int(bytes.size()), &reply) && reply.source == 1 &&
                      reply.port == out.port && reply.card == out.card && reply.command == out.command;
            }
        }
        if (!got) {
            if (Utils::getTimeSpace(m_job.op_tick) > kAckTicks) {
                if (++m_job.op_tries >= kTries) {
                    kor_trace("\n fpga job %d: no answer on port %d card %d\n", int(m_job.job), out.port + 1,
                              int(out.card));
                    return ExchangeFailed;
                }
                m_job.op_sent = false;
            }
            return ExchangePending;
        }
        CardOp op = std::move(m_job.ops.front());
        m_job.ops.pop_front();
        m_job.op_sent = false;
        m_job.op_tries = 0;
        ++m_job.ops_done;
        if (reply.status != 0) {
            kor_trace("\n fpga job %d: card %d of port %d answered error\n", int(m_job.job), int(op.frame.card),
                      op.frame.port + 1);
            return ExchangeFailed;
        }
        QString error;
        if (op.then && !op.then(reply, &error)) {
            kor_trace("\n fpga job %d: port %d: %s\n", int(m_job.job), op.frame.port + 1, qPrintable(error));
            return ExchangeFailed;
        }
        report_percent();
    }
    return m_job.ops.empty() ? ExchangeDone : ExchangePending;
}

void fpga_card_jobs::finish_card_job()
{
    const uint8_t job = m_job.job;
    bool raise_99 = false;
    if (job == 6) {
        if (m_job.unrecovered_card >= 0)
            kor_set_card_field(uint16_t(m_job.unrecovered_card));
        // The list is emptied, and the page relists on 99, only when every net was checked
        // again and no card is left; a recovery cut short leaves the card listed.
        if (m_listed && !m_job.failed && kor_card_field() == kRcvNoCard) {
            m_listed = false;
            m_notifier->post_recovery_list(QStringList(), 0);
            raise_99 = true;
        }
    }
    const int result = m_job.failed ? m_job.result : int(JobDone);
    kor_trace("\n fpga job %d %s\n", int(job), m_job.failed ? "failed" : "done");
    m_job = CardJob();
    kor_send_job(0, 0);
    m_notifier->post_result(job, result);
    m_notifier->post_progress(job, 100);
    if (raise_99)
        m_notifier->post_update_code(99);
}
