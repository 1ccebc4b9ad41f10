#include "ui/rcv/smartmapping.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_manage.h"
#include "fpga/rcv_recovery_file.h"
#include "hostlink/host_events.h"
#include "platform/data_root.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/kor_list_frame.h"
#include "ui/shell/kor_stack_polish.h"
#include "ui/shell/my_lineedit.h"
#include "ui/shell/tip.h"
#include "ui_smartmapping.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>

SmartMapping *g_smartmapping = nullptr;

void kor_page_register_24()
{
    kor_page_register<SmartMapping>(24, &g_smartmapping, 5);
    host_pages::set_smartmapping_back_hook([] {
        if (g_smartmapping && !g_smartmapping->is_closed())
            g_smartmapping->Button_back_clicked();
    });
}

namespace {
const char kNormal[] =
    "background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);";
const char kFocus[] = "background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);";
const char kGreyed[] = "background-color: gray;border:2px;border-radius:10px;padding:2px 4px;color:rgb(255,255,255)";
const char kChosen[] = "color:rgb(255, 255, 255);border:1px solid rgb(71, 119, 255);";
const char kGroupShown[] = "background-color: #4777FF;color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);";
const char kFieldNormal[] =
    "color:rgb(255, 255, 255);background-color:rgb(33, 36, 53);border:1px solid rgb(255,255,255);";
const char kFieldFocus[] =
    "color:rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);";
const char kPortCell[] = "background-color: #212435;border:1px solid #FFFFFF;";
const char kPortCellChosen[] = "background-color: #212435;border:1px solid #00D65B;";
const char kCellText[] = "background-color: #212435;color: #FFFFFF";
const char kTransparent[] = "background-color: transparent;";
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

const char kSmartDir[] = "/data/smartmapping";
const char kUsbDir[] = "/mnt/usb1/";
constexpr int kMaxFiles = 100;
constexpr int kRowsPerPage = 3;

const KorText kTitle = {"智能调屏", "Smart debugging screen", "Умная регулировка экрана",
                        "Điều chỉnh màn hình thông minh", "智能調屏"};
const KorText kShortcut = {"快捷点屏", "Debugging\nscreen", "Быстрое каса\nние экрана", "Chạm vào màn\nhình nhanh",
                           "快捷點屏"};
const KorText kLoadscan = {"加载扫描", "Load scan", "Загрузить\nсканирование", "Cài đặt\nquét", "加載掃描"};
const KorText kParaweld = {"参数固化", "Curing\nparameter", "Фиксация\nпараметров", "Lưu thông\nsố", "參數固化"};
const KorText kStep1 = {"步骤1箱体设置", "Step 1 Cabinet setup", "Шаг 1. Настройка кабинета",
                        "Bước 1: Thiết lập cabin", "步驟1箱體設置"};
const KorText kBoxWidth = {"箱体宽度", "Cabinet width", "Ширина кабинета", "Chiều rộng cabin", "箱體寬度"};
const KorText kBoxHeight = {"箱体高度", "Cabinet height", "Высота кабинета", "Chiều cao cabin", "箱體高度"};
const KorText kNext = {"下一步", "Next", "Следующий\nшаг", "Bước tiếp theo", "下一步"};
const KorText kStep2 = {"步骤2选择网口", "Step 2 Select port", "Шаг 2. Выберите сетевой порт",
                        "Bước 2 :Chọn cổng mạng", "步驟2選擇網口"};
const KorText kGroup = {"网口%d~%d", "LED%d~%d", "LED%d~%d", "LED%d~%d", "網口%d~%d"};
const KorText kPrevious = {"上一步", "Previous", "Предыдущий\nшаг", "Thao tác\nphía trước", "上一步"};
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
const KorText kRouting = {"走线%d", "Routing %d", "След%d", "Dấu vết%d", "走線%d"};
const KorText kCancel = {"取消", "Cancle", "Отмена", "Hủy bỏ", "取消"};
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
const KorText kCuring = {"参数固化操作", "Parameter curing operation", "Операция отверждения параметров",
                         "Lưu thông số", "參數固化操作"};
const KorText kConfirm = {"确定", "OK", "OK", "Đồng ý", "確定"};
const KorText kMappingSwitch = {"Mapping开关", "Mapping switch", "Переключатель сопоставления", "Bật mapping",
                                "Mapping開關"};

void set_style(QWidget *w, const char *style)
{
    w->setStyleSheet(QString::fromLatin1(style));
}

void set_point_size(QWidget *w, int points)
{
    QFont f = w->font();
    if (f.pointSize() == points)
        return;
    f.setPointSize(points);
    w->setFont(f);
}

// Chinese texts are short; the long Russian and Vietnamese ones get smaller type.
int text_points(int chinese, int english, int other)
{
    switch (kor_shown_language()) {
    case 0:
    case 4:
        return chinese;
    case 1:
        return english;
    default:
        return other;
    }
}

void set_text(QLabel *label, const KorText &text)
{
    label->setText(kor_tr(text));
    set_point_size(label, text_points(9, 8, 7));
}

void set_text(QAbstractButton *button, const KorText &text)
{
    button->setText(kor_tr(text));
    set_point_size(button, text_points(9, 7, 7));
}

// The tables keep the "%d" of their texts; filled in here.
QString filled(const KorText &text, int n)
{
    QString s = kor_tr(text);
    s.replace(QLatin1String("%d"), QStringLiteral("%1"));
    return s.arg(n);
}

QString group_text(int first)
{
    QString s = kor_tr(kGroup);
    s.replace(QLatin1String("%d~%d"), QStringLiteral("%1~%2"));
    return s.arg(first).arg(first + 7);
}

// The routing icons, decoded once for the life of the program.
const QIcon &route_icon(int pattern)
{
    static QIcon icons[16];
    QIcon &icon = icons[pattern - 1];
    if (icon.isNull())
        icon = QIcon(QStringLiteral(":/png/line%1.png").arg(pattern));
    return icon;
}

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

// Board paths of the ".ykfile" files of a directory, directory order, at most `room`.
QStringList list_ykfiles(const QString &board_dir, int room)
{
    QStringList out;
    if (room <= 0)
        return out;
    const QDir dir(kor_path(board_dir));
    if (!dir.exists())
        return out;
    QString base = board_dir;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Unsorted);
    for (const QFileInfo &fi : entries) {
        if (fi.suffix() != QLatin1String("ykfile"))
            continue;
        out << base + QLatin1Char('/') + fi.fileName();
        if (out.size() >= room)
            break;
    }
    return out;
}
}

