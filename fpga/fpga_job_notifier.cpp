#include "fpga/fpga_job_notifier.h"

QMetaObject::Connection fpga_job_notifier::follow_jobs(QObject *page, int first_job, int last_job,
                                                       std::function<void(int)> on_percent)
{
    return connect(
        this, &fpga_job_notifier::job_progress, page,
        [first_job, last_job, on_percent](int job, int percent) {
            if (job >= first_job && job <= last_job)
                on_percent(percent);
        },
        Qt::QueuedConnection);
}

QMetaObject::Connection fpga_job_notifier::follow_recovery_list(QObject *page,
                                                                std::function<void(const QStringList &, int)> on_list)
{
    return connect(this, &fpga_job_notifier::recovery_list, page, on_list, Qt::QueuedConnection);
}
