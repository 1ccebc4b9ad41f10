#include "ui/rcv/kor_job_ring.h"

#include "fpga/fpga_job_request.h"
#include "fpga/fpga_manage.h"

#include <QDialog>

bool KorJobRing::following()
{
    fpga_manage *manager = fpga_manage::p_fpga_manage;
    if (!m_follow && m_page && manager)
        m_follow = manager->notifier()->follow_jobs(m_page, m_first_job, m_last_job, m_on_percent);
    return bool(m_follow);
}

bool KorJobRing::show()
{
    // Without the worker nothing would ever close the ring and free the keys.
    if (!following() || shown())
        return false;
    QRoundProgressBar::create_qround_bar(m_page);
    m_connect_ring();
    return true;
}

bool KorJobRing::start(uint8_t job)
{
    if (!show())
        return false;
    kor_send_job(job, 0);
    return true;
}