// ---- Construction ---------------------------------------------------------------------------

SmartMapping::SmartMapping(QWidget *parent) : KorPage(24, parent), ui(new Ui::SmartMapping)
{
    ui->setupUi(this);
    m_entries[0] = ui->Button_shortcut;
    m_entries[1] = ui->Button_loadscan;
    m_entries[2] = ui->Button_paraweld;
    m_entries[3] = ui->Button_mapping;
    QPushButton *const groups[8] = {ui->Button_wlan1, ui->Button_wlan2, ui->Button_wlan3, ui->Button_wlan4,
                                    ui->Button_wlan5, ui->Button_wlan6, ui->Button_wlan7, ui->Button_wlan8};
    std::copy(groups, groups + 8, m_group_buttons);
    QToolButton *const routes[17] = {ui->Button_route1,  ui->Button_route2,  ui->Button_route3,  ui->Button_route4,
                                     ui->Button_route5,  ui->Button_route6,  ui->Button_route7,  ui->Button_route8,
                                     ui->Button_route9,  ui->Button_route10, ui->Button_route11, ui->Button_route12,
                                     ui->Button_route13, ui->Button_route14, ui->Button_route15, ui->Button_route16,
                                     ui->Button_cancel};
    std::copy(routes, routes + 17, m_route_buttons);
    for (int n = 0; n < 16; ++n) {
        m_route_buttons[n]->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        m_route_buttons[n]->setIconSize(QSize(40, 25));
    }
    m_step1_items[0] = ui->lineEdit_X;
    m_step1_items[1] = ui->lineEdit_Y;
    m_step1_items[2] = ui->Button_next;
    m_step2_items[0] = ui->Button_wlan1;
    m_step2_items[1] = ui->Button_wlan2;
    m_step2_items[2] = ui->Button_front_2;
    m_step2_items[3] = ui->Button_next_2;
    m_step3_items[0] = ui->lineEdit_line;
    m_step3_items[1] = ui->lineEdit_column;
    m_step3_items[2] = ui->Button_route;
    m_step3_items[3] = ui->lineEdit_horzion;
    m_step3_items[4] = ui->lineEdit_vert;
    m_step3_items[5] = ui->Button_front_3;
    m_step3_items[6] = ui->Button_send;
    m_ls_items[0] = ui->Button_wlan5;
    m_ls_items[1] = ui->Button_wlan6;
    m_ls_items[2] = ui->Button_next_5;

    ui->stackedWidget->setCurrentIndex(0);
    m_last_group_button = ui->Button_wlan1;
    // Two groups of eight ports: the third and fourth group buttons are not used.
    for (int page = 0; page < 2; ++page) {
        m_group_buttons[4 * page + 2]->hide();
        m_group_buttons[4 * page + 3]->hide();
        m_group_buttons[4 * page]->setGeometry(10, 32, 55, 17);
        m_group_buttons[4 * page + 1]->setGeometry(70, 32, 55, 17);
    }
    line_type[8] = 0;
    line_type[11] = 1;
    // The stacked pages not shown are polished and texted when first shown.
    new KorStackPolish(ui->stackedWidget);
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, [this](int index) {
        if (m_texted[index] != kor_shown_language())
            text_page(index);
    });
    menulist_init();
    language_changed();
    m_list_shown = false;
    for (My_lineEdit *field : {ui->lineEdit_X, ui->lineEdit_Y, ui->lineEdit_line, ui->lineEdit_column,
                               ui->lineEdit_horzion, ui->lineEdit_vert})
        connect_number_field(field);
    follow_worker();
}

SmartMapping::~SmartMapping()
{
    delete ui;
}

// ---- Jobs and the ring ----------------------------------------------------------------------

bool SmartMapping::ring_shown()
{
    return g_qround_bar != nullptr;
}

void SmartMapping::follow_worker()
{
    fpga_manage *manager = fpga_manage::p_fpga_manage;
    if (m_follow || !manager || !manager->notifier())
        return;
    m_follow = manager->notifier()->follow_jobs(this, 1, 4, [this](int percent) { job_progress(percent); });
    // A job that failed, or a pack refused as corrupt, must not close the ring as a success does.
    manager->notifier()->follow_job_results(this, 1, 4, [](int result) {
        if (result != JobDone && g_tip)
            g_tip->tip_create(6);
    });
}

void SmartMapping::job_progress(int percent)
{
    emit sig_qround_bar_update(percent);
    if (m_usb_pending && !ring_shown())
        rebuild_list_after_usb();
}

bool SmartMapping::start_ring()
{
    // Without the worker nothing would ever close the ring and free the keys.
    follow_worker();
    if (ring_shown() || !m_follow)
        return false;
    QRoundProgressBar::create_qround_bar(this);
    connect(this, &SmartMapping::sig_qround_bar_update, g_qround_bar, &QRoundProgressBar::para_sync);
    return true;
}

// Ring and connection first: a job that ends at once must still find them.
void SmartMapping::start_job(int job)
{
    if (start_ring())
        kor_send_job(job);
}

bool SmartMapping::mode_key_refused() const
{
    return ring_shown();
}

// ---- Keys -----------------------------------------------------------------------------------

void SmartMapping::key_left()
{
    move_key(false);
}

void SmartMapping::key_right()
{
    move_key(true);
}

void SmartMapping::move_key(bool right)
{
    if (ring_shown())
        return;
    if (!m_in_tool) {
        column_move(right ? 1 : -1);
        return;
    }
    if (ui_select == 0) {
        if (m_shortcut_step == 0)
            right ? menulist_shortcut_page1_sel_right() : menulist_shortcut_page1_sel_left();
        else if (m_shortcut_step == 1)
            right ? menulist_shortcut_page2_sel_right() : menulist_shortcut_page2_sel_left();
        else if (m_route_picker)
            right ? menulist_shortcut_page3_button_route_sel_right() : menulist_shortcut_page3_button_route_sel_left();
        else
            right ? menulist_shortcut_page3_sel_right() : menulist_shortcut_page3_sel_left();
    } else if (ui_select == 1) {
        if (m_ls_sub == 0)
            right ? menulist_loadscan_page1_sel_right() : menulist_loadscan_page1_sel_left();
        else
            right ? menulist_loadscan_page2_sel_right() : menulist_loadscan_page2_sel_left();
    }
}

