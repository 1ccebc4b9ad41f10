// The baseline of the benchmark rows: what a bare Qt Widgets program costs for the same
// thing. A 320x240 QDialog with five labels and an idle 10 ms QTimer.
//   bench_bare          runs until it is killed (start to first frame, at rest)
//   bench_bare key      sections "key": a key moves a marker from one label to the next
//   bench_bare open     sections "open-first", "open-second": a second such dialog opened on
//                       top and painted (then closed)
//   bench_bare cold     the sections of `bench_panel cold PAGE`: a second such dialog opened
//                       on top by exec() and its first keys as the panel sends them ("open-
//                       frame", "open-rest", "key-first", "key-round", "key-warm"), closed,
//                       and opened again ("open-frame-again", "open-rest-again")
#include "bench_measure.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <memory>

namespace {
class BareDialog : public QDialog {
public:
    explicit BareDialog(QWidget *parent = nullptr) : QDialog(parent)
    {
        resize(320, 240);
        for (int i = 0; i < 5; ++i) {
            m_labels[i] = new QLabel(QStringLiteral("Label %1").arg(i + 1), this);
            m_labels[i]->setGeometry(20, 20 + 40 * i, 280, 30);
        }
        mark(0);
    }

protected:
    void keyReleaseEvent(QKeyEvent *) override
    {
        unmark(m_marked);
        mark((m_marked + 1) % 5);
    }

private:
    void mark(int i)
    {
        m_marked = i;
        m_labels[i]->setText(QStringLiteral("> Label %1").arg(i + 1));
    }
    void unmark(int i) { m_labels[i]->setText(QStringLiteral("Label %1").arg(i + 1)); }

    QLabel *m_labels[5];
    int m_marked = 0;
};

void press_key(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}
}

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    BareDialog dialog;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start(10);
    dialog.show();
    const QString scenario = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (scenario.isEmpty())
        return app.exec();
    // Under valgrind a 10 ms timer would fire many times inside one section.
    tick.stop();
    if (scenario == QLatin1String("key")) {
        for (int i = 0; i < 6; ++i) {
            press_key(&dialog);
            bench_settle();
        }
        bench_section("key", [&dialog] { press_key(&dialog); }, 8);
    } else if (scenario == QLatin1String("open")) {
        for (const char *name : {"open-first", "open-second"}) {
            std::unique_ptr<BareDialog> page;
            bench_section(name, [&page] {
                page.reset(new BareDialog);
                page->show();
            });
            page.reset();
            bench_settle();
        }
    } else if (scenario == QLatin1String("cold")) {
        for (const QByteArray &suffix : {QByteArray(), QByteArray("-again")}) {
            BareDialog page;
            bench_open_drawn(
                suffix, [&page] { return &page; }, [&page] { page.exec(); },
                [&page, suffix] {
                    if (suffix.isEmpty())
                        bench_first_keys(Qt::Key_F5);
                    page.done(QDialog::Rejected);
                });
            bench_settle();
        }
    }
    return 0;
}
