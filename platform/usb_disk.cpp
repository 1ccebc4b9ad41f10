#include "platform/usb_disk.h"

#include "platform/data_root.h"

#include <QFileInfo>
#include <sys/inotify.h>
#include <unistd.h>

bool usb_disk_present()
{
    return QFileInfo(kor_path(QStringLiteral("/mnt/usb1"))).isDir();
}

UsbDiskEvents::UsbDiskEvents()
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    watch();
}

UsbDiskEvents::~UsbDiskEvents()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void UsbDiskEvents::watch()
{
    if (m_fd < 0 || m_on_mnt)
        return;
    const uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
    const QByteArray mnt = QFile::encodeName(kor_path(QStringLiteral("/mnt")));
    int w = inotify_add_watch(m_fd, mnt.constData(), mask);
    if (w >= 0) {
        if (m_watch >= 0 && m_watch != w)
            inotify_rm_watch(m_fd, m_watch);
        m_watch = w;
        m_on_mnt = true;
        return;
    }
    if (m_watch < 0)
        m_watch = inotify_add_watch(m_fd, QFile::encodeName(kor_path(QStringLiteral("/"))).constData(), mask);
}

void UsbDiskEvents::drain()
{
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    bool gone = false;
    ssize_t n;
    while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
        for (char *p = buffer; p < buffer + n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(p);
            if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))
                gone = true;
            p += sizeof(inotify_event) + e->len;
        }
    }
    if (gone && m_on_mnt) {
        // "/mnt" itself went: watch the root until it is back.
        inotify_rm_watch(m_fd, m_watch);
        m_watch = -1;
        m_on_mnt = false;
    }
    watch();
}
