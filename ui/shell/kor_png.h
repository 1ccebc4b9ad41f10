#pragma once
#include <QPixmap>
#include <QString>

// A PNG of the resources (":/png/...") read by Qt's own PNG reader. QPixmap(path) first loads
// every image plug-in to ask whether one of them reads PNG; the screens of the start-up need
// not wait for that.
QPixmap kor_png(const QString &path);
