#include "ui/rcv/smartmapping_loadscan.h"

#include "core/global.h"
#include "ui/rcv/kor_list_frame.h"
#include "ui/rcv/smartmapping.h"
#include "ui_smartmapping_files.h"
#include "ui_smartmapping_port.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {
constexpr int kRowsPerPage = 3;

const KorText kLsStep1 = {"步骤1选择网口", "Step 1 Select network port", "Шаг 1. Выбор LAN-порта",
                          "Bước 1 Chọn cổng mạng", "步驟1選擇網口"};
const KorText kLsStep2 = {"步骤2加载扫描参数", "Step 2 Upload scan parameters", "Шаг 2.Настройка сканирования",
                          "Bước 2Tải thông số quét", "步驟2加載掃描參數"};
const KorText kLsFound = {"检测到以下屏参文件", "Detected the following screen parameter\n files",
                          "Были обнаружены следующие файлы \nпараметров экрана",
                          "Các tập tin tham số màn hình sau đã\n được phát hiện", "檢測到以下屏參文件"};
const KorText kLoad = {"加载", "Load", "Загрузка", "Tải về", "加載"};
const KorText kNoFile = {"无加载文件!", "No loaded file!", "Нет файлов для загрузки!", "Không có tập tin để tải!",
                         "無加載文件!"};

const char kNoFileStyle[] = "background-color: rgb(33, 36, 53);color: #FFFFFF";
// File rows by source (device, USB stick) and state (not chosen, chosen, under the cursor).
const char *const kRowStyle[2][3] = {
    {"background-color: rgb(33, 36, 53);color: #FFFFFF",
     "background-color:#4777FF;color: #FFFFFF;border:1px solid rgb(255,255,255);",
     "background-color:#4777FF;color: #FFFFFF;border:1px solid rgb(255,171,84);"},
    {"background-color: rgb(33, 36, 53);color: #00FF00",
     "background-color:#4777FF;color: #00FF00;border:1px solid rgb(255,255,255);",
     "background-color:#4777FF;color: #00FF00;border:1px solid rgb(255,171,84);"},
};
}

SmartMappingLoadScan::SmartMappingLoadScan(SmartMapping *page)
    : SmartMappingPart(page, 1), m_port(page->ports(), SmartMappingPortStep::LoadScan)
{
}

SmartMappingLoadScan::~SmartMappingLoadScan() = default;

void SmartMappingLoadScan::build_page(int index, QWidget *page)
{
    if (index == 4) {
        m_port_ui.reset(new Ui::SmartMappingPortPage);
        m_port_ui->setupUi(page);
        m_port.set_items({m_port_ui->Button_wlan5, m_port_ui->Button_wlan6, m_port_ui->Button_wlan7,
                          m_port_ui->Button_wlan8},
                         {m_port_ui->Button_next_5});
    } else {
        m_files_ui.reset(new Ui::SmartMappingFilesPage);
        m_files_ui->setupUi(page);
        for (QWidget *button : {m_files_ui->Button_front_6, m_files_ui->Button_load})
            m_buttons.add(button, QString::fromLatin1(SmStyle::normal), QString::fromLatin1(SmStyle::focus));
    }
    sm_connect_clicked(page, this);
}

void SmartMappingLoadScan::open(bool enter)
{
    if (enter)
        m_page->on_Button_loadscan_clicked();
    else
        m_page->go_to_stacked(4, true);
    menulist_loadscan_page1_init(enter);
}

void SmartMappingLoadScan::key_move(int step)
{
    const bool right = step > 0;
    if (m_ls_sub == 0)
        right ? menulist_loadscan_page1_sel_right() : menulist_loadscan_page1_sel_left();
    else
        right ? menulist_loadscan_page2_sel_right() : menulist_loadscan_page2_sel_left();
}

void SmartMappingLoadScan::key_ok()
{
    menulist_loadscan_button_ok_page();
}

void SmartMappingLoadScan::key_back()
{
    menulist_loadscan_back_page();
}

