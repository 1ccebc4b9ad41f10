#include "ui/rcv/kor_list_frame.h"

#include "core/global.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

QFrame *kor_list_frame(QWidget *parent, const QRect &geometry)
{
    QFrame *frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("frame_file"));
    frame->setGeometry(geometry);
    frame->setStyleSheet(QStringLiteral("#frame_file{background-color: rgb(33, 36, 53);border:1px solid #FFFFFF;}"));
    return frame;
}

void kor_retire_frame(QFrame *&frame)
{
    if (!frame)
        return;
    frame->hide();
    frame->setObjectName(QString());
    frame->deleteLater();
    frame = nullptr;
}

QLabel *kor_list_label(QFrame *frame, int row, int width, int height, const QFont &font)
{
    QLabel *label = new QLabel(frame);
    label->setGeometry(5, 5 + 25 * row, width, height);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QPushButton *kor_list_row_button(QFrame *frame, int row, int width)
{
    QPushButton *button = new QPushButton(frame);
    button->setObjectName(QString::number(row));
    button->setGeometry(5, 5 + 25 * row, width, 20);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

int kor_button_number(const QObject *sender)
{
    bool ok = false;
    const int row = sender ? sender->objectName().toInt(&ok) : -1;
    return ok ? row : -1;
}

void kor_list_choose_row(const QObject *sender, QLabel *const *labels, int rows, uint8_t *chosen,
                         const QString &left_style, const QString &chosen_style)
{
    const int row = kor_button_number(sender);
    if (row < 0 || row >= rows)
        return;
    // The row chosen before may not be on this page.
    if (labels[*chosen])
        labels[*chosen]->setStyleSheet(left_style);
    *chosen = uint8_t(row);
    kor_trace("\n kor_button_file_clicked ...file_select = %d\n", int(*chosen));
    if (labels[*chosen])
        labels[*chosen]->setStyleSheet(chosen_style);
}

QPushButton *kor_list_page_button(QFrame *frame, const QString &name, const QRect &geometry, const QString &icon)
{
    QPushButton *button = new QPushButton(frame);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setIcon(QIcon(icon));
    button->setIconSize(geometry.size());
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral("background-color: rgb(33, 36, 53);"));
    return button;
}

void kor_list_turn_buttons(QFrame *frame, int current, int last, QObject *page, std::function<void()> previous,
                           std::function<void()> next)
{
    if (current > 0)
        QObject::connect(kor_list_page_button(frame, QStringLiteral("Button_previous"), QRect(250, 5, 20, 20),
                                              QStringLiteral(":/png/previous.png")),
                         &QPushButton::clicked, page, std::move(previous));
    if (current < last)
        QObject::connect(kor_list_page_button(frame, QStringLiteral("Button_next"), QRect(250, 80, 20, 20),
                                              QStringLiteral(":/png/next.png")),
                         &QPushButton::clicked, page, std::move(next));
}
