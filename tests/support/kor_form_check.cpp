#include "kor_form_check.h"

#include <QWidget>

QString kor_form_mismatch(QWidget *root, const QString &name, const QString &cls, const QString &parent,
                          const QRect &geometry, int points, const QString &style)
{
    QWidget *w = root->objectName() == name ? root : root->findChild<QWidget *>(name);
    if (!w)
        return name + ": missing";
    QStringList out;
    if (QString::fromLatin1(w->metaObject()->className()) != cls)
        out << QStringLiteral("class %1").arg(QString::fromLatin1(w->metaObject()->className()));
    const QString parent_name = w->parentWidget() ? w->parentWidget()->objectName() : QString();
    if (w != root && parent_name != parent)
        out << QStringLiteral("parent %1").arg(parent_name);
    if (w->geometry() != geometry)
        out << QStringLiteral("geometry %1,%2,%3,%4")
                   .arg(w->x())
                   .arg(w->y())
                   .arg(w->width())
                   .arg(w->height());
    if (points > 0 && w->font().pointSize() != points)
        out << QStringLiteral("font %1").arg(w->font().pointSize());
    if (!style.isNull() && w->styleSheet() != style)
        out << QStringLiteral("style \"%1\"").arg(w->styleSheet());
    return out.isEmpty() ? QString() : name + ": " + out.join(QStringLiteral("; "));
}

QString kor_form_mismatches(QWidget *root, std::initializer_list<KorFormRow> rows)
{
    QStringList out;
    for (const KorFormRow &r : rows) {
        const QString m = kor_form_mismatch(root, QString::fromLatin1(r.name), QString::fromLatin1(r.cls),
                                            QString::fromLatin1(r.parent), r.geometry, r.points,
                                            r.style ? QString::fromUtf8(r.style) : QString());
        if (!m.isEmpty())
            out << m;
    }
    return out.join(QLatin1Char('\n'));
}
