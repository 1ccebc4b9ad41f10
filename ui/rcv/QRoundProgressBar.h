#pragma once
#include <QString>
#include <QWidget>

class QDialog;

// The circular progress indicator a receiving-card page lays over itself while the FPGA
// worker runs a job: a grey track, a blue arc growing clockwise from twelve o'clock and the
// percentage in the middle. At most one is shown at a time: g_qround_bar.
class QRoundProgressBar : public QWidget {
    Q_OBJECT
public:
    enum BarStyle { StyleRing = 0, StyleDisc = 1, StyleOutline = 2 };

    QRoundProgressBar(QWidget *parent, BarStyle style);
    ~QRoundProgressBar() override;

    void setRange(double min, double max);
    void setMinimum(double min);
    void setMaximum(double max);
    void setValue(double v);
    void setValue(int v);
    void setStartAngle(double angle);
    void setOutlinePenWidth(double width);
    void setDataPenWidth(double width);
    void setBarStyle(BarStyle style);
    void setDecimals(int decimals);

    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    double value() const { return m_value; }
    int decimals() const { return m_decimals; }
    BarStyle barStyle() const { return m_style; }
    // The text painted in the middle ("42%").
    QString valueText() const;

    // Creates the ring on the page when none is shown (x 120, y 70, 100 x 100, value 0).
    static void create_qround_bar(QDialog *parent);
    // Forgets the ring without closing it.
    static void del_qround_bar();

public slots:
    // Progress of the job: up to 99 sets the value of the ring g_qround_bar names; 100 or
    // more hides it and clears g_qround_bar.
    void para_sync(int v);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double percent() const;

    double m_min = 0;
    double m_max = 100;
    double m_value = 0;
    BarStyle m_style;
    int m_decimals = 0;
    double m_start_angle = 90;
    double m_outline_pen_width = 0;
    double m_data_pen_width = 0;
};

// The ring on show, null when there is none. GUI thread only; cleared when that ring is
// destroyed, also together with its page.
extern QRoundProgressBar *g_qround_bar;
