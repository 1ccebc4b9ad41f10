#include "ui/shell/custommode.h"

#include "core/global.h"
#include "platform/data_root.h"
#include "ui/shell/mainwindow.h"
#include "ui_custommode.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>

CustomMode *g_custommode = nullptr;

namespace {
const char kBoxStored[] = "color:rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(71, 119, 255);";
const char kBoxEmpty[] = "color:rgb(150, 150, 160);background-color: rgb(33, 36, 53);border:1px solid rgb(255,255,255);";
const char kBoxFocus[] = "color:rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);";
}

CustomMode::CustomMode(QWidget *parent) : KorPage(KorPageNo::CustomMode, parent), ui(new Ui::CustomMode)
{
    ui->setupUi(this);
    ui->label_note_OK->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    QFont font = this->font();
    font.setPointSize(9);
    for (int i = 0; i < 16; ++i) {
        QLabel *box = new QLabel(ui->frame_modes);
        box->setGeometry(4 + 74 * (i % 4), 4 + 43 * (i / 4), 70, 38);
        box->setAlignment(Qt::AlignCenter);
        box->setFont(font);
        box->setText(QString::number(i + 1));
        // A stored mode is outlined blue; the files are looked at once, when the page opens.
        const bool stored = QFile::exists(kor_path(QStringLiteral("/data/modes/custom_mode%1").arg(i + 1)));
        const QString normal = QString::fromLatin1(stored ? kBoxStored : kBoxEmpty);
        box->setStyleSheet(normal);
        m_boxes.append(box);
        focus.add(box, normal, QString::fromLatin1(kBoxFocus));
    }
    focus.start(0);
    language_changed();
}

CustomMode::~CustomMode()
{
    delete ui;
}

void CustomMode::language_changed()
{
    ui->label_title->setText(kor_tr("用户模式", "User Mode", "Режимы", "Chế độ người dùng", "用戶模式"));
}

void CustomMode::key_back()
{
    close_page();
    g_mode_shortcut_key = 0;
    if (g_mainwindow) {
        g_page_focus = uint8_t(g_mainwindow->screen_number());
        if (KorPage *screen = g_mainwindow->screen_page())
            screen->child_returned(KorPageNo::CustomMode);
    } else {
        g_page_focus = KorPageNo::LockWindow;
    }
}

void CustomMode::key_mode()
{
    // Already the user modes.
}
