#include "core/table_saver.h"

#include <algorithm>

namespace {
std::mutex g_savers_mutex;
std::vector<TableSaver *> g_savers;
}

TableSaver::TableSaver(Writer writer) : TableSaver(std::move(writer), Timing()) {}

TableSaver::TableSaver(Writer writer, Timing timing)
    : m_writer(std::move(writer)), m_timing(timing), m_backoff(timing.retry_first)
{
    std::lock_guard<std::mutex> lock(g_savers_mutex);
    g_savers.push_back(this);
}

TableSaver::~TableSaver()
{
    {
        std::lock_guard<std::mutex> lock(g_savers_mutex);
        g_savers.erase(std::remove(g_savers.begin(), g_savers.end(), this), g_savers.end());
    }
    flush();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

uint64_t TableSaver::submit(const QByteArray &snapshot)
{
    return hand_over(snapshot, false);
}

uint64_t TableSaver::submit_retry(const QByteArray &snapshot)
{
    return hand_over(snapshot, true);
}

uint64_t TableSaver::hand_over(const QByteArray &snapshot, bool failed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (m_pending_generation == 0 || m_retrying)
        m_first_pending = now;
    m_last_submit = now;
    m_pending = snapshot;
    m_pending_generation = m_next_generation++;
    m_retrying = false;
    // A new change: its first retry comes after the shortest wait.
    m_backoff = m_timing.retry_first;  // however long the last one's had grown
    if (failed)
        keep_for_retry(snapshot, m_pending_generation, true);
    // Started on first use: a program that never saves has no saver thread.
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_wake.notify_one();
    return m_pending_generation;
}

std::chrono::milliseconds TableSaver::keep_for_retry(const QByteArray &failed, uint64_t generation, bool back_off)
{
    const auto now = std::chrono::steady_clock::now();
    std::chrono::milliseconds retry_in{0};
    if (m_pending_generation == 0 || m_pending_generation == generation) {
        m_pending = failed;
        m_pending_generation = generation;
        m_retrying = true;
        retry_in = m_backoff;
        m_retry_due = now + m_backoff;
        // A failure of a snapshot a newer one replaced says nothing of the newer one's.
        if (back_off)
            m_backoff = std::min(m_backoff * 2, m_timing.retry_most);
    }
    return retry_in;
}

void TableSaver::flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const uint64_t attempts = m_attempts;
    ++m_flushing;
    m_hurry = true;
    m_wake.notify_all();
    // Written, or tried once more since and failed again: its retry goes on without us.
    m_idle.wait(lock, [&] { return !m_writing && (m_pending_generation == 0 || (m_retrying && m_attempts > attempts)); });
    // The hurry was this flush's: the next snapshot is held back as usual.
    if (--m_flushing == 0)
        m_hurry = false;
}

std::vector<TableSaver::Result> TableSaver::take_results()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Result> out;
    out.swap(m_results);
    return out;
}

void TableSaver::flush_all()
{
    std::lock_guard<std::mutex> lock(g_savers_mutex);
    for (TableSaver *s : g_savers)
        s->flush();
}

void TableSaver::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_pending_generation != 0; });
        // Stopped with nothing left, or with a failed one that had its last try in the flush.
        if (m_pending_generation == 0 || (m_stop && m_retrying))
            return;
        // Held back while newer snapshots keep coming, within the latest time; a failed one
        // until its retry is due.
        while (!m_stop && !m_hurry) {
            const auto due =
                m_retrying ? m_retry_due : std::min(m_last_submit + m_timing.quiet, m_first_pending + m_timing.latest);
            if (std::chrono::steady_clock::now() >= due)
                break;
            m_wake.wait_until(lock, due);
        }
        // Taken: a failure waits for its back-off, not for the next flush. A write a flush
        // forced does not lengthen the back-off.
        const bool hurried = m_hurry && !m_stop;
        m_hurry = false;
        const QByteArray snapshot = m_pending;
        const uint64_t generation = m_pending_generation;
        m_pending_generation = 0;
        m_retrying = false;
        m_writing = true;
        lock.unlock();
        const bool ok = m_writer(snapshot);
        lock.lock();
        m_writing = false;
        ++m_attempts;
        // A success needs no reset of the back-off: the next change starts it anew.
        const std::chrono::milliseconds retry_in =
            ok ? std::chrono::milliseconds(0) : keep_for_retry(snapshot, generation, !hurried);
        m_results.push_back({generation, ok, retry_in});
        if (m_on_result) {
            lock.unlock();
            m_on_result();
            lock.lock();
        }
        if (m_pending_generation == 0 || m_retrying)
            m_idle.notify_all();
    }
}