void SmartMapping::key_ok()
{
    static const Action kOk[4] = {&SmartMapping::menulist_shortcut_button_ok_page,
                                  &SmartMapping::menulist_loadscan_button_ok_page,
                                  &SmartMapping::menulist_paraweld_button_ok_page,
                                  &SmartMapping::menulist_mapping_button_ok_page};
    tool_key(&SmartMapping::column_enter, kOk);
}

void SmartMapping::key_back()
{
    static const Action kBack[4] = {&SmartMapping::menulist_shortcut_back_page,
                                    &SmartMapping::menulist_loadscan_back_page,
                                    &SmartMapping::menulist_paraweld_back_page,
                                    &SmartMapping::menulist_mapping_back_page};
    tool_key(&SmartMapping::Button_back_clicked, kBack);
}

void SmartMapping::tool_key(Action in_column, const Action (&in_tool)[4])
{
    if (ring_shown())
        return;
    (this->*(m_in_tool ? in_tool[std::min<int>(ui_select, 3)] : in_column))();
}

void SmartMapping::Button_back_clicked()
{
    if (ring_shown() || is_closed())
        return;
    go_back();
}

void SmartMapping::slot_Button_back_clicked()
{
    Button_back_clicked();
}

// ---- Tool column ----------------------------------------------------------------------------

QString SmartMapping::entry_style(int entry) const
{
    if (entry == 1 && m_file_count == 0)
        return QString::fromLatin1(kGreyed);
    if (entry == ui_select)
        return QString::fromLatin1(m_in_tool ? kChosen : kFocus);
    return QString::fromLatin1(kNormal);
}

void SmartMapping::refresh_column()
{
    for (int i = 0; i < 4; ++i)
        m_entries[i]->setStyleSheet(entry_style(i));
}

void SmartMapping::menulist_init()
{
    ui_select = 0;
    m_in_tool = false;
    m_shortcut_step = 0;
    set_style(ui->Button_shortcut, kFocus);
}

void SmartMapping::menulist_fuc_sel_default()
{
    // The entry being left: normal, or grey while there is nothing to load.
    const int entry = ui_select;
    set_style(m_entries[entry], entry == 1 && m_file_count == 0 ? kGreyed : kNormal);
}

void SmartMapping::column_move(int step)
{
    menulist_fuc_sel_default();
    int next = ui_select + step;
    // The load scan is skipped while there is nothing to load.
    if (next == 1 && m_file_count == 0)
        next += step;
    if (next > 3)
        next = 0;
    if (next < 0)
        next = 3;
    ui_select = uint8_t(next);
    set_style(m_entries[next], kFocus);
    menulist_main_sel();
}

void SmartMapping::menulist_main_sel()
{
    switch (ui_select) {
    case 0:
        show_stacked(0);
        break;
    case 1:
        show_stacked(4);
        menulist_loadscan_page1_init(0);
        break;
    case 2:
        show_stacked(6);
        break;
    default:
        on_Button_mapping_clicked();
        break;
    }
}

// Back out of a tool: its entry in the column is the selection again.
void SmartMapping::leave_tool(int entry)
{
    m_in_tool = false;
    set_style(m_entries[entry], kFocus);
}

void SmartMapping::column_enter()
{
    m_in_tool = true;
    switch (ui_select) {
    case 0:
        on_Button_shortcut_clicked();
        menulist_shortcut_page1_init();
        break;
    case 1:
        on_Button_loadscan_clicked();
        menulist_loadscan_page1_init(1);
        break;
    case 2:
        on_Button_paraweld_clicked();
        menulist_paraweld_page1_init();
        break;
    default:
        on_Button_mapping_clicked();
        menulist_mapping_page1_init();
        break;
    }
}

void SmartMapping::on_Button_shortcut_clicked() { open_tool(0); }
void SmartMapping::on_Button_loadscan_clicked() { open_tool(4); }
void SmartMapping::on_Button_paraweld_clicked() { open_tool(6); }

// ---- Stacked pages --------------------------------------------------------------------------

void SmartMapping::show_stacked(int index)
{
    text_page(index);
    ui->stackedWidget->setCurrentIndex(index);
}

void SmartMapping::text_page(int index)
{
    m_texted[index] = kor_shown_language();
    switch (index) {
    case 0: language_for_shortcutt_page0(); break;
    case 1: language_for_shortcutt_page1(); break;
    case 2: language_for_shortcutt_page2(); break;
    case 3: language_for_shortcutt_page3(); break;
    case 4: language_for_loadscan_page4(); break;
    case 5: language_for_loadscan_page5(); break;
    case 6: language_for_paraweld_page6(); break;
    default: language_for_mapping_onoff_page7(); break;
    }
}

bool SmartMapping::go_to_stacked(int index, bool retext)
{
    if (ring_shown())
        return false;
    if (retext)
        show_stacked(index);
    else
        ui->stackedWidget->setCurrentIndex(index);
    return true;
}

void SmartMapping::open_tool(int index)
{
    if (go_to_stacked(index, true))
        m_list_shown = false;
}

// ---- Texts ----------------------------------------------------------------------------------

