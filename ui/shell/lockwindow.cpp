#include "ui/shell/lockwindow.h"

#include "core/korrampara.h"
#include "core/table_map.h"
#include "ui/shell/kor_png.h"
#include "ui/shell/mainwindow.h"
#include "ui_lockwindow.h"

LockWindow *g_lockwindow = nullptr;

namespace {
// Names by source id.
const char *const kSourceNames[6] = {"EXT", "DVI", "HDMI1", "HDMI2", "HDMI3", "HDMI4"};
}

LockWindow::LockWindow(QWidget *parent) : KorPage(KorPageNo::LockWindow, parent), ui(new Ui::LockWindow)
{
    // A child widget before the form is built: made one afterwards, every widget of the form
    // would take its style again.
    setWindowFlags(Qt::Widget);
    ui->setupUi(this);
    set_embedded(true);
    g_lockwindow = this;
    ui->label_note_OK->setPixmap(kor_png(QStringLiteral(":/png/OK_Enter.png")));
    language_changed();
}

LockWindow::~LockWindow()
{
    if (g_lockwindow == this)
        g_lockwindow = nullptr;
    delete ui;
}

void LockWindow::language_changed()
{
    ui->label_title->setText(kor_tr("LED视频处理器", "LED Video Processor", "LED видеопроцессор",
                                    "Bộ xử lý video LED", "LED視頻處理器"));
    refresh_view();
}

void LockWindow::refresh_view()
{
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return;
    ui->label_size->setText(kor_tr("LED屏: %1x%2", "LED: %1x%2", "LED: %1x%2", "LED: %1x%2", "LED屏: %1x%2")
                                .arg(table->u16(KorTable::kLedWidth))
                                .arg(table->u16(KorTable::kLedHeight)));
    QLabel *const rows[6] = {ui->label_window0, ui->label_window1, ui->label_window2,
                             ui->label_window3, ui->label_window4, ui->label_window5};
    const QString row = kor_tr("画面%1: %2", "Window %1: %2", "Окно %1: %2", "Cửa sổ %1: %2", "畫面%1: %2");
    int shown = 0;
    for (int w = 0; w < KorTable::Window::kCount; ++w) {
        if (!(table->u16(KorTable::Window::offset(w, KorTable::Window::kEnable)) & 1))
            continue;
        const int source = table->u16(KorTable::Window::offset(w, KorTable::Window::kSource));
        QString text = row.arg(w + 1).arg(QString::fromLatin1(source < 6 ? kSourceNames[source] : "-"));
        if (w == kor_keyboard::current_window())
            text.prepend(QStringLiteral("> "));
        rows[shown]->setText(text);
        rows[shown++]->show();
    }
    for (int i = shown; i < 6; ++i)
        rows[i]->hide();
    ui->label_lock->setText(kor_key_locked() ? kor_tr("按键已锁定", "Keys locked", "Кнопки заблокированы",
                                                      "Đã khóa phím", "按鍵已鎖定")
                                             : QString());
}

void LockWindow::page_refresh(int code)
{
    KorPage::page_refresh(code);
    refresh_view();
}

void LockWindow::key_ok()
{
    if (g_mainwindow)
        g_mainwindow->show_menu();
}

void LockWindow::key_back()
{
    // The home screen is the bottom.
}
