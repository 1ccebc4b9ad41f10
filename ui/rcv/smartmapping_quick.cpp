#include "ui/rcv/smartmapping_quick.h"

#include "core/global.h"
#include "fpga/fpga_manage.h"
#include "ui/rcv/smartmapping.h"
#include "ui/rcv/smartmapping_route.h"
#include "ui/shell/my_lineedit.h"
#include "ui_smartmapping_step1.h"
#include "ui_smartmapping_step2.h"
#include "ui_smartmapping_step3.h"

namespace {
const KorText kStep1 = {"步骤1箱体设置", "Step 1 Cabinet setup", "Шаг 1. Настройка кабинета",
                        "Bước 1: Thiết lập cabin", "步驟1箱體設置"};
const KorText kBoxWidth = {"箱体宽度", "Cabinet width", "Ширина кабинета", "Chiều rộng cabin", "箱體寬度"};
const KorText kBoxHeight = {"箱体高度", "Cabinet height", "Высота кабинета", "Chiều cao cabin", "箱體高度"};
const KorText kStep2 = {"步骤2选择网口", "Step 2 Select port", "Шаг 2. Выберите сетевой порт",
                        "Bước 2 :Chọn cổng mạng", "步驟2選擇網口"};
const KorText kStep3 = {"步骤3屏参设置", "Step 3 Screen parameter setting", "Шаг 3.Настройка параметров экрана",
                        "Bước 3:Cài đặt thông số màn hình", "步驟3屏參設置"};
const KorText kBoxLine = {"箱体行数", "Number of Cabinet in rows", "Кол-во рядов", "Số lượng hàng tủ", "箱體行數"};
const KorText kBoxColumn = {"箱体列数", "Number of Cabinet in lines", "Кол-во столбцов", "Số lượng cột tủ",
                            "箱體列數"};
const KorText kRouteWay = {"屏体走线方式", "Screen alignment mode", "Тип подключения кабинетов",
                           "Chế độ căn chỉnh màn hình", "屏體走線方式"};
const KorText kHorizon = {"水平偏移", "Horizontal offset", "Горизонтальное\nсмещение", "Bù đắp theo\nchiều ngang",
                          "水平偏移"};
const KorText kVert = {"垂直偏移", "Vertical offset", "Вертикальное\nсмещение", "Bù đắp theo\nchiều dọc", "垂直偏移"};
const KorText kSend = {"发送", "Send", "Отправить", "Gửi", "髮送"};

// A number field read as the worker wants it: decimal, 0 when it is not a number.
long long field_value(const QLineEdit *field)
{
    bool ok = false;
    const long long v = field->text().toLongLong(&ok, 10);
    return ok ? v : 0;
}

void put_u16(unsigned char *p, long long v)
{
    p[0] = uint8_t(v & 0xFF);
    p[1] = uint8_t((v >> 8) & 0xFF);
}

void add_button(KorFocusList &list, QWidget *button)
{
    list.add(button, QString::fromLatin1(SmStyle::normal), QString::fromLatin1(SmStyle::focus));
}
}

SmartMappingQuick::SmartMappingQuick(SmartMapping *page)
    : SmartMappingPart(page, 0), m_route(new SmartMappingRoute(page)),
      m_step2(page->ports(), SmartMappingPortStep::QuickSetup)
{
}

SmartMappingQuick::~SmartMappingQuick() = default;

void SmartMappingQuick::add_field(KorFocusList &list, My_lineEdit *field)
{
    list.add(field, QString::fromLatin1(KorStyle::field_normal), QString::fromLatin1(KorStyle::field_focus));
    connect(field, &My_lineEdit::send_show, m_page, &SmartMapping::show_numberkeyboard_ui);
}

