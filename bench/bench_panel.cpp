// The panel's side of the benchmark rows: the program's pages over the simulated devices, as
// the tests bring them up (no worker threads, the 10 ms tick stopped).
//   bench_panel list         the number and class of every page that can be opened
//   bench_panel key PAGE     section "key": right on page PAGE (1 the main menu)
//   bench_panel open PAGE    sections "open-first", "open-second": page PAGE opened by the page
//                            beneath it and painted; closed in between
#include "bench_measure.h"
#include "kor_test_helpers.h"

#include <QApplication>
#include <cstdio>

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
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
                std::printf("page %d %s\n", n, opened->metaObject()->className());
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
    } else {
        std::fprintf(stderr, "usage: bench_panel list | key PAGE | open PAGE\n");
        return 2;
    }
    return 0;
}
