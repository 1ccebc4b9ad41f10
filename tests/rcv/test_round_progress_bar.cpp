#include "kor_test_env.h"
#include "ui/rcv/QRoundProgressBar.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QtMath>
#include <QtTest>
#include <memory>

namespace {
// A point on the ring's track (radius 45 around the centre of the 100 x 100 ring) at
// `clock` hours; 0 is twelve o'clock.
QPoint on_track(double clock)
{
    const double a = qDegreesToRadians(90.0 - clock * 30.0);
    return QPoint(qRound(50 + 45 * qCos(a)), qRound(50 - 45 * qSin(a)));
}

bool is_blue(QRgb c) { return qBlue(c) > 200 && qRed(c) < 120; }
bool is_grey(QRgb c) { return qAbs(qRed(c) - 0xDE) < 16 && qAbs(qBlue(c) - 0xE7) < 16; }
}

class TestRoundProgressBar : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    std::unique_ptr<QDialog> page;

    QImage render()
    {
        return g_qround_bar->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        page.reset(new QDialog);
        page->setFixedSize(320, 240);
        page->setStyleSheet("background-color: rgb(16, 16, 28);");
    }
    void cleanup()
    {
        page.reset();
        env.reset();
    }

    void arc_and_text_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("blue");  // clock positions on the arc
        QTest::addColumn<QList<double>>("grey");  // clock positions on the bare track
        QTest::newRow("new ring") << -1 << "0%" << QList<double>{} << QList<double>{0.5, 3, 6, 9, 11.5};
        QTest::newRow("25") << 25 << "25%" << QList<double>{0.5, 1.5, 2.5} << QList<double>{4, 6, 9, 11};
        QTest::newRow("50") << 50 << "50%" << QList<double>{1, 3, 5} << QList<double>{7, 9, 11};
        QTest::newRow("99") << 99 << "99%" << QList<double>{1, 4, 7, 10, 11.6} << QList<double>{};
        QTest::newRow("negative") << -20 << "0%" << QList<double>{} << QList<double>{1, 6, 11};
    }
    void arc_and_text()
    {
        QFETCH(int, percent);
        QFETCH(QString, text);
        QFETCH(QList<double>, blue);
        QFETCH(QList<double>, grey);
        QRoundProgressBar::create_qround_bar(page.get());
        QVERIFY(g_qround_bar);
        QCOMPARE(g_qround_bar->geometry(), QRect(120, 70, 100, 100));
        if (percent != -1)
            g_qround_bar->para_sync(percent);
        QCOMPARE(g_qround_bar->valueText(), text);
        const QImage img = render();
        for (double c : blue)
            QVERIFY2(is_blue(img.pixel(on_track(c))), qPrintable(QString("blue at %1").arg(c)));
        for (double c : grey)
            QVERIFY2(is_grey(img.pixel(on_track(c))), qPrintable(QString("grey at %1").arg(c)));
        // The centre stays white under the text's edge.
        QCOMPARE(img.pixel(50, 15), qRgb(255, 255, 255));
        if (percent == 25)
            kor_save_screen(page.get(), "qroundprogressbar-25");
    }

    void one_ring_at_a_time_and_100_closes_it()
    {
        QRoundProgressBar::create_qround_bar(page.get());
        QRoundProgressBar *first = g_qround_bar;
        first->para_sync(40);
        QDialog other;
        QRoundProgressBar::create_qround_bar(&other);
        QCOMPARE(g_qround_bar, first);
        QCOMPARE(first->parentWidget(), page.get());
        QCOMPARE(first->value(), 40.0);

        first->para_sync(100);
        QVERIFY(!g_qround_bar);
        QVERIFY(first->isHidden());
        first->para_sync(50);  // late progress finds no ring
        QCOMPARE(first->value(), 40.0);
        // An old, hidden ring passes progress on to the ring now shown.
        QRoundProgressBar::create_qround_bar(page.get());
        first->para_sync(70);
        QCOMPARE(g_qround_bar->value(), 70.0);
    }

    void pointer_cleared_when_the_page_goes()
    {
        QPointer<QDialog> p = new QDialog;
        QRoundProgressBar::create_qround_bar(p.data());
        QVERIFY(g_qround_bar);
        p->setAttribute(Qt::WA_DeleteOnClose);
        p->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p);
        QVERIFY(!g_qround_bar);
    }

    void range_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("shown");
        QTest::addColumn<QString>("text");
        QTest::newRow("swapped, clamped") << 100.0 << 0.0 << 150.0 << 100.0 << "100%";
        QTest::newRow("counted from the minimum") << 50.0 << 150.0 << 75.0 << 75.0 << "25%";
        QTest::newRow("below the minimum") << 50.0 << 150.0 << 10.0 << 50.0 << "0%";
        QTest::newRow("empty range") << 30.0 << 30.0 << 30.0 << 30.0 << "0%";
    }
    void range()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, value);
        QFETCH(double, shown);
        QFETCH(QString, text);
        QRoundProgressBar ring(page.get(), QRoundProgressBar::StyleRing);
        ring.resize(100, 100);
        ring.setValue(value);
        ring.setRange(min, max);
        ring.setValue(value);
        QCOMPARE(ring.minimum(), qMin(min, max));
        QCOMPARE(ring.maximum(), qMax(min, max));
        QCOMPARE(ring.value(), shown);
        QCOMPARE(ring.valueText(), text);
        const QImage img = ring.grab().toImage();
        if (text == "0%") {
            for (double c : {1.0, 4.0, 8.0})
                QVERIFY(is_grey(img.pixel(on_track(c))));
        } else if (text == "25%") {
            QVERIFY(is_blue(img.pixel(on_track(1.5))));
            QVERIFY(is_grey(img.pixel(on_track(6))));
        }
    }

    void decimals()
    {
        QRoundProgressBar ring(page.get(), QRoundProgressBar::StyleRing);
        ring.setValue(42);
        QCOMPARE(ring.valueText(), QString("42%"));
        ring.setDecimals(1);
        ring.setDecimals(-1);
        QCOMPARE(ring.valueText(), QString("42.0%"));
    }

    void other_styles_paint()
    {
        for (auto style : {QRoundProgressBar::StyleDisc, QRoundProgressBar::StyleOutline}) {
            QRoundProgressBar ring(page.get(), style);
            ring.resize(100, 100);
            ring.setOutlinePenWidth(2);
            ring.setDataPenWidth(1);
            ring.setValue(25);
            const QImage img = ring.grab().toImage();
            // The value covers the quarter clockwise from twelve o'clock, nothing else.
            auto bluish = [&img](int x0, int y0) {
                int n = 0;
                for (int y = y0; y < y0 + 47; ++y)
                    for (int x = x0; x < x0 + 47; ++x)
                        n += qBlue(img.pixel(x, y)) > qRed(img.pixel(x, y)) + 80;
                return n;
            };
            QVERIFY(bluish(53, 0) > 20);
            QCOMPARE(bluish(0, 53), 0);
            QCOMPARE(bluish(53, 53), 0);
        }
    }
};

QTEST_MAIN(TestRoundProgressBar)
#include "test_round_progress_bar.moc"
