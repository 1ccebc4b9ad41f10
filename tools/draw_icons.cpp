// Draws the panel's icons into <dir>/png/ and writes <dir>/resources.qrc.
//
//   draw_icons <dir>
//
// Every image the pages load as ":/png/<name>" is drawn here, at the size of
// the label or button that shows it, so the pictures stay ours and can be
// redrawn when one changes. Page backgrounds are dark (16,16,28), so the
// icons use light or coloured strokes on a transparent background.
//
// Small lettering uses the 5-pixel font below instead of a system font: it
// stays sharp at 12 pixels and gives the same bytes on every machine.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const QColor kLight(230, 233, 240);
const QColor kDim(106, 111, 128);
const QColor kGreen(60, 200, 90);
const QColor kGreenDark(40, 160, 70);
const QColor kYellow(255, 200, 61);
const QColor kRed(224, 72, 72);
const QColor kPageBg(16, 16, 28);

QString g_png_dir;
QStringList g_written;
bool g_failed = false;

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void save(const QImage &img, const QString &name)
{
    const QString path = g_png_dir + "/" + name;
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "draw_icons: cannot write %s\n", qPrintable(path));
        g_failed = true;
        return;
    }
    g_written << name;
}

// ---- 5-pixel font -------------------------------------------------------

struct Glyph {
    char ch;
    const char *rows[5];
};

const Glyph kGlyphs[] = {
    {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'I', {"#", "#", "#", "#", "#"}},
    {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'O', {".##.", "#..#", "#..#", "#..#", ".##."}},
    {'K', {"#..#", "#.#.", "##..", "#.#.", "#..#"}},
    {'0', {"###", "#.#", "#.#", "#.#", "###"}},
    {'1', {".#", "##", ".#", ".#", ".#"}},
    {'2', {"###", "..#", "###", "#..", "###"}},
    {'3', {"###", "..#", ".##", "..#", "###"}},
    {'.', {".", ".", ".", ".", "#"}},
    {' ', {".", ".", ".", ".", "."}},
};

const Glyph *glyph(char c)
{
    for (const Glyph &g : kGlyphs)
        if (g.ch == c)
            return &g;
    return nullptr;
}

int text_width(const char *text, int scale)
{
    int w = 0;
    for (const char *p = text; *p; ++p) {
        const Glyph *g = glyph(*p);
        if (!g)
            continue;
        if (w)
            w += 1;
        w += int(std::strlen(g->rows[0]));
    }
    return w * scale;
}

void draw_text(QPainter &p, int x, int y, const char *text, const QColor &color, int scale = 1)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    int cx = x;
    for (const char *t = text; *t; ++t) {
        const Glyph *g = glyph(*t);
        if (!g)
            continue;
        const int gw = int(std::strlen(g->rows[0]));
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < gw; ++c)
                if (g->rows[r][c] == '#')
                    p.fillRect(cx + c * scale, y + r * scale, scale, scale, color);
        cx += (gw + 1) * scale;
    }
    p.restore();
}

void draw_text_centred(QPainter &p, const QRectF &box, const char *text, const QColor &color,
                       int scale = 1)
{
    const int x = int(box.x() + (box.width() - text_width(text, scale)) / 2.0);
    const int y = int(box.y() + (box.height() - 5 * scale) / 2.0 + 0.5);
    draw_text(p, x, y, text, color, scale);
}

void begin(QImage &img, QPainter &p)
{
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
}

QPen round_pen(const QColor &c, qreal width)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// ---- list paging and small triangles -----------------------------------

// The paging buttons sit one above the other at the right edge of the
// lists (previous on top, next at the bottom), so the chevrons point up
// and down.
void draw_paging(const char *name, bool up)
{
    QImage img = canvas(30, 30);
    QPainter p;
    begin(img, p);
    p.setPen(round_pen(kLight, 4.0));
    const qreal tip = up ? 9.5 : 20.5;
    const qreal base = up ? 19.5 : 10.5;
    const QPointF pts[3] = {{6.5, base}, {15.0, tip}, {23.5, base}};
    p.drawPolyline(pts, 3);
    p.end();
    save(img, name);
}

void draw_small_triangle(const char *name, bool left)
{
    QImage img = canvas(14, 14);
    QPainter p;
    begin(img, p);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPolygonF tri;
    if (left)
        tri << QPointF(3.5, 7) << QPointF(10.5, 2.5) << QPointF(10.5, 11.5);
    else
        tri << QPointF(10.5, 7) << QPointF(3.5, 2.5) << QPointF(3.5, 11.5);
    p.drawPolygon(tri);
    p.end();
    save(img, name);
}

// ---- pop-up and key hints ----------------------------------------------