// ---- The port step --------------------------------------------------------------------------

void SmartMappingLoadScan::menulist_loadscan_page1_init(unsigned char enter)
{
    const uint8_t port = line_type[8];
    if (port < 8)
        on_Button_wlan5_clicked();
    else if (port < 16)
        on_Button_wlan6_clicked();
    m_port.reset(m_page->ports().group() == 1 ? 1 : 0);
    m_ls_sub = 0;
    if (enter) {
        m_port.show_item(SmStyle::focus);
        m_page->show_entry(1, KorStyle::chosen);
    } else {
        m_page->show_entry(1, m_page->file_count() ? SmStyle::focus : SmStyle::greyed);
    }
}

void SmartMappingLoadScan::menulist_loadscan_page1_sel_right()
{
    m_port.move(1);
}

void SmartMappingLoadScan::menulist_loadscan_page1_sel_left()
{
    m_port.move(-1);
}

void SmartMappingLoadScan::on_Button_wlan5_clicked() { m_port.group_clicked(0); }
void SmartMappingLoadScan::on_Button_wlan6_clicked() { m_port.group_clicked(1); }
void SmartMappingLoadScan::on_Button_wlan7_clicked() { m_port.group_clicked(2); }
void SmartMappingLoadScan::on_Button_wlan8_clicked() { m_port.group_clicked(3); }

void SmartMappingLoadScan::menulist_loadscan_button_ok_page()
{
    if (m_ls_sub != 0) {
        files_ok();
    } else if (!m_port.ok()) {
        on_Button_next_5_clicked();
        menulist_loadscan_page2_init();
    }
}

void SmartMappingLoadScan::menulist_loadscan_back_page()
{
    if (m_ls_sub != 0) {
        files_back();
    } else if (!m_port.back()) {
        m_page->leave_tool(1);
        m_port.show_item(SmStyle::normal);
    }
}

// ---- The file list --------------------------------------------------------------------------

void SmartMappingLoadScan::get_file_list_smartpath()
{
    const QStringList found = sm_list_ykfiles(QString::fromLatin1(kSmSmartDir), kSmMaxFiles);
    m_files += found;
    m_internal_count = found.size();
}

void SmartMappingLoadScan::get_file_list_usbpath()
{
    const QStringList found = sm_list_ykfiles(QString::fromLatin1(kSmUsbDir), kSmMaxFiles - m_internal_count);
    m_files += found;
    m_total = m_internal_count + found.size();
}

void SmartMappingLoadScan::on_Button_next_5_clicked()
{
    if (ring_shown())
        return;
    m_files.clear();
    m_total = 0;
    m_internal_count = 0;
    get_file_list_smartpath();
    get_file_list_usbpath();
    current_page = 0;
    // An empty list has one page, page 0, and nothing to turn.
    m_last_page = m_total > 0 ? (m_total + kRowsPerPage - 1) / kRowsPerPage - 1 : 0;
    // A new list starts on its first row; an old row number means nothing here.
    file_select = 0;
    m_list_shown = true;
    scan_file_list();
    language_for_loadscan_page5();
}

int SmartMappingLoadScan::rows_on_page() const
{
    const int first = kRowsPerPage * current_page;
    if (first >= m_total)
        return 0;
    return std::min(kRowsPerPage, m_total - first);
}

void SmartMappingLoadScan::style_row(int row, RowState state)
{
    if (row < 0 || row >= kRowsPerPage || !m_rows[row].label)
        return;
    m_rows[row].label->setStyleSheet(QString::fromLatin1(kRowStyle[m_rows[row].usb ? 1 : 0][state]));
}

void SmartMappingLoadScan::choose_row(int row)
{
    // The row drawn as chosen is always the file that Load sends.
    file_select = row;
    g_ykfile_name = m_rows[row].path.toStdString();
    style_row(row, RowCursor);
}

