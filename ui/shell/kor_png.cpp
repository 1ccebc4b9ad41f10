#include "ui/shell/kor_png.h"

#include <QImageReader>

QPixmap kor_png(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
