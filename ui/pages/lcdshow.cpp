#include "ui/pages/lcdshow.h"

#include "ui/shell/kor_quiet_combos.h"
#include "ui_lcdshow.h"

#include <QComboBox>

uint32_t g_back_to_mainwindow_time = 3000;
uint32_t g_auto_lock_time = 30000;

lcdshow *g_lcdshow = nullptr;
KOR_PAGE(lcdshow, g_lcdshow, AdvancedOption)

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
}

lcdshow::lcdshow(QWidget *parent) : KorPage(KorPageNo::lcdshow, parent), ui(new Ui_lcdshow)
{
    {
        KorQuietCombos quiet;
        ui->setupUi(this);
    }
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
    m_rows.start({ui->comboBox_back, ui->comboBox_lock}, kor_combo_style("rgb(255,255,255)"),
                 kor_combo_style("rgb(255,171,84)"), kor_combo_style("rgb(255,0,0)"));
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
    const int choice = m_rows.index();
    g_back_to_mainwindow_time = kBackTimes[choice < kChoices ? choice : 0];
}

void lcdshow::on_button_autolock_clicked()
{
    const int choice = m_rows.index();
    g_auto_lock_time = kLockTimes[choice < kChoices ? choice : 0];
}

void lcdshow::key_right()
{
    m_rows.move(1);
}

void lcdshow::key_left()
{
    m_rows.move(-1);
}

void lcdshow::key_ok()
{
    if (!m_rows.ok())
        return;
    if (ui_select == 0)
        on_button_backtolock_clicked();
    else
        on_button_autolock_clicked();
}
