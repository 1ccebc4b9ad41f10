#include "ui/pages/factoryage.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "ui/shell/mainwindow.h"
#include "ui_factoryage.h"

#include <QDateTime>
#include <QFrame>
#include <QLabel>

factoryage *g_factoryage = nullptr;

// Besides the page itself, the tick re-renders the open page on every ageing pass.
void kor_page_register_factoryage()
{
    kor_page_register<factoryage>(KorPageNo::factoryage, &g_factoryage, KorPageNo::AdvancedOption);
    MainWindow::set_agelog_hook([] {
        if (g_factoryage)
            g_factoryage->update_agelog();
    });
}

namespace {
constexpr int kLinesPerPage = 16;

struct Flag {
    int bit;
    const char *name;
};
const Flag kFlags[5] = { { 0, "DDR0" }, { 1, "DDR1" }, { 2, "DE" }, { 3, "HS" }, { 4, "VS" } };

QString three_digits(int value)
{
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}
}

factoryage::factoryage(QWidget *parent)
    : KorPage(KorPageNo::factoryage, parent)
    , ui(new Ui::factoryage)
    , button_normal(QStringLiteral("color:rgb(255,255,255);\nborder:1px solid rgb(255, 255, 255);"))
    , button_focus(QStringLiteral("color:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);"))
{
    ui->setupUi(this);
    opened_language = g_language.load();
    log_font.setPixelSize(10);
    para_init();
    menulist_init();
    ageloginit();
}

factoryage::~factoryage()
{
    delete ui;
}

void factoryage::para_init() { }

void factoryage::syncUpdate() { }

void factoryage::menulist_init()
{
    menulist[0] = ui->ButtonNext;
    menulist[1] = ui->ButtonPriv;
    focus.clear();
    focus.add(menulist[0], button_normal, button_focus, [this] { on_ButtonNext_clicked(); });
    focus.add(menulist[1], button_normal, button_focus, [this] { on_ButtonPriv_clicked(); });
    focus.start(0);
}

int factoryage::page_count() const
{
    return (factoryage_log.size() + kLinesPerPage - 1) / kLinesPerPage;
}

void factoryage::ageloginit()
{
    const QDateTime now = kor_system_now();
    const QString waiting
        = now.toString(QStringLiteral("MM-dd hh:mm")) + QStringLiteral("  ") + QStringLiteral("正在老化中...");

    delete log_view; // takes log_label with it
    log_view = new QWidget(ui->frame);
    log_view->setGeometry(0, 0, 280, 236);
    log_label = new QLabel(log_view);
    log_label->setGeometry(0, 0, 260, 236);
    log_label->setFont(log_font);
    log_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    log_label->setFrameShape(QFrame::NoFrame);
    log_label->setStyleSheet(QStringLiteral("background-color: #10101C;color: #FFFFFF;"));

    if (factoryage_log.isEmpty()) {
        log_text = waiting;
        log_label->setText(log_text);
        log_text.clear();
        // The counters are not read while there is nothing logged.
        ui->label_3->setText(QStringLiteral("0<3"));
        ui->label_5->setText(QStringLiteral("0<5"));
        ui->label_10->setText(QStringLiteral("0<10"));
        ui->label_20->setText(QStringLiteral("0<20"));
        ui->label_more->setText(QStringLiteral("0>20"));
        ui->page_info->setText(QStringLiteral("0"));
        ui->label_page->setText(QStringLiteral("0/0"));
    } else {
        update_agelog();
    }
    log_view->show();
}

void factoryage::update_agelog()
{
    const int n = factoryage_log.size();
    if (n == 0 || !log_label) {
        ageloginit();
        return;
    }
    log_text.clear();
    const int start = kLinesPerPage * log_page;
    const int end = n - start < kLinesPerPage ? n : start + kLinesPerPage;
    for (int i = start; i < end; ++i) {
        const QStringList fields = factoryage_log[i].split(QLatin1Char(' '), Qt::KeepEmptyParts);
        if (fields.size() != 5)
            continue;
        const int r42 = fields[2].toInt();
        const int r40 = fields[3].toInt();
        const int r43 = fields[4].toInt();
        QString line;
        // Only the page's first position goes without a break, even when that entry is left out.
        if (i != start)
            line += QStringLiteral("<br>");
        line += fields[0].toHtmlEscaped() + QLatin1Char(' ') + fields[1].toHtmlEscaped() + QLatin1Char(' ');
        line += three_digits(r42) + QLatin1Char(' ');
        for (const Flag &flag : kFlags) {
            const QString name = QString::fromLatin1(flag.name);
            line += ((r40 >> flag.bit) & 1) ? QStringLiteral("<font color = #00FF00 >%1</font>").arg(name)
                                            : QStringLiteral("<font color = #FF0000 >%1</font>").arg(name);
            line += QLatin1Char(' ');
        }
        line += three_digits(r43);
        log_text += line;
    }
    log_label->setText(log_text);

    ui->label_3->setText(QString::number(factoryage_log_diff3) + QStringLiteral("<3"));
    ui->label_5->setText(QString::number(factoryage_log_diff5) + QStringLiteral("<5"));
    ui->label_10->setText(QString::number(factoryage_log_diff10) + QStringLiteral("<10"));
    ui->label_20->setText(QString::number(factoryage_log_diff20) + QStringLiteral("<20"));
    ui->label_more->setText(QString::number(factoryage_log_diffmore) + QStringLiteral(">20"));
    ui->page_info->setText(QString::number(n));
    ui->label_page->setText(QStringLiteral("%1/%2").arg(log_page + 1).arg(page_count()));
}

void factoryage::on_ButtonNext_clicked()
{
    const int pages = page_count();
    if (log_page >= pages)
        return;
    log_page = log_page + 1 >= pages ? 0 : uint8_t(log_page + 1);
    update_agelog();
}

void factoryage::on_ButtonPriv_clicked()
{
    const int pages = page_count();
    if (pages == 0)
        return;
    log_page = log_page == 0 ? uint8_t(pages - 1) : uint8_t(log_page - 1);
    update_agelog();
}

void factoryage::slot_Button_back_clicked()
{
    // The advanced settings re-text only when the language changed meanwhile.
    KorRamPara *table = KorRamPara::p_korrampara_config;
    // A language the host set while this page was in front is already taken.
    const bool changed = (table && table->KorLanguageChanged()) || g_language.load() != opened_language;
    go_back(changed);
}
