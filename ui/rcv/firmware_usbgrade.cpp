#include "ui/rcv/firmware_usbgrade.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_job_request.h"
#include "fpga/fpga_manage.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/kor_list_frame.h"
#include "ui_firmware_usbgrade.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cstdint>

firmware_usbgrade *g_firmware_usbgrade = nullptr;
KOR_PAGE(firmware_usbgrade, g_firmware_usbgrade, LinkOption)

namespace {
// The one style the page applies (to Button_grade).
const char kButtonSelected[] = "color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);";

const char kMarked[] = "background-color:#4777FF;color: #FFFFFF;";
const char kUnmarked[] = "background-color: rgb(33, 36, 53);color: #FFFFFF";
const char kUnmarkedClick[] = "background-color: rgb(33, 36, 53);color: #FFFFFF;";

QString no_files_text()
{
    return kor_tr("无加载文件!", "No loaded file!", "Нет файлов для загрузки!", "Không có tập tin để tải!", "無加載文件!");
}

QFont small_font()
{
    QFont font;
    font.setPointSize(7);
    return font;
}
}

firmware_usbgrade::firmware_usbgrade(QWidget *parent) : KorPage(KorPageNo::firmware_usbgrade, parent), ui(new Ui::firmware_usbgrade)
{
    ui->setupUi(this);
    ui->label_log->setTextFormat(Qt::RichText);
    ui->label_log->clear();
    // menulist_init scans the stick; the listing follows once.
    menulist_init();
    upgrade_file_list();
    language_changed();
}

firmware_usbgrade::~firmware_usbgrade()
{
    delete ui;
}

void firmware_usbgrade::menulist_init()
{
    ui_select = 0;
    ui->Button_grade->setStyleSheet(QString::fromLatin1(kButtonSelected));
    get_file_list_smartpath();
}

void firmware_usbgrade::language_changed()
{
    ui->label_usb_update->setText(
        kor_tr("USB升级", "USB UPDATE", "Обновление через USB", "Sử dụng ổ USB  để cập nhập", "USB昇級"));
    ui->Button_grade->setText(kor_tr("确定", "OK", "OK", "Đồng ý", "確定"));
    if (m_empty_label)
        m_empty_label->setText(no_files_text());
}

void firmware_usbgrade::get_file_list_smartpath()
{
    static_assert(kMaxFiles >= fpga_manage::kMaxPackages, "a mark for every package listed");
    // Every scan starts afresh: a rescan never lists a package twice. The engine installs
    // what is listed here.
    m_file_list = fpga_manage::get_usb_file_list_path();
    std::fill(std::begin(m_marks), std::end(m_marks), uint8_t(0));
    m_current_page = 0;
    m_kor_count = 0;
    m_korzk_count = 0;
    for (int index = 0; index < m_file_list.size(); ++index) {
        kor_trace("\n usb upgrade file: %s\n", qPrintable(m_file_list.at(index)));
        if (QFileInfo(m_file_list.at(index)).suffix() == QLatin1String("KOR")) {
            if (m_kor_count == 0)
                m_marks[index] = 1;
            ++m_kor_count;
        } else {
            m_marks[index] = 1;
            ++m_korzk_count;
        }
    }
    m_file_count = uint8_t(m_file_list.size());
}

void firmware_usbgrade::upgrade_file_list()
{
    // The old list may hold the button whose click got us here: it goes once that click
    // has returned, and leaves the page's children at once.
    if (m_frame_file)
        m_frame_file->setParent(nullptr);
    kor_retire_frame(m_frame_file);
    m_empty_label = nullptr;
    for (int k = 0; k < kPerPage; ++k) {
        m_file_label[k] = nullptr;
        m_file_text[k].clear();
        m_file_button[k] = nullptr;
    }

    m_frame_file = kor_list_frame(ui->frame, QRect(10, 50, 280, 90));
    const QFont font = small_font();

    m_last_page = m_file_count ? uint8_t((m_file_count - 1) / kPerPage) : 0;
    if (m_file_count == 0) {
        m_empty_label = kor_list_label(m_frame_file, 0, 220, 20, font);
        m_empty_label->setStyleSheet(QStringLiteral("background-color: rgb(33, 36, 53);color: #FFFFFF"));
        m_empty_label->setText(no_files_text());
        m_frame_file->show();
        return;
    }

    const int first = kPerPage * m_current_page;
    const int end = std::min<int>(m_file_count, kPerPage * (m_current_page + 1));
    for (int i = first; i < end; ++i) {
        const int k = i - first;
        const QString name = QFileInfo(m_file_list.at(i)).fileName();
        m_file_text[k] = QStringLiteral("<font color = #FFFFFF >%1</font>").arg(name.toHtmlEscaped());
        QLabel *label = kor_list_label(m_frame_file, k, 220, 20, font);
        label->setTextFormat(Qt::RichText);
        label->setText(m_file_text[k]);
        label->setStyleSheet(QString::fromLatin1(m_marks[i] == 1 ? kMarked : kUnmarked));
        QPushButton *button = kor_list_row_button(m_frame_file, k, 220);
        connect(button, &QPushButton::clicked, this, &firmware_usbgrade::kor_button_file_clicked);
        m_file_label[k] = label;
        m_file_button[k] = button;
    }
    kor_list_turn_buttons(
        m_frame_file, m_current_page, m_last_page, this, [this] { kor_Button_previous_clicked(); },
        [this] { kor_Button_next_clicked(); });
    m_frame_file->show();
}

