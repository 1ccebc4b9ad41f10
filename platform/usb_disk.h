#pragma once

// Whether a USB disk is mounted at "/mnt/usb1/". On this machine a stick is the folder
// $KOR_ROOT/mnt/usb1: it is plugged in while the folder exists.
bool usb_disk_present();

// Tells when the stick may have come or gone, so the watcher need not look all the time: a
// file descriptor that turns readable on a change under "/mnt" (inotify; the root itself
// while "/mnt" does not exist yet). -1 where none can be had: the watcher then looks now
// and then.
class UsbDiskEvents {
public:
    UsbDiskEvents();
    ~UsbDiskEvents();
    UsbDiskEvents(const UsbDiskEvents &) = delete;
    UsbDiskEvents &operator=(const UsbDiskEvents &) = delete;

    int fd() const { return m_fd; }
    // Reads what is pending and follows "/mnt" once it exists.
    void drain();

private:
    void watch();
    int m_fd = -1;
    int m_watch = -1;
    bool m_on_mnt = false;
};
