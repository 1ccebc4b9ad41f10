#pragma once
#include <functional>

class QObject;

// The one way from a worker thread to the GUI thread. A worker never touches a widget, a
// page or a signal connected to one: it posts a call here, and the GUI thread runs the calls
// in the order they were posted, each only while its context object still exists. The
// outbox is guarded by a std::mutex (which ThreadSanitizer sees); one queued wake per batch
// reaches the event loop. Posting from the GUI thread queues the call all the same.
void kor_post_to_gui(const QObject *context, std::function<void()> call);

// Runs `call` now when in the GUI thread, else posts it as above (a signal a worker raises
// is emitted in the GUI thread this way).
void kor_run_in_gui(const QObject *context, std::function<void()> call);

// GUI thread: runs what has been posted so far. The event loop does this by itself; tests
// that run a worker's pass directly may call it.
void kor_deliver_gui_posts();

// Tests, with the event queue emptied: forgets what is posted and not yet delivered.
void kor_drop_gui_posts();

// True in the thread the application object lives in.
bool kor_in_gui_thread();
