#include "kor_test_helpers.h"
#include "ui/pages/netset.h"

namespace {
const uint16_t kLinks = 0x8005;  // ports 1, 3 and 16 online

// Where each port's x lies in the parameter-RAM image; y, width and height follow.
const int kXOffset[16] = {8, 19, 32, 43, 520, 528, 536, 544, 576, 584, 592, 600, 608, 616, 624, 632};

int port_value(int port, int i) { return 1000 * (port + 1) + 257 * i + 3; }

// The other bytes would show up as nonsense if read at the wrong offsets.
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

void open_netset() { kor_open(kor_settings + "OLO", 14); }

QString text(const QString &name) { return kor_text(g_netset, name); }

QStringList shown_values()
{
    QStringList out;
    for (const char *name : {"x_lineEdit", "y_lineEdit", "w_lineEdit", "h_lineEdit"})
        out << text(name);
    return out;
}

// The four link icons, 1 online, 0 offline.
QString icons()
{
    const QImage online = QPixmap(":/png/online_up.png").toImage();
    const QImage offline = QPixmap(":/png/offline_up.png").toImage();
    QString out;
    for (int c = 1; c <= 4; ++c) {
        const QLabel *label = kor_child<QLabel>(g_netset, QString("L%1label").arg(c));
        const QImage icon = label->pixmap(Qt::ReturnByValue).toImage();
        out += icon == online ? '1' : icon == offline ? '0' : '?';
    }
    return out;
}
}

// The output-port status page over sixteen ports.
class TestNetset : public KorTest {
    Q_OBJECT
    void set_up() override { g_language = 1; }

private slots:

    void selection_data()
    {
        // first: caption number of the first column
        kor_columns<QString, int, int>({"keys", "port", "first"});
        QTest::newRow("opened") << "" << 0 << 1;
        QTest::newRow("OK changes nothing") << "RO" << 1 << 1;
        QTest::newRow("three rights") << "RRR" << 3 << 1;
        QTest::newRow("fourth right scrolls") << "RRRR" << 4 << 2;
        QTest::newRow("stops at LED16") << QString(20, 'R') << 15 << 13;
        QTest::newRow("stops at LED1") << "LL" << 0 << 1;
        QTest::newRow("back into the first column") << "RRRRRRRLLL" << 4 << 5;
        QTest::newRow("left scrolls back") << "RRRRRRRLLLL" << 3 << 4;
    }
    void selection()
    {
        QFETCH(QString, keys);
        QFETCH(int, port);
        QFETCH(int, first);
        sim_fpga()->set_flash_ram_copy(0, ram_image(), true);
        sim_fpga()->set_link_bits(kLinks);
        kor_fpga_up();
        open_netset();
        kor_keys(keys);
        QCOMPARE(int(g_page_focus), 14);
        QStringList expected;
        for (int i = 0; i < 4; ++i)
            expected << QString::number(port_value(port, i));
        QCOMPARE(shown_values(), expected);
        QString links;
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(text(QString("LED%1label").arg(c + 1)), QString("LED%1").arg(first + c));
            links += (kLinks >> (first - 1 + c)) & 1 ? '1' : '0';
        }
        QCOMPARE(icons(), links);
        const int column = port + 1 - first;
        QCOMPARE(kor_child(g_netset, "net_frame")->geometry(), QRect(24 + 68 * column, 40, 58, 41));
        if (keys.isEmpty())
            kor_save_screen(g_netset, "netset");
    }

    // Links show only while the FPGA runs; a change shows at the next key, also when the
    // selection cannot move.
    void link_icons_data()
    {
        QTest::addColumn<int>("fpga_state");  // -1: no FPGA manager
        QTest::newRow("running") << 3;
        QTest::newRow("FPGA starting") << 1;
        QTest::newRow("no FPGA manager") << -1;
    }
    void link_icons()
    {
        QFETCH(int, fpga_state);
        sim_fpga()->set_link_bits(kLinks);
        if (fpga_state >= 0) {
            sim_fpga()->set_state_after_bring_up(uint8_t(fpga_state));
            kor_fpga_up();
        }
        open_netset();
        kor_keys(QString(15, 'R'));
        const bool running = fpga_state == 3;
        QCOMPARE(icons(), QString(running ? "0001" : "0000"));
        sim_fpga()->set_link_bits(uint16_t(~kLinks));
        kor_press(KorKey::Right);
        QCOMPARE(icons(), QString(running ? "1110" : "0000"));
        if (fpga_state < 0) {
            QCOMPARE(shown_values(), QStringList({"0", "0", "0", "0"}));
            kor_save_screen(g_netset, "netset-no-fpga");
        }
    }

    void language_change()
    {
        open_netset();
        kor_host_language(4);
        QCOMPARE(text("label_netset"), QString::fromUtf8("網口輸出"));
        // The column captions follow at the next key.
        QCOMPARE(text("LED1label"), QString("LED1"));
        kor_press(KorKey::Right);
        QCOMPARE(text("LED1label"), QString::fromUtf8("網口LED1"));
        kor_save_screen(g_netset, "netset-tw");
    }
};

QTEST_MAIN(TestNetset)
#include "test_netset.moc"
