#include "core/global.h"
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/resources_init.h"
#include "ui/pages/inputchoose.h"
#include "ui/pages/sourceinfo.h"
#include "ui/shell/mainwindow.h"

#include <QLabel>
#include <QPixmap>
#include <QTextDocument>
#include <QtTest>
#include <memory>

namespace {
// The picture a label shows, to compare with an image of the resource.
QImage shown(const QLabel &label)
{
    return label.pixmap(Qt::ReturnByValue).toImage();
}
QImage icon(const QString &path)
{
    return QPixmap(path).toImage();
}
QString plain(const QString &rich)
{
    QTextDocument doc;
    doc.setHtml(rich);
    return doc.toPlainText();
}
}

// The two numberings of the inputs, their names, caption colours and icons, and the input
// page's names.
class TestSourceinfo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kor_init_resources(); }

    void inputs_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("input_icon");
        QTest::addColumn<QString>("online_icon");
        QTest::addColumn<QString>("offline_icon");
        QTest::addColumn<QString>("colour0");
        QTest::addColumn<QString>("colour1");
        QTest::newRow("HDMI1") << 0 << 2 << "HDMI1" << ":/png/HDMI13.png" << ":/png/HDMI13_lv.png"
                               << ":/png/HDMI13_1.png" << "#ffffff" << "#ffffff";
        QTest::newRow("HDMI2") << 1 << 3 << "HDMI2" << ":/png/HDMI13.png" << ":/png/HDMI13_lv.png"
                               << ":/png/HDMI13_1.png" << "#ffffff" << "#ffffff";
        QTest::newRow("HDMI3") << 2 << 4 << "HDMI3" << ":/png/HDMI20.png" << ":/png/HDMI20_lv.png"
                               << ":/png/HDMI20.png" << "#51BB28" << "#12BB32";
        QTest::newRow("HDMI4") << 3 << 5 << "HDMI4" << ":/png/HDMI20.png" << ":/png/HDMI20_lv.png"
                               << ":/png/HDMI20.png" << "#51BB28" << "#12BB32";
        QTest::newRow("DVI") << 4 << 1 << "DVI" << ":/png/DVI.png" << ":/png/dvilv.png" << ":/png/DVI.png"
                             << "#ffffff" << "#ffffff";
        QTest::newRow("EXT") << 5 << 0 << "EXT" << ":/png/HDMI.png" << ":/png/extlv.png" << ":/png/HDMI.png"
                             << "#ffffff" << "#ffffff";
    }
    void inputs()
    {
        QFETCH(int, position);
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(QString, input_icon);
        QFETCH(QString, online_icon);
        QFETCH(QString, offline_icon);
        QFETCH(QString, colour0);
        QFETCH(QString, colour1);
        const auto p = static_cast<unsigned char>(position);
        const auto i = static_cast<unsigned char>(id);
        QCOMPARE(int(sourceinfo::get_source_id_by_listseq(p)), id);
        QCOMPARE(int(sourceinfo::get_listseq_by_source_id(i)), position);
        QCOMPARE(sourceinfo::get_source_name_by_sourceid(i), name);
        QCOMPARE(sourceinfo::get_source_name_by_listseq(p), name);

        const QString style0 = sourceinfo::get_source_specialstyle0_by_sourceid(i);
        QCOMPARE(style0, QString("<font style = 'font-size:9px' color = %1 >%2</font>").arg(colour0, "%1"));
        const QString style1 = sourceinfo::get_source_specialstyle1_by_sourceid(i, name, 12);
        QVERIFY(style1.startsWith(QString("<font style = 'font-size:9px' color = %1 >%2</font>").arg(colour1, name)));
        QCOMPARE(plain(style1), name + "(12)");

        QLabel label;
        sourceinfo::set_source_pixmap(&label, i);
        QCOMPARE(shown(label), icon(input_icon));
        sourceinfo::set_sourceonline_pixmap(&label, i, 1);
        QCOMPARE(shown(label), icon(online_icon));
        sourceinfo::set_sourceonline_pixmap(&label, i, 0);
        QCOMPARE(shown(label), icon(offline_icon));
    }

    void out_of_range_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("6") << 6;
        QTest::newRow("7") << 7;
        QTest::newRow("200") << 200;
        QTest::newRow("255") << 255;
    }
    void out_of_range()
    {
        QFETCH(int, value);
        const auto v = static_cast<unsigned char>(value);
        QCOMPARE(int(sourceinfo::get_source_id_by_listseq(v)), 0);
        QCOMPARE(int(sourceinfo::get_listseq_by_source_id(v)), 0);
        QCOMPARE(sourceinfo::get_source_name_by_sourceid(v), QString());
        QCOMPARE(sourceinfo::get_source_name_by_listseq(v), QString());
        QCOMPARE(sourceinfo::get_source_specialstyle0_by_sourceid(v),
                 QString("<font style = 'font-size:9px' color = #ffffff >%1</font>"));
        QCOMPARE(sourceinfo::get_source_specialstyle1_by_sourceid(v, "X", 1), QString());
        // The label keeps the picture it had.
        QLabel label;
        sourceinfo::set_source_pixmap(&label, 1);
        sourceinfo::set_source_pixmap(&label, v);
        QCOMPARE(shown(label), icon(":/png/DVI.png"));
        sourceinfo::set_sourceonline_pixmap(&label, v, 1);
        QCOMPARE(shown(label), icon(":/png/DVI.png"));
        sourceinfo::set_source_pixmap(nullptr, 1);
    }

    void caption_with_count()
    {
        const QString blue = "<font style = 'font-size:9px' color = #4777ff >%1</font>";
        QCOMPARE(sourceinfo::get_source_specialstyle1_by_sourceid(0, "EXT", 3),
                 QString("<font style = 'font-size:9px' color = #ffffff >EXT</font>") + blue.arg("(") + blue.arg("3")
                     + blue.arg(")"));
        // An operator's name that looks like a placeholder stays as it is.
        QCOMPARE(plain(sourceinfo::get_source_specialstyle1_by_sourceid(4, "%2 cam", 0)), QString("%2 cam(0)"));
    }

    // The input page names its inputs in list order, by the alias file where it names them.
    void input_page_names_data()
    {
        QTest::addColumn<QByteArray>("alias");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("window");
        const QStringList fixed{"HDMI1", "HDMI2", "HDMI3", "HDMI4", "DVI", "EXT"};
        QTest::newRow("no alias file") << QByteArray() << fixed << "Window 1: DVI";
        QTest::newRow("aliases")
            << QByteArray(R"({"source":{"namelist":[{"id":1,"name":"Desk PC","valid":"on"},)"
                          R"({"id":2,"name":"Camera"},{"id":0,"name":"Off one","valid":"off"},)"
                          R"({"id":5,"name":"","valid":"on"}]}})")
            << QStringList{"Camera", "HDMI2", "HDMI3", "HDMI4", "Desk PC", "EXT"} << "Window 1: Desk PC";
        QTest::newRow("corrupt alias file") << QByteArray("{\"source\":") << fixed << "Window 1: DVI";
    }
    void input_page_names()
    {
        QFETCH(QByteArray, alias);
        QFETCH(QStringList, names);
        QFETCH(QString, window);
        KorTestEnv env;
        if (!alias.isEmpty())
            env.write_file("/data/configs/alias.json", alias);
        kor_start_ui(env);
        g_language = 1;
        KorRamPara::p_korrampara_config->set_u16(KorWindowRecord::offset(0, KorWindowRecord::kSource), 1);
        kor_set_modal_pages(false);
        kor_press(KorKey::Ok);  // main menu
        kor_press(KorKey::Ok);  // input page
        QVERIFY(g_inputchoose);
        for (int p = 0; p < 6; ++p)
            QCOMPARE(g_inputchoose->findChild<QLabel *>(QString("sourcelistseq%1name").arg(p))->text(), names[p]);
        QCOMPARE(g_inputchoose->findChild<QLabel *>("label_window")->text(), window);
        // DVI, the window's source, is marked at its list position.
        QVERIFY(g_inputchoose->findChild<QLabel *>("sourcelistseq4name")->styleSheet().contains("71, 119, 255"));
        QVERIFY(!g_inputchoose->findChild<QLabel *>("sourcelistseq5name")->styleSheet().contains("71, 119, 255"));
    }
};

QTEST_MAIN(TestSourceinfo)
#include "test_sourceinfo.moc"
