#include "kor_test_helpers.h"
#include "ui/shell/kor_keyboard.h"

using namespace KorWindowRecord;

// The key-board glue: shortcut letters act on the table's window records.
class TestKorKeyboard : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }
    kor_keyboard glue;
    void set_up() override
    {
        for (int w : {0, 2, 5})
            kor_table()->set_u16(offset(w, kEnable), 1);
        kor_table()->set_u16(offset(2, kSource), 9);
        kor_table()->ram[offset(2, kBlack)] = 1;
        kor_keyboard::set_current_window(2);
        v331_manage::para_changed = 0;
    }

private slots:

    // Window 2 is current; windows 0, 2 and 5 are on; window 2 is black, not frozen.
    void codes_data()
    {
        // window: current afterwards; field: window 2's byte that changes, -1: none
        kor_columns<int, bool, int, int, int>({"key", "locked", "window", "field", "value"});
        QTest::newRow("A selects window 0") << int('A') << false << 0 << -1 << 0;
        QTest::newRow("F selects window 5") << int('F') << false << 5 << -1 << 0;
        QTest::newRow("B: window 1 is off") << int('B') << false << 2 << -1 << 0;
        QTest::newRow("C: already current") << int('C') << false << 2 << -1 << 0;
        const int sources[6] = {0, 1, 4, 5, 2, 3};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(QString(QChar('G' + i)))) << int('G' + i) << false << 2 << kSource << sources[i];
        QTest::newRow("N freezes") << int('N') << false << 2 << kFreeze << 1;
        QTest::newRow("P lights up") << int('P') << false << 2 << kBlack << 0;
        for (int key : {64, 77, 79, 81, int(Qt::Key_F4), int(Qt::Key_Stop)})
            QTest::newRow(qPrintable(QStringLiteral("code %1").arg(key))) << key << false << 2 << -1 << 0;
        for (int key : {int('A'), int('G'), int('N'), int('P')})
            QTest::newRow(qPrintable(QStringLiteral("locked %1").arg(QChar(key)))) << key << true << 2 << -1 << 0;
    }
    void codes()
    {
        QFETCH(int, key);
        QFETCH(int, window);
        QFETCH(int, field);
        if (kor_data<bool>("locked"))
            kor_table()->set_u16(0x304, 1);
        const QByteArray before = kor_ram();
        QByteArray expected = before;
        if (field >= 0)
            expected[offset(2, field)] = char(kor_data<int>("value"));
        QSignalSpy spy(kor_table(), SIGNAL(sig_update_para(int)));
        glue.update_usb_keyEvent(key);
        QCOMPARE(kor_ram(), expected);
        QCOMPARE(kor_keyboard::current_window(), window);
        // A change of window refreshes the pages; only a record change reaches the scaler.
        QCOMPARE(spy.count(), window != 2 ? 1 : 0);
        for (const QList<QVariant> &args : spy)
            QCOMPARE(args.first().toInt(), 1);
        QCOMPARE(int(v331_manage::para_changed), field >= 0 ? 1 : 0);
        if (key == 'N' || key == 'P') {  // toggles: a second press restores
            glue.update_usb_keyEvent(key);
            QCOMPARE(kor_ram(), before);
        }
    }
};

QTEST_MAIN(TestKorKeyboard)
#include "test_kor_keyboard.moc"
