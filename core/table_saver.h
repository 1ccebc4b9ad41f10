#pragma once
#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Writes table snapshots to flash on a thread of its own, so the GUI thread never waits on
// the flash. The newest snapshot wins: a snapshot is written once no newer one has come for
// kQuiet, and at the latest kLatest after the first one that waits, so a held key (a step
// every 50 ms) makes about two writes a second and every change is on flash within 0.5 s.
// A failed write is tried again after 1 s, then after twice as long each time it fails
// again, up to 30 s; a new snapshot starts the back-off anew. Each snapshot gets
// a generation number; the owner learns, in its own thread, which generations reached the
// file and which failed.
class TableSaver {
public:
    // Writes one snapshot whole (true on success). Called on the saver thread.
    using Writer = std::function<bool(const QByteArray &snapshot)>;
    struct Result {
        uint64_t generation;
        bool ok;
        std::chrono::milliseconds retry_in;  // failed: when it is tried again (0: a newer one came)
    };

    static constexpr std::chrono::milliseconds kQuiet{100};
    static constexpr std::chrono::milliseconds kLatest{450};
    static constexpr std::chrono::milliseconds kRetryFirst{1000};
    static constexpr std::chrono::milliseconds kRetryMost{30000};
    struct Timing {
        std::chrono::milliseconds quiet = kQuiet, latest = kLatest, retry_first = kRetryFirst, retry_most = kRetryMost;
    };

    explicit TableSaver(Writer writer);
    TableSaver(Writer writer, Timing timing);
    ~TableSaver();  // writes what is pending first
    TableSaver(const TableSaver &) = delete;
    TableSaver &operator=(const TableSaver &) = delete;

    // Hands a snapshot over; returns its generation (1, 2, ...).
    uint64_t submit(const QByteArray &snapshot);
    // Hands over a snapshot whose write already failed elsewhere: tried after the back-off.
    uint64_t submit_retry(const QByteArray &snapshot);
    // Writes what is pending now and waits until it is written, or has failed once more and
    // waits for its retry (any thread but the saver's).
    void flush();
    // The results since the last call, oldest first.
    std::vector<Result> take_results();
    // Called on the saver thread after each write, e.g. to ask the owner's thread to call
    // take_results(). Set before the first submit.
    void set_on_result(std::function<void()> on_result) { m_on_result = std::move(on_result); }

    // Every saver in the program writes what it holds (before a reboot).
    static void flush_all();

private:
    void run();
    uint64_t hand_over(const QByteArray &snapshot, bool failed);
    // Under m_mutex: the `failed` snapshot is kept for a retry unless a newer one came, and
    // when it is due; `back_off`: the next failure waits twice as long.
    std::chrono::milliseconds keep_for_retry(const QByteArray &failed, uint64_t generation, bool back_off);

    Writer m_writer;
    const Timing m_timing;
    std::function<void()> m_on_result;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    QByteArray m_pending;
    uint64_t m_pending_generation = 0;  // 0: nothing pending
    uint64_t m_next_generation = 1;
    bool m_writing = false;
    bool m_stop = false;
    bool m_hurry = false;     // a flush waits: no holding back, no back-off
    int m_flushing = 0;       // flushes waiting
    bool m_retrying = false;  // the pending snapshot failed and waits for its retry
    uint64_t m_attempts = 0;  // writes tried, for flush
    std::chrono::milliseconds m_backoff;
    std::chrono::steady_clock::time_point m_retry_due;
    std::chrono::steady_clock::time_point m_first_pending;
    std::chrono::steady_clock::time_point m_last_submit;
    std::vector<Result> m_results;
    std::thread m_thread;
};