void SmartMappingQuick::build_page(int index, QWidget *page)
{
    switch (index) {
    case 0:
        m_step1_ui.reset(new Ui::SmartMappingStep1Page);
        m_step1_ui->setupUi(page);
        add_field(m_step1, m_step1_ui->lineEdit_X);
        add_field(m_step1, m_step1_ui->lineEdit_Y);
        add_button(m_step1, m_step1_ui->Button_next);
        // Its one button: it shows with the page, whose opening this keeps cheap.
        connect(m_step1_ui->Button_next, &QPushButton::clicked, this, &SmartMappingQuick::on_Button_next_clicked);
        return;
    case 1:
        m_step2_ui.reset(new Ui::SmartMappingStep2Page);
        m_step2_ui->setupUi(page);
        m_step2.set_items({m_step2_ui->Button_wlan1, m_step2_ui->Button_wlan2, m_step2_ui->Button_wlan3,
                           m_step2_ui->Button_wlan4},
                          {m_step2_ui->Button_front_2, m_step2_ui->Button_next_2});
        break;
    case 2:
        m_step3_ui.reset(new Ui::SmartMappingStep3Page);
        m_step3_ui->setupUi(page);
        add_field(m_step3, m_step3_ui->lineEdit_line);
        add_field(m_step3, m_step3_ui->lineEdit_column);
        add_button(m_step3, m_step3_ui->Button_route);
        add_field(m_step3, m_step3_ui->lineEdit_horzion);
        add_field(m_step3, m_step3_ui->lineEdit_vert);
        add_button(m_step3, m_step3_ui->Button_front_3);
        add_button(m_step3, m_step3_ui->Button_send);
        m_route->set_target(m_step3_ui->Button_route);
        break;
    default:
        m_route->build(page);
        return;
    }
    sm_connect_clicked(page, this);
}

void SmartMappingQuick::open(bool enter)
{
    if (!enter) {
        m_page->go_to_stacked(0, true);
        return;
    }
    m_page->on_Button_shortcut_clicked();
    menulist_shortcut_page1_init();
}

// ---- Keys -----------------------------------------------------------------------------------

void SmartMappingQuick::key_move(int step)
{
    const bool right = step > 0;
    if (m_shortcut_step == 0)
        right ? menulist_shortcut_page1_sel_right() : menulist_shortcut_page1_sel_left();
    else if (m_shortcut_step == 1)
        right ? menulist_shortcut_page2_sel_right() : menulist_shortcut_page2_sel_left();
    else if (m_route->is_open())
        right ? m_route->menulist_shortcut_page3_button_route_sel_right()
              : m_route->menulist_shortcut_page3_button_route_sel_left();
    else
        right ? menulist_shortcut_page3_sel_right() : menulist_shortcut_page3_sel_left();
}

void SmartMappingQuick::key_ok()
{
    menulist_shortcut_button_ok_page();
}

void SmartMappingQuick::key_back()
{
    menulist_shortcut_back_page();
}

void SmartMappingQuick::menulist_shortcut_button_ok_page()
{
    if (m_shortcut_step == 0) {
        if (m_step1.index() < 2) {
            m_page->edit_field(static_cast<My_lineEdit *>(m_step1.current()));
        } else {
            on_Button_next_clicked();
            menulist_shortcut_page2_init();
        }
        return;
    }
    if (m_shortcut_step == 1) {
        if (m_step2.ok())
            return;
        if (m_step2.item() == 2) {
            m_page->go_to_stacked(0);
            m_shortcut_step = 0;
        } else {
            on_Button_next_2_clicked();
            menulist_shortcut_page3_init();
        }
        return;
    }
    if (m_route->is_open()) {
        m_route->menulist_shortcut_page3_button_route_ok();
        menulist_shortcut_page3_sel_recovery();
        return;
    }
    step3_ok();
}

void SmartMappingQuick::step3_ok()
{
    switch (m_step3.index()) {
    case 2:
        on_Button_route_clicked();
        m_route->menulist_shortcut_page3_button_route_init();
        break;
    case 5:
        on_Button_front_3_clicked();
        m_shortcut_step = 1;
        break;
    case 6:
        on_Button_send_clicked();
        break;
    default:
        m_page->edit_field(static_cast<My_lineEdit *>(m_step3.current()));
        break;
    }
}

