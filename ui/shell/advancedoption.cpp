#include "ui/shell/advancedoption.h"

#include "core/config_engine.h"
#include "fpga/rcv_recovery_file.h"
#include "ui/shell/my_lineedit.h"
#include "ui_advancedoption.h"

#include <QPixmap>

AdvancedOption *g_advancedoption = nullptr;

AdvancedOption::AdvancedOption(QWidget *parent) : KorPage(KorPageNo::AdvancedOption, parent), ui(new Ui::AdvancedOption)
{
    ui->setupUi(this);
    ui->lineEdit_code->hide();
    ui->label_note_OK->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    focus.add_menu(ui->Button_LCDshow, [this] { on_Button_LCDshow_clicked(); });
    focus.add_menu(ui->Button_other, [this] { on_Button_other_clicked(); });
    focus.add_menu(ui->Button_factory, [this] { on_Button_factory_clicked(); });
    focus.add_menu(ui->Button_rcv_recovery, [this] { on_Button_rcv_recovery_clicked(); });
    focus.add_menu(ui->Button_age, [this] { on_Button_age_clicked(); });
    focus.start(0);
    language_changed();
}

AdvancedOption::~AdvancedOption()
{
    delete ui;
}

void AdvancedOption::language_changed()
{
    ui->label_title->setText(kor_tr("高级设置", "Advanced", "Дополнительно", "Cài đặt nâng cao", "高級設置"));
    ui->Button_LCDshow->setText(kor_tr("LCD显示", "LCD\nDisplay", "Дисплей", "Màn hình\nLCD", "LCD顯示"));
    ui->Button_other->setText(kor_tr("其它设置", "Other\nSettings", "Другие\nнастройки", "Cài đặt\nkhác", "其它設置"));
    ui->Button_factory->setText(kor_tr("出厂设置", "Factory", "Заводские", "Nhà máy", "出廠設置"));
    ui->Button_rcv_recovery->setText(
        kor_tr("接收卡恢复", "Card\nRecovery", "Восстан.\nкарт", "Khôi phục\nthẻ", "接收卡恢復"));
    ui->Button_age->setText(kor_tr("老化记录", "Ageing\nLog", "Журнал\nпрогона", "Nhật ký\nlão hóa", "老化記錄"));
}

void AdvancedOption::on_Button_LCDshow_clicked()
{
    open_page(KorPageNo::lcdshow);
}

void AdvancedOption::on_Button_other_clicked()
{
    open_page(KorPageNo::othersetup);
}

void AdvancedOption::on_Button_factory_clicked()
{
    open_page(KorPageNo::factory);
}

void AdvancedOption::on_Button_rcv_recovery_clicked()
{
    // Only with at least one pack to recover from; the directory is read on this key only.
    if (rcvRecovery::list_files(QStringLiteral("/data/rcvrecovery"), QStringList(), 1, QDir::Files).isEmpty())
        return;
    open_page(KorPageNo::rcv_recovery);
}

void AdvancedOption::on_Button_age_clicked()
{
    if (!kor_page_available(23))
        return;
    m_code_accepted = false;
    ui->lineEdit_code->clear();
    run_number_keyboard(ui->lineEdit_code,
                        kor_tr("请输入密码", "Access code", "Код доступа", "Mã truy cập", "請輸入密碼"));
    ui->lineEdit_code->clear();
    if (!m_code_accepted || is_closed())
        return;
    m_code_accepted = false;
    open_page(KorPageNo::factoryage);
}

void AdvancedOption::confirmString(QString text)
{
    if (g_lineedit != ui->lineEdit_code) {
        KorPage::confirmString(text);
        return;
    }
    const ConfigEngine *config = ConfigEngine::p_config;
    const QString code = config ? config->read_config(ConfigItem::AgeAccessCode).toString().trimmed() : QString();
    // An empty setting opens nothing: the log stays behind a code.
    m_code_accepted = !code.isEmpty() && text.trimmed() == code;
}
