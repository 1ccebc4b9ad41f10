#pragma once
#include <QRect>
#include <QString>
#include <initializer_list>

class QWidget;

// One widget of a page's form: found by object name, of class `cls`, inside the widget named
// `parent`, with that geometry, point size (0: not checked) and style sheet (null: not checked).
struct KorFormRow {
    const char *name;
    const char *cls;
    const char *parent;
    QRect geometry;
    int points;
    const char *style;
};

// Checks one widget under `root`; returns what differs, or an empty string.
QString kor_form_mismatch(QWidget *root, const QString &name, const QString &cls, const QString &parent,
                          const QRect &geometry, int points, const QString &style);
// Checks a table of widgets; returns what differs, one line per widget, or an empty string.
QString kor_form_mismatches(QWidget *root, std::initializer_list<KorFormRow> rows);
