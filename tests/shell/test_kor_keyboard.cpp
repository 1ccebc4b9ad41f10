#include "core/korrampara.h"
#include "kor_test_env.h"
#include "scaler/v331_manage.h"
#include "ui/shell/kor_keyboard.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
KorRamPara *table() { return KorRamPara::p_korrampara_config; }
int record(int window, int field) { return KorWindowRecord::offset(window, field); }
}

// The key-board glue: shortcut letters act on the table's window records.
class TestKorKeyboard : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
        for (int w = 0; w < 6; ++w)
            table()->set_u16(record(w, KorWindowRecord::kEnable), (w == 0 || w == 2 || w == 5) ? 1 : 0);
        kor_keyboard::set_current_window(0);
        v331_manage::para_changed = 0;
    }
    void cleanup() { env.reset(); }

    void select_window_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("refresh");
        QTest::newRow("C selects window 2") << int('C') << 2 << true;
        QTest::newRow("F selects window 5") << int('F') << 5 << true;
        QTest::newRow("B: window 1 is off") << int('B') << 0 << false;
        QTest::newRow("A: already current") << int('A') << 0 << false;
    }
    void select_window()
    {
        QFETCH(int, key);
        QFETCH(int, window);
        QFETCH(bool, refresh);
        QSignalSpy spy(table(), SIGNAL(sig_update_para(int)));
        kor_keyboard glue;
        glue.update_usb_keyEvent(key);
        QCOMPARE(kor_keyboard::current_window(), window);
        QCOMPARE(spy.count(), refresh ? 1 : 0);
        if (refresh)
            QCOMPARE(spy.first().first().toInt(), 1);
        QCOMPARE(int(v331_manage::para_changed), 0);
    }

    void set_source_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("source");
        const int sources[6] = {0, 1, 4, 5, 2, 3};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(QString(QChar('G' + i)))) << int('G' + i) << sources[i];
    }
    void set_source()
    {
        QFETCH(int, key);
        QFETCH(int, source);
        kor_keyboard glue;
        glue.update_usb_keyEvent('C');  // window 2 becomes current
        table()->set_u16(record(2, KorWindowRecord::kSource), 9);
        table()->set_u16(record(0, KorWindowRecord::kSource), 7);
        glue.update_usb_keyEvent(key);
        QCOMPARE(int(table()->u16(record(2, KorWindowRecord::kSource))), source);
        QCOMPARE(int(table()->u16(record(0, KorWindowRecord::kSource))), 7);
        QCOMPARE(int(v331_manage::para_changed), 1);
    }

    void freeze_and_black_toggle_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("field");
        QTest::newRow("N freeze") << int('N') << KorWindowRecord::kFreeze;
        QTest::newRow("P black") << int('P') << KorWindowRecord::kBlack;
    }
    void freeze_and_black_toggle()
    {
        QFETCH(int, key);
        QFETCH(int, field);
        kor_keyboard glue;
        glue.update_usb_keyEvent('F');  // window 5
        table()->ram[record(5, field)] = 0;
        glue.update_usb_keyEvent(key);
        QCOMPARE(int(table()->ram[record(5, field)]), 1);
        QCOMPARE(int(v331_manage::para_changed), 1);
        glue.update_usb_keyEvent(key);
        QCOMPARE(int(table()->ram[record(5, field)]), 0);
    }

    void inert_codes_and_key_lock_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("locked");
        for (int key : {64, 77, 79, 81, int(Qt::Key_F4), int(Qt::Key_Stop)})
            QTest::newRow(qPrintable(QStringLiteral("code %1").arg(key))) << key << false;
        for (int key : {int('C'), int('G'), int('N'), int('P')})
            QTest::newRow(qPrintable(QStringLiteral("locked %1").arg(QChar(key)))) << key << true;
    }
    void inert_codes_and_key_lock()
    {
        QFETCH(int, key);
        QFETCH(bool, locked);
        if (locked)
            table()->set_u16(0x304, 1);
        unsigned char before[KOR_TABLE_SIZE];
        std::memcpy(before, table()->ram, sizeof before);
        QSignalSpy spy(table(), SIGNAL(sig_update_para(int)));
        kor_keyboard glue;
        glue.update_usb_keyEvent(key);
        QVERIFY(std::memcmp(before, table()->ram, sizeof before) == 0);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(kor_keyboard::current_window(), 0);
        QCOMPARE(int(v331_manage::para_changed), 0);
    }
};

QTEST_MAIN(TestKorKeyboard)
#include "test_kor_keyboard.moc"
