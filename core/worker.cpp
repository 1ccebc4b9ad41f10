#include "core/worker.h"

#include <algorithm>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {
std::mutex g_workers_mutex;
std::vector<KorWorker *> g_workers;  // the running ones
}

int KorWorker::start(std::function<void()> pass, Pending pending, std::chrono::milliseconds step, int event_fd)
{
    if (m_thread.joinable())
        return 0;
    m_stop = false;
    m_pending = std::move(pending);
    m_event_fd = event_fd;
    if (m_wake_fd < 0)
        m_wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wake_fd < 0)
        return 255;
    try {
        m_thread = std::thread([this, pass = std::move(pass), step] {
            while (!m_stop.load(std::memory_order_acquire)) {
                pass();
                if (m_stop.load(std::memory_order_acquire))
                    break;
                const bool busy = m_pending && m_pending();
                // Resting is published before the test above is taken again by the tick, and
                // a wake() in between stays counted in the event fd: none is lost.
                m_resting.store(!busy, std::memory_order_release);
                wait(busy ? step : kIdleCheck);
                m_resting.store(false, std::memory_order_release);
            }
        });
    } catch (const std::system_error &) {
        return 255;
    }
    pthread_setname_np(m_thread.native_handle(), m_name);
    std::lock_guard<std::mutex> lock(g_workers_mutex);
    g_workers.push_back(this);
    return 0;
}

void KorWorker::stop()
{
    {
        std::lock_guard<std::mutex> lock(g_workers_mutex);
        g_workers.erase(std::remove(g_workers.begin(), g_workers.end(), this), g_workers.end());
    }
    m_stop.store(true, std::memory_order_release);
    wake();
    if (m_thread.joinable())
        m_thread.join();
    if (m_wake_fd >= 0) {
        ::close(m_wake_fd);
        m_wake_fd = -1;
    }
}

void KorWorker::wake()
{
    if (m_wake_fd < 0)
        return;
    const uint64_t one = 1;
    // A full counter already means "wake".
    [[maybe_unused]] const ssize_t n = ::write(m_wake_fd, &one, sizeof one);
}

void KorWorker::wait(std::chrono::milliseconds timeout)
{
    pollfd fds[2] = { { m_wake_fd, POLLIN, 0 }, { m_event_fd, POLLIN, 0 } };
    const nfds_t count = m_event_fd >= 0 ? 2 : 1;
    if (::poll(fds, count, int(timeout.count())) > 0 && (fds[0].revents & POLLIN)) {
        uint64_t value;
        [[maybe_unused]] const ssize_t n = ::read(m_wake_fd, &value, sizeof value);
    }
}

void KorWorker::wake_pending()
{
    std::lock_guard<std::mutex> lock(g_workers_mutex);
    for (KorWorker *w : g_workers)
        if (w->m_resting.load(std::memory_order_acquire) && w->m_pending && w->m_pending())
            w->wake();
}

void KorWorker::wake_all()
{
    std::lock_guard<std::mutex> lock(g_workers_mutex);
    for (KorWorker *w : g_workers)
        w->wake();
}