void firmware_usbgrade::kor_button_file_clicked()
{
    kor_list_choose_row(sender(), m_file_label, kPerPage, &m_file_select, QString::fromLatin1(kUnmarkedClick),
                        QString::fromLatin1(kMarked));
}

void firmware_usbgrade::kor_Button_previous_clicked()
{
    if (m_current_page > 0)
        --m_current_page;
    kor_trace("\n kor_Button_previous_clicked  current_page = %d\n", m_current_page);
    upgrade_file_list();
}

void firmware_usbgrade::kor_Button_next_clicked()
{
    ++m_current_page;
    if (m_current_page > m_last_page)
        m_current_page = 0;
    kor_trace("\n kor_Button_next_clicked  current_page = %d\n", m_current_page);
    upgrade_file_list();
}

void firmware_usbgrade::menulist_button_ok_page()
{
    if (m_file_downing)
        return;
    // An engine started from an earlier opening is still installing: resetting its step
    // now would break that install.
    if (g_usb_grade.load(std::memory_order_acquire) == 1) {
        kor_trace("\n menulist_button_ok_page: the upgrade still runs\n");
        return;
    }
    m_file_downing = 1;
    kor_trace("\n menulist_button_ok_page 00 in  file_downing = %#x \n", m_file_downing);
    // The step first, then the flag the worker looks at.
    kor_set_job_step(0);
    g_usb_grade.store(1, std::memory_order_release);
}

void firmware_usbgrade::menulist_back_page()
{
    kor_trace("\n menulist_back_page .... g_qround_bar = %#x\n", unsigned(reinterpret_cast<uintptr_t>(g_qround_bar)));
    kor_trace("\n menulist_back_page ....01");
    // The engine goes on without the page.
    go_back();
}

void firmware_usbgrade::slot_Button_back_clicked()
{
    menulist_back_page();
}

void firmware_usbgrade::key_ok()
{
    if (!m_file_downing)
        menulist_button_ok_page();
}

void firmware_usbgrade::key_back()
{
    menulist_back_page();
}

bool firmware_usbgrade::mode_key_refused() const
{
    return m_file_downing != 0;
}

void firmware_usbgrade::trace_release(KorKey key)
{
    if (key == KorKey::Back) {
        kor_trace("this is back button(firmware_usbgrade)[Release] file_downing = %#x\n", m_file_downing);
        return;
    }
    KorPage::trace_release(key);
}

QString firmware_usbgrade::time_text()
{
    TimeRealType t;
    fpga_manage::IT8563WE_Get(&t);
    return QStringLiteral("%1:%2:%3").arg(int(t.hour)).arg(int(t.minute)).arg(int(t.second));
}

void firmware_usbgrade::on_Button_grade_clicked()
{
    const QString now = time_text();
    if (m_file_downing) {
        m_start_time = now;
        ui->label_log->setText(QStringLiteral("<font style = 'font-size:12px' color = #FF0000 >%1</font>")
                                   .arg(QStringLiteral("downing ,Dont power off !!\r\n") + now));
    } else {
        ui->label_log->setText(QStringLiteral("<font style = 'font-size:12px' color = #51BB28 >%1</font>")
                                   .arg(m_start_time + QStringLiteral("\r\n") + QStringLiteral("downing over \r\n") + now));
    }
    ui->label_log->show();
}

void firmware_usbgrade::syncUpdate(int code)
{
    switch (code) {
    case 100:
        kor_trace("\n yes ,got the usb in");
        return;
    case 101:
    case 102:
        if (code == 101)
            kor_trace("\n yes ,got the usb out");
        else
            kor_trace("\n yes ,mounting ok ,key_sacn_step = %d\n", 0);
        m_file_select = 0;
        get_file_list_smartpath();
        upgrade_file_list();
        return;
    default:
        break;
    }
    retext_if_language_changed();
    if (code == 104)
        show_upgrade_result();
}

void firmware_usbgrade::show_upgrade_result()
{
    fpga_manage *m = fpga_manage::p_fpga_manage;
    const QString log = m ? QString::fromStdString(m->usb_upgrade_log_text()) : QString();
    const UsbUpgradeReport report = m ? m->usb_upgrade_report() : UsbUpgradeReport();
    // The box shows two lines: the outcome comes first, the whole log after it. Green only
    // when every package went in, red when one failed or the directory was refused.
    QStringList failed;
    for (const UsbPackageResult &r : report.packages)
        if (!r.ok())
            failed << r.package;
    QString outcome = QStringLiteral("%1 ok, %2 failed").arg(report.installed()).arg(report.failed());
    if (!failed.isEmpty())
        outcome += QStringLiteral(": ") + failed.join(QStringLiteral(", "));
    const bool failure = !failed.isEmpty() || !report.refused_dir.isEmpty();
    const char *colour = failure ? "#FF0000" : report.installed() ? "#51BB28" : "#FFFFFF";
    ui->label_log->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ui->label_log->setWordWrap(true);
    ui->label_log->setText(QStringLiteral("<font style = 'font-size:13px' color = %1 >%2</font>")
                               .arg(QLatin1String(colour),
                                    QStringLiteral("downing over") + QStringLiteral("<br>") +
                                        outcome.toHtmlEscaped() + QStringLiteral("<br>") +
                                        // one line per step: rich text would run them together
                                        log.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
}
