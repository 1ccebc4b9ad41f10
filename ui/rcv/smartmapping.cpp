#include "ui/rcv/smartmapping.h"

#include "core/global.h"
#include "fpga/fpga_manage.h"
#include "fpga/rcv_recovery_file.h"
#include "hostlink/host_events.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/smartmapping_loadscan.h"
#include "ui/rcv/smartmapping_ports.h"
#include "ui/rcv/smartmapping_quick.h"
#include "ui/rcv/smartmapping_tools.h"
#include "ui/shell/tip.h"
#include "ui_smartmapping.h"

#include <QStackedWidget>
#include <algorithm>

SmartMapping *g_smartmapping = nullptr;

void kor_page_register_SmartMapping()
{
    kor_page_register<SmartMapping>(KorPageNo::SmartMapping, &g_smartmapping, KorPageNo::Option);
    host_pages::set_smartmapping_back_hook([] {
        if (g_smartmapping && !g_smartmapping->is_closed())
            g_smartmapping->Button_back_clicked();
    });
}

// ---- Construction ---------------------------------------------------------------------------

SmartMapping::SmartMapping(QWidget *parent) : KorPage(KorPageNo::SmartMapping, parent), ui(new Ui::SmartMapping)
{
    ui->setupUi(this);
    connect(ui->Button_shortcut, &QPushButton::clicked, this, &SmartMapping::on_Button_shortcut_clicked);
    connect(ui->Button_loadscan, &QPushButton::clicked, this, &SmartMapping::on_Button_loadscan_clicked);
    connect(ui->Button_paraweld, &QPushButton::clicked, this, &SmartMapping::on_Button_paraweld_clicked);
    connect(ui->Button_mapping, &QPushButton::clicked, this, &SmartMapping::on_Button_mapping_clicked);
    m_ports = new SmartMappingPorts(this);
    m_parts[0] = m_quick = new SmartMappingQuick(this);
    m_parts[1] = m_scan = new SmartMappingLoadScan(this);
    m_parts[2] = new SmartMappingCuring(this);
    m_parts[3] = m_switch = new SmartMappingSwitch(this);
    for (QWidget *entry : {ui->Button_shortcut, ui->Button_loadscan, ui->Button_paraweld, ui->Button_mapping})
        focus.add(entry, QString::fromLatin1(SmStyle::normal), QString::fromLatin1(SmStyle::focus));

    ui->stackedWidget->setCurrentIndex(0);
    line_type[8] = 0;
    line_type[11] = 1;
    // The first step shows with the page; the other stacked pages are built when first reached
    // and texted when shown in a language they were not texted in.
    stacked_page(0);
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, [this](int index) {
        if (m_texted[index] != kor_shown_language())
            text_page(index);
    });
    menulist_init();
    language_changed();
    follow_worker();
}

SmartMapping::~SmartMapping()
{
    delete ui;
}

QWidget *SmartMapping::stacked_page(int index)
{
    // The form holds the first; the others, empty until their forms are set up, are added in
    // order when first reached.
    static const char *const kNames[8] = {"page", "page_2", "page_3", "page_4", "page_5", "page_6", "page_7", "page_8"};
    QStackedWidget *stack = ui->stackedWidget;
    while (index < 8 && stack->count() <= index) {
        QWidget *added = new QWidget;
        added->setObjectName(QString::fromLatin1(kNames[stack->count()]));
        stack->addWidget(added);
    }
    QWidget *page = stack->widget(index);
    if (page && !m_built[index]) {
        m_built[index] = true;
        part_of(index)->build_page(index, page);
    }
    return page;
}

SmartMappingPart *SmartMapping::tool() const
{
    return m_parts[std::min<int>(ui_select, 3)];
}

SmartMappingPart *SmartMapping::part_of(int stacked) const
{
    static const int kTool[8] = {0, 0, 0, 0, 1, 1, 2, 3};
    return m_parts[kTool[std::max(0, std::min(stacked, 7))]];
}

// ---- Jobs and the ring ----------------------------------------------------------------------

bool SmartMapping::ring_shown()
{
    return KorJobRing::shown();
}

void SmartMapping::follow_worker()
{
    m_ring.follow(this, 1, 4, [this](int) {
        if (m_usb_pending && !ring_shown()) {
            m_usb_pending = false;
            m_scan->usb_changed();
        }
    });
    fpga_manage *manager = fpga_manage::p_fpga_manage;
    if (m_results || !manager)
        return;
    // A job that failed, or a pack refused as corrupt, must not close the ring as a success does.
    m_results = manager->notifier()->follow_job_results(this, 1, 4, [](int result) {
        if (result != JobDone && g_tip)
            g_tip->tip_create(6);
    });
}

bool SmartMapping::start_ring()
{
    follow_worker();
    return m_ring.show();
}

// Ring and connection first: a job that ends at once must still find them.
void SmartMapping::start_job(int job)
{
    follow_worker();
    m_ring.start(uint8_t(job));
}

bool SmartMapping::mode_key_refused() const
{
    return ring_shown();
}

// ---- Keys -----------------------------------------------------------------------------------

void SmartMapping::key_left()
{
    route_key(KorKey::Left);
}

void SmartMapping::key_right()
{
    route_key(KorKey::Right);
}

void SmartMapping::key_ok()
{
    route_key(KorKey::Ok);
}

void SmartMapping::key_back()
{
    route_key(KorKey::Back);
}

