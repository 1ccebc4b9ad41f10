#include "ui/rcv/smartmapping_route.h"

#include "core/global.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/smartmapping.h"
#include "ui_smartmapping_route.h"

#include <QIcon>
#include <QToolButton>

namespace {
const KorText kRouting = {"走线%d", "Routing %d", "След%d", "Dấu vết%d", "走線%d"};
const KorText kCancel = {"取消", "Cancle", "Отмена", "Hủy bỏ", "取消"};

// The routing icons, decoded once for the life of the program.
const QIcon &route_icon(int pattern)
{
    static QIcon icons[16];
    QIcon &icon = icons[pattern - 1];
    if (icon.isNull())
        icon = QIcon(QStringLiteral(":/png/line%1.png").arg(pattern));
    return icon;
}

QString routing_text(int pattern)
{
    return kor_fill_numbers(kor_tr(kRouting), {pattern});
}
}

SmartMappingRoute::SmartMappingRoute(SmartMapping *page) : QObject(page), m_page(page) {}

SmartMappingRoute::~SmartMappingRoute() = default;

void SmartMappingRoute::build(QWidget *page)
{
    m_ui.reset(new Ui::SmartMappingRoutePage);
    m_ui->setupUi(page);
    sm_connect_clicked(page, this);
    for (int n = 1; n <= 16; ++n) {
        QToolButton *button = page->findChild<QToolButton *>(QStringLiteral("Button_route%1").arg(n));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(40, 25));
        m_focus.add(button, QString::fromLatin1(KorStyle::field_normal), QString::fromLatin1(KorStyle::field_focus));
    }
    m_focus.add(m_ui->Button_cancel, QString::fromLatin1(KorStyle::field_normal),
                QString::fromLatin1(KorStyle::field_focus));
}

void SmartMappingRoute::menulist_shortcut_page3_button_route_init()
{
    m_focus.show_normal(m_item);
    m_open = true;
    const int pattern = line_type[11];
    m_focus.start(pattern >= 1 && pattern <= 16 ? pattern - 1 : 0);
}

void SmartMappingRoute::menulist_shortcut_page3_button_route_sel_right()
{
    m_focus.move(1);
}

void SmartMappingRoute::menulist_shortcut_page3_button_route_sel_left()
{
    m_focus.move(-1);
}

void SmartMappingRoute::menulist_shortcut_page3_button_route_ok()
{
    if (m_item < 16)
        route_chosen(m_item + 1);
    else
        on_Button_cancel_clicked();
    m_open = false;
}

void SmartMappingRoute::cancel()
{
    m_focus.show_normal(m_item);
    m_item = 16;
    menulist_shortcut_page3_button_route_ok();
}

void SmartMappingRoute::language_for_shortcutt_page3()
{
    for (int n = 1; n <= 16; ++n) {
        QAbstractButton *button = static_cast<QAbstractButton *>(m_focus.at(n - 1));
        button->setText(routing_text(n));
        button->setIcon(route_icon(n));
    }
    m_ui->Button_cancel->setText(kor_tr(kCancel));
}

void SmartMappingRoute::show_route(int pattern)
{
    if (pattern < 1 || pattern > 16 || !m_target)
        return;
    m_target->setIcon(route_icon(pattern));
    m_target->setText(routing_text(pattern));
    m_target->setIconSize(QSize(30, 20));
}

void SmartMappingRoute::line_select(char pattern)
{
    const int n = static_cast<unsigned char>(pattern);
    if (n < 1 || n > 16)
        return;
    show_route(n);
    line_type[11] = uint8_t(n);
}

void SmartMappingRoute::route_chosen(int pattern)
{
    if (g_qround_bar)
        return;
    line_select(char(pattern));
    m_page->go_to_stacked(2);
}

void SmartMappingRoute::on_Button_route1_clicked() { route_chosen(1); }
void SmartMappingRoute::on_Button_route2_clicked() { route_chosen(2); }
void SmartMappingRoute::on_Button_route3_clicked() { route_chosen(3); }
void SmartMappingRoute::on_Button_route4_clicked() { route_chosen(4); }
void SmartMappingRoute::on_Button_route5_clicked() { route_chosen(5); }
void SmartMappingRoute::on_Button_route6_clicked() { route_chosen(6); }
void SmartMappingRoute::on_Button_route7_clicked() { route_chosen(7); }
void SmartMappingRoute::on_Button_route8_clicked() { route_chosen(8); }
void SmartMappingRoute::on_Button_route9_clicked() { route_chosen(9); }
void SmartMappingRoute::on_Button_route10_clicked() { route_chosen(10); }
void SmartMappingRoute::on_Button_route11_clicked() { route_chosen(11); }
void SmartMappingRoute::on_Button_route12_clicked() { route_chosen(12); }
void SmartMappingRoute::on_Button_route13_clicked() { route_chosen(13); }
void SmartMappingRoute::on_Button_route14_clicked() { route_chosen(14); }
void SmartMappingRoute::on_Button_route15_clicked() { route_chosen(15); }
void SmartMappingRoute::on_Button_route16_clicked() { route_chosen(16); }

void SmartMappingRoute::on_Button_cancel_clicked() { m_page->go_to_stacked(2); }
