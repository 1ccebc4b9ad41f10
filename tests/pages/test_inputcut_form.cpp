#include "kor_test_helpers.h"
#include "ui/pages/inputcut.h"

namespace {
struct FormWidget {
    QString name;
    const char *cls;
    const char *parent;
    QRect geometry;
    int points;
};
// The form's widgets in the order it builds them.
QList<FormWidget> form_widgets()
{
    QList<FormWidget> rows{{"label_title", "QLabel", "InputCut", QRect(50, 10, 220, 22), 11}};
    for (int i = 0; i < 6; ++i)
        rows.append({QStringLiteral("sourcelistseq%1name").arg(i), "QLabel", "InputCut", QRect(2 + 53 * i, 43, 51, 14), 7});
    for (int i = 0; i < 6; ++i)
        rows.append({QStringLiteral("sourcelistseq%1pixmap").arg(i), "QLabel", "InputCut", QRect(7 + 53 * i, 58, 40, 12), 7});
    return rows + QList<FormWidget>{
        {"frame_add", "QFrame", "InputCut", QRect(6, 145, 310, 45), 7},
        {"label_change_source", "QLabel", "frame_add", QRect(5, 5, 160, 12), 7},
        {"label_crop", "QLabel", "frame_add", QRect(5, 30, 30, 14), 7},
        {"label_X", "QLabel", "frame_add", QRect(36, 30, 10, 14), 7},
        {"lineEdit_X", "My_lineEdit", "frame_add", QRect(48, 30, 36, 14), 7},
        {"label_Y", "QLabel", "frame_add", QRect(94, 30, 10, 14), 7},
        {"lineEdit_Y", "My_lineEdit", "frame_add", QRect(108, 30, 36, 14), 7},
        {"label_W", "QLabel", "frame_add", QRect(154, 30, 30, 14), 7},
        {"lineEdit_W", "My_lineEdit", "frame_add", QRect(186, 30, 40, 14), 7},
        {"label_H", "QLabel", "frame_add", QRect(228, 30, 40, 14), 7},
        {"lineEdit_H", "My_lineEdit", "frame_add", QRect(270, 30, 40, 14), 7},
    };
}
}

// The crop page's form: names, classes, parents, geometry and fonts.
class TestInputCutForm : public KorTest {
    Q_OBJECT
    Start start() const override { return kCore; }

private slots:
    void form()
    {
        InputCut page;
        QCOMPARE(page.objectName(), QString("InputCut"));
        QCOMPARE(page.size(), QSize(320, 240));
        QCOMPARE(page.font().pointSize(), 7);
        const QList<FormWidget> rows = form_widgets();
        const QList<QWidget *> children = page.findChildren<QWidget *>();
        QCOMPARE(children.size(), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            const FormWidget &row = rows[i];
            QWidget *w = children[i];
            QCOMPARE(w->objectName(), row.name);
            QCOMPARE(w->metaObject()->className(), row.cls);
            QCOMPARE(w->parentWidget()->objectName(), QString(row.parent));
            QCOMPARE(w->geometry(), row.geometry);
            QCOMPARE(w->font().pointSize(), row.points);
        }
        kor_save_screen(&page, "inputcut");
    }
};

QTEST_MAIN(TestInputCutForm)
#include "test_inputcut_form.moc"