void SmartMappingQuick::menulist_shortcut_back_page()
{
    if (m_shortcut_step == 0) {
        m_page->leave_tool(0);
        m_step1.show_normal(m_step1.index());
        return;
    }
    if (m_shortcut_step == 1) {
        if (m_step2.back())
            return;
        m_page->go_to_stacked(0);
        m_shortcut_step = 0;
        return;
    }
    if (m_route->is_open()) {
        m_route->cancel();
        menulist_shortcut_page3_sel_recovery();
        return;
    }
    menulist_shortcut_page3_sel_default();
    on_Button_front_3_clicked();
    m_shortcut_step = 1;
}

// ---- Step 1 ---------------------------------------------------------------------------------

void SmartMappingQuick::menulist_shortcut_default()
{
    for (int i = 0; i < m_step1.count(); ++i)
        m_step1.show_normal(i);
}

void SmartMappingQuick::menulist_shortcut_page1_init()
{
    m_shortcut_step = 0;
    menulist_shortcut_default();
    m_step1.start(0);
    m_page->show_entry(0, KorStyle::chosen);
}

void SmartMappingQuick::menulist_shortcut_page1_sel_right()
{
    m_step1.move(1);
}

void SmartMappingQuick::menulist_shortcut_page1_sel_left()
{
    m_step1.move(-1);
}

void SmartMappingQuick::on_Button_next_clicked()
{
    if (ring_shown())
        return;
    put_u16(line_type + 0, field_value(m_step1_ui->lineEdit_X));
    put_u16(line_type + 2, field_value(m_step1_ui->lineEdit_Y));
    m_page->stacked_page(1);
    on_Button_wlan1_clicked();
    m_page->go_to_stacked(1, true);
}

// ---- Step 2 ---------------------------------------------------------------------------------

void SmartMappingQuick::menulist_shortcut_page2_init()
{
    m_step2.reset(0);
    m_step2.show_item(SmStyle::focus);
    m_shortcut_step = 1;
}

void SmartMappingQuick::menulist_shortcut_page2_sel_right()
{
    m_step2.move(1);
}

void SmartMappingQuick::menulist_shortcut_page2_sel_left()
{
    m_step2.move(-1);
}

void SmartMappingQuick::on_Button_wlan1_clicked() { m_step2.group_clicked(0); }
void SmartMappingQuick::on_Button_wlan2_clicked() { m_step2.group_clicked(1); }
void SmartMappingQuick::on_Button_wlan3_clicked() { m_step2.group_clicked(2); }
void SmartMappingQuick::on_Button_wlan4_clicked() { m_step2.group_clicked(3); }

void SmartMappingQuick::on_Button_front_2_clicked() { m_page->go_to_stacked(0); }

void SmartMappingQuick::on_Button_next_2_clicked() { m_page->go_to_stacked(2, true); }

// ---- Step 3 ---------------------------------------------------------------------------------

void SmartMappingQuick::menulist_shortcut_page3_init()
{
    for (int i = 0; i < m_step3.count(); ++i)
        m_step3.show_normal(i);
    m_step3.start(0);
    m_route->close();
    m_shortcut_step = 2;
}

void SmartMappingQuick::menulist_shortcut_page3_sel_default()
{
    m_step3.show_normal(m_step3.index());
}

void SmartMappingQuick::menulist_shortcut_page3_sel_recovery()
{
    m_step3.show_focus(m_step3.index());
}

void SmartMappingQuick::menulist_shortcut_page3_sel_right()
{
    m_step3.move(1);
}

void SmartMappingQuick::menulist_shortcut_page3_sel_left()
{
    m_step3.move(-1);
}

void SmartMappingQuick::on_Button_front_3_clicked() { m_page->go_to_stacked(1); }