void SmartMappingLoadScan::scan_file_list()
{
    kor_retire_frame(m_file_frame);
    for (FileRow &row : m_rows)
        row = FileRow();
    m_no_file_label = nullptr;
    m_file_frame = kor_list_frame(m_page->stacked_page(5), QRect(10, 55, 220, 90));
    QFont row_font = m_page->font();
    row_font.setPointSize(7);
    if (rows_on_page() == 0) {
        m_no_file_label = kor_list_label(m_file_frame, 0, 200, 40, row_font);
        m_no_file_label->setStyleSheet(QString::fromLatin1(kNoFileStyle));
        m_no_file_label->setText(kor_tr(kNoFile));
        file_select = 0;
        g_ykfile_name.clear();
    } else {
        draw_rows(row_font);
    }
    if (current_page >= 1)
        connect(kor_list_page_button(m_file_frame, QStringLiteral("Button_previous"), QRect(200, 5, 15, 20),
                                     QStringLiteral(":/png/previous.png")),
                &QPushButton::clicked, this, &SmartMappingLoadScan::kor_Button_previous_clicked);
    if (current_page < m_last_page)
        connect(kor_list_page_button(m_file_frame, QStringLiteral("Button_next_page"), QRect(200, 55, 15, 20),
                                     QStringLiteral(":/png/next.png")),
                &QPushButton::clicked, this, &SmartMappingLoadScan::kor_Button_next_clicked);
    m_file_frame->show();
    m_page->go_to_stacked(5);
}

void SmartMappingLoadScan::draw_rows(const QFont &font)
{
    const int rows = rows_on_page();
    // Never a chosen row that is not drawn.
    file_select = std::max(0, std::min(file_select, rows - 1));
    for (int r = 0; r < rows; ++r) {
        const int index = kRowsPerPage * current_page + r;
        FileRow &row = m_rows[r];
        row.path = m_files.at(index);
        row.name = row.path.mid(row.path.lastIndexOf(QLatin1Char('/')) + 1);
        row.name.remove(QLatin1Char('\n'));
        row.name.remove(QLatin1Char('\r'));
        row.usb = index >= m_internal_count;
        row.label = kor_list_label(m_file_frame, r, 190, 20, font);
        // A file name is shown as it is, never read as markup.
        row.label->setTextFormat(Qt::PlainText);
        row.label->setText(row.name);
        row.button = kor_list_row_button(m_file_frame, r, 190);
        row.button->setStyleSheet(QString::fromLatin1(SmStyle::transparent));
        connect(row.button, &QPushButton::clicked, this, &SmartMappingLoadScan::kor_button_file_clicked);
        if (r == file_select)
            choose_row(r);
        else
            style_row(r, RowNotChosen);
    }
}

void SmartMappingLoadScan::kor_Button_previous_clicked() { turn_page(std::max(0, current_page - 1)); }
// Past the last page: the first.
void SmartMappingLoadScan::kor_Button_next_clicked() { turn_page(current_page < m_last_page ? current_page + 1 : 0); }

void SmartMappingLoadScan::turn_page(int page)
{
    if (ring_shown())
        return;
    current_page = page;
    kor_trace("\n current_page = %d\n", current_page);
    scan_file_list();
}

void SmartMappingLoadScan::kor_button_file_clicked()
{
    if (ring_shown())
        return;
    const int row = kor_button_number(sender());
    if (row < 0 || row >= rows_on_page())
        return;
    style_row(file_select, RowNotChosen);
    file_select = row;
    g_ykfile_name = m_rows[row].path.toStdString();
    style_row(row, RowChosen);
}

void SmartMappingLoadScan::usb_changed()
{
    file_select = 0;
    if (!m_list_shown || m_page->shown_stacked() != 5)
        return;
    on_Button_next_5_clicked();
    menulist_loadscan_page2_init();
}

// ---- The file list's keys -------------------------------------------------------------------

