#include "ui/rcv/smartmapping_ports.h"

#include "core/global.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/kor_list_frame.h"
#include "ui/rcv/smartmapping.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

SmartMappingPorts::SmartMappingPorts(SmartMapping *page) : QObject(page), m_page(page) {}

void SmartMappingPorts::wlan_foucus_style(QPushButton *group_button)
{
    if (m_last_group_button)
        sm_show(m_last_group_button, SmStyle::normal);
    sm_show(group_button, SmStyle::group_shown);
    m_last_group_button = group_button;
}

void SmartMappingPorts::group_clicked(QPushButton *button, int group, bool on_loadscan, uint8_t *saved_port)
{
    if (g_qround_bar)
        return;
    wlan_foucus_style(button);
    m_group = group;
    m_port_cell = 0;
    m_saved_port = saved_port;
    wlan_init(on_loadscan ? 1 : 0, 0);
}

void SmartMappingPorts::wlan_init(unsigned char on_loadscan, unsigned char)
{
    kor_retire_frame(m_cells_frame);
    m_cells_frame = new QFrame(m_page->stacked_page(on_loadscan ? 4 : 1));
    m_cells_frame->setObjectName(QStringLiteral("frame_wlan"));
    m_cells_frame->setGeometry(1, 59, 230, 88);
    QFont cell_font = m_page->font();
    cell_font.setPixelSize(8);
    const QPixmap offline(QStringLiteral(":/png/offline.png"));
    for (int i = 0; i < 8; ++i) {
        const int x = 55 * (i % 4);
        const int y = 45 * (i / 4);
        QFrame *cell = new QFrame(m_cells_frame);
        cell->setGeometry(10 + x, 2 + y, 50, 40);
        m_cell_chosen[i] = i + 8 * m_group == line_type[8];
        cell->setStyleSheet(QString::fromLatin1(m_cell_chosen[i] ? SmStyle::port_cell_chosen : SmStyle::port_cell));
        m_cell_frames[i] = cell;
        QLabel *icon = new QLabel(m_cells_frame);
        icon->setGeometry(25 + x, 5 + y, 22, 15);
        icon->setPixmap(offline);
        icon->setScaledContents(true);
        QLabel *text = new QLabel(m_cells_frame);
        text->setGeometry(14 + x, 20 + y, 45, 20);
        text->setText(QStringLiteral("LED%1").arg(i + 1 + 8 * m_group));
        text->setAlignment(Qt::AlignCenter);
        text->setFont(cell_font);
        text->setStyleSheet(QStringLiteral("background-color: #212435;color: #FFFFFF"));
        QPushButton *button = new QPushButton(m_cells_frame);
        button->setGeometry(11 + x, 3 + y, 48, 38);
        button->setFlat(true);
        button->setStyleSheet(QString::fromLatin1(SmStyle::transparent));
        button->setFocusPolicy(Qt::NoFocus);
        button->setObjectName(QString::number(i));
        connect(button, &QPushButton::clicked, this, &SmartMappingPorts::kor_button_wlan_clicked);
        m_cell_buttons[i] = button;
    }
    m_cells_frame->show();
}

void SmartMappingPorts::show_port_cells()
{
    // Only the cells whose state changed are restyled.
    for (int i = 0; i < 8; ++i) {
        const bool chosen = i + 8 * m_group == line_type[8];
        if (!m_cell_frames[i] || chosen == m_cell_chosen[i])
            continue;
        m_cell_chosen[i] = chosen;
        m_cell_frames[i]->setStyleSheet(QString::fromLatin1(chosen ? SmStyle::port_cell_chosen : SmStyle::port_cell));
    }
}

void SmartMappingPorts::move_cell(int step)
{
    m_port_cell = (m_port_cell + step + 8) % 8;
    line_type[8] = uint8_t(m_port_cell + 8 * m_group);
    show_port_cells();
}

void SmartMappingPorts::click_cell()
{
    if (m_cell_buttons[m_port_cell])
        m_cell_buttons[m_port_cell]->click();
}

void SmartMappingPorts::kor_button_wlan_clicked()
{
    if (g_qround_bar)
        return;
    const int cell = kor_button_number(sender());
    if (cell < 0 || cell > 7)
        return;
    m_port_cell = cell;
    const uint8_t port = uint8_t(m_group * 8 + cell);
    line_type[8] = port;
    if (m_saved_port)
        *m_saved_port = port;
    show_port_cells();
}

// ---- The keys of a port step ----------------------------------------------------------------

SmartMappingPortStep::SmartMappingPortStep(SmartMappingPorts &ports, Kind kind) : m_ports(ports), m_kind(kind), m_focus(&m_item) {}

void SmartMappingPortStep::set_items(QPushButton *const (&groups)[4], std::initializer_list<QWidget *> buttons)
{
    std::copy(groups, groups + 4, m_groups);
    // The quick setup's items take the field's focus style when the keys move onto them.
    const char *moved_onto = m_kind == QuickSetup ? KorStyle::field_focus : SmStyle::focus;
    const auto add = [this, moved_onto](QWidget *item) {
        m_focus.add(item, QString::fromLatin1(SmStyle::normal), QString::fromLatin1(moved_onto));
    };
    m_focus.clear();
    add(groups[0]);
    add(groups[1]);
    for (QWidget *item : buttons)
        add(item);
    // Two groups of eight ports: the third and fourth group buttons are not used.
    groups[2]->hide();
    groups[3]->hide();
    groups[0]->setGeometry(10, 32, 55, 17);
    groups[1]->setGeometry(70, 32, 55, 17);
}

void SmartMappingPortStep::group_clicked(int group)
{
    m_ports.group_clicked(m_groups[group], group, m_kind == LoadScan, &m_saved_port);
}

void SmartMappingPortStep::show_group(int group)
{
    // Only the groups in use.
    if (group == 0 || group == 1)
        group_clicked(group);
}

void SmartMappingPortStep::reset(int item)
{
    m_choice = false;
    m_confirmed = false;
    for (int i = 0; i < m_focus.count(); ++i)
        m_focus.show_normal(i);
    m_item = uint8_t(item);
}

void SmartMappingPortStep::show_item(const char *style)
{
    sm_show(m_focus.current(), style);
}

void SmartMappingPortStep::move(int step)
{
    if (m_choice) {
        m_ports.move_cell(step);
        return;
    }
    m_focus.show_normal(item());
    const int n = m_focus.count();
    const int next = (item() + step + n) % n;
    // Arriving on a group shows its ports.
    show_group(next);
    m_focus.start(next);
}

bool SmartMappingPortStep::ok()
{
    if (m_choice) {
        m_ports.click_cell();
        m_choice = false;
        m_confirmed = true;
        show_item(SmStyle::focus);
        return true;
    }
    if (item() >= 2)
        return false;
    m_choice = true;
    m_saved_port = line_type[8];
    if (m_kind == QuickSetup)
        line_type[8] = uint8_t(item() * 8);
    show_group(item());
    if (m_kind == QuickSetup)
        show_item(KorStyle::chosen);
    return true;
}

bool SmartMappingPortStep::back()
{
    if (!m_choice)
        return false;
    // The quick setup leaves the cells without keeping the port.
    m_choice = false;
    if (m_kind == QuickSetup || m_confirmed)
        line_type[8] = m_saved_port;
    show_group(m_kind == QuickSetup ? m_ports.group() : item());
    show_item(SmStyle::focus);
    return true;
}