void SmartMapping::language_changed()
{
    // The page shown now; the others are re-texted when next shown.
    text_page(ui->stackedWidget->currentIndex());

    // Available files: the device's pack directory, else the stick.
    fpga_manage *manager = fpga_manage::p_fpga_manage;
    if (manager && manager->p_rcv_recovery_file &&
        manager->p_rcv_recovery_file->get_dir_file(QString::fromLatin1(kSmartDir)) == 0)
        m_file_count = manager->p_rcv_recovery_file->file_count();
    if (m_file_count == 0)
        m_file_count = list_ykfiles(QString::fromLatin1(kUsbDir), kMaxFiles).size();

    ui->label_title->setText(kor_tr(kTitle));
    ui->Button_shortcut->setText(kor_tr(kShortcut));
    ui->Button_loadscan->setText(kor_tr(kLoadscan));
    ui->Button_paraweld->setText(kor_tr(kParaweld));
    ui->Button_mapping->setText(QStringLiteral("Mapping"));
    const int lang = kor_shown_language();
    const bool chinese = lang == 0 || lang == 4;
    static const int kChineseY[4] = {42, 77, 111, 145};
    static const int kOtherY[4] = {42, 87, 132, 177};
    static const int kPoints[5][4] = {{9, 9, 9, 9}, {7, 7, 7, 7}, {6, 6, 7, 7}, {6, 7, 7, 7}, {9, 9, 9, 9}};
    for (int i = 0; i < 4; ++i) {
        m_entries[i]->setGeometry(5, chinese ? kChineseY[i] : kOtherY[i], 65, chinese ? 20 : 30);
        set_point_size(m_entries[i], kPoints[lang][i]);
    }
    refresh_column();
}

void SmartMapping::language_for_shortcutt_page0()
{
    set_text(ui->label_step1, kStep1);
    set_text(ui->label_boxwidth, kBoxWidth);
    set_text(ui->label_boxheight, kBoxHeight);
    set_text(ui->Button_next, kNext);
}

void SmartMapping::language_for_shortcutt_page1()
{
    set_text(ui->label_step2, kStep2);
    ui->Button_wlan1->setText(group_text(1));
    ui->Button_wlan2->setText(group_text(9));
    set_text(ui->Button_front_2, kPrevious);
    set_text(ui->Button_next_2, kNext);
}

void SmartMapping::language_for_shortcutt_page2()
{
    set_text(ui->label_step3, kStep3);
    set_text(ui->label_boxline, kBoxLine);
    set_text(ui->label_boxlcolumn, kBoxColumn);
    set_text(ui->label_routeway, kRouteWay);
    set_text(ui->label_horizon, kHorizon);
    set_text(ui->label_vert, kVert);
    set_point_size(ui->label_horizon, text_points(9, 7, 7));
    set_point_size(ui->label_vert, text_points(9, 7, 7));
    set_text(ui->Button_front_3, kPrevious);
    set_text(ui->Button_send, kSend);
    // The stored pattern; only the picker changes it.
    show_route(line_type[11]);
}

void SmartMapping::language_for_shortcutt_page3()
{
    for (int n = 1; n <= 16; ++n) {
        m_route_buttons[n - 1]->setText(filled(kRouting, n));
        m_route_buttons[n - 1]->setIcon(route_icon(n));
    }
    ui->Button_cancel->setText(kor_tr(kCancel));
}

void SmartMapping::language_for_loadscan_page4()
{
    set_text(ui->label_step1_5, kLsStep1);
    ui->Button_wlan5->setText(group_text(1));
    ui->Button_wlan6->setText(group_text(9));
    set_text(ui->Button_next_5, kNext);
}

void SmartMapping::language_for_loadscan_page5()
{
    set_text(ui->label_step2_6, kLsStep2);
    ui->label_step2_7->setText(kor_tr(kLsFound));
    set_point_size(ui->label_step2_7, 7);
    set_text(ui->Button_front_6, kPrevious);
    set_text(ui->Button_load, kLoad);
    if (m_no_file_label)
        m_no_file_label->setText(kor_tr(kNoFile));
}

void SmartMapping::language_for_paraweld_page6()
{
    set_text(ui->label_step1_6, kCuring);
    set_text(ui->Button_confirm, kConfirm);
}

void SmartMapping::language_for_mapping_onoff_page7()
{
    set_text(ui->label_step1_7, kMappingSwitch);
}

void SmartMapping::show_numberkeyboard_ui(QString text)
{
    // The fields stay as they are while a job runs.
    if (ring_shown())
        return;
    KorPage::show_numberkeyboard_ui(text);
}

QString SmartMapping::number_keyboard_title(My_lineEdit *field) const
{
    if (field == ui->lineEdit_X)
        return kor_tr("箱体宽度", "width", "width", "width", "箱體寬度");
    if (field == ui->lineEdit_Y)
        return kor_tr("箱体高度", "height", "height", "height", "箱體高度");
    if (field == ui->lineEdit_line)
        return kor_tr("箱体行数", "rows", "rows", "rows", "箱體行數");
    if (field == ui->lineEdit_column)
        return kor_tr("箱体列数", "lines", "lines", "lines", "箱體列數");
    if (field == ui->lineEdit_horzion)
        return kor_tr("水平偏移", "Horizontal", "Horizontal", "Horizontal", "水平偏移");
    if (field == ui->lineEdit_vert)
        return kor_tr("垂直偏移", "Vertical", "Vertical", "Vertical", "垂直偏移");
    return KorPage::number_keyboard_title(field);
}

// ---- Refresh --------------------------------------------------------------------------------

void SmartMapping::syncUpdate(int code)
{
    if (code == 100) {
        kor_trace("\n SmartMapping::syncUpdate: USB disk added\n");
        return;
    }
    if (code == 101 || code == 102) {
        // The list is not touched while a job runs: the worker may not have taken the
        // chosen file yet. It is rebuilt when the job ends.
        if (ring_shown()) {
            m_usb_pending = true;
            return;
        }
        rebuild_list_after_usb();
        return;
    }
    retext_if_language_changed();
}

void SmartMapping::rebuild_list_after_usb()
{
    m_usb_pending = false;
    file_select = 0;
    if (!m_list_shown || ui->stackedWidget->currentIndex() != 5)
        return;
    on_Button_next_5_clicked();
    menulist_loadscan_page2_init();
}

// ---- Quick screen setup ---------------------------------------------------------------------

void SmartMapping::menulist_shortcut_default()
{
    for (int i = 0; i < 3; ++i)
        set_style(m_step1_items[i], i < 2 ? kFieldNormal : kNormal);
}

void SmartMapping::menulist_shortcut_page1_init()
{
    m_shortcut_step = 0;
    m_step1_item = 0;
    menulist_shortcut_default();
    set_style(ui->lineEdit_X, kFieldFocus);
    set_style(m_entries[0], kChosen);
}

