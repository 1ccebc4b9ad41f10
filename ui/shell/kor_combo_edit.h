#pragma once
#include <QString>
#include <initializer_list>

class KorFocusList;
class QComboBox;

// The plain combo-box style sheet with the given border colour ("rgb(255,171,84)", ...).
QString kor_combo_style(const char *border);

// A page whose rows are combo boxes: left/right move the focus between them; OK begins
// choosing in the highlighted box (edit style), left/right then step its entries, wrapping
// (a box without entries stays empty), and OK ends choosing, after which the page applies
// the row. Back may end choosing on the entry shown when it began.
class KorComboEdit {
public:
    explicit KorComboEdit(KorFocusList &focus) : m_focus(focus) {}

    // The rows in focus order with their normal, highlighted and edit styles; the first row
    // is highlighted, nothing is being chosen, the entry is the one the first box shows.
    void start(std::initializer_list<QComboBox *> boxes, const QString &normal, const QString &focus,
               const QString &edit);

    bool editing() const { return m_editing; }
    QComboBox *current() const;
    // The entry being chosen (last chosen once choosing ended).
    int index() const { return m_index; }

    // Left/right: the entry while choosing, else the row.
    void move(int step);
    // OK: choosing begins from the shown entry (false), or ends (true: the page applies it).
    bool ok();
    // Back: false when not choosing; else choosing ends and the box shows the entry it
    // showed when choosing began.
    bool back();

private:
    KorFocusList &m_focus;
    QString m_focus_style;
    QString m_edit_style;
    bool m_editing = false;
    int m_index = 0;
    int m_saved_index = 0;
};