void draw_warning()
{
    QImage img = canvas(16, 16);
    QPainter p;
    begin(img, p);
    QPolygonF tri;
    tri << QPointF(8, 1.5) << QPointF(14.8, 14) << QPointF(1.2, 14);
    p.setPen(round_pen(kYellow, 1.6));
    p.setBrush(kYellow);
    p.drawPolygon(tri);
    p.setPen(Qt::NoPen);
    p.setBrush(kPageBg);
    p.drawRoundedRect(QRectF(7.0, 5.0, 2.0, 5.2), 0.8, 0.8);
    p.drawEllipse(QRectF(7.0, 11.0, 2.0, 2.0));
    p.end();
    save(img, "warning.png");
}

// Both hints are drawn as a key cap so they read as "press this key".
void draw_keycap(QPainter &p, int w, int h)
{
    p.setPen(QPen(QColor(200, 204, 216), 1.0));
    p.setBrush(QColor(42, 46, 66));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3.5, 3.5);
}

void draw_ok_hint()
{
    QImage img = canvas(28, 17);
    QPainter p;
    begin(img, p);
    draw_keycap(p, 28, 17);
    draw_text_centred(p, QRectF(0, 0, 28, 17), "OK", kLight, 2);
    p.end();
    save(img, "OK_Enter.png");
}

void draw_back_hint()
{
    QImage img = canvas(28, 17);
    QPainter p;
    begin(img, p);
    draw_keycap(p, 28, 17);
    p.setPen(round_pen(kLight, 1.8));
    const QPointF stem[3] = {{19.5, 4.0}, {19.5, 9.5}, {10.0, 9.5}};
    p.drawPolyline(stem, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kLight);
    QPolygonF head;
    head << QPointF(7.0, 9.5) << QPointF(11.5, 6.0) << QPointF(11.5, 13.0);
    p.drawPolygon(head);
    p.end();
    save(img, "back_return.png");
}

// ---- switch and state ----------------------------------------------------

void draw_switch(const char *name, bool on)
{
    QImage img = canvas(40, 20);
    QPainter p;
    begin(img, p);
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(52, 184, 90) : QColor(74, 78, 94));
    p.drawRoundedRect(QRectF(1, 2, 38, 16), 8, 8);
    p.setBrush(on ? QColor(244, 246, 250) : QColor(168, 172, 184));
    p.drawEllipse(QPointF(on ? 30.0 : 10.0, 10.0), 7.0, 7.0);
    p.end();
    save(img, name);
}

// Shown scaled down to 7x7, so a plain dot reads best.
void draw_state_on()
{
    QImage img = canvas(14, 14);
    QPainter p;
    begin(img, p);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(1, 1, 12, 12));
    p.end();
    save(img, "state_on.png");
}

// ---- output-port links ---------------------------------------------------

// A network-jack face: body, latch tab below, four contacts on top. Drawn
// on whole pixels: the link icons are only 12x10 on the page.
struct Jack {
    int w, body_h, tab_w, tab_h, contact_h;
    int contacts[4];
};

const Jack kSmallJack = {12, 7, 6, 3, 2, {2, 4, 7, 9}};
const Jack kCellJack = {16, 9, 8, 4, 3, {3, 6, 9, 12}};

void draw_jack(QPainter &p, int x, int y, const Jack &j, const QColor &body)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(x, y, j.w, j.body_h, body);
    p.fillRect(x + (j.w - j.tab_w) / 2, y + j.body_h, j.tab_w, j.tab_h, body);
    for (int cx : j.contacts)
        p.fillRect(x + cx, y + 1, 1, j.contact_h, kPageBg);
    p.restore();
}

void draw_link(const char *name, bool up)
{
    QImage img = canvas(12, 10);
    QPainter p;
    begin(img, p);
    draw_jack(p, 0, 0, kSmallJack, up ? kGreen : kDim);
    p.end();
    save(img, name);
}

void draw_offline_cell()
{
    QImage img = canvas(22, 15);
    QPainter p;
    begin(img, p);
    draw_jack(p, 1, 1, kCellJack, kDim);
    // Red badge with a white cross: no link on this port.
    p.setPen(QPen(kPageBg, 1.0));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(17.0, 10.0), 4.5, 4.5);
    p.setPen(round_pen(Qt::white, 1.3));
    p.drawLine(QPointF(15.3, 8.3), QPointF(18.7, 11.7));
    p.drawLine(QPointF(18.7, 8.3), QPointF(15.3, 11.7));
    p.end();
    save(img, "offline.png");
}

// ---- test-pattern thumbnails ---------------------------------------------

// 48x48 so the thumbnail still fits inside its 50x50 label when the
// selected style adds a 1-pixel border. A thin grey frame keeps the black
// pattern visible on the dark page.
const int kThumb = 48;

