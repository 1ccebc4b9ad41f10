#include "ui/pages/linkoption.h"

#include "core/korrampara.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

LinkOption *g_linkoption = nullptr;
KOR_PAGE(LinkOption, g_linkoption, Option)

namespace {
const char kEntryStyle[] =
    "color: rgb(255, 255, 255);\nbackground-color: rgb(33, 36, 53) ;\nborder:2px;border-radius:10px;padding:2px 4px;";

QPushButton *make_entry(QWidget *parent, const char *name, int x)
{
    QPushButton *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, 47, 90, 80);
    QFont font;
    font.setPointSize(9);
    button->setFont(font);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QString::fromLatin1(kEntryStyle));
    return button;
}
}

LinkOption::LinkOption(QWidget *parent) : KorPage(KorPageNo::LinkOption, parent)
{
    setObjectName(QStringLiteral("LinkOption"));
    resize(320, 240);
    setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));

    label_title = new QLabel(this);
    label_title->setObjectName(QStringLiteral("label_title"));
    label_title->setGeometry(50, 10, 220, 22);
    QFont title_font;
    title_font.setPointSize(11);
    label_title->setFont(title_font);
    label_title->setAlignment(Qt::AlignCenter);
    label_title->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));

    Button_com = make_entry(this, "Button_com", 15);
    Button_wlan = make_entry(this, "Button_wlan", 115);
    Button_usb = make_entry(this, "Button_usb", 215);
    m_widgets[0] = label_title;
    m_widgets[1] = Button_com;
    m_widgets[2] = Button_wlan;
    m_widgets[3] = Button_usb;

    // A touch on an entry opens it as OK does, like the other menus.
    connect(Button_com, &QPushButton::clicked, this, &LinkOption::on_Button_linkcom_clicked);
    connect(Button_wlan, &QPushButton::clicked, this, &LinkOption::on_Button_linkwlan_clicked);
    connect(Button_usb, &QPushButton::clicked, this, &LinkOption::on_Button_firmware_usbgrade_clicked);

    para_init();
    language_changed();
    menulist_init();
}

LinkOption::~LinkOption() = default;

void LinkOption::para_init() {}

void LinkOption::menulist_init()
{
    focus.clear();
    focus.add_menu(Button_com, [this] { on_Button_linkcom_clicked(); });
    focus.add_menu(Button_wlan, [this] { on_Button_linkwlan_clicked(); });
    focus.add_menu(Button_usb, [this] { on_Button_firmware_usbgrade_clicked(); });
    focus.start(0);
}

void LinkOption::language_changed()
{
    label_title->setText(kor_tr("通讯设置", "Communication", "Подключение", "Cài đặt giao tiếp", "通訊設置"));
    Button_com->setText(kor_tr("串口连接", "Serial port", "COM-порт", "Cài đặt cổng\n nối tiếp", "串口連接"));
    Button_wlan->setText(kor_tr("网口设置", "Net connect", "Сетевое по\nдключение", "Cài đặt\ncổng mạng", "網口設置"));
    Button_usb->setText(
        kor_tr("USB升级", "USB UPDATE", "Обновление\nчерез USB", "Sử dụng ổ USB\nđể cập nhập", "USB昇級"));
}

void LinkOption::syncUpdate()
{
    retext_if_language_changed();
}

void LinkOption::on_Button_linkcom_clicked()
{
    open_page(KorPageNo::linkcom);
}

void LinkOption::on_Button_linkwlan_clicked()
{
    open_page(KorPageNo::linkwlan);
}

void LinkOption::on_Button_firmware_usbgrade_clicked()
{
    open_page(KorPageNo::firmware_usbgrade);
}
