#pragma once
#include <QObject>
#include <QStringList>
#include <functional>

// How the FPGA worker reaches the pages. The worker never touches a page and never emits a
// signal: it posts its messages through kor_post_to_gui (core/gui_post.h); in the GUI thread
// they are emitted, in order, as the signals below, and the update codes raised. A page connects the signals with itself as the receiver or
// context, so a page that is gone gets nothing.
//
//   job_progress(job, percent)     job 1..6 of g_send_para; 0..99 while it runs, 100 once
//                                  its bytes are cleared, also when it failed or was refused
//   job_result(job, result)        how the job ended (KorJobResult), just before its 100
//   recovery_list(entries, count)  the recovery page's card list and entry count: one entry
//                                  "screen/port/card/count" and 1 after a check found a card;
//                                  an empty list and 0 after a recovery
//   update codes 99 (recovery ended) and 104 (USB upgrade ended) go to
//                                  KorRamPara::test_signal in the same order
//
// The receiving-card pages typically do, when they are built:
//   fpga_manage::p_fpga_manage->notifier()->follow_jobs(this, 1, 4,
//       [this](int percent) { emit sig_qround_bar_update(percent); });
// and the recovery page also follow_recovery_list(this, ...) to take its list and relist.
// How a receiving-card job ended. Only JobDone means the cards did what was asked.
enum KorJobResult {
    JobDone = 0,
    JobFailed = 1,        // the FPGA is not running, no port has a link, the cards did not answer
    JobPackRefused = 2,   // the pack it needs is missing, unreadable, too large or corrupt
    JobBusy = 3,          // refused: the USB-stick upgrade runs
};

class fpga_job_notifier : public QObject {
    Q_OBJECT
public:
    // Built in the GUI thread.
    explicit fpga_job_notifier(QObject *parent = nullptr) : QObject(parent) {}

    // Worker side: queue a message for the GUI thread.
    void post_progress(int job, int percent);
    void post_result(int job, int result);
    void post_recovery_list(const QStringList &entries, int count);
    void post_update_code(int code);

    // Queued connection of job_progress for jobs first_job..last_job to a functor that runs
    // in the GUI thread only while `page` exists.
    QMetaObject::Connection follow_jobs(QObject *page, int first_job, int last_job,
                                        std::function<void(int percent)> on_percent);
    // Queued connection of job_result for jobs first_job..last_job, the same way.
    QMetaObject::Connection follow_job_results(QObject *page, int first_job, int last_job,
                                               std::function<void(int result)> on_result);
    // Queued connection of recovery_list, the same way.
    QMetaObject::Connection follow_recovery_list(QObject *page,
                                                 std::function<void(const QStringList &, int)> on_list);

public slots:
    // GUI thread: delivers what the workers have posted so far (kor_deliver_gui_posts). Runs
    // by itself from the event loop; tests that drive the worker's pass directly call it.
    void deliver();

signals:
    void job_progress(int job, int percent);
    void job_result(int job, int result);
    void recovery_list(const QStringList &entries, int count);

private:
    struct Message {
        enum Kind { Progress, Result, List, Code } kind;
        int a;
        int b;
        QStringList list;
    };
    void post(Message m);
    void emit_message(const Message &m);


};