void draw_thumb(int number)
{
    QImage img = canvas(kThumb, kThumb);
    QPainter p;
    p.begin(&img);
    const QRect inner(1, 1, kThumb - 2, kThumb - 2);
    switch (number) {
    case 1: p.fillRect(inner, QColor(255, 0, 0)); break;
    case 2: p.fillRect(inner, QColor(0, 255, 0)); break;
    case 3: p.fillRect(inner, QColor(0, 0, 255)); break;
    case 4: p.fillRect(inner, QColor(255, 255, 255)); break;
    case 5: p.fillRect(inner, QColor(0, 0, 0)); break;
    case 6: {
        const QColor bars[8] = {Qt::white, Qt::yellow, Qt::cyan,  Qt::green,
                                Qt::magenta, Qt::red,  Qt::blue, Qt::black};
        for (int k = 0; k < 8; ++k) {
            const int x0 = inner.left() + k * inner.width() / 8;
            const int x1 = inner.left() + (k + 1) * inner.width() / 8;
            p.fillRect(x0, inner.top(), x1 - x0, inner.height(), bars[k]);
        }
        break;
    }
    case 7:
        p.fillRect(inner, Qt::black);
        for (int x = inner.left() + 2; x <= inner.right(); x += 4)
            p.fillRect(x, inner.top(), 1, inner.height(), Qt::white);
        break;
    case 8:
        p.fillRect(inner, Qt::black);
        for (int y = inner.top() + 2; y <= inner.bottom(); y += 4)
            p.fillRect(inner.left(), y, inner.width(), 1, Qt::white);
        break;
    default: break;
    }
    p.setPen(QColor(140, 144, 160));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, kThumb - 1, kThumb - 1);
    p.end();
    save(img, QString("img_test%1.png").arg(number));
}

// ---- input connectors ----------------------------------------------------

// 40x12, the size of the input tabs. The outline is the plug face (HDMI:
// square top, chamfered lower corners; DVI: tapered sides) with the kind
// written inside. Three looks: input (light outline), offline (dim
// outline), online (filled green, dark lettering).
enum class Look { Input, Offline, Online };
enum class Plug { Hdmi, Dvi };

void draw_connector(const QString &name, Plug plug, const char *text, Look look)
{
    QImage img = canvas(40, 12);
    QPainter p;
    begin(img, p);
    QPolygonF face;
    if (plug == Plug::Hdmi)
        face << QPointF(0.5, 0.5) << QPointF(39.5, 0.5) << QPointF(39.5, 6.5)
             << QPointF(34.5, 11.5) << QPointF(5.5, 11.5) << QPointF(0.5, 6.5);
    else
        face << QPointF(0.5, 0.5) << QPointF(39.5, 0.5) << QPointF(36.0, 11.5)
             << QPointF(4.0, 11.5);
    QColor ink;
    switch (look) {
    case Look::Input:
        p.setPen(QPen(kLight, 1.0));
        p.setBrush(Qt::NoBrush);
        ink = kLight;
        break;
    case Look::Offline:
        p.setPen(QPen(kDim, 1.0));
        p.setBrush(Qt::NoBrush);
        ink = kDim;
        break;
    case Look::Online:
        p.setPen(QPen(kGreenDark, 1.0));
        p.setBrush(kGreen);
        ink = kPageBg;
        break;
    }
    p.drawPolygon(face);
    draw_text_centred(p, QRectF(0, 0, 40, 12), text, ink);
    p.end();
    save(img, name);
}

// ---- cabinet routing patterns --------------------------------------------

// Pattern n (1..16), i = n - 1:
//   corner     = i / 4        start: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right
//   by_columns = (i / 2) % 2  0: along rows first, 1: along columns first
//   serpentine = i % 2        0: each row/column starts again from the start side,
//                             1: every other row/column runs back
// Drawn on a 4x3 grid of cabinets; the jump back of a straight route is a
// thin dim line so the two kinds can be told apart at 30x20.
const int kGridCols = 4;
const int kGridRows = 3;

QVector<QPoint> route_cells(int n)
{
    const int i = n - 1;
    const int corner = i / 4;
    const bool by_columns = (i / 2) % 2;
    const bool serpentine = i % 2;

    QVector<QPoint> cells;
    const int outer = by_columns ? kGridCols : kGridRows;
    const int inner = by_columns ? kGridRows : kGridCols;
    for (int a = 0; a < outer; ++a) {
        for (int b = 0; b < inner; ++b) {
            const int step = (serpentine && (a % 2)) ? inner - 1 - b : b;
            int col = by_columns ? a : step;
            int row = by_columns ? step : a;
            if (corner == 1 || corner == 3)
                col = kGridCols - 1 - col;
            if (corner == 2 || corner == 3)
                row = kGridRows - 1 - row;
            cells << QPoint(col, row);
        }
    }
    return cells;
}