void SmartMapping::step1_move(int step)
{
    set_style(m_step1_items[m_step1_item], m_step1_item < 2 ? kFieldNormal : kNormal);
    m_step1_item = (m_step1_item + step + 3) % 3;
    set_style(m_step1_items[m_step1_item], m_step1_item < 2 ? kFieldFocus : kFocus);
}

void SmartMapping::menulist_shortcut_page1_sel_right()
{
    step1_move(1);
}

void SmartMapping::menulist_shortcut_page1_sel_left()
{
    step1_move(-1);
}

void SmartMapping::on_Button_next_clicked()
{
    if (ring_shown())
        return;
    put_u16(line_type + 0, field_value(ui->lineEdit_X));
    put_u16(line_type + 2, field_value(ui->lineEdit_Y));
    on_Button_wlan1_clicked();
    show_stacked(1);
}

void SmartMapping::menulist_shortcut_page2_init()
{
    m_step2_item = 0;
    m_port_choice = false;
    set_style(ui->Button_wlan1, kFocus);
    set_style(ui->Button_wlan2, kNormal);
    set_style(ui->Button_front_2, kNormal);
    set_style(ui->Button_next_2, kNormal);
    m_shortcut_step = 1;
}

void SmartMapping::menulist_shortcut_page2_sel_default()
{
    set_style(m_step2_items[m_step2_item], kNormal);
}

void SmartMapping::menulist_shortcut_page2_sel_recovery()
{
    set_style(m_step2_items[m_step2_item], kFocus);
}

void SmartMapping::step2_move(int step)
{
    menulist_shortcut_page2_sel_default();
    m_step2_item = (m_step2_item + step + 4) % 4;
    // Arriving on a group shows its ports.
    if (m_step2_item < 2)
        show_group(m_step2_item + 1);
    set_style(m_step2_items[m_step2_item], kFieldFocus);
}

void SmartMapping::port_cell_move(int step)
{
    m_port_cell = (m_port_cell + step + 8) % 8;
    line_type[8] = uint8_t(m_port_cell + 8 * m_group);
    show_port_cells();
}

void SmartMapping::menulist_shortcut_page2_sel_right()
{
    page2_move(1);
}

void SmartMapping::menulist_shortcut_page2_sel_left()
{
    page2_move(-1);
}

void SmartMapping::page2_move(int step)
{
    if (m_port_choice)
        port_cell_move(step);
    else
        step2_move(step);
}

void SmartMapping::on_Button_front_2_clicked() { go_to_stacked(0); }

void SmartMapping::on_Button_next_2_clicked() { go_to_stacked(2, true); }

void SmartMapping::menulist_shortcut_page3_init()
{
    for (m_step3_item = 0; m_step3_item < 7; ++m_step3_item)
        menulist_shortcut_page3_sel_default();
    m_step3_item = 0;
    menulist_shortcut_page3_sel_recovery();
    m_route_picker = false;
    m_shortcut_step = 2;
}

void SmartMapping::menulist_shortcut_page3_sel_default()
{
    const int i = m_step3_item;
    set_style(m_step3_items[i], (i == 2 || i >= 5) ? kNormal : kFieldNormal);
}

void SmartMapping::menulist_shortcut_page3_sel_recovery()
{
    const int i = m_step3_item;
    set_style(m_step3_items[i], (i == 2 || i >= 5) ? kFocus : kFieldFocus);
}

void SmartMapping::step3_move(int step)
{
    menulist_shortcut_page3_sel_default();
    m_step3_item = (m_step3_item + step + 7) % 7;
    menulist_shortcut_page3_sel_recovery();
}

void SmartMapping::menulist_shortcut_page3_sel_right()
{
    step3_move(1);
}

void SmartMapping::menulist_shortcut_page3_sel_left()
{
    step3_move(-1);
}

void SmartMapping::on_Button_front_3_clicked() { go_to_stacked(1); }

void SmartMapping::on_Button_route_clicked() { go_to_stacked(3, true); }

void SmartMapping::menulist_shortcut_page3_button_route_init()
{
    set_style(m_route_buttons[m_route_item], kFieldNormal);
    m_route_picker = true;
    const int pattern = line_type[11];
    m_route_item = pattern >= 1 && pattern <= 16 ? pattern - 1 : 0;
    set_style(m_route_buttons[m_route_item], kFieldFocus);
}

void SmartMapping::route_move(int step)
{
    set_style(m_route_buttons[m_route_item], kFieldNormal);
    m_route_item = (m_route_item + step + 17) % 17;
    set_style(m_route_buttons[m_route_item], kFieldFocus);
}

void SmartMapping::menulist_shortcut_page3_button_route_sel_right()
{
    route_move(1);
}

void SmartMapping::menulist_shortcut_page3_button_route_sel_left()
{
    route_move(-1);
}

void SmartMapping::menulist_shortcut_page3_button_route_ok()
{
    if (m_route_item < 16)
        route_chosen(m_route_item + 1);
    else
        on_Button_cancel_clicked();
    m_route_picker = false;
    menulist_shortcut_page3_sel_recovery();
}

void SmartMapping::show_route(int pattern)
{
    if (pattern < 1 || pattern > 16)
        return;
    ui->Button_route->setIcon(route_icon(pattern));
    ui->Button_route->setText(filled(kRouting, pattern));
    ui->Button_route->setIconSize(QSize(30, 20));
}

void SmartMapping::line_select(char pattern)
{
    const int n = static_cast<unsigned char>(pattern);
    if (n < 1 || n > 16)
        return;
    show_route(n);
    line_type[11] = uint8_t(n);
}

void SmartMapping::route_chosen(int pattern)
{
    if (ring_shown())
        return;
    line_select(char(pattern));
    ui->stackedWidget->setCurrentIndex(2);
}

