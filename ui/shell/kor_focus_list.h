#pragma once
#include <QString>
#include <QVector>
#include <functional>

class QWidget;

// A page's array of focusable widgets with their normal and highlighted style sheets.
// Moving the selection restyles only the item left and the item reached. The index is kept
// in the byte the page names (its ui_select), so traces and page logic read the same value.
class KorFocusList {
public:
    explicit KorFocusList(unsigned char *select = nullptr);

    // Appends an item; `action` runs on OK (activate()). Returns the item's index.
    int add(QWidget *item, const QString &normal, const QString &focus, std::function<void()> action = {});
    // Appends a large menu button (KorStyle::menu_normal and menu_focus).
    int add_menu(QWidget *item, std::function<void()> action);
    void clear();

    int count() const { return m_items.size(); }
    int index() const;
    QWidget *current() const;
    QWidget *at(int index) const;

    // Makes `index` the selection and gives it the highlighted style; the other items keep
    // the style they have (a form's own style until first left).
    void start(int index = 0);
    // The old item gets its normal style, the new one its highlighted style.
    void select(int index);
    // Steps the selection, wrapping at both ends.
    void move(int step);
    // Runs the selected item's action; false when it has none.
    bool activate() const;

    void set_styles(int index, const QString &normal, const QString &focus);
    // Gives one item its normal or highlighted style without moving the selection.
    void show_normal(int index) const;
    void show_focus(int index) const;

private:
    struct Item {
        QWidget *widget;
        QString normal;
        QString focus;
        std::function<void()> action;
    };
    void set_index(int index);

    QVector<Item> m_items;
    unsigned char m_own = 0;
    unsigned char *m_select;
};
