#pragma once
#include <QString>

class QWidget;

// Shows a widget in one of its style sheets (a focus list's normal and highlighted looks).
//
// A button that has been drawn in a style before is drawn again from a picture of that
// drawing: a focus move then costs two small copies instead of two restyles and two repaints
// through the style-sheet engine, which a slow board feels on every key. The picture holds
// the very pixels the style sheet drew there, background included, and serves only while
// nothing it depends on has changed (the button's text, icon, state, font, size and place,
// the style sheets beneath it) and nothing else is drawn over the button; otherwise the
// style sheet is set as before. Any other widget is simply given the style sheet.
void kor_show_style(QWidget *widget, const QString &style);

// The style sheet the widget is drawn with: its own, unless it is drawn from a picture.
QString kor_shown_style(const QWidget *widget);
