#include "core/worker.h"

#include <system_error>

int KorWorker::start(std::function<void()> pass, std::chrono::microseconds pause)
{
    if (m_thread.joinable())
        return 0;
    m_stop = false;
    try {
        m_thread = std::thread([this, pass = std::move(pass), pause] {
            while (!m_stop.load(std::memory_order_acquire)) {
                pass();
                std::this_thread::sleep_for(pause);
            }
        });
    } catch (const std::system_error &) {
        return 255;
    }
    return 0;
}

void KorWorker::stop()
{
    m_stop.store(true, std::memory_order_release);
    if (m_thread.joinable())
        m_thread.join();
}
