#include "ui/shell/mainmenu.h"

#include "ui/shell/kor_png.h"
#include "ui/shell/mainwindow.h"
#include "ui_mainmenu.h"

MainMenu *g_mainmenu = nullptr;

MainMenu::MainMenu(QWidget *parent) : KorPage(KorPageNo::MainMenu, parent), ui(new Ui::MainMenu)
{
    // A child widget before the form is built (see LockWindow).
    setWindowFlags(Qt::Widget);
    ui->setupUi(this);
    set_embedded(true);
    g_mainmenu = this;
    ui->label_note_OK->setPixmap(kor_png(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(kor_png(QStringLiteral(":/png/back_return.png")));
    focus.add_menu(ui->Button_input, [this] { on_Button_input_clicked(); });
    focus.add_menu(ui->Button_usermode, [this] { on_Button_usermode_clicked(); });
    focus.add_menu(ui->Button_option, [this] { on_Button_option_clicked(); });
    focus.add_menu(ui->Button_quality, [this] { on_Button_quality_clicked(); });
    focus.start(0);
    language_changed();
}

MainMenu::~MainMenu()
{
    if (g_mainmenu == this)
        g_mainmenu = nullptr;
    delete ui;
}

void MainMenu::language_changed()
{
    ui->label_title->setText(kor_tr("主菜单", "Main Menu", "Главное меню", "Menu chính", "主菜單"));
    ui->Button_input->setText(kor_tr("输入源", "Input", "Вход", "Đầu vào", "輸入源"));
    ui->Button_usermode->setText(kor_tr("用户模式", "User Mode", "Режимы", "Chế độ", "用戶模式"));
    ui->Button_option->setText(kor_tr("设置", "Settings", "Настройки", "Cài đặt", "設置"));
    ui->Button_quality->setText(kor_tr("画质", "Picture", "Изображение", "Hình ảnh", "畫質"));
}

void MainMenu::on_Button_input_clicked()
{
    open_page(KorPageNo::InputChoose);
}

void MainMenu::on_Button_usermode_clicked()
{
    kor_open_custommode(false);
}

void MainMenu::on_Button_option_clicked()
{
    open_page(KorPageNo::Option);
}

void MainMenu::on_Button_quality_clicked()
{
    open_page(KorPageNo::ImageQuality);
}

void MainMenu::key_back()
{
    if (g_mainwindow)
        g_mainwindow->show_home();
}
