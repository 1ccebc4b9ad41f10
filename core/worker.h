#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

// A worker thread: calls one pass of its owner's work, pauses, and again. A pass does its
// work and returns, so tests can call the pass directly instead of starting the thread.
class KorWorker {
public:
    KorWorker() = default;
    KorWorker(const KorWorker &) = delete;
    KorWorker &operator=(const KorWorker &) = delete;
    ~KorWorker() { stop(); }

    // 0 on success, 255 when the thread could not be created.
    int start(std::function<void()> pass, std::chrono::microseconds pause);
    // The program never stops its workers; tests do before they destroy the owner.
    void stop();
    bool running() const { return m_thread.joinable(); }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
