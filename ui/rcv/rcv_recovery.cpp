#include "ui/rcv/rcv_recovery.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "fpga/fpga_job_request.h"
#include "fpga/fpga_manage.h"
#include "hostlink/host_events.h"
#include "ui/rcv/QRoundProgressBar.h"
#include "ui/rcv/kor_list_frame.h"
#include "ui_rcv_recovery.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

rcv_recovery *g_rcv_recovery = nullptr;

void kor_page_register_rcv_recovery()
{
    kor_page_register<rcv_recovery>(KorPageNo::rcv_recovery, &g_rcv_recovery, KorPageNo::AdvancedOption);
    host_pages::set_recovery_back_hook([] {
        if (g_rcv_recovery && !g_rcv_recovery->is_closed())
            g_rcv_recovery->host_back_page();
    });
}

namespace {
const char kButtonNormal[] = "color:rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);";
const char kButtonSelected[] = "color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);";
const char kEntryNormal[] = "background-color: rgb(33, 36, 53);color: #FFFFFF";
const char kEntrySelected[] = "background-color:#4777FF;color: #FFFFFF;";
const char kEntryLeft[] = "background-color: rgb(33, 36, 53);color: #FFFFFF;";

QString no_cards_text()
{
    return kor_tr("暂无接收卡需要更新!", "No receiving cards that need to be updated!",
                  "Обновление принимающих карт не требуется!", "Chưa có thẻ nhận nào để cập nhật!",
                  "暫無接收卡需要更新!");
}

// A check that could not run (no readable pack, no link, no answer) must not read as the
// all-clear.
QString check_failed_text()
{
    return kor_tr("接收卡检测失败!", "Receiving card check failed!", "Проверка приемных карт не удалась!",
                  "Kiểm tra thẻ nhận thất bại!", "接收卡檢測失敗!");
}

// The words of an entry: Chinese in the two Chinese languages, English in all others.
struct EntryWords {
    const char *find;
    const char *screen;
    const char *port;
    const char *card;
};
EntryWords entry_words()
{
    switch (kor_shown_language()) {
    case 0:
        return {"发现", "屏幕", "网口LED", "接收卡"};
    case 4:
        return {"髮現", "屏幕", "網口LED", "接收卡"};
    default:
        return {"Find", "Screen", "LED", "Rcv"};
    }
}
}

rcv_recovery::rcv_recovery(QWidget *parent) : KorPage(KorPageNo::rcv_recovery, parent), ui(new Ui_rcv_recovery)
{
    ui->setupUi(this);
    ui->label_para_file->hide();
    ui->Button_closetest->hide();
    ring.follow(this, 5, 6, [this](int percent) { on_job_progress(percent); });
    if (fpga_manage *m = fpga_manage::p_fpga_manage) {
        // Both arrive queued in the GUI thread and only while this page exists; the list
        // is posted before the 100 that closes the ring, so the card is drawn first.
        m->notifier()->follow_job_results(this, 5, 6, [this](int result) { take_job_result(result); });
        m->notifier()->follow_recovery_list(
            this, [this](const QStringList &entries, int count) { take_card_list(entries, count); });
    }
    menulist_init();
    language_changed();
}

rcv_recovery::~rcv_recovery()
{
    delete ui;
}

void rcv_recovery::menulist_init()
{
    focus.clear();
    focus.add(ui->Button_check, QString::fromUtf8(kButtonNormal), QString::fromUtf8(kButtonSelected));
    focus.add(ui->Button_self_covery, QString::fromUtf8(kButtonNormal), QString::fromUtf8(kButtonSelected));
    focus.start(0);
    rcv_self_recovery_file_list();
}

int rcv_recovery::listed_count() const
{
    return std::min(int(entry_count), card_list.size());
}

void rcv_recovery::rcv_self_recovery_file_list()
{
    // It may hold the button whose click asked for this listing.
    kor_retire_frame(frame_file);
    std::fill(std::begin(entry_label), std::end(entry_label), nullptr);
    std::fill(std::begin(entry_text), std::end(entry_text), QString());

    frame_file = kor_list_frame(ui->frame, QRect(10, 50, 280, 90));
    QFont font;
    font.setPointSize(7);

    // Nothing listed blocks nothing; a listed entry sets the flag again.
    recovery_refused = 0;
    const int listed = listed_count();
    last_page = uint8_t(listed > 0 ? (listed - 1) / kRows : 0);
    current_page = int8_t(std::clamp(int(current_page), 0, int(last_page)));

    if (listed == 0) {
        QLabel *label = kor_list_label(frame_file, 0, 220, 20, font);
        label->setStyleSheet(check_failed ? QStringLiteral("background-color: rgb(33, 36, 53);color: #FF0000")
                                          : QStringLiteral("background-color: rgb(33, 36, 53);color: #FFFFFF"));
        label->setText(check_failed ? check_failed_text() : no_cards_text());
    } else {
        const EntryWords words = entry_words();
        const int first = kRows * current_page;
        const int end = std::min(first + kRows, listed);
        for (int i = first; i < end; ++i) {
            const int k = i - first;
            const QStringList fields = card_list.at(i).split(QLatin1Char('/'));
            if (fields.size() < 4)
                continue;
            const bool beyond = fields.at(2).toInt() > fields.at(3).toInt();
            recovery_refused = beyond ? 1 : 0;
            const QString card = QStringLiteral("<font color = %1 >%2</font>")
                                     .arg(beyond ? QStringLiteral("#FF0000") : QStringLiteral("#FFFFFF"), fields.at(2));
            const QString text = QString::fromUtf8(words.find) + QStringLiteral(" ") + QString::fromUtf8(words.screen) +
                                 fields.at(0) + QStringLiteral(", ") + QString::fromUtf8(words.port) + fields.at(1) +
                                 QStringLiteral(", ") + QString::fromUtf8(words.card) + card;

            QLabel *label = kor_list_label(frame_file, k, 220, 20, font);
            label->setTextFormat(Qt::RichText);
            label->setText(text);
            // The selection is a row of the page, as a click sets it.
            label->setStyleSheet(QString::fromUtf8(k == file_select ? kEntrySelected : kEntryNormal));
            entry_label[k] = label;
            entry_text[k] = text;

            connect(kor_list_row_button(frame_file, k, 220), &QPushButton::clicked, this, &rcv_recovery::kor_button_file_clicked);
        }
    }

    kor_list_turn_buttons(
        frame_file, current_page, last_page, this, [this] { kor_Button_previous_clicked(); },
        [this] { kor_Button_next_clicked(); });
    frame_file->show();
}

