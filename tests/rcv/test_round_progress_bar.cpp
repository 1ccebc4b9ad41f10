#include "kor_test_helpers.h"
#include "ui/rcv/QRoundProgressBar.h"

#include <QDialog>
#include <QtMath>

namespace {
// A point on the ring's track (radius 45 around the centre of the 100 x 100 ring) at `clock`
// hours; 0 is twelve o'clock.
QPoint on_track(double clock)
{
    const double a = qDegreesToRadians(90.0 - clock * 30.0);
    return QPoint(qRound(50 + 45 * qCos(a)), qRound(50 - 45 * qSin(a)));
}
bool is_blue(QRgb c) { return qBlue(c) > 200 && qRed(c) < 120; }
bool is_grey(QRgb c) { return qAbs(qRed(c) - 0xDE) < 16 && qAbs(qBlue(c) - 0xE7) < 16; }
}

class TestRoundProgressBar : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }
    std::unique_ptr<QDialog> page;
    void set_up() override
    {
        page.reset(new QDialog);
        page->setFixedSize(320, 240);
        page->setStyleSheet("background-color: rgb(16, 16, 28);");
    }

private slots:

    void arc_and_text_data()
    {
        // range: set after the value; decimals: set before it; track: half past each hour
        // from 12: b on the arc, g bare, . under a wide text
        kor_columns<QPointF, double, int, QString, QString>({"range", "value", "decimals", "text", "track"});
        QTest::newRow("25") << QPointF(0, 100) << 25.0 << 0 << "25%" << "bbbggggggggg";
        QTest::newRow("99") << QPointF(0, 100) << 99.0 << 0 << "99%" << "bbbbbbbbbbbb";
        QTest::newRow("from the minimum") << QPointF(50, 150) << 75.0 << 0 << "25%" << "bbbggggggggg";
        QTest::newRow("below the minimum") << QPointF(50, 150) << 10.0 << 0 << "0%" << "gggggggggggg";
        QTest::newRow("empty range") << QPointF(30, 30) << 30.0 << 0 << "0%" << "gggggggggggg";
        QTest::newRow("range given high to low, value above it") << QPointF(100, 0) << 150.0 << 0 << "100%"
                                                                 << "bb..bbbb..bb";
        QTest::newRow("one decimal") << QPointF(0, 100) << 42.0 << 1 << "42.0%" << "bb..bggg..gg";
        QTest::newRow("negative decimals ignored") << QPointF(0, 100) << 42.0 << -1 << "42%" << "bbbbbggggggg";
    }
    void arc_and_text()
    {
        QFETCH(QPointF, range);
        QFETCH(double, value);
        QFETCH(QString, track);
        QRoundProgressBar::create_qround_bar(page.get());
        QRoundProgressBar *ring = g_qround_bar;
        QVERIFY(ring);
        QCOMPARE(ring->geometry(), QRect(120, 70, 100, 100));
        ring->setDecimals(kor_data<int>("decimals"));
        // Both setters keep the value inside the range.
        ring->setRange(0, 1000);
        ring->setValue(value);
        ring->setRange(range.x(), range.y());
        ring->setValue(value);
        QTEST(ring->valueText(), "text");
        const QImage img = ring->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        for (int h = 0; h < 12; ++h) {
            const QRgb c = img.pixel(on_track(h + 0.5));
            if (track[h] != '.')
                QVERIFY2(track[h] == 'b' ? is_blue(c) : is_grey(c), qPrintable(QString("%1 at %2.5").arg(track[h]).arg(h)));
        }
        if (QTest::currentDataTag() == QLatin1String("25"))
            kor_save_screen(page.get(), "qroundprogressbar-25");
    }

    // 100 closes the ring and late progress finds none; a ring goes with its page.
    void ring_lifetime()
    {
        QRoundProgressBar::create_qround_bar(page.get());
        QRoundProgressBar *first = g_qround_bar;
        first->para_sync(40);
        first->para_sync(100);
        QVERIFY(!g_qround_bar);
        QVERIFY(first->isHidden());
        first->para_sync(50);
        QCOMPARE(first->value(), 40.0);
        QRoundProgressBar::create_qround_bar(page.get());
        QVERIFY(g_qround_bar);
        page.reset();
        QVERIFY(!g_qround_bar);
    }
};

QTEST_MAIN(TestRoundProgressBar)
#include "test_round_progress_bar.moc"
