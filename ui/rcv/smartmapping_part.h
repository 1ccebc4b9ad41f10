#pragma once
// What the tools of the smart-mapping page share: the style sheets they show state with, the
// text helpers, and the base of a tool (its stacked pages, keys and texts).
#include "ui/shell/kor_focus_list.h"
#include "ui/shell/kor_lang.h"

#include <QObject>
#include <QStringList>

class QAbstractButton;
class QLabel;
class QWidget;
class SmartMapping;

// The style sheets by role.
namespace SmStyle {
extern const char normal[];
extern const char focus[];
extern const char greyed[];
extern const char group_shown[];
extern const char port_cell[];
extern const char port_cell_chosen[];
extern const char transparent[];
}

// Pack files: the device's directory and the stick, at most 100 listed.
extern const char kSmSmartDir[];
extern const char kSmUsbDir[];
constexpr int kSmMaxFiles = 100;

// Texts more than one tool shows.
extern const KorText kSmNext;
extern const KorText kSmPrevious;

// Shows a widget in one of the roles' style sheets.
void sm_show(QWidget *widget, const char *style);
// A text of the table in the language shown, in the type size of its kind.
void sm_text(QLabel *label, const KorText &text);
void sm_text(QAbstractButton *button, const KorText &text);
void sm_point_size(QWidget *widget, int points);
// Chinese texts are short; the long Russian and Vietnamese ones get smaller type.
int sm_points(int chinese, int english, int other);
// A port group's caption: its first port and the last, seven on.
QString sm_group_text(int first);
// Board paths of the ".ykfile" files of a directory, directory order, at most `room`.
QStringList sm_list_ykfiles(const QString &board_dir, int room);
// Connects each button of `form` to the slot of `receiver` named on_<button>_clicked, so that
// every button also works by touch.
void sm_connect_clicked(QWidget *form, QObject *receiver);

// One tool of the page, with its entry in the tool column and its stacked pages. The pages'
// widgets are built when first reached (build_page), not with the page.
class SmartMappingPart : public QObject {
    Q_OBJECT
public:
    SmartMappingPart(SmartMapping *page, int entry);

    // Its first stacked page shown: the column's selection reached its entry, or with
    // `enter` OK on the entry took the keys into the tool.
    virtual void open(bool enter) = 0;
    // The keys inside the tool.
    virtual void key_move(int step);
    virtual void key_ok() = 0;
    virtual void key_back() = 0;
    // Sets up the form of its stacked page `index` in `page` (once, while it is hidden).
    virtual void build_page(int index, QWidget *page) = 0;
    // The texts of its stacked page `index` in the language shown.
    virtual void text_page(int index) = 0;

protected:
    // A job runs: the page changes nothing.
    static bool ring_shown();

    SmartMapping *m_page;
    int m_entry;
};