void rcv_recovery::kor_button_file_clicked()
{
    kor_list_choose_row(sender(), entry_label, kRows, &file_select, QString::fromUtf8(kEntryLeft),
                        QString::fromUtf8(kEntrySelected));
}

void rcv_recovery::kor_Button_previous_clicked()
{
    current_page = int8_t(std::max(0, current_page - 1));
    kor_trace("\n kor_Button_previous_clicked  current_page = %d\n", int(current_page));
    rcv_self_recovery_file_list();
}

void rcv_recovery::kor_Button_next_clicked()
{
    current_page = int8_t(current_page + 1 > last_page ? 0 : current_page + 1);
    kor_trace("\n kor_Button_next_clicked  current_page = %d\n", int(current_page));
    rcv_self_recovery_file_list();
}

void rcv_recovery::menulist_sel_left()
{
    if (g_qround_bar)
        return;
    focus.move(-1);
}

void rcv_recovery::menulist_sel_right()
{
    if (g_qround_bar)
        return;
    focus.move(1);
}

void rcv_recovery::menulist_button_ok_page()
{
    if (kor_job() != 0 || g_qround_bar)
        return;
    if (ui_select == 0) {
        card_list.clear();
        entry_count = 0;
        check_failed = false;
        rcv_self_recovery_file_list();
        ring.start(5);
    } else {
        if (recovery_refused)
            return;
        if (listed_count() == 0) {
            focus.select(0);
            return;
        }
        ring.start(6);
    }
    focus.show_focus(ui_select);
}

void rcv_recovery::menulist_back_page()
{
    if (g_qround_bar)
        return;
    go_back();
}

void rcv_recovery::host_back_page()
{
    // Never closed under a running job: the end of the job closes it.
    if (g_qround_bar) {
        back_when_job_ends = true;
        return;
    }
    menulist_back_page();
}

void rcv_recovery::on_job_progress(int percent)
{
    if (percent > 99 && back_when_job_ends && !g_qround_bar && !is_closed()) {
        back_when_job_ends = false;
        menulist_back_page();
    }
}

void rcv_recovery::take_job_result(int result)
{
    // Arrives before the 100 that closes the ring.
    check_failed = result != JobDone;
    if (check_failed)
        rcv_self_recovery_file_list();
}

void rcv_recovery::take_card_list(const QStringList &entries, int count)
{
    card_list = entries;
    entry_count = uint8_t(std::clamp(count, 0, 255));
    rcv_self_recovery_file_list();
}

bool rcv_recovery::mode_key_refused() const
{
    return g_qround_bar != nullptr;
}

void rcv_recovery::syncUpdate(int code)
{
    const uint16_t field = fpga_manage::rcv_card_field();
    if (code == 99 || (field != 0xFFFF && field != 0x00FF))
        rcv_self_recovery_file_list();
    retext_if_language_changed();
}

void rcv_recovery::language_changed()
{
    ui->label_title->setText(kor_tr("接收卡自恢复", "Receiving card self recovery", "Самовосстановление приемной карты",
                                    "Thẻ nhận tự phục hồi", "接收卡自恢複"));
    ui->label_rcv_update->setText(kor_tr("接收卡更新", "Receiving card update", "Получить обновление карты",
                                         "Nhận thông tin cập nhập về thẻ", "接收卡更新"));
    const QString query = kor_tr("查询", "Query", "Считать", "Tìm hiểu", "查詢");
    ui->Button_check->setText(query);
    ui->Button_self_covery->setText(kor_tr("恢复", "Recovery", "Восстановить", "Phục hồi", "恢複"));
    const int language = kor_shown_language();
    if (language == 0 || language == 4)
        ui->Button_closetest->setText(query);
    QFont font = ui->Button_check->font();
    font.setPointSize(language == 3 ? 7 : 9);
    ui->Button_check->setFont(font);
    ui->Button_self_covery->setFont(font);
}
