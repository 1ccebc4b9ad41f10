#include "ui/pages/linkwlan.h"

#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/utils.h"
#include "ui/shell/my_lineedit.h"
#include "ui_linkwlan.h"

linkwlan *g_linkwlan = nullptr;
KOR_PAGE(linkwlan, g_linkwlan, LinkOption)

linkwlan::linkwlan(QWidget *parent) : KorPage(KorPageNo::linkwlan, parent), ui(new Ui::linkwlan)
{
    m_style_field_focus = QStringLiteral(
        "color: rgb(255, 255, 255); background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);");
    m_style_button_normal = QStringLiteral("color: rgb(255, 255, 255);border:1px solid rgb(255,255,255);");
    m_style_button_focus = QStringLiteral("color: rgb(255, 255, 255);border:1px solid rgb(255,171,84);");
    m_style_first = QStringLiteral(
        "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);border-top:1px solid rgb(255, 255, 255);"
        "border-bottom:1px solid rgb(255, 255, 255);border-left:1px solid rgb(255, 255, 255);");
    m_style_middle = QStringLiteral(
        "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);border-top:1px solid rgb(255, 255, 255);"
        "border-bottom:1px solid rgb(255, 255, 255);");
    m_style_last = QStringLiteral(
        "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);border-top:1px solid rgb(255, 255, 255);"
        "border-bottom:1px solid rgb(255, 255, 255);border-right:1px solid rgb(255, 255, 255);");
    m_field_names = QStringList{"lineEditIp1",   "lineEditIp2",   "lineEditIp3",   "lineEditIp4",
                                "lineEditMask1", "lineEditMask2", "lineEditMask3", "lineEditMask4",
                                "lineEditGate1", "lineEditGate2", "lineEditGate3", "lineEditGate4"};

    ui->setupUi(this);
    My_lineEdit *const fields[12] = {ui->lineEditIp1,   ui->lineEditIp2,   ui->lineEditIp3,   ui->lineEditIp4,
                                     ui->lineEditMask1, ui->lineEditMask2, ui->lineEditMask3, ui->lineEditMask4,
                                     ui->lineEditGate1, ui->lineEditGate2, ui->lineEditGate3, ui->lineEditGate4};
    for (int i = 0; i < 12; ++i)
        m_fields[i] = fields[i];
    fill_row(g_str_ip, m_fields);
    fill_row(g_srt_mask, m_fields + 4);
    fill_row(g_str_gateway, m_fields + 8);
    for (My_lineEdit *field : m_fields)
        connect_number_field(field);

    para_init();
    menulist_init();
    language_changed();
}

linkwlan::~linkwlan()
{
    delete ui;
}

void linkwlan::fill_row(const std::string &address, My_lineEdit *const fields[4])
{
    const QStringList parts = QString::fromStdString(address).split(QLatin1Char('.'));
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        fields[i]->setText(parts.at(i));
}

void linkwlan::para_init() {}

void linkwlan::menulist_init()
{
    focus.clear();
    for (int i = 0; i < 12; ++i) {
        const int octet = i % 4;
        const QString &normal = octet == 0 ? m_style_first : octet == 3 ? m_style_last : m_style_middle;
        My_lineEdit *field = m_fields[i];
        focus.add(field, normal, m_style_field_focus, [this, field] {
            m_current_field = field;
            emit_send_show(field);
        });
    }
    focus.add(ui->Button_apply, m_style_button_normal, m_style_button_focus, [this] { on_Button_net_apply_clicked(); });
    focus.add(ui->Button_cancle, m_style_button_normal, m_style_button_focus, [this] { slot_Button_back_clicked(); });
    focus.start(0);
    m_current_field = ui->lineEditIp1;
    m_current_button = ui->Button_apply;
}

void linkwlan::language_changed()
{
    ui->label_wlan->setText(kor_tr("网口设置", "Net connect", "Сетевое подключение", "Cài đặt cổng mạng", "網口設置"));
    ui->label_IpSet->setText(kor_tr("IP地址", "IP", "IP-адрес", "Địa chỉ IP", "IP地址"));
    ui->label_netmask->setText(kor_tr("子网掩码", "Mask", "Маска", "Cài đặt mặt lạ con", "子網掩碼"));
    ui->label_gateway->setText(kor_tr("默认网关", "Gate", "Шлюз", "Cổng vào", "默認網關"));
    ui->Button_apply->setText(kor_tr("应用", "Apply", "OK", "Đồng ý", "應用"));
    ui->Button_cancle->setText(kor_tr("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
}

void linkwlan::syncUpdate()
{
    retext_if_language_changed();
}

void linkwlan::key_left()
{
    focus.move(-1);
    note_current();
}

void linkwlan::key_right()
{
    focus.move(1);
    note_current();
}

void linkwlan::note_current()
{
    const int item = focus.index();
    if (item < 12)
        m_current_field = m_fields[item];
    else
        m_current_button = item == 12 ? ui->Button_apply : ui->Button_cancle;
}

void linkwlan::show_numberkeyboard_ui(QString)
{
    My_lineEdit *field = qobject_cast<My_lineEdit *>(sender());
    if (!field || field->window() != this)
        return;
    m_edit_field = field->objectName();
    m_current_field = field;
    const QString title = m_edit_field.startsWith(QLatin1String("lineEditMask")) ? QStringLiteral("Mask")
                                                                                 : QStringLiteral("IP");
    run_number_keyboard(field, title);
}

void linkwlan::confirmString(QString text)
{
    // The octets end up in shell command lines: anything but an octet leaves the field.
    const QString octet = Utils::decimal_octet(text);
    if (octet.isNull() || !g_lineedit)
        return;
    g_lineedit->setText(octet);
}

QString linkwlan::row_address(int row) const
{
    QStringList octets;
    for (int i = 0; i < 4; ++i)
        octets << m_fields[row * 4 + i]->text();
    return Utils::dotted_quad(octets.join(QLatin1Char('.')));
}

void linkwlan::on_Button_net_apply_clicked()
{
    const QString ip = row_address(0);
    const QString mask = row_address(1);
    const QString gateway = row_address(2);
    if (ip.isNull() || mask.isNull() || gateway.isNull()) {
        kor_trace("\n linkwlan apply refused: an octet is not 0 to 255\n");
        return;
    }
    ConfigEngine *config = ConfigEngine::pInstance();
    // The address in use that never reached the file (a save that failed) is applied again.
    if (ip == QString::fromStdString(g_str_ip) && mask == QString::fromStdString(g_srt_mask) &&
        gateway == QString::fromStdString(g_str_gateway) && config->saved())
        return;
    kor_trace("\n linkwlan apply ip=%s mask=%s gateway=%s\n", qPrintable(ip), qPrintable(mask), qPrintable(gateway));
    config->write_config_variant(ConfigItem::IPAddress, ip);
    config->write_config_variant(ConfigItem::SubNetMask, mask);
    config->write_config_variant(ConfigItem::GateWay, gateway);
    Utils::system_mutex(QStringLiteral("sync"));
    Utils::initIPAddress();
    if (KorRamPara::p_korrampara_config)
        KorRamPara::p_korrampara_config->test_signal(1);
}