void SmartMapping::on_Button_route1_clicked() { route_chosen(1); }
void SmartMapping::on_Button_route2_clicked() { route_chosen(2); }
void SmartMapping::on_Button_route3_clicked() { route_chosen(3); }
void SmartMapping::on_Button_route4_clicked() { route_chosen(4); }
void SmartMapping::on_Button_route5_clicked() { route_chosen(5); }
void SmartMapping::on_Button_route6_clicked() { route_chosen(6); }
void SmartMapping::on_Button_route7_clicked() { route_chosen(7); }
void SmartMapping::on_Button_route8_clicked() { route_chosen(8); }
void SmartMapping::on_Button_route9_clicked() { route_chosen(9); }
void SmartMapping::on_Button_route10_clicked() { route_chosen(10); }
void SmartMapping::on_Button_route11_clicked() { route_chosen(11); }
void SmartMapping::on_Button_route12_clicked() { route_chosen(12); }
void SmartMapping::on_Button_route13_clicked() { route_chosen(13); }
void SmartMapping::on_Button_route14_clicked() { route_chosen(14); }
void SmartMapping::on_Button_route15_clicked() { route_chosen(15); }
void SmartMapping::on_Button_route16_clicked() { route_chosen(16); }

void SmartMapping::on_Button_cancel_clicked() { go_to_stacked(2); }

void SmartMapping::on_Button_send_clicked()
{
    if (ring_shown() || !fpga_manage::p_fpga_manage)
        return;
    line_type[9] = uint8_t(field_value(ui->lineEdit_line));
    line_type[10] = uint8_t(field_value(ui->lineEdit_column));
    put_u16(line_type + 4, field_value(ui->lineEdit_horzion));
    put_u16(line_type + 6, field_value(ui->lineEdit_vert));
    kor_trace("\n set the route_way = %d \n", int(line_type[11]));
    start_job(1);
}

void SmartMapping::menulist_shortcut_button_ok_page()
{
    if (m_shortcut_step == 0) {
        if (m_step1_item < 2) {
            emit_send_show(static_cast<My_lineEdit *>(m_step1_items[m_step1_item]));
        } else {
            on_Button_next_clicked();
            menulist_shortcut_page2_init();
        }
        return;
    }
    if (m_shortcut_step == 1) {
        if (m_port_choice) {
            m_port_choice = false;
            if (m_cell_buttons[m_port_cell])
                m_cell_buttons[m_port_cell]->click();
            menulist_shortcut_page2_sel_recovery();
            return;
        }
        switch (m_step2_item) {
        case 0:
        case 1:
            m_port_choice = true;
            m_saved_port = line_type[8];
            line_type[8] = uint8_t(m_step2_item * 8);
            show_group(m_step2_item + 1);
            set_style(m_step2_items[m_step2_item], kChosen);
            break;
        case 2:
            ui->stackedWidget->setCurrentIndex(0);
            m_shortcut_step = 0;
            break;
        default:
            on_Button_next_2_clicked();
            menulist_shortcut_page3_init();
            break;
        }
        return;
    }
    if (m_route_picker) {
        menulist_shortcut_page3_button_route_ok();
        return;
    }
    switch (m_step3_item) {
    case 2:
        on_Button_route_clicked();
        menulist_shortcut_page3_button_route_init();
        break;
    case 5:
        on_Button_front_3_clicked();
        m_shortcut_step = 1;
        break;
    case 6:
        on_Button_send_clicked();
        break;
    default:
        emit_send_show(static_cast<My_lineEdit *>(m_step3_items[m_step3_item]));
        break;
    }
}

void SmartMapping::menulist_shortcut_back_page()
{
    if (m_shortcut_step == 0) {
        leave_tool(0);
        set_style(m_step1_items[m_step1_item], m_step1_item < 2 ? kFieldNormal : kNormal);
        return;
    }
    if (m_shortcut_step == 1) {
        if (m_port_choice) {
            // Leaves the port choice without keeping it.
            m_port_choice = false;
            line_type[8] = m_saved_port;
            show_group(m_group + 1);
            menulist_shortcut_page2_sel_recovery();
            return;
        }
        ui->stackedWidget->setCurrentIndex(0);
        m_shortcut_step = 0;
        return;
    }
    if (m_route_picker) {
        // As Cancel.
        set_style(m_route_buttons[m_route_item], kFieldNormal);
        m_route_item = 16;
        menulist_shortcut_page3_button_route_ok();
        return;
    }
    menulist_shortcut_page3_sel_default();
    on_Button_front_3_clicked();
    m_shortcut_step = 1;
}

// ---- Port cells -----------------------------------------------------------------------------

void SmartMapping::wlan_foucus_style(QPushButton *group_button)
{
    if (m_last_group_button)
        set_style(m_last_group_button, kNormal);
    set_style(group_button, kGroupShown);
    m_last_group_button = group_button;
}

void SmartMapping::show_group(int button_number)
{
    // Only the groups in use: 1 and 2 on the quick setup, 5 and 6 on the load scan.
    if (button_number == 1 || button_number == 2 || button_number == 5 || button_number == 6)
        group_clicked(button_number);
}

// Group buttons 1 to 4 draw their ports on the quick setup, 5 to 8 on the load scan.
void SmartMapping::group_clicked(int button_number)
{
    if (ring_shown())
        return;
    wlan_foucus_style(m_group_buttons[button_number - 1]);
    m_group = (button_number - 1) % 4;
    m_port_cell = 0;
    wlan_init(button_number > 4 ? 1 : 0, 0);
}

void SmartMapping::on_Button_wlan1_clicked() { group_clicked(1); }
void SmartMapping::on_Button_wlan2_clicked() { group_clicked(2); }
void SmartMapping::on_Button_wlan3_clicked() { group_clicked(3); }
void SmartMapping::on_Button_wlan4_clicked() { group_clicked(4); }
void SmartMapping::on_Button_wlan5_clicked() { group_clicked(5); }
void SmartMapping::on_Button_wlan6_clicked() { group_clicked(6); }
void SmartMapping::on_Button_wlan7_clicked() { group_clicked(7); }
void SmartMapping::on_Button_wlan8_clicked() { group_clicked(8); }

