#pragma once
#include <QObject>

// While it lives, the combo boxes that are not yet drawn are not told of font and style
// changes: built by a form, a QComboBox answers each of them by building its drop-down list
// (a hidden window of some ten widgets, styled and polished with the page), which the panel
// never opens. The box builds it when it is next restyled or opened.
class KorQuietCombos : public QObject {
public:
    KorQuietCombos();
    ~KorQuietCombos() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
