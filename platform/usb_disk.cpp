#include "platform/usb_disk.h"

#include "platform/data_root.h"

#include <QFileInfo>

bool usb_disk_present()
{
    return QFileInfo(kor_path(QStringLiteral("/mnt/usb1"))).isDir();
}
