#include "fpga/fpga_job_notifier.h"

#include "core/gui_post.h"
#include "core/korrampara.h"

namespace {
// Passes on the value of the jobs first..last only.
std::function<void(int, int)> for_jobs(int first, int last, std::function<void(int)> take)
{
    return [first, last, take = std::move(take)](int job, int value) {
        if (job >= first && job <= last)
            take(value);
    };
}
}

void fpga_job_notifier::post(Message m)
{
    // Through the program's one way back to the GUI thread, in order with everything else.
    kor_post_to_gui(this, [this, m = std::move(m)] { emit_message(m); });
}

void fpga_job_notifier::post_progress(int job, int percent)
{
    post(Message{Message::Progress, job, percent, QStringList()});
}

void fpga_job_notifier::post_result(int job, int result)
{
    post(Message{Message::Result, job, result, QStringList()});
}

void fpga_job_notifier::post_recovery_list(const QStringList &entries, int count)
{
    post(Message{Message::List, count, 0, entries});
}

void fpga_job_notifier::post_update_code(int code)
{
    post(Message{Message::Code, code, 0, QStringList()});
}

void fpga_job_notifier::deliver()
{
    kor_deliver_gui_posts();
}

void fpga_job_notifier::emit_message(const Message &m)
{
    switch (m.kind) {
    case Message::Progress:
        emit job_progress(m.a, m.b);
        break;
    case Message::Result:
        emit job_result(m.a, m.b);
        break;
    case Message::List:
        emit recovery_list(m.list, m.a);
        break;
    case Message::Code:
        if (KorRamPara *t = KorRamPara::p_korrampara_config)
            t->test_signal(m.a);
        break;
    }
}

QMetaObject::Connection fpga_job_notifier::follow_jobs(QObject *page, int first_job, int last_job,
                                                       std::function<void(int)> on_percent)
{
    return connect(this, &fpga_job_notifier::job_progress, page, for_jobs(first_job, last_job, std::move(on_percent)),
                   Qt::QueuedConnection);
}

QMetaObject::Connection fpga_job_notifier::follow_job_results(QObject *page, int first_job, int last_job,
                                                              std::function<void(int)> on_result)
{
    return connect(this, &fpga_job_notifier::job_result, page, for_jobs(first_job, last_job, std::move(on_result)),
                   Qt::QueuedConnection);
}

QMetaObject::Connection fpga_job_notifier::follow_recovery_list(QObject *page,
                                                                std::function<void(const QStringList &, int)> on_list)
{
    return connect(this, &fpga_job_notifier::recovery_list, page, on_list, Qt::QueuedConnection);
}
