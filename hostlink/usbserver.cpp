#include "hostlink/usbserver.h"

#include "core/global.h"
#include "core/gui_post.h"
#include "core/singleton.h"
#include "platform/usb_disk.h"

UsbServer *UsbServer::p_usbserver = nullptr;


UsbServer *UsbServer::pInstance()
{
    return kor_singleton(p_usbserver, KorSingletons::kWorkers, destroy_instance, [] { return new UsbServer; });
}

void UsbServer::destroy_instance()
{
    delete p_usbserver;
    p_usbserver = nullptr;
}

UsbServer::UsbServer() = default;

UsbServer::~UsbServer()
{
    m_worker.stop();
}

int UsbServer::initialize()
{
    if (!m_events)
        m_events.reset(new UsbDiskEvents);
    // Nothing is ever pending: the worker wakes on a change under "/mnt", else now and then.
    return m_worker.start([this] { run_pass(); }, nullptr, KorWorker::kIdleCheck, m_events->fd());
}

void UsbServer::announce(int code)
{
    // The signal is emitted in the GUI thread, whichever thread looked.
    kor_run_in_gui(this, [this, code] { emit sig_usb_update(code); });
}

void UsbServer::run_pass()
{
    if (m_events)
        m_events->drain();
    const bool present = usb_disk_present();
    if (present == m_present.load(std::memory_order_acquire))
        return;
    m_present.store(present, std::memory_order_release);
    if (present) {
        kor_trace("usb: disk added, mounted at /mnt/usb1/\n");
        announce(100);
        announce(102);
    } else {
        kor_trace("usb: disk removed\n");
        announce(101);
    }
}
