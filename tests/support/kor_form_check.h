#pragma once
#include <QRect>
#include <QString>

class QWidget;

// Checks one widget of a page's form: found by object name under `root`, of class `cls`,
// inside the widget named `parent`, with that geometry, point size (0: not checked) and
// style sheet (null: not checked). Returns what differs, or an empty string.
QString kor_form_mismatch(QWidget *root, const QString &name, const QString &cls, const QString &parent,
                          const QRect &geometry, int points, const QString &style);
