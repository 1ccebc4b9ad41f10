#pragma once
#include <QObject>
#include <QStringList>
#include <functional>

// How the FPGA worker reaches the pages. It never touches a page: it emits these signals
// from its own thread on this object, which lives in the GUI thread. A page connects them
// queued, with itself as the receiver or context, so each call runs in the GUI thread and
// is dropped by Qt when the page has been destroyed in the meantime.
//
//   job_progress(job, percent)   job 1..6 of g_send_para; 0..99 while it runs, 100 once
//                                its bytes are cleared, also when it failed or was refused
//   recovery_list(entries, count)  the recovery page's card list and entry count: one
//                                entry "screen/port/card/count" and 1 after a check found a
//                                card; an empty list and 0 after a recovery
//
// The receiving-card pages typically do, when they are built:
//   fpga_manage::p_fpga_manage->notifier()->follow_jobs(this, 1, 4,
//       [this](int percent) { emit sig_qround_bar_update(percent); });
// and the recovery page also follow_recovery_list(this, ...) to replace its list and relist.
class fpga_job_notifier : public QObject {
    Q_OBJECT
public:
    explicit fpga_job_notifier(QObject *parent = nullptr) : QObject(parent) {}

    // Queued connection of job_progress for jobs first_job..last_job to a functor that runs
    // in the GUI thread only while `page` exists.
    QMetaObject::Connection follow_jobs(QObject *page, int first_job, int last_job,
                                        std::function<void(int percent)> on_percent);
    // Queued connection of recovery_list, the same way.
    QMetaObject::Connection follow_recovery_list(QObject *page,
                                                 std::function<void(const QStringList &, int)> on_list);

signals:
    void job_progress(int job, int percent);
    void recovery_list(const QStringList &entries, int count);
};