void SmartMapping::wlan_init(unsigned char on_loadscan, unsigned char)
{
    kor_retire_frame(m_cells_frame);
    m_cells_page = on_loadscan ? 4 : 1;
    QWidget *page = on_loadscan ? ui->page_5 : ui->page_2;
    m_cells_frame = new QFrame(page);
    m_cells_frame->setObjectName(QStringLiteral("frame_wlan"));
    m_cells_frame->setGeometry(1, 59, 230, 88);
    QFont cell_font = font();
    cell_font.setPixelSize(8);
    const QPixmap offline(QStringLiteral(":/png/offline.png"));
    for (int i = 0; i < 8; ++i) {
        const int x = 55 * (i % 4);
        const int y = 45 * (i / 4);
        QFrame *cell = new QFrame(m_cells_frame);
        cell->setGeometry(10 + x, 2 + y, 50, 40);
        m_cell_chosen[i] = i + 8 * m_group == line_type[8];
        set_style(cell, m_cell_chosen[i] ? kPortCellChosen : kPortCell);
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
        set_style(text, kCellText);
        QPushButton *button = new QPushButton(m_cells_frame);
        button->setGeometry(11 + x, 3 + y, 48, 38);
        button->setFlat(true);
        set_style(button, kTransparent);
        button->setFocusPolicy(Qt::NoFocus);
        button->setObjectName(QString::number(i));
        connect(button, &QPushButton::clicked, this, &SmartMapping::kor_button_wlan_clicked);
        m_cell_buttons[i] = button;
    }
    m_cells_frame->show();
}

void SmartMapping::show_port_cells()
{
    // Only the cells whose state changed are restyled.
    for (int i = 0; i < 8; ++i) {
        const bool chosen = i + 8 * m_group == line_type[8];
        if (!m_cell_frames[i] || chosen == m_cell_chosen[i])
            continue;
        m_cell_chosen[i] = chosen;
        set_style(m_cell_frames[i], chosen ? kPortCellChosen : kPortCell);
    }
}

void SmartMapping::kor_button_wlan_clicked()
{
    if (ring_shown())
        return;
    const int cell = kor_button_number(sender());
    if (cell < 0 || cell > 7)
        return;
    m_port_cell = cell;
    const uint8_t port = uint8_t(m_group * 8 + cell);
    line_type[8] = port;
    if (m_cells_page == 4)
        m_ls_saved_port = port;
    else
        m_saved_port = port;
    show_port_cells();
}

// ---- Load scan: port step -------------------------------------------------------------------

void SmartMapping::menulist_loadscan_page1_init(unsigned char enter)
{
    const uint8_t port = line_type[8];
    if (port < 8)
        on_Button_wlan5_clicked();
    else if (port < 16)
        on_Button_wlan6_clicked();
    for (int i = 0; i < 3; ++i)
        set_style(m_ls_items[i], kNormal);
    m_ls_item = m_group == 1 ? 1 : 0;
    m_ls_port_choice = false;
    m_ls_port_confirmed = false;
    m_ls_sub = 0;
    if (enter) {
        menulist_loadscan_page1_sel_recovery();
        set_style(m_entries[1], kChosen);
    } else {
        menulist_loadscan_page1_sel_default();
        set_style(m_entries[1], m_file_count ? kFocus : kGreyed);
    }
}

void SmartMapping::menulist_loadscan_page1_sel_default()
{
    set_style(m_ls_items[m_ls_item], kNormal);
}

void SmartMapping::menulist_loadscan_page1_sel_recovery()
{
    set_style(m_ls_items[m_ls_item], kFocus);
}

void SmartMapping::loadscan_port_move(int step)
{
    if (m_ls_port_choice) {
        port_cell_move(step);
        return;
    }
    menulist_loadscan_page1_sel_default();
    m_ls_item = (m_ls_item + step + 3) % 3;
    if (m_ls_item < 2)
        show_group(m_ls_item + 5);
    menulist_loadscan_page1_sel_recovery();
}

void SmartMapping::menulist_loadscan_page1_sel_right()
{
    loadscan_port_move(1);
}

void SmartMapping::menulist_loadscan_page1_sel_left()
{
    loadscan_port_move(-1);
}

// ---- Load scan: file list -------------------------------------------------------------------

void SmartMapping::get_file_list_smartpath()
{
    const QStringList found = list_ykfiles(QString::fromLatin1(kSmartDir), kMaxFiles);
    m_files += found;
    m_internal_count = found.size();
}

void SmartMapping::get_file_list_usbpath()
{
    const QStringList found = list_ykfiles(QString::fromLatin1(kUsbDir), kMaxFiles - m_internal_count);
    m_files += found;
    m_total = m_internal_count + found.size();
}

void SmartMapping::on_Button_next_5_clicked()
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

int SmartMapping::rows_on_page() const
{
    const int first = kRowsPerPage * current_page;
    if (first >= m_total)
        return 0;
    return std::min(kRowsPerPage, m_total - first);
}

void SmartMapping::style_row(int row, RowState state)
{
    if (row < 0 || row >= kRowsPerPage || !m_rows[row].label)
        return;
    m_rows[row].label->setStyleSheet(QString::fromLatin1(kRowStyle[m_rows[row].usb ? 1 : 0][state]));
}

void SmartMapping::choose_row(int row)
{
    // The row drawn as chosen is always the file that Load sends.
    file_select = row;
    g_ykfile_name = m_rows[row].path.toStdString();
    style_row(row, RowCursor);
}

void SmartMapping::scan_file_list()
{
    kor_retire_frame(m_file_frame);
    for (FileRow &row : m_rows)
        row = FileRow();
    m_no_file_label = nullptr;
    m_file_frame = kor_list_frame(ui->page_6, QRect(10, 55, 220, 90));
    QFont row_font = font();
    row_font.setPointSize(7);
    const int rows = rows_on_page();
    if (rows == 0) {
        m_no_file_label = kor_list_label(m_file_frame, 0, 200, 40, row_font);
        set_style(m_no_file_label, kNoFileStyle);
        m_no_file_label->setText(kor_tr(kNoFile));
        file_select = 0;
        g_ykfile_name.clear();
    } else {
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
            row.label = kor_list_label(m_file_frame, r, 190, 20, row_font);
            // A file name is shown as it is, never read as markup.
            row.label->setTextFormat(Qt::PlainText);
            row.label->setText(row.name);
            row.button = kor_list_row_button(m_file_frame, r, 190);
            set_style(row.button, kTransparent);
            connect(row.button, &QPushButton::clicked, this, &SmartMapping::kor_button_file_clicked);
            if (r == file_select)
                choose_row(r);
            else
                style_row(r, RowNotChosen);
        }
    }
    if (current_page >= 1)
        connect(kor_list_page_button(m_file_frame, QStringLiteral("Button_previous"), QRect(200, 5, 15, 20),
                                     QStringLiteral(":/png/previous.png")),
                &QPushButton::clicked, this, &SmartMapping::kor_Button_previous_clicked);
    if (current_page < m_last_page)
        connect(kor_list_page_button(m_file_frame, QStringLiteral("Button_next_page"), QRect(200, 55, 15, 20),
                                     QStringLiteral(":/png/next.png")),
                &QPushButton::clicked, this, &SmartMapping::kor_Button_next_clicked);
    m_file_frame->show();
    ui->stackedWidget->setCurrentIndex(5);
}

