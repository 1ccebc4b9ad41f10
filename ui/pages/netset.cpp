#include "ui/pages/netset.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_manage.h"
#include "ui_netset.h"

#include <QPixmap>

netset *g_netset = nullptr;
KOR_PAGE(netset, g_netset, OutputSet)

namespace {
constexpr int kFrameX = 24;
constexpr int kFrameStep = 68;
constexpr int kFrameY = 40;
constexpr int kFrameW = 58;
constexpr int kFrameH = 41;

// Values of the parameter-RAM image lie at any byte offset, odd ones included.
unsigned ram_word(const unsigned char *ram, unsigned short offset)
{
    if (!ram || offset + 1 >= fpga_manage::kRamSize)
        return 0;
    return unsigned(ram[offset]) | (unsigned(ram[offset + 1]) << 8);
}
}

netset::netset(QWidget *parent)
    : KorPage(KorPageNo::netset, parent),
      ui(new Ui::netset),
      m_normal(QStringLiteral(
          "background-color:transparent; border:1px solid rgb(255, 255, 255);border-radius:1px;padding:2px 4px")),
      m_selected(QStringLiteral(
          "background-color:transparent; border:0px solid rgb(255, 255, 255);border-radius:1px;padding:2px 4px"))
{
    ui_select = 0;
    ui->setupUi(this);
    ui->l_p->setPixmap(QPixmap(QStringLiteral(":/png/ltri.png")));
    ui->r_p->setPixmap(QPixmap(QStringLiteral(":/png/rtri.png")));
    initMenu();
    para_init();
    language_changed();
    menulist_init();
}

netset::~netset()
{
    delete ui;
}

void netset::initMenu()
{
    wlan_para_get(0);
    initWlan();
}

void netset::menulist_init()
{
    ui_select = 0;
    ui_sel = 0;
    ui_min_select = 0;
    m_columns[0] = ui->LED1Button;
    m_columns[1] = ui->LED2Button;
    m_columns[2] = ui->LED3Button;
    m_columns[3] = ui->LED4Button;
    ui->net_frame->setGeometry(kFrameX, kFrameY, kFrameW, kFrameH);
    m_current = m_columns[0];
    m_current->setStyleSheet(m_selected);
}

void netset::language_changed()
{
    ui->label_netset->setText(kor_tr("网口输出", "Port output", "Настройка LAN", "Cài đặt cổng MẠNG", "網口輸出"));
    ui->w_label->setText(kor_tr("宽", "W", "Ширина", "Rộng", "寬"));
    ui->h_label->setText(kor_tr("高", "H", "Высота", "Cao", "高"));
}

void netset::syncUpdate()
{
    // Only the texts follow; values and links are read on the left and right keys.
    retext_if_language_changed();
}

void netset::wlan_para_get(unsigned short port)
{
    unsigned short ax, ay, aw, ah;
    fpga_manage::get_eth_param_addr(port < kPorts ? uint8_t(port) : 0, &ax, &ay, &aw, &ah);
    // Without the FPGA manager there is no image: every value shows 0.
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    const unsigned char *ram = fpga ? fpga->MCU_RAM_PARA_func[0] : nullptr;
    ui->x_lineEdit->setText(QString::number(ram_word(ram, ax)));
    ui->y_lineEdit->setText(QString::number(ram_word(ram, ay)));
    ui->w_lineEdit->setText(QString::number(ram_word(ram, aw)));
    ui->h_lineEdit->setText(QString::number(ram_word(ram, ah)));

    QString format;
    switch (kor_shown_language()) {
    case 0:
        format = QString::fromUtf8("网口LED%d");
        break;
    case 4:
        format = QString::fromUtf8("網口LED%d");
        break;
    default:
        format = QStringLiteral("LED%d");
        break;
    }
    QLabel *const captions[kColumns] = {ui->LED1label, ui->LED2label, ui->LED3label, ui->LED4label};
    for (int c = 0; c < kColumns; ++c)
        captions[c]->setText(kor_fill_numbers(format, {long(ui_min_select + c + 1)}));
}

void netset::initWlan()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    const unsigned links = fpga ? fpga->get_wlan_state() : 0;
    if (m_online.isNull()) {
        m_online = QPixmap(QStringLiteral(":/png/online_up.png"));
        m_offline = QPixmap(QStringLiteral(":/png/offline_up.png"));
    }
    QLabel *const icons[kColumns] = {ui->L1label, ui->L2label, ui->L3label, ui->L4label};
    for (int c = 0; c < kColumns; ++c)
        icons[c]->setPixmap(links & (1u << (ui_min_select + c)) ? m_online : m_offline);
}

void netset::select_column(unsigned char column)
{
    if (m_current)
        m_current->setStyleSheet(m_normal);
    ui_sel = column;
    m_current = m_columns[ui_sel];
    m_current->setStyleSheet(m_selected);
}

void netset::key_right()
{
    if (ui_sel < kColumns - 1) {
        ++ui_select;
        select_column(ui_sel + 1);
    } else {
        // The highlight stays on the last column and the ports scroll under it.
        if (ui_select < kPorts - 1)
            ++ui_select;
        ui_min_select = ui_select - (kColumns - 1);
    }
    show_selection();
}

void netset::key_left()
{
    if (ui_sel > 0) {
        --ui_select;
        select_column(ui_sel - 1);
    } else {
        if (ui_min_select > 0)
            --ui_min_select;
        if (ui_select > 0)
            --ui_select;
    }
    show_selection();
}

void netset::key_ok() {}

void netset::show_selection()
{
    ui->net_frame->setGeometry(kFrameX + kFrameStep * ui_sel, kFrameY, kFrameW, kFrameH);
    kor_trace("\n ui_min_select=%d,ui_select=%d ui_sel=%d\n", ui_min_select, ui_select, ui_sel);
    wlan_para_get(ui_select);
    initWlan();
}
