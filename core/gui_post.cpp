#include "core/gui_post.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <mutex>
#include <vector>

namespace {
struct Post {
    QPointer<const QObject> context;
    bool has_context;
    std::function<void()> call;
};

// Lives in the GUI thread; woken by name so that Qt, not this code, allocates the event it
// hands across (ThreadSanitizer cannot follow Qt's own lock around it).
class KorGuiPoster : public QObject {
    Q_OBJECT
public slots:
    void deliver() { kor_deliver_gui_posts(); }
};

std::mutex g_mutex;
std::vector<Post> g_outbox;
bool g_wake_pending = false;
KorGuiPoster *g_poster = nullptr;  // under g_mutex
}

void kor_post_to_gui(const QObject *context, std::function<void()> call)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_outbox.push_back(Post{QPointer<const QObject>(context), context != nullptr, std::move(call)});
    if (g_wake_pending)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;  // taken by the next deliver
    if (!g_poster) {
        g_poster = new KorGuiPoster;
        g_poster->moveToThread(app->thread());  // kept for the program's life
    }
    g_wake_pending = true;
    // Posted under the lock, so a deliver that runs before it still sees the batch.
    QMetaObject::invokeMethod(g_poster, "deliver", Qt::QueuedConnection);
}

void kor_run_in_gui(const QObject *context, std::function<void()> call)
{
    if (kor_in_gui_thread())
        call();
    else
        kor_post_to_gui(context, std::move(call));
}

void kor_deliver_gui_posts()
{
    std::vector<Post> batch;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        batch.swap(g_outbox);
        g_wake_pending = false;
    }
    for (Post &p : batch)
        if (!p.has_context || p.context)
            p.call();
}

void kor_drop_gui_posts()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_outbox.clear();
    g_wake_pending = false;
}

bool kor_in_gui_thread()
{
    QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

#include "gui_post.moc"
