#include "ui/rcv/smartmapping_tools.h"

#include "core/global.h"
#include "fpga/fpga_job_request.h"
#include "fpga/fpga_manage.h"
#include "ui/rcv/smartmapping.h"
#include "ui_smartmapping_curing.h"
#include "ui_smartmapping_switch.h"

#include <QIcon>

namespace {
const KorText kCuring = {"参数固化操作", "Parameter curing operation", "Операция отверждения параметров",
                         "Lưu thông số", "參數固化操作"};
const KorText kConfirm = {"确定", "OK", "OK", "Đồng ý", "確定"};
const KorText kMappingSwitch = {"Mapping开关", "Mapping switch", "Переключатель сопоставления", "Bật mapping",
                                "Mapping開關"};
}

SmartMappingButtonTool::SmartMappingButtonTool(SmartMapping *page, int entry) : SmartMappingPart(page, entry) {}

void SmartMappingButtonTool::take_keys()
{
    m_page->show_entry(m_entry, KorStyle::chosen);
    sm_show(m_button, SmStyle::focus);
}

void SmartMappingButtonTool::give_back_keys()
{
    m_page->leave_tool(m_entry);
    sm_show(m_button, SmStyle::normal);
}

// ---- Curing ---------------------------------------------------------------------------------

SmartMappingCuring::SmartMappingCuring(SmartMapping *page) : SmartMappingButtonTool(page, 2) {}

SmartMappingCuring::~SmartMappingCuring() = default;

void SmartMappingCuring::build_page(int, QWidget *page)
{
    m_ui.reset(new Ui::SmartMappingCuringPage);
    m_ui->setupUi(page);
    m_button = m_ui->Button_confirm;
    sm_connect_clicked(page, this);
}

void SmartMappingCuring::open(bool enter)
{
    if (!enter) {
        m_page->go_to_stacked(6, true);
        return;
    }
    m_page->on_Button_paraweld_clicked();
    menulist_paraweld_page1_init();
}

void SmartMappingCuring::menulist_paraweld_page1_init()
{
    take_keys();
}

// The entry's slot after the job was handed over changes nothing: the ring is shown.
void SmartMappingCuring::menulist_paraweld_button_ok_page()
{
    on_Button_confirm_clicked();
    m_page->on_Button_paraweld_clicked();
}

void SmartMappingCuring::menulist_paraweld_back_page()
{
    give_back_keys();
}

void SmartMappingCuring::on_Button_confirm_clicked()
{
    m_page->start_job(3);
}

void SmartMappingCuring::text_page(int)
{
    language_for_paraweld_page6();
}

void SmartMappingCuring::language_for_paraweld_page6()
{
    sm_text(m_ui->label_step1_6, kCuring);
    sm_text(m_ui->Button_confirm, kConfirm);
}

// ---- The mapping switch ---------------------------------------------------------------------

SmartMappingSwitch::SmartMappingSwitch(SmartMapping *page) : SmartMappingButtonTool(page, 3) {}

SmartMappingSwitch::~SmartMappingSwitch() = default;

void SmartMappingSwitch::build_page(int, QWidget *page)
{
    m_ui.reset(new Ui::SmartMappingSwitchPage);
    m_ui->setupUi(page);
    m_button = m_ui->Button_mapping_state;
    sm_connect_clicked(page, this);
}

void SmartMappingSwitch::open(bool enter)
{
    show_state();
    if (enter)
        menulist_mapping_page1_init();
}

void SmartMappingSwitch::show_mapping_state(bool on)
{
    m_ui->Button_mapping_state->setIcon(
        QIcon(on ? QStringLiteral(":/png/button_on.png") : QStringLiteral(":/png/button_off.png")));
    m_ui->Button_mapping_state->setIconSize(QSize(40, 20));
}

void SmartMappingSwitch::show_state()
{
    // Touched while a job runs, it is built but not shown.
    m_page->stacked_page(7);
    if (ring_shown())
        return;
    bool on = false;
    if (fpga_manage *manager = fpga_manage::p_fpga_manage) {
        manager->read_from_register(0, 0);
        on = manager->MCU_REG_func[0][0] & 0x80;
    }
    show_mapping_state(on);
    m_page->open_tool(7);
}

void SmartMappingSwitch::menulist_mapping_page1_init()
{
    take_keys();
}

void SmartMappingSwitch::menulist_mapping_button_ok_page()
{
    m_ui->Button_mapping_state->click();
}

void SmartMappingSwitch::menulist_mapping_back_page()
{
    give_back_keys();
}

void SmartMappingSwitch::on_Button_mapping_state_clicked()
{
    if (!m_page->start_ring())
        return;
    fpga_manage *manager = fpga_manage::p_fpga_manage;
    manager->read_from_register(0, 0);
    const bool on = manager->MCU_REG_func[0][0] & 0x80;
    manager->write_to_register(0, 0x80, on ? 0 : 0x80, 0);
    show_mapping_state(!on);
    kor_set_mapping_value(on ? 0 : 9);
    kor_send_job(4);
}

void SmartMappingSwitch::text_page(int)
{
    language_for_mapping_onoff_page7();
}

void SmartMappingSwitch::language_for_mapping_onoff_page7()
{
    sm_text(m_ui->label_step1_7, kMappingSwitch);
}
