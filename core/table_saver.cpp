#include "core/table_saver.h"

#include <algorithm>

namespace {
std::mutex g_savers_mutex;
std::vector<TableSaver *> g_savers;
}

TableSaver::TableSaver(Writer writer) : m_writer(std::move(writer))
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
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (m_pending_generation == 0)
        m_first_pending = now;
    m_last_submit = now;
    m_pending = snapshot;
    m_pending_generation = m_next_generation++;
    // Started on first use: a program that never saves has no saver thread.
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_wake.notify_one();
    return m_pending_generation;
}

void TableSaver::flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_hurry = true;
    m_wake.notify_all();
    m_idle.wait(lock, [this] { return m_pending_generation == 0 && !m_writing; });
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
        if (m_pending_generation == 0)
            return;  // stopped, nothing left
        // Held back while newer snapshots keep coming, within the latest time.
        while (!m_stop && !m_hurry) {
            const auto due = std::min(m_last_submit + kQuiet, m_first_pending + kLatest);
            if (std::chrono::steady_clock::now() >= due)
                break;
            m_wake.wait_until(lock, due);
        }
        const QByteArray snapshot = m_pending;
        const uint64_t generation = m_pending_generation;
        m_pending_generation = 0;
        m_writing = true;
        lock.unlock();
        const bool ok = m_writer(snapshot);
        lock.lock();
        m_writing = false;
        m_results.push_back({generation, ok});
        if (m_on_result) {
            lock.unlock();
            m_on_result();
            lock.lock();
        }
        if (m_pending_generation == 0)
            m_idle.notify_all();
    }
}