void draw_route(int n)
{
    const int w = 40, h = 25;
    QImage img = canvas(w, h);
    QPainter p;
    begin(img, p);
    auto at = [](const QPoint &cell) {
        return QPointF(6.0 + cell.x() * 28.0 / 3.0, 5.0 + cell.y() * 7.5);
    };

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(138, 144, 168));
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridCols; ++c)
            p.drawEllipse(at(QPoint(c, r)), 1.6, 1.6);

    const QVector<QPoint> cells = route_cells(n);
    const QPen run = round_pen(kLight, 1.8);
    const QPen jump = round_pen(QColor(138, 144, 168), 0.9);
    for (int k = 1; k < cells.size(); ++k) {
        const QPoint d = cells[k] - cells[k - 1];
        const bool adjacent = d.manhattanLength() == 1;
        p.setPen(adjacent ? run : jump);
        p.drawLine(at(cells[k - 1]), at(cells[k]));
    }

    // Arrowhead on the last cabinet, so the direction reads without the
    // start marker too.
    const QPointF end = at(cells.last());
    const QPointF prev = at(cells[cells.size() - 2]);
    const QPointF dir = (end - prev) / std::hypot(end.x() - prev.x(), end.y() - prev.y());
    const QPointF side(-dir.y(), dir.x());
    QPolygonF head;
    head << end + dir * 2.0 << end - dir * 2.5 + side * 2.6 << end - dir * 2.5 - side * 2.6;
    p.setPen(Qt::NoPen);
    p.setBrush(kLight);
    p.drawPolygon(head);

    p.setPen(QPen(kPageBg, 1.0));
    p.setBrush(kGreen);
    p.drawEllipse(at(cells.first()), 3.2, 3.2);
    p.end();
    save(img, QString("line%1.png").arg(n));
}

// ---- resource list -------------------------------------------------------

bool write_qrc(const QString &dir)
{
    QStringList names = g_written;
    names.sort();
    QByteArray text;
    text += "<RCC>\n    <qresource prefix=\"/\">\n";
    for (const QString &name : names)
        text += "        <file>png/" + name.toUtf8() + "</file>\n";
    text += "    </qresource>\n</RCC>\n";

    QFile f(dir + "/resources.qrc");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size()) {
        std::fprintf(stderr, "draw_icons: cannot write %s\n", qPrintable(f.fileName()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources dir>\n", argv[0]);
        return 2;
    }
    // Nothing is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString dir = QString::fromLocal8Bit(argv[1]);
    g_png_dir = dir + "/png";
    if (!QDir().mkpath(g_png_dir)) {
        std::fprintf(stderr, "draw_icons: cannot create %s\n", qPrintable(g_png_dir));
        return 1;
    }

    draw_paging("previous.png", true);
    draw_paging("next.png", false);
    draw_small_triangle("ltri.png", true);
    draw_small_triangle("rtri.png", false);
    draw_warning();
    draw_back_hint();
    draw_ok_hint();
    draw_switch("button_on.png", true);
    draw_switch("button_off.png", false);
    draw_state_on();
    draw_link("online_up.png", true);
    draw_link("offline_up.png", false);
    draw_offline_cell();
    for (int n = 1; n <= 8; ++n)
        draw_thumb(n);

    draw_connector("HDMI.png", Plug::Hdmi, "HDMI", Look::Input);
    draw_connector("HDMI13.png", Plug::Hdmi, "HDMI 1.3", Look::Input);
    draw_connector("HDMI13_1.png", Plug::Hdmi, "HDMI 1.3", Look::Offline);
    draw_connector("HDMI20.png", Plug::Hdmi, "HDMI 2.0", Look::Input);
    draw_connector("DVI.png", Plug::Dvi, "DVI", Look::Input);
    draw_connector("HDMI13_lv.png", Plug::Hdmi, "HDMI 1.3", Look::Online);
    draw_connector("HDMI20_lv.png", Plug::Hdmi, "HDMI 2.0", Look::Online);
    draw_connector("dvilv.png", Plug::Dvi, "DVI", Look::Online);
    draw_connector("extlv.png", Plug::Hdmi, "HDMI", Look::Online);

    for (int n = 1; n <= 16; ++n)
        draw_route(n);

    if (g_failed || !write_qrc(dir))
        return 1;
    std::printf("draw_icons: %d images in %s\n", int(g_written.size()), qPrintable(g_png_dir));
    return 0;
}
