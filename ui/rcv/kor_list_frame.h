#pragma once
#include <QString>
#include <cstdint>
#include <functional>

class QFont;
class QFrame;
class QLabel;
class QObject;
class QPushButton;
class QRect;
class QWidget;

// The framed lists of the receiving-card pages (pack files, upgrade files, cards to
// recover): "frame_file" holds up to three rows 25 pixels apart, each a label under a flat
// button named with its row number that chooses it, and small buttons that turn the pages.

QFrame *kor_list_frame(QWidget *parent, const QRect &geometry);
// Takes a built frame out of view at once; it is deleted once the event loop runs (one of
// its buttons may be the sender whose click is being handled).
void kor_retire_frame(QFrame *&frame);
// A left-aligned label at row `row` (also the message when there is nothing to list).
QLabel *kor_list_label(QFrame *frame, int row, int width, int height, const QFont &font);
// The flat button over row `row`'s label.
QPushButton *kor_list_row_button(QFrame *frame, int row, int width);
// The number a built row or cell button carries as its name; -1 for any other sender.
int kor_button_number(const QObject *sender);
// A click of row button `sender` of a list of `rows` labels: the row chosen before takes
// `left_style`, the clicked one `chosen_style` (rows not built are passed over).
void kor_list_choose_row(const QObject *sender, QLabel *const *labels, int rows, uint8_t *chosen,
                         const QString &left_style, const QString &chosen_style);
// A page-turning button showing `icon` over its whole size.
QPushButton *kor_list_page_button(QFrame *frame, const QString &name, const QRect &geometry, const QString &icon);
// The page-turning buttons of a four-row list 280 x 90: "Button_previous" at the top right
// while a page comes before page `current`, "Button_next" at the bottom right while one comes
// after; a click runs `previous` or `next` while `page` exists.
void kor_list_turn_buttons(QFrame *frame, int current, int last, QObject *page, std::function<void()> previous,
                           std::function<void()> next);
