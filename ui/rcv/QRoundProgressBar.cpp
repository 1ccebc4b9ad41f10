#include "ui/rcv/QRoundProgressBar.h"

#include "core/global.h"

#include <QDialog>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

QRoundProgressBar *g_qround_bar = nullptr;

namespace {
const QColor kTrack(QStringLiteral("#DEE3E7"));
const QColor kOutline(QStringLiteral("#FFFFFF"));
const QColor kValue(QStringLiteral("#2F8DED"));
const QColor kText(QStringLiteral("#606266"));
constexpr int kRingWidth = 10;
}

QRoundProgressBar::QRoundProgressBar(QWidget *parent, BarStyle style) : QWidget(parent), m_style(style) {}

QRoundProgressBar::~QRoundProgressBar()
{
    // Pages test the pointer to know whether a job runs: it must never name a dead ring.
    if (g_qround_bar == this)
        g_qround_bar = nullptr;
}

void QRoundProgressBar::setRange(double min, double max)
{
    if (min > max)
        std::swap(min, max);
    m_min = min;
    m_max = max;
    m_value = std::clamp(m_value, m_min, m_max);
    update();
}

void QRoundProgressBar::setMinimum(double min) { setRange(min, m_max); }
void QRoundProgressBar::setMaximum(double max) { setRange(m_min, max); }

void QRoundProgressBar::setValue(double v)
{
    if (v == m_value)
        return;
    m_value = std::clamp(v, m_min, m_max);
    update();
}

void QRoundProgressBar::setValue(int v) { setValue(double(v)); }

void QRoundProgressBar::setStartAngle(double angle)
{
    if (angle == m_start_angle)
        return;
    m_start_angle = angle;
    update();
}

void QRoundProgressBar::setOutlinePenWidth(double width)
{
    if (width == m_outline_pen_width)
        return;
    m_outline_pen_width = width;
    update();
}

void QRoundProgressBar::setDataPenWidth(double width)
{
    if (width == m_data_pen_width)
        return;
    m_data_pen_width = width;
    update();
}

void QRoundProgressBar::setBarStyle(BarStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    update();
}

void QRoundProgressBar::setDecimals(int decimals)
{
    if (decimals < 0 || decimals == m_decimals)
        return;
    m_decimals = decimals;
    update();
}

double QRoundProgressBar::percent() const
{
    // Counted from the minimum; an empty range shows an empty ring.
    const double range = m_max - m_min;
    return range > 0 ? (m_value - m_min) / range * 100.0 : 0.0;
}

QString QRoundProgressBar::valueText() const
{
    return QString::number(percent(), 'f', m_decimals) + QLatin1Char('%');
}

void QRoundProgressBar::create_qround_bar(QDialog *parent)
{
    if (g_qround_bar)
        return;
    g_qround_bar = new QRoundProgressBar(parent, StyleRing);
    g_qround_bar->setGeometry(120, 70, 100, 100);
    g_qround_bar->setValue(0);
    g_qround_bar->show();
    kor_trace("\n create_qround_bar");
}

void QRoundProgressBar::del_qround_bar()
{
    g_qround_bar = nullptr;
}

void QRoundProgressBar::para_sync(int v)
{
    QRoundProgressBar *ring = g_qround_bar;
    if (!ring)
        return;
    if (v > 99) {
        ring->hide();
        g_qround_bar = nullptr;
        return;
    }
    ring->setValue(v);
    ring->update();
}

void QRoundProgressBar::paintEvent(QPaintEvent *)
{
    const double w = width();
    const QRectF base(0, 0, w, w);
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.fillRect(base, QColor(255, 255, 255, 0));

    double d = 0;
    if (m_style == StyleRing)
        d = 0.9 * w;
    else if (m_style == StyleOutline)
        d = w - m_outline_pen_width;
    const QRectF inner((w - d) / 2, (w - d) / 2, d, d);
    const double arc = percent() * 3.6;

    // Base.
    if (m_style == StyleRing) {
        QPainterPath path(base.center());
        path.addEllipse(inner);
        path.setFillRule(Qt::OddEvenFill);
        p.setPen(QPen(kTrack, kRingWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        p.setBrush(Qt::white);
        p.drawPath(path);
    } else if (m_style == StyleDisc) {
        p.setPen(QPen(kOutline, m_outline_pen_width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        p.setBrush(kTrack);
        p.drawEllipse(base);
    } else {
        const double half = m_outline_pen_width / 2;
        p.setPen(QPen(kOutline, m_outline_pen_width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(base.adjusted(half, half, -half, -half));
    }

    // Value.
    if (m_value != m_min && arc > 0) {
        const int start16 = int(m_start_angle * 16);
        const int span16 = int(-(arc * 16));
        if (m_style == StyleRing) {
            QPen pen(kValue, kRingWidth);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawArc(inner, start16, span16);
        } else if (m_style == StyleDisc) {
            QPainterPath path;
            path.setFillRule(Qt::WindingFill);
            path.moveTo(base.center());
            path.arcTo(base, m_start_angle, -arc);
            path.lineTo(base.center());
            p.setPen(QPen(kValue, m_data_pen_width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            p.setBrush(kValue);
            p.drawPath(path);
        } else {
            p.setPen(kValue);
            p.setBrush(Qt::NoBrush);
            p.drawArc(base, start16, span16);
        }
    }

    // Text.
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(36);
    p.setFont(font);
    p.setPen(kText);
    p.drawText(base, Qt::AlignCenter, valueText());
    p.end();
}
