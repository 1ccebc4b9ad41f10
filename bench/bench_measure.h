#pragma once
// Sections of a benchmark program that bench/run-all counts with callgrind: the counters are
// zeroed where a section starts and dumped, with the section's name, where it ends. Outside
// valgrind the requests do nothing.
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QWidget>
#include <QWindow>
#include <QtTest/QTest>
#include <functional>
#include <utility>
#include <valgrind/callgrind.h>

// Runs what is pending (posted events, deferred deletes, the repaint they asked for) until
// nothing is left.
inline void bench_settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Ends a section that started at the last zero or dump: its counts are dumped as "<name>*1".
inline void bench_dump(const QByteArray &name)
{
    CALLGRIND_DUMP_STATS_AT((name + "*1").constData());
}

// Counts `action` run `times` times, then what it left pending; bench/run-all divides by
// `times` (the dump is named "<name>*<times>").
template <class F>
void bench_section(const char *name, F &&action, int times = 1)
{
    bench_settle();
    const QByteArray label = QByteArray(name) + '*' + QByteArray::number(times);
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < times; ++i) {
        action();
        bench_settle();
    }
    CALLGRIND_DUMP_STATS_AT(label.constData());
}

// A key pressed and released as the panel's keys arrive: an input event of the window in
// front, which Qt routes (shortcut check, modal check, focus widget) as it does on the board.
inline void bench_panel_key(int qt_key)
{
    QWindow *window = QGuiApplication::focusWindow();
    if (!window)
        if (QWidget *modal = QApplication::activeModalWidget())
            window = modal->windowHandle();
    if (window)
        QTest::keyClick(window, Qt::Key(qt_key));
}

// Runs `action` from the event loop running now (a dialog's exec(), say), after what is
// already pending there.
inline void bench_later(std::function<void()> action)
{
    QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
}

// The application of the benchmark programs: it tells when a window has drawn its first
// frame, that is when the event in which a widget of it was painted has been handled (the
// painting and the flush of its backing store happen within that event).
class BenchApplication : public QApplication {
public:
    BenchApplication(int &argc, char **argv) : QApplication(argc, argv) {}

    // Calls `then` once the window `window()` names (null while it is not built yet) has
    // drawn its first frame from now; `then` runs at the depth of the event loop the caller
    // then enters (exec() of that window, or the caller's own loop).
    void after_first_frame(std::function<QWidget *()> window, std::function<void()> then)
    {
        m_window = std::move(window);
        m_then = std::move(then);
        m_painted = false;
        m_depth_armed = m_depth;
    }

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (m_then && !m_painted && event->type() == QEvent::Paint && receiver->isWidgetType()) {
            QWidget *window = m_window();
            QWidget *painted = static_cast<QWidget *>(receiver);
            m_painted = window && (painted == window || window->isAncestorOf(painted));
        }
        ++m_depth;
        const bool result = QApplication::notify(receiver, event);
        --m_depth;
        if (m_painted && m_depth <= m_depth_armed && m_then) {
            std::function<void()> then = std::move(m_then);
            m_then = nullptr;
            m_painted = false;
            then();
        }
        return result;
    }

private:
    std::function<QWidget *()> m_window;
    std::function<void()> m_then;
    bool m_painted = false;
    int m_depth = 0;
    int m_depth_armed = 0;
};

// The first keys on a window just drawn, as the panel sends them: "key-first" (the first),
// "key-round" (the rest of a first round, 5 keys), "key-warm" (8 keys after it).
inline void bench_first_keys(int qt_key)
{
    CALLGRIND_ZERO_STATS;
    bench_panel_key(qt_key);
    bench_settle();
    bench_dump("key-first");
    bench_section("key-round", [qt_key] { bench_panel_key(qt_key); }, 5);
    bench_section("key-warm", [qt_key] { bench_panel_key(qt_key); }, 8);
}

// A window opened and drawn: `open` builds it, shows it and runs its event loop (a dialog's
// exec(), say), `window()` names it (null until built). Counted to its first frame
// ("open-frame<suffix>") and then what the opening left pending ("open-rest<suffix>");
// `inside` then runs in its event loop and closes it.
inline void bench_open_drawn(const QByteArray &suffix, std::function<QWidget *()> window,
                             std::function<void()> open, std::function<void()> inside)
{
    bench_settle();
    static_cast<BenchApplication *>(qApp)->after_first_frame(std::move(window), [suffix, inside] {
        bench_dump("open-frame" + suffix);
        bench_later([suffix, inside] {
            bench_settle();
            bench_dump("open-rest" + suffix);
            inside();
        });
    });
    CALLGRIND_ZERO_STATS;
    open();
}
