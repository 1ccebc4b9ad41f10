// Compares every PNG of one folder with the PNG of the same name in another, pixel for pixel
// (page renderings before and after a change: build/screens/ against a kept copy).
//   compare_screens BEFORE AFTER      exit 0 when every one is identical
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: compare_screens BEFORE AFTER\n");
        return 2;
    }
    const QDir before(QString::fromLocal8Bit(argv[1])), after(QString::fromLocal8Bit(argv[2]));
    int same = 0, differ = 0;
    for (const QString &name : before.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        const QImage a = QImage(before.filePath(name)).convertToFormat(QImage::Format_ARGB32);
        const QImage b = QImage(after.filePath(name)).convertToFormat(QImage::Format_ARGB32);
        if (b.isNull() || a.size() != b.size()) {
            std::printf("%s: %s\n", b.isNull() ? "missing" : "other size", qPrintable(name));
            ++differ;
            continue;
        }
        int pixels = 0;
        QRect box;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    ++pixels;
                    box |= QRect(x, y, 1, 1);
                }
        if (pixels) {
            std::printf("differs: %s: %d pixels in %d,%d %dx%d\n", qPrintable(name), pixels, box.x(), box.y(),
                        box.width(), box.height());
            ++differ;
        } else {
            ++same;
        }
    }
    for (const QString &name : after.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name))
        if (!before.exists(name))
            std::printf("new: %s\n", qPrintable(name));
    std::printf("%d identical, %d differ\n", same, differ);
    return differ ? 1 : 0;
}
