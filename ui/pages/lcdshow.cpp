#include "ui/pages/lcdshow.h"

#include "ui_lcdshow.h"

#include <QComboBox>

uint32_t g_back_to_mainwindow_time = 3000;
uint32_t g_auto_lock_time = 30000;

lcdshow *g_lcdshow = nullptr;
KOR_PAGE(15, lcdshow, g_lcdshow, 12)

namespace {
constexpr int kChoices = 3;
const uint32_t kBackTimes[kChoices] = {3000, 6000, 120000};
const uint32_t kLockTimes[kChoices] = {30000, 60000, 120000};

// The choice a time stands for; a time that is none of them shows as choice 0.
int choice_of(uint32_t value, const uint32_t (&times)[kChoices])
{
    for (int i = 0; i < kChoices; ++i)
        if (times[i] == value)
            return i;
    return 0;
}

QString combo_style(const char *border)
{
    return QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid %1;\n}\nQComboBox:drop-down{\nborder-style:none\n}")
        .arg(QLatin1String(border));
}
}

lcdshow::lcdshow(QWidget *parent)
    : KorPage(15, parent)
    , ui(new Ui_lcdshow)
    , m_style_normal(combo_style("rgb(255,255,255)"))
    , m_style_focus(combo_style("rgb(255,171,84)"))
    , m_style_edit(combo_style("rgb(255,0,0)"))
{
    ui->setupUi(this);
    para_init();
    menulist_init();
    language_changed();
}

lcdshow::~lcdshow()
{
    delete ui;
}

void lcdshow::para_init()
{
    const QString never = kor_tr("从不", "Never", "Отключить", "Không bao giờ khoá", "從不");
    ui->comboBox_back->addItem(QStringLiteral("30"));
    ui->comboBox_back->addItem(QStringLiteral("60"));
    ui->comboBox_back->addItem(never);
    ui->comboBox_back->setCurrentIndex(choice_of(g_back_to_mainwindow_time, kBackTimes));
    ui->comboBox_lock->addItem(kor_tr("5分钟", "5min", "5 мин", "5 phút", "5分鐘"));
    ui->comboBox_lock->addItem(kor_tr("10分钟", "10min", "10 мин", "10 phút", "10分鐘"));
    ui->comboBox_lock->addItem(never);
    ui->comboBox_lock->setCurrentIndex(choice_of(g_auto_lock_time, kLockTimes));
}

void lcdshow::menulist_init()
{
    m_items[0] = ui->comboBox_back;
    m_items[1] = ui->comboBox_lock;
    focus.clear();
    for (QComboBox *box : m_items)
        focus.add(box, m_style_normal, m_style_focus);
    m_edit = 0;
    focus.start(0);
    m_current = m_items[0];
    m_choice = static_cast<unsigned char>(choice_of(g_back_to_mainwindow_time, kBackTimes));
}

void lcdshow::language_changed()
{
    ui->label_LCDshow->setText(kor_tr("液晶显示", "LCD display", "ЖК дисплей", "Màn hình LCD", "液晶顯示"));
    ui->label_backmainwindow->setText(
        kor_tr("返回主界面时长", "To main interface", "Возврат к главному", "Quay lại màn hình chính", "返回主界麵時長"));
    ui->label_autolock->setText(kor_tr("自动锁屏", "Auto-screen lock", "Автоблокировка", "Tự đọng khoá màn hình", "自動鎖屏"));
}

void lcdshow::on_button_backtolock_clicked()
{
    g_back_to_mainwindow_time = kBackTimes[m_choice < kChoices ? m_choice : 0];
}

void lcdshow::on_button_autolock_clicked()
{
    g_auto_lock_time = kLockTimes[m_choice < kChoices ? m_choice : 0];
}

void lcdshow::slot_Button_back_clicked()
{
    go_back();
}

void lcdshow::step_choice(int step)
{
    m_choice = static_cast<unsigned char>(((m_choice + step) % kChoices + kChoices) % kChoices);
    m_current->setCurrentIndex(m_choice);
}

void lcdshow::key_right()
{
    if (m_edit) {
        step_choice(1);
        return;
    }
    focus.move(1);
    m_current = m_items[ui_select];
}

void lcdshow::key_left()
{
    if (m_edit) {
        step_choice(-1);
        return;
    }
    focus.move(-1);
    m_current = m_items[ui_select];
}

void lcdshow::key_ok()
{
    if (!m_edit) {
        m_edit = 1;
        // Steps start from what this row's box shows.
        const int shown = m_current->currentIndex();
        m_choice = static_cast<unsigned char>(shown >= 0 && shown < kChoices ? shown : 0);
        m_current->setStyleSheet(m_style_edit);
        return;
    }
    m_edit = 0;
    m_current->setStyleSheet(m_style_focus);
    if (ui_select == 0)
        on_button_backtolock_clicked();
    else
        on_button_autolock_clicked();
}
