#pragma once
#include "ui/rcv/QRoundProgressBar.h"

#include <QMetaObject>
#include <QObject>
#include <cstdint>
#include <functional>

class QDialog;

// How a receiving-card page hands a job to the FPGA worker and shows its progress. The
// worker's percentages of the page's jobs come back queued into the GUI thread, only while
// the page exists, and leave as the page's own signal sig_qround_bar_update(int); the
// progress ring, created on the page for each job, takes that signal and closes at 100.
class KorJobRing {
public:
    // Follows jobs first_job..last_job for `page`: each percent is emitted on the page, then
    // handed to `then`. Taken up now, or by the first start when there is no worker yet.
    template <class Page>
    void follow(Page *page, int first_job, int last_job, std::function<void(int percent)> then = nullptr)
    {
        m_page = page;
        m_first_job = first_job;
        m_last_job = last_job;
        m_on_percent = [page, then](int percent) {
            emit page->sig_qround_bar_update(percent);
            if (then)
                then(percent);
        };
        m_connect_ring = [page] {
            QObject::connect(page, &Page::sig_qround_bar_update, g_qround_bar, &QRoundProgressBar::para_sync);
        };
        following();
    }

    // A ring is shown: a job runs.
    static bool shown() { return g_qround_bar != nullptr; }
    // Creates the ring on the page and connects the progress to it; false, and nothing done,
    // while a ring is shown or when there is no worker that would end the job.
    bool show();
    // The ring first, then job `job` at step 0, so that a job that ends at once still finds
    // the ring; false (nothing asked) when the ring cannot be shown.
    bool start(uint8_t job);

private:
    bool following();

    QDialog *m_page = nullptr;
    int m_first_job = 0;
    int m_last_job = 0;
    std::function<void(int)> m_on_percent;
    std::function<void()> m_connect_ring;
    QMetaObject::Connection m_follow;
};
