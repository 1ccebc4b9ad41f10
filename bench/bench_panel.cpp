// The panel's side of the benchmark rows: the program's pages over the simulated devices, as
// the tests bring them up (no worker threads, the 10 ms tick stopped).
//   bench_panel list         the number and class of every page that can be opened, and how the
//                            program opens it ("modal" or "shown")
//   bench_panel key PAGE     section "key": right on page PAGE (1 the main menu)
//   bench_panel open PAGE    sections "open-first", "open-second": page PAGE opened by the page
//                            beneath it and painted; closed in between
//   bench_panel cold PAGE    the page as the program opens it, and its first keys: modal, inside
//                            the exec() of the page beneath (those opened the same way; the
//                            user modes are shown, not modal), with keys arriving as the panel's
//                            do (see bench_panel_key); sections "open-frame" (opening to its
//                            first frame), "open-rest" (what the opening left pending after
//                            it), "key-first" (right, the first key on the fresh page),
//                            "key-round" (the rest of the first round, 5 keys), "key-warm" (8
//                            keys after it); then closed and opened again: "open-frame-again",
//                            "open-rest-again". Page 1 (the main menu, shown in the main
//                            window) has the key sections only
//   bench_panel step N       the picture quality page's brightness stepped down N times, 50 ms
//                            apart, with the scaler worker and the 10 ms tick running as in the
//                            program; the steps and the second after them lie between the
//                            marks "/kor-bench/steps-begin" and "/kor-bench/steps-end", which
//                            the program asks for (access) so that a system-call trace shows
//                            them
//   bench_panel settings KIND [BYTES]
//                            a settings file of 256 KiB (or BYTES): "[config]", an address,
//                            then lines of "[" only (KIND "headers") or ordinary key lines of
//                            another group ("ordinary"); sections "settings-load" (the engine
//                            made from the file) and "settings-apply" (the three writes of an
//                            Apply of the network page)
#include "bench_measure.h"
#include "core/config_engine.h"
#include "kor_test_helpers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {
// Opens the pages beneath `number` and then it, as the keys would.
KorPage *open_chain(int number)
{
    if (number <= 1) {
        g_mainwindow->show_menu();
        return kor_page(1);
    }
    KorPage *beneath = open_chain(kor_page_parent(number));
    if (!beneath || !beneath->open_page(number))
        return nullptr;
    return kor_page(number);
}

