#include "kor_test_env.h"
#include "ui/pages/inputcut.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

// The crop page's form: names, classes, parents, geometry, fonts, alignment and styles.
class TestInputCutForm : public QObject {
    Q_OBJECT
    std::unique_ptr<KorTestEnv> env;
    std::unique_ptr<InputCut> page;

    static QString white() { return "color: rgb(255, 255, 255);"; }
    static QString field() { return "color: rgb(255, 255, 255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255, 255, 255);"; }

private slots:
    void init()
    {
        env.reset(new KorTestEnv);
        env->start();
        page.reset(new InputCut);
    }
    void cleanup()
    {
        page.reset();
        env.reset();
    }

    void dialog()
    {
        QCOMPARE(page->objectName(), QString("InputCut"));
        QCOMPARE(page->size(), QSize(320, 240));
        QCOMPARE(page->font().pointSize(), 7);
        QCOMPARE(page->styleSheet(), QString("background-color: rgb(16,16, 28);"));
        QCOMPARE(page->windowTitle(), QString("Dialog"));
        // One widget per entry, in the form's order.
        QStringList names;
        for (QWidget *w : page->findChildren<QWidget *>())
            names << w->objectName();
        QStringList expected{"label_title"};
        for (int i = 0; i < 6; ++i)
            expected << QStringLiteral("sourcelistseq%1name").arg(i);
        for (int i = 0; i < 6; ++i)
            expected << QStringLiteral("sourcelistseq%1pixmap").arg(i);
        expected << "frame_add" << "label_change_source" << "label_crop" << "label_X" << "lineEdit_X" << "label_Y"
                 << "lineEdit_Y" << "label_W" << "lineEdit_W" << "label_H" << "lineEdit_H";
        QCOMPARE(names, expected);
        kor_save_screen(page.get(), "inputcut");
    }

    void widgets_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("text");
        const QString none = QStringLiteral("-");
        QTest::newRow("label_title") << "label_title" << "QLabel" << "InputCut" << QRect(50, 10, 220, 22) << 11 << true
                                     << white() << "输入截取";
        QTest::newRow("sourcelistseq0name") << "sourcelistseq0name" << "QLabel" << "InputCut" << QRect(2, 43, 51, 14) << 7
                                            << true << "color: rgb(255, 255, 255);\nbackground-color: rgb(16, 16, 28);"
                                            << "HDMI1";
        const char *names[6] = {"HDMI1", "HDMI2", "HDMI3", "HDMI4", "DVI", "EXT"};
        const int name_x[5] = {55, 108, 161, 214, 267};
        for (int i = 1; i < 6; ++i)
            QTest::newRow(qPrintable(QStringLiteral("sourcelistseq%1name").arg(i)))
                << QStringLiteral("sourcelistseq%1name").arg(i) << "QLabel" << "InputCut" << QRect(name_x[i - 1], 43, 51, 14)
                << 7 << true << "color: rgb(255, 255, 255);background-color: rgb(16, 16, 28);" << names[i];
        const int icon_x[6] = {7, 60, 113, 166, 219, 272};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(QStringLiteral("sourcelistseq%1pixmap").arg(i)))
                << QStringLiteral("sourcelistseq%1pixmap").arg(i) << "QLabel" << "InputCut" << QRect(icon_x[i], 58, 40, 12)
                << 7 << false << "background-color: rgb(16, 16, 28);" << "";
        QTest::newRow("frame_add") << "frame_add" << "QFrame" << "InputCut" << QRect(6, 145, 310, 45) << 7 << false << ""
                                   << none;
        QTest::newRow("label_change_source") << "label_change_source" << "QLabel" << "frame_add" << QRect(5, 5, 160, 12)
                                             << 7 << false << white() << "HDMI-Crop-3";
        QTest::newRow("label_crop") << "label_crop" << "QLabel" << "frame_add" << QRect(5, 30, 30, 14) << 7 << false
                                    << white() << "截取：";
        QTest::newRow("label_X") << "label_X" << "QLabel" << "frame_add" << QRect(36, 30, 10, 14) << 7 << true << white()
                                 << "X";
        QTest::newRow("lineEdit_X") << "lineEdit_X" << "My_lineEdit" << "frame_add" << QRect(48, 30, 36, 14) << 7 << true
                                    << field() << "9999";
        QTest::newRow("label_Y") << "label_Y" << "QLabel" << "frame_add" << QRect(94, 30, 10, 14) << 7 << true << white()
                                 << "Y";
        QTest::newRow("lineEdit_Y") << "lineEdit_Y" << "My_lineEdit" << "frame_add" << QRect(108, 30, 36, 14) << 7 << true
                                    << field() << "9999";
        QTest::newRow("label_W") << "label_W" << "QLabel" << "frame_add" << QRect(154, 30, 30, 14) << 7 << true << white()
                                 << "宽";
        QTest::newRow("lineEdit_W") << "lineEdit_W" << "My_lineEdit" << "frame_add" << QRect(186, 30, 40, 14) << 7 << true
                                    << field() << "9999";
        QTest::newRow("label_H") << "label_H" << "QLabel" << "frame_add" << QRect(228, 30, 40, 14) << 7 << true << white()
                                 << "高";
        QTest::newRow("lineEdit_H") << "lineEdit_H" << "My_lineEdit" << "frame_add" << QRect(270, 30, 40, 14) << 7 << true
                                    << field() << "9999";
    }
    void widgets()
    {
        QFETCH(QString, name);
        QFETCH(QString, cls);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(int, points);
        QFETCH(bool, centred);
        QFETCH(QString, style);
        QFETCH(QString, text);
        QWidget *w = page->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(QString(w->metaObject()->className()), cls);
        QCOMPARE(w->parentWidget()->objectName(), parent);
        QCOMPARE(w->geometry(), geometry);
        QCOMPARE(w->font().pointSize(), points);
        QCOMPARE(w->styleSheet(), style);
        Qt::Alignment alignment;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            alignment = label->alignment();
            QCOMPARE(label->text(), text);
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            alignment = edit->alignment();
            QCOMPARE(edit->text(), text);
            QCOMPARE(edit->focusPolicy(), Qt::NoFocus);
        } else {
            auto *frame = qobject_cast<QFrame *>(w);
            QVERIFY(frame);
            QCOMPARE(frame->frameShape(), QFrame::StyledPanel);
            QCOMPARE(frame->frameShadow(), QFrame::Raised);
            return;
        }
        QCOMPARE(alignment == Qt::AlignCenter, centred);
    }
};

QTEST_MAIN(TestInputCutForm)
#include "test_inputcut_form.moc"