void SmartMapping::route_key(KorKey key)
{
    if (ring_shown())
        return;
    const int step = key == KorKey::Right ? 1 : -1;
    if (m_in_tool) {
        SmartMappingPart *part = tool();
        if (key == KorKey::Ok)
            part->key_ok();
        else if (key == KorKey::Back)
            part->key_back();
        else
            part->key_move(step);
    } else if (key == KorKey::Ok) {
        column_enter();
    } else if (key == KorKey::Back) {
        Button_back_clicked();
    } else {
        column_move(step);
    }
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

void SmartMapping::show_entry(int entry, const char *style)
{
    sm_show(focus.at(entry), style);
}

void SmartMapping::refresh_column()
{
    for (int i = 0; i < 4; ++i) {
        if (i == 1 && m_file_count == 0)
            show_entry(i, SmStyle::greyed);
        else if (i == ui_select)
            show_entry(i, m_in_tool ? KorStyle::chosen : SmStyle::focus);
        else
            show_entry(i, SmStyle::normal);
    }
}

void SmartMapping::menulist_init()
{
    ui_select = 0;
    m_in_tool = false;
    show_entry(0, SmStyle::focus);
}

// The entry being left: normal, or grey while there is nothing to load.
void SmartMapping::menulist_fuc_sel_default()
{
    focus.show_normal(ui_select);
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
    focus.start(next);
    menulist_main_sel();
}

void SmartMapping::menulist_main_sel()
{
    tool()->open(false);
}

void SmartMapping::leave_tool(int entry)
{
    m_in_tool = false;
    show_entry(entry, SmStyle::focus);
}

void SmartMapping::column_enter()
{
    m_in_tool = true;
    tool()->open(true);
}

void SmartMapping::on_Button_shortcut_clicked() { open_tool(0); }
void SmartMapping::on_Button_loadscan_clicked() { open_tool(4); }
void SmartMapping::on_Button_paraweld_clicked() { open_tool(6); }
void SmartMapping::on_Button_mapping_clicked() { m_switch->show_state(); }

// ---- Stacked pages --------------------------------------------------------------------------

int SmartMapping::shown_stacked() const
{
    return ui->stackedWidget->currentIndex();
}

void SmartMapping::text_page(int index)
{
    m_texted[index] = kor_shown_language();
    part_of(index)->text_page(index);
}

bool SmartMapping::go_to_stacked(int index, bool retext)
{
    if (ring_shown())
        return false;
    stacked_page(index);
    if (retext)
        text_page(index);
    ui->stackedWidget->setCurrentIndex(index);
    return true;
}

void SmartMapping::open_tool(int index)
{
    // Reached by touch also while a job runs: its buttons are there, doing nothing.
    if (stacked_page(index) && go_to_stacked(index, true))
        m_scan->forget_list();
}

// ---- Texts ----------------------------------------------------------------------------------

void SmartMapping::language_changed()
{
    // The page shown now; the others are re-texted when next shown.
    text_page(ui->stackedWidget->currentIndex());

    // Available files: the device's pack directory, else the stick.
    fpga_manage *manager = fpga_manage::p_fpga_manage;
    if (manager && manager->rcv_recovery_file() &&
        manager->rcv_recovery_file()->get_dir_file(QString::fromLatin1(kSmSmartDir)) == 0)
        m_file_count = manager->rcv_recovery_file()->file_count();
    if (m_file_count == 0)
        m_file_count = sm_list_ykfiles(QString::fromLatin1(kSmUsbDir), kSmMaxFiles).size();
    focus.set_styles(1, QString::fromLatin1(m_file_count ? SmStyle::normal : SmStyle::greyed),
                     QString::fromLatin1(SmStyle::focus));

    ui->label_title->setText(
        kor_tr("智能调屏", "Smart debugging screen", "Умная регулировка экрана", "Điều chỉnh màn hình thông minh", "智能調屏"));
    ui->Button_shortcut->setText(
        kor_tr("快捷点屏", "Debugging\nscreen", "Быстрое каса\nние экрана", "Chạm vào màn\nhình nhanh", "快捷點屏"));
    ui->Button_loadscan->setText(kor_tr("加载扫描", "Load scan", "Загрузить\nсканирование", "Cài đặt\nquét", "加載掃描"));
    ui->Button_paraweld->setText(kor_tr("参数固化", "Curing\nparameter", "Фиксация\nпараметров", "Lưu thông\nsố", "參數固化"));
    ui->Button_mapping->setText(QStringLiteral("Mapping"));
    const int lang = kor_shown_language();
    const bool chinese = lang == 0 || lang == 4;
    static const int kChineseY[4] = {42, 77, 111, 145};
    static const int kOtherY[4] = {42, 87, 132, 177};
    static const int kPoints[5][4] = {{9, 9, 9, 9}, {7, 7, 7, 7}, {6, 6, 7, 7}, {6, 7, 7, 7}, {9, 9, 9, 9}};
    for (int i = 0; i < 4; ++i) {
        focus.at(i)->setGeometry(5, chinese ? kChineseY[i] : kOtherY[i], 65, chinese ? 20 : 30);
        sm_point_size(focus.at(i), kPoints[lang][i]);
    }
    refresh_column();
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
    const QString title = m_quick->keyboard_title(field);
    return title.isEmpty() ? KorPage::number_keyboard_title(field) : title;
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
        m_usb_pending = false;
        m_scan->usb_changed();
        return;
    }
    retext_if_language_changed();
}