void SmartMapping::kor_Button_previous_clicked() { turn_page(std::max(0, current_page - 1)); }
// Past the last page: the first.
void SmartMapping::kor_Button_next_clicked() { turn_page(current_page < m_last_page ? current_page + 1 : 0); }

void SmartMapping::turn_page(int page)
{
    if (ring_shown())
        return;
    current_page = page;
    kor_trace("\n current_page = %d\n", current_page);
    scan_file_list();
}

void SmartMapping::kor_button_file_clicked()
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

void SmartMapping::menulist_loadscan_page2_init()
{
    set_style(ui->Button_front_6, kNormal);
    set_style(ui->Button_load, kNormal);
    m_current_button = m_total ? 1 : 0;
    if (!m_total)
        set_style(ui->Button_front_6, kFocus);
    m_button_mode = false;
    m_ls_sub = 1;
}

void SmartMapping::menulist_loadscan_page2_sel_default()
{
    set_style(m_current_button ? ui->Button_load : ui->Button_front_6, kNormal);
}

void SmartMapping::menulist_loadscan_page2_sel_recovery()
{
    set_style(m_current_button ? ui->Button_load : ui->Button_front_6, kFocus);
}

// Between Previous and Load: there are only the two.
void SmartMapping::loadscan_button_toggle()
{
    menulist_loadscan_page2_sel_default();
    m_current_button ^= 1;
    menulist_loadscan_page2_sel_recovery();
}

void SmartMapping::menulist_loadscan_page2_sel_right()
{
    const int rows = rows_on_page();
    if (m_button_mode || rows == 0) {
        loadscan_button_toggle();
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

void SmartMapping::menulist_loadscan_page2_sel_left()
{
    const int rows = rows_on_page();
    if (m_button_mode || rows == 0) {
        loadscan_button_toggle();
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

void SmartMapping::menulist_loadscan_button_ok_page()
{
    if (m_ls_sub == 0) {
        if (m_ls_port_choice) {
            if (m_cell_buttons[m_port_cell])
                m_cell_buttons[m_port_cell]->click();
            m_ls_port_choice = false;
            m_ls_port_confirmed = true;
            menulist_loadscan_page1_sel_recovery();
        } else if (m_ls_item == 2) {
            on_Button_next_5_clicked();
            menulist_loadscan_page2_init();
        } else {
            m_ls_port_choice = true;
            m_ls_saved_port = line_type[8];
            show_group(m_ls_item + 5);
        }
        return;
    }
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
        set_style(ui->Button_load, kNormal);
        style_row(file_select, RowCursor);
        m_button_mode = false;
    }
}

void SmartMapping::menulist_loadscan_back_page()
{
    if (m_ls_sub == 0) {
        if (m_ls_port_choice) {
            m_ls_port_choice = false;
            if (m_ls_port_confirmed)
                line_type[8] = m_ls_saved_port;
            show_group(m_ls_item + 5);
            menulist_loadscan_page1_sel_recovery();
            return;
        }
        leave_tool(1);
        menulist_loadscan_page1_sel_default();
        return;
    }
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

void SmartMapping::on_Button_front_6_clicked() { go_to_stacked(4); }

void SmartMapping::on_Button_load_clicked()
{
    if (!g_ykfile_name.empty())
        start_job(2);
}

// ---- Curing and the mapping switch ----------------------------------------------------------

void SmartMapping::menulist_paraweld_page1_init()
{
    set_style(m_entries[2], kChosen);
    set_style(ui->Button_confirm, kFocus);
}

void SmartMapping::menulist_paraweld_button_ok_page()
{
    on_Button_confirm_clicked();
    on_Button_paraweld_clicked();
}

void SmartMapping::menulist_paraweld_back_page()
{
    leave_tool(2);
    set_style(ui->Button_confirm, kNormal);
}

void SmartMapping::on_Button_confirm_clicked()
{
    start_job(3);
}

void SmartMapping::show_mapping_state(bool on)
{
    ui->Button_mapping_state->setIcon(
        QIcon(on ? QStringLiteral(":/png/button_on.png") : QStringLiteral(":/png/button_off.png")));
    ui->Button_mapping_state->setIconSize(QSize(40, 20));
}

void SmartMapping::on_Button_mapping_clicked()
{
    if (ring_shown())
        return;
    bool on = false;
    if (fpga_manage *manager = fpga_manage::p_fpga_manage) {
        manager->read_from_register(0, 0);
        on = manager->MCU_REG_func[0][0] & 0x80;
    }
    show_mapping_state(on);
    open_tool(7);
}

void SmartMapping::menulist_mapping_page1_init()
{
    set_style(m_entries[3], kChosen);
    set_style(ui->Button_mapping_state, kFocus);
}

void SmartMapping::menulist_mapping_button_ok_page()
{
    ui->Button_mapping_state->click();
}

void SmartMapping::menulist_mapping_back_page()
{
    leave_tool(3);
    set_style(ui->Button_mapping_state, kNormal);
}

void SmartMapping::on_Button_mapping_state_clicked()
{
    if (!start_ring())
        return;
    fpga_manage *manager = fpga_manage::p_fpga_manage;
    manager->read_from_register(0, 0);
    const bool on = manager->MCU_REG_func[0][0] & 0x80;
    manager->write_to_register(0, 0x80, on ? 0 : 0x80, 0);
    show_mapping_state(!on);
    const uint32_t value = on ? 0 : 9;
    for (int i = 0; i < 4; ++i)
        g_send_para[16 + i] = uint8_t(value >> (8 * i));
    kor_send_job(4);
}
