#include "kor_form_check.h"
#include "kor_test_helpers.h"
#include "ui/pages/inputchoose.h"
#include "ui/pages/inputcut.h"
#include "ui/pages/sourceinfo.h"

#include <QTextDocument>

// The numberings and names of the inputs, the input page's names, and the crop page's form.
class TestSourceinfo : public KorTest {
    Q_OBJECT
    Start start() const override { return kNone; }

private slots:

    // The list order and the two numberings agree; HDMI3 and HDMI4 are named green; out of range: id 0, no name.
    void numberings()
    {
        QStringList list;
        for (unsigned char p : {0, 1, 2, 3, 4, 5, 6, 255}) {
            const unsigned char id = sourceinfo::get_source_id_by_listseq(p);
            const QString name = sourceinfo::get_source_name_by_listseq(p);
            QCOMPARE(sourceinfo::get_source_name_by_sourceid(p < 6 ? id : p), name);
            QCOMPARE(int(sourceinfo::get_listseq_by_source_id(p < 6 ? id : p)), p < 6 ? int(p) : 0);
            const bool green = sourceinfo::get_source_specialstyle0_by_sourceid(p < 6 ? id : p).contains("#51BB28");
            list << QString::number(id) + ':' + name + (green ? "+" : "");
        }
        QCOMPARE(list.join(' '), QString("2:HDMI1 3:HDMI2 4:HDMI3+ 5:HDMI4+ 1:DVI 0:EXT 0: 0:"));
    }

    // An operator's name that looks like a placeholder stays as it is in the caption.
    void caption_keeps_the_name()
    {
        QTextDocument doc;
        doc.setHtml(sourceinfo::get_source_specialstyle1_by_sourceid(4, "%2 cam", 0));
        QCOMPARE(doc.toPlainText(), QString("%2 cam(0)"));
    }

    // The input page names its inputs in list order, by the alias file where it names them.
    void input_page_names_data()
    {
        kor_columns<QByteArray, QString>({"alias", "names"});
        QTest::newRow("aliases") << QByteArray(R"({"source":{"namelist":[{"id":1,"name":"Desk PC","valid":"on"},)"
                                               R"({"id":2,"name":"Cam"},{"id":0,"name":"Off","valid":"off"},)"
                                               R"({"id":5,"name":"","valid":"on"}]}})")
                                 << "Cam HDMI2 HDMI3 HDMI4 Desk PC EXT Window 1: Desk PC";
        QTest::newRow("corrupt alias file") << QByteArray("{\"source\":")
                                            << "HDMI1 HDMI2 HDMI3 HDMI4 DVI EXT Window 1: DVI";
    }
    void input_page_names()
    {
        env->write_file("/data/configs/alias.json", kor_data<QByteArray>("alias"));
        kor_start_ui(*env);
        g_language = 1;
        kor_table()->set_u16(KorTable::Window::offset(0, KorTable::Window::kSource), 1);
        kor_open("ok ok", 3);  // main menu, input page
        QStringList got;
        for (int p = 0; p < 6; ++p)
            got << kor_text(g_inputchoose, QString("sourcelistseq%1name").arg(p));
        QTEST(got.join(' ') + ' ' + kor_text(g_inputchoose, "label_window"), "names");
    }
    void inputcut_form()
    {
        env->start();
        InputCut page;
        QCOMPARE(page.objectName() + ' ' + QString::number(page.font().pointSize()), QString("InputCut 7"));
        QCOMPARE(page.size(), QSize(320, 240));
        // The widgets in the order the form builds them: the title, six names and icons, the edit box.
        QStringList names, odd;
        auto row = [&](const QString &name, const char *cls, const char *parent, const QRect &geometry, int points) {
            names << name;
            odd << kor_form_mismatch(&page, name, cls, parent, geometry, points, QString());
        };
        row("label_title", "QLabel", "InputCut", {50, 10, 220, 22}, 11);
        for (int i = 0; i < 6; ++i)
            row(QString("sourcelistseq%1name").arg(i), "QLabel", "InputCut", {2 + 53 * i, 43, 51, 14}, 7);
        for (int i = 0; i < 6; ++i)
            row(QString("sourcelistseq%1pixmap").arg(i), "QLabel", "InputCut", {7 + 53 * i, 58, 40, 12}, 7);
        row("frame_add", "QFrame", "InputCut", {6, 145, 310, 45}, 7);
        row("label_change_source", "QLabel", "frame_add", {5, 5, 160, 12}, 7);
        row("label_crop", "QLabel", "frame_add", {5, 30, 30, 14}, 7);
        const int x[4] = {36, 94, 154, 228}, label_w[4] = {10, 10, 30, 40}, edit_x[4] = {48, 108, 186, 270};
        for (int i = 0; i < 4; ++i) {
            row(QString("label_") + "XYWH"[i], "QLabel", "frame_add", {x[i], 30, label_w[i], 14}, 7);
            row(QString("lineEdit_") + "XYWH"[i], "My_lineEdit", "frame_add", {edit_x[i], 30, i < 2 ? 36 : 40, 14}, 7);
        }
        QCOMPARE(odd.join(""), QString());
        QStringList built;
        for (QWidget *w : page.findChildren<QWidget *>())
            built << w->objectName();
        QCOMPARE(built, names);
        kor_save_screen(&page, "inputcut");
    }
};

QTEST_MAIN(TestSourceinfo)
#include "test_sourceinfo.moc"
