#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

// A worker thread: calls one pass of its owner's work, then waits, and again. A pass does its
// work and returns, so tests can call the pass directly instead of starting the thread.
//
// Between passes the worker sleeps until something wakes it: a wake() (or kor_wake_workers())
// from whoever raised work for it, an event on its own file descriptor, or the GUI tick
// finding its `pending` test true. Only while `pending` holds (a timed step, a retry, a
// hand-over) does it wake on its own, every `step`. At rest it wakes once per kIdleCheck as a
// last resort, so a request nobody announced is still taken.
class KorWorker {
public:
    // Read from any thread: atomics only.
    using Pending = std::function<bool()>;
    static constexpr std::chrono::milliseconds kIdleCheck{2000};

    // `name` (at most 15 characters) is the thread's name, as top and /proc show it.
    explicit KorWorker(const char *name = "kor-worker") : m_name(name) {}
    KorWorker(const KorWorker &) = delete;
    KorWorker &operator=(const KorWorker &) = delete;
    ~KorWorker() { stop(); }

    // 0 on success, 255 when the thread could not be created. `event_fd`, when not -1, is
    // watched while waiting (readable wakes the worker; the pass reads it).
    int start(std::function<void()> pass, Pending pending, std::chrono::milliseconds step, int event_fd = -1);
    // The program never stops its workers; tests do before they destroy the owner.
    void stop();
    bool running() const { return m_thread.joinable(); }
    // Any thread: the next pass runs now.
    void wake();
    // The GUI tick: wakes every resting worker whose `pending` test holds.
    static void wake_pending();
    // Any thread: wakes every worker (a request whose taker is not known to the raiser).
    static void wake_all();

private:
    void wait(std::chrono::milliseconds timeout);

    const char *m_name;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_resting{false};
    Pending m_pending;
    int m_wake_fd = -1;
    int m_event_fd = -1;
    std::thread m_thread;
};

inline void kor_wake_workers() { KorWorker::wake_all(); }