// Runs the event loop for `ms` milliseconds of real time.
void run_for(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

void mark(const char *name)
{
    (void)access(name, F_OK);
}

BenchApplication *bench_app()
{
    return static_cast<BenchApplication *>(qApp);
}

// Runs `inside` in the event loop of page `number` once it has drawn its first frame, the
// pages beneath it opened the same way, each inside the exec() of the one beneath (the main
// menu: shown in the main window). Each page closes when what runs inside it has returned.
void within_page(int number, std::function<void()> inside)
{
    if (number <= 1) {
        g_mainwindow->show_menu();
        bench_settle();
        inside();
        return;
    }
    within_page(kor_page_parent(number), [number, inside] {
        KorPage *beneath = kor_page(kor_page_parent(number));
        bench_app()->after_first_frame([number] { return kor_page(number); }, [number, inside] {
            bench_later([number, inside] {
                bench_settle();
                inside();
                if (KorPage *page = kor_page(number))
                    page->close_page();
            });
        });
        if (!beneath || !beneath->open_page(number))
            std::fprintf(stderr, "page %d did not open\n", number);
    });
}

// How the program opens a page: the user modes are shown beside the menu (the mode key opens
// them from any page), every other page runs modally in the exec() of the page beneath.
bool opened_modal(int number)
{
    return number != KorPageNo::CustomMode;
}

// Page `number` opened by the page beneath as the program does, counted to its first frame
// and then to what it left pending, then its first keys; closed and again.
void cold_open(int number)
{
    within_page(kor_page_parent(number), [number] {
        KorPage *beneath = kor_page(kor_page_parent(number));
        if (!beneath)
            return;
        for (const QByteArray &suffix : {QByteArray(), QByteArray("-again")}) {
            bench_open_drawn(
                suffix, [number] { return kor_page(number); },
                [beneath, number] {
                    if (!opened_modal(number)) {
                        // The program's own loop runs on until the page closes.
                        kor_open_custommode(false);
                        QEventLoop loop;
                        QObject::connect(g_custommode, &QDialog::finished, &loop, &QEventLoop::quit);
                        loop.exec();
                    } else if (!beneath->open_page(number)) {
                        std::fprintf(stderr, "page %d did not open\n", number);
                    }
                },
                [number, suffix] {
                    if (suffix.isEmpty())
                        bench_first_keys(kor_key_code(KorKey::Right));
                    if (KorPage *page = kor_page(number))
                        page->close_page();
                });
            g_page_focus = uint8_t(beneath->page_number());
            bench_settle();
        }
    });
}
}

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    const QString scenario = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int page = argc > 2 ? atoi(argv[2]) : 1;
    KorTestEnv env;
    kor_start_ui(env);
    kor_fpga_up();
    kor_set_modal_pages(false);
    bench_settle();
    if (scenario == QLatin1String("list")) {
        for (int n = 2; n < kKorPages; ++n) {
            KorPage *opened = kor_page_available(n) ? open_chain(n) : nullptr;
            if (opened)
                std::printf("page %d %s %s\n", n, opened->metaObject()->className(),
                            opened_modal(n) ? "modal" : "shown");
            kor_close_all_pages();
            bench_settle();
        }
    } else if (scenario == QLatin1String("key")) {
        if (!open_chain(page))
            return 1;
        // A round of the menu first, each key drawn before the next, as on the panel.
        for (int i = 0; i < 6; ++i) {
            kor_press(KorKey::Right);
            bench_settle();
        }
        bench_section("key", [] { kor_press(KorKey::Right); }, 8);
    } else if (scenario == QLatin1String("open")) {
        KorPage *beneath = open_chain(kor_page_parent(page));
        if (!beneath)
            return 1;
        for (const char *name : {"open-first", "open-second"}) {
            bench_section(name, [beneath, page] { beneath->open_page(page); });
            if (KorPage *opened = kor_page(page))
                opened->close_page();
            g_page_focus = uint8_t(beneath->page_number());
            bench_settle();
        }
    } else if (scenario == QLatin1String("cold")) {
        kor_set_modal_pages(true);
        // A page that never draws would leave its exec() running.
        QTimer::singleShot(600000, [page] {
            std::fprintf(stderr, "page %d: no frame in 10 minutes\n", page);
            _exit(3);
        });
        if (page <= 1)
            within_page(1, [] { bench_first_keys(kor_key_code(KorKey::Right)); });
        else if (kor_page_available(page))
            cold_open(page);
        else
            return 1;
    } else if (scenario == QLatin1String("step")) {
        const int steps = argc > 2 ? atoi(argv[2]) : 1;
        constexpr int kPicturePage = 19;
        if (!open_chain(kPicturePage))
            return 1;
        v331_manage::pInstance()->initialize();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, g_mainwindow, &MainWindow::slot_update_timer_ticks);
        tick.start(10);
        // Keys as the panel sends them: the tests' press also waits for the saver, which
        // would make every step a write of its own.
        auto press = [](KorKey key) {
            QWidget *target = kor_front_widget();
            QKeyEvent down(QEvent::KeyPress, kor_key_code(key), Qt::NoModifier);
            QCoreApplication::sendEvent(target, &down);
            QKeyEvent up(QEvent::KeyRelease, kor_key_code(key), Qt::NoModifier);
            QCoreApplication::sendEvent(target, &up);
        };
        press(KorKey::Ok);  // brightness is edited
        run_for(1000);
        mark("/kor-bench/steps-begin");
        for (int i = 0; i < steps; ++i) {
            press(KorKey::Left);  // down: it starts at the top, 100
            run_for(50);
        }
        run_for(1000);
        mark("/kor-bench/steps-end");
    } else if (scenario == QLatin1String("settings")) {
        const QByteArray kind = argc > 2 ? QByteArray(argv[2]) : QByteArray();
        const int size = argc > 3 ? atoi(argv[3]) : 256 * 1024;
        QByteArray text = "[config]\nIPAddress=10.1.2.3\n";
        if (kind == "ordinary")
            text += "[other]\n";
        else if (kind != "headers")
            return 2;
        for (int i = 0; text.size() < size; ++i)
            text += kind == "headers" ? QByteArray("[\n") : "key" + QByteArray::number(i) + "=a value of another program\n";
        text.truncate(size - 1);
        text += '\n';
        env.write_file(QStringLiteral("/data/configs/tcpip.ini"), text);
        bench_section("settings-load", [] {
            ConfigEngine::destroy_instance();
            ConfigEngine::pInstance();
        });
        bench_section("settings-apply", [] {
            ConfigEngine *config = ConfigEngine::p_config;
            config->write_config_variant(ConfigItem::IPAddress, QStringLiteral("10.1.2.4"));
            config->write_config_variant(ConfigItem::SubNetMask, QStringLiteral("255.255.0.0"));
            config->write_config_variant(ConfigItem::GateWay, QStringLiteral("10.1.0.1"));
        });
        if (!ConfigEngine::p_config->saved())
            std::fprintf(stderr, "settings not saved\n");
    } else {
        std::fprintf(stderr, "usage: bench_panel list | key PAGE | open PAGE | cold PAGE | step N | settings KIND\n");
        return 2;
    }
    return 0;
}