void SmartMappingLoadScan::menulist_loadscan_page2_init()
{
    m_buttons.show_normal(0);
    m_buttons.show_normal(1);
    m_current_button = m_total ? 1 : 0;
    if (!m_total)
        m_buttons.show_focus(0);
    m_button_mode = false;
    m_ls_sub = 1;
}

void SmartMappingLoadScan::menulist_loadscan_page2_sel_default()
{
    m_buttons.show_normal(m_current_button);
}

void SmartMappingLoadScan::menulist_loadscan_page2_sel_recovery()
{
    m_buttons.show_focus(m_current_button);
}

void SmartMappingLoadScan::menulist_loadscan_page2_sel_right()
{
    const int rows = rows_on_page();
    if (m_button_mode || rows == 0) {
        // Between Previous and Load: there are only the two.
        m_buttons.move(1);
        return;
    }
    style_row(file_select, RowNotChosen);
    if (file_select + 1 >= rows) {
        // Past the last row: the next page (the first after the last) from its first row.
        file_select = 0;
        kor_Button_next_clicked();
    } else {
        choose_row(file_select + 1);
    }
}

void SmartMappingLoadScan::menulist_loadscan_page2_sel_left()
{
    const int rows = rows_on_page();
    if (m_button_mode || rows == 0) {
        m_buttons.move(1);
        return;
    }
    style_row(file_select, RowNotChosen);
    if (file_select > 0) {
        choose_row(file_select - 1);
    } else if (current_page > 0) {
        file_select = rows - 1;
        kor_Button_previous_clicked();
    } else {
        file_select = 0;
        scan_file_list();
    }
}

void SmartMappingLoadScan::files_ok()
{
    const int rows = rows_on_page();
    if (!m_button_mode && rows > 0) {
        if (m_rows[file_select].button)
            m_rows[file_select].button->click();
        m_button_mode = true;
        menulist_loadscan_page2_sel_recovery();
        return;
    }
    if (m_current_button == 0) {
        on_Button_front_6_clicked();
        m_ls_sub = 0;
        return;
    }
    on_Button_load_clicked();
    if (rows > 0) {
        m_buttons.show_normal(1);
        style_row(file_select, RowCursor);
        m_button_mode = false;
    }
}

void SmartMappingLoadScan::files_back()
{
    const int rows = rows_on_page();
    if (m_button_mode && rows > 0) {
        style_row(file_select, RowCursor);
        menulist_loadscan_page2_sel_default();
        m_button_mode = false;
        return;
    }
    on_Button_front_6_clicked();
    m_ls_sub = 0;
    if (rows == 0) {
        menulist_loadscan_page2_sel_default();
        m_button_mode = false;
    }
}

void SmartMappingLoadScan::on_Button_front_6_clicked() { m_page->go_to_stacked(4); }

void SmartMappingLoadScan::on_Button_load_clicked()
{
    if (!g_ykfile_name.empty())
        m_page->start_job(2);
}

// ---- Texts ----------------------------------------------------------------------------------

void SmartMappingLoadScan::text_page(int index)
{
    if (index == 4)
        language_for_loadscan_page4();
    else
        language_for_loadscan_page5();
}

void SmartMappingLoadScan::language_for_loadscan_page4()
{
    sm_text(m_port_ui->label_step1_5, kLsStep1);
    m_port_ui->Button_wlan5->setText(sm_group_text(1));
    m_port_ui->Button_wlan6->setText(sm_group_text(9));
    sm_text(m_port_ui->Button_next_5, kSmNext);
}

void SmartMappingLoadScan::language_for_loadscan_page5()
{
    sm_text(m_files_ui->label_step2_6, kLsStep2);
    m_files_ui->label_step2_7->setText(kor_tr(kLsFound));
    sm_point_size(m_files_ui->label_step2_7, 7);
    sm_text(m_files_ui->Button_front_6, kSmPrevious);
    sm_text(m_files_ui->Button_load, kLoad);
    if (m_no_file_label)
        m_no_file_label->setText(kor_tr(kNoFile));
}
