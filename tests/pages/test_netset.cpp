#include "core/global.h"
#include "core/korrampara.h"
#include "kor_fpga_helpers.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "ui/pages/netset.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
// Where each port's x lies in the parameter-RAM image; y, width and height follow every
// two bytes.
const int kXOffset[16] = {8, 19, 32, 43, 520, 528, 536, 544, 576, 584, 592, 600, 608, 616, 624, 632};

int port_value(int port, int i) { return 1000 * (port + 1) + 257 * i + 3; }

// An image whose other bytes would show up as nonsense if read at the wrong offsets.
std::vector<uint8_t> ram_image()
{
    std::vector<uint8_t> image(1024, 0xEE);
    for (int p = 0; p < 16; ++p)
        for (int i = 0; i < 4; ++i) {
            image[kXOffset[p] + 2 * i] = uint8_t(port_value(p, i));
            image[kXOffset[p] + 2 * i + 1] = uint8_t(port_value(p, i) >> 8);
        }
    return image;
}

void open_netset()
{
    kor_set_modal_pages(false);
    kor_press(KorKey::Ok);
    kor_press(KorKey::Right);
    kor_press(KorKey::Right);
    kor_press(KorKey::Ok);  // settings
    kor_press(KorKey::Ok);  // output settings
    kor_press(KorKey::Left);
    kor_press(KorKey::Ok);  // port output
}

void keys(const QString &sequence)
{
    for (QChar k : sequence)
        kor_press(k == 'R' ? KorKey::Right : k == 'L' ? KorKey::Left : KorKey::Ok);
}

template <class W>
W *child(const QString &name)
{
    return g_netset->findChild<W *>(name);
}

QStringList shown_values()
{
    QStringList out;
    for (const char *name : {"x_lineEdit", "y_lineEdit", "w_lineEdit", "h_lineEdit"})
        out << child<QLineEdit>(name)->text();
    return out;
}

QString icons()
{
    const QImage online = QPixmap(":/png/online_up.png").toImage();
    const QImage offline = QPixmap(":/png/offline_up.png").toImage();
    QString out;
    for (int c = 1; c <= 4; ++c) {
        const QImage icon = child<QLabel>(QString("L%1label").arg(c))->pixmap(Qt::ReturnByValue).toImage();
        out += icon == online ? '1' : icon == offline ? '0' : '?';
    }
    return out;
}
}

class TestNetset : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

    static QString selected_style()
    {
        return "background-color:transparent; border:0px solid rgb(255, 255, 255);border-radius:1px;padding:2px 4px";
    }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        kor_start_ui(*env);
        g_language = 1;
    }
    void cleanup() { env.reset(); }

    void selection_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("first");  // caption number of the first column
        QTest::newRow("opened") << "" << 0 << 0 << 1;
        QTest::newRow("port 2") << "R" << 1 << 1 << 1;
        QTest::newRow("OK changes nothing") << "RK" << 1 << 1 << 1;
        QTest::newRow("three rights") << "RRR" << 3 << 3 << 1;
        QTest::newRow("fourth right scrolls") << "RRRR" << 4 << 3 << 2;
        QTest::newRow("stops at LED16") << QString(20, 'R') << 15 << 3 << 13;
        QTest::newRow("stops at LED1") << "LL" << 0 << 0 << 1;
        QTest::newRow("back into the first column") << "RRRRRRRLLL" << 4 << 0 << 5;
        QTest::newRow("left scrolls back") << "RRRRRRRLLLL" << 3 << 0 << 4;
    }
    void selection()
    {
        QFETCH(QString, keys);
        QFETCH(int, port);
        QFETCH(int, column);
        QFETCH(int, first);
        sim_fpga()->set_flash_ram_copy(0, ram_image(), true);
        kor_fpga_up();
        open_netset();
        QCOMPARE(int(g_page_focus), 14);
        if (keys.isEmpty())
            kor_save_screen(g_netset, "netset");
        ::keys(keys);
        QCOMPARE(int(g_page_focus), 14);
        QStringList expected;
        for (int i = 0; i < 4; ++i)
            expected << QString::number(port_value(port, i));
        QCOMPARE(shown_values(), expected);
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(child<QLabel>(QString("LED%1label").arg(c + 1))->text(), QString("LED%1").arg(first + c));
            const QString style = child<QPushButton>(QString("LED%1Button").arg(c + 1))->styleSheet();
            QCOMPARE(style == selected_style(), c == column);
        }
        QCOMPARE(child<QFrame>("net_frame")->geometry(), QRect(24 + 68 * column, 40, 58, 41));
        if (keys.size() == 20)
            kor_save_screen(g_netset, "netset-led16");
    }

    void link_icons_data()
    {
        QTest::addColumn<int>("fpga_state");  // -1: no FPGA manager
        QTest::addColumn<int>("links");
        QTest::addColumn<QString>("first_four");
        QTest::addColumn<QString>("last_four");
        QTest::newRow("running") << 3 << 0x8005 << "1010" << "0001";
        QTest::newRow("running, all up") << 3 << 0xFFFF << "1111" << "1111";
        QTest::newRow("FPGA starting") << 1 << 0xFFFF << "0000" << "0000";
        QTest::newRow("no FPGA manager") << -1 << 0xFFFF << "0000" << "0000";
    }
    void link_icons()
    {
        QFETCH(int, fpga_state);
        QFETCH(int, links);
        QFETCH(QString, first_four);
        QFETCH(QString, last_four);
        sim_fpga()->set_link_bits(uint16_t(links));
        if (fpga_state >= 0) {
            sim_fpga()->set_state_after_bring_up(uint8_t(fpga_state));
            sim_fpga()->set_flash_ram_copy(0, ram_image(), true);
            kor_fpga_up();
        }
        open_netset();
        QCOMPARE(icons(), first_four);
        if (fpga_state < 0) {
            QCOMPARE(shown_values(), QStringList({"0", "0", "0", "0"}));
            kor_save_screen(g_netset, "netset-no-fpga");
        }
        keys(QString(15, 'R'));
        QCOMPARE(icons(), last_four);
        // A link that changes shows at the next key, also when the selection cannot move.
        sim_fpga()->set_link_bits(uint16_t(~links));
        QCOMPARE(icons(), last_four);
        kor_press(KorKey::Right);
        QString flipped = last_four;
        if (fpga_state == 3)
            for (QChar &c : flipped)
                c = c == '1' ? '0' : '1';
        QCOMPARE(icons(), flipped);
    }

    void language_change()
    {
        open_netset();
        QCOMPARE(child<QLabel>("label_netset")->text(), QString("Port output"));
        QCOMPARE(child<QLabel>("w_label")->text(), QString("W"));
        QCOMPARE(child<QLabel>("x_label")->text(), QString("X"));
        KorRamPara::p_korrampara_config->ram[0x300] = 4;
        KorRamPara::p_korrampara_config->test_signal(1);
        KorTestEnv::process_events();
        QCOMPARE(child<QLabel>("label_netset")->text(), QString::fromUtf8("網口輸出"));
        QCOMPARE(child<QLabel>("h_label")->text(), QString::fromUtf8("高"));
        // The column captions follow at the next key.
        QCOMPARE(child<QLabel>("LED1label")->text(), QString("LED1"));
        kor_press(KorKey::Right);
        QCOMPARE(child<QLabel>("LED1label")->text(), QString::fromUtf8("網口LED1"));
        kor_save_screen(g_netset, "netset-tw");
    }
};

QTEST_MAIN(TestNetset)
#include "test_netset.moc"
