#pragma once
#include <QObject>
#include <atomic>
#include <memory>

#include "platform/usb_disk.h"

#include "core/worker.h"

// The USB-disk watcher. Its worker looks for the stick whenever "/mnt" changes and announces
// it through sig_usb_update: 100 added, then 102 mounted at "/mnt/usb1/"; 101 removed.
// Connect the signal queued to the refresh step (SyncUpdate::attach).
class UsbServer : public QObject {
    Q_OBJECT
public:
    static UsbServer *p_usbserver;
    static UsbServer *pInstance();
    static void destroy_instance();  // tests: stops the worker first

    // Starts the watcher. 0, or 255 when the thread could not be made.
    int initialize();
    // One look at the stick; emits on a change.
    void run_pass();
    bool disk_present() const { return m_present.load(std::memory_order_acquire); }

signals:
    void sig_usb_update(int code);

private:
    UsbServer();
    ~UsbServer() override;
    void announce(int code);

    std::atomic<bool> m_present{false};
    std::unique_ptr<UsbDiskEvents> m_events;
    KorWorker m_worker{"kor-usb"};
};