void SmartMappingQuick::on_Button_route_clicked() { m_page->go_to_stacked(3, true); }

void SmartMappingQuick::on_Button_send_clicked()
{
    if (ring_shown() || !fpga_manage::p_fpga_manage)
        return;
    line_type[9] = uint8_t(field_value(m_step3_ui->lineEdit_line));
    line_type[10] = uint8_t(field_value(m_step3_ui->lineEdit_column));
    put_u16(line_type + 4, field_value(m_step3_ui->lineEdit_horzion));
    put_u16(line_type + 6, field_value(m_step3_ui->lineEdit_vert));
    kor_trace("\n set the route_way = %d \n", int(line_type[11]));
    m_page->start_job(1);
}

// ---- Texts ----------------------------------------------------------------------------------

void SmartMappingQuick::text_page(int index)
{
    switch (index) {
    case 0: language_for_shortcutt_page0(); break;
    case 1: language_for_shortcutt_page1(); break;
    case 2: language_for_shortcutt_page2(); break;
    default: m_route->language_for_shortcutt_page3(); break;
    }
}

void SmartMappingQuick::language_for_shortcutt_page0()
{
    sm_text(m_step1_ui->label_step1, kStep1);
    sm_text(m_step1_ui->label_boxwidth, kBoxWidth);
    sm_text(m_step1_ui->label_boxheight, kBoxHeight);
    sm_text(m_step1_ui->Button_next, kSmNext);
}

void SmartMappingQuick::language_for_shortcutt_page1()
{
    sm_text(m_step2_ui->label_step2, kStep2);
    m_step2_ui->Button_wlan1->setText(sm_group_text(1));
    m_step2_ui->Button_wlan2->setText(sm_group_text(9));
    sm_text(m_step2_ui->Button_front_2, kSmPrevious);
    sm_text(m_step2_ui->Button_next_2, kSmNext);
}

void SmartMappingQuick::language_for_shortcutt_page2()
{
    sm_text(m_step3_ui->label_step3, kStep3);
    sm_text(m_step3_ui->label_boxline, kBoxLine);
    sm_text(m_step3_ui->label_boxlcolumn, kBoxColumn);
    sm_text(m_step3_ui->label_routeway, kRouteWay);
    sm_text(m_step3_ui->label_horizon, kHorizon);
    sm_text(m_step3_ui->label_vert, kVert);
    sm_point_size(m_step3_ui->label_horizon, sm_points(9, 7, 7));
    sm_point_size(m_step3_ui->label_vert, sm_points(9, 7, 7));
    sm_text(m_step3_ui->Button_front_3, kSmPrevious);
    sm_text(m_step3_ui->Button_send, kSend);
    // The stored pattern; only the picker changes it.
    m_route->show_route(line_type[11]);
}

QString SmartMappingQuick::keyboard_title(My_lineEdit *field) const
{
    if (!field)
        return QString();
    if (m_step1_ui && field == m_step1_ui->lineEdit_X)
        return kor_tr("箱体宽度", "width", "width", "width", "箱體寬度");
    if (m_step1_ui && field == m_step1_ui->lineEdit_Y)
        return kor_tr("箱体高度", "height", "height", "height", "箱體高度");
    if (!m_step3_ui)
        return QString();
    if (field == m_step3_ui->lineEdit_line)
        return kor_tr("箱体行数", "rows", "rows", "rows", "箱體行數");
    if (field == m_step3_ui->lineEdit_column)
        return kor_tr("箱体列数", "lines", "lines", "lines", "箱體列數");
    if (field == m_step3_ui->lineEdit_horzion)
        return kor_tr("水平偏移", "Horizontal", "Horizontal", "Horizontal", "水平偏移");
    if (field == m_step3_ui->lineEdit_vert)
        return kor_tr("垂直偏移", "Vertical", "Vertical", "Vertical", "垂直偏移");
    return QString();
}
