#include "ui/shell/option.h"

#include "ui_option.h"

#include <QPixmap>

Option *g_option = nullptr;

Option::Option(QWidget *parent) : KorPage(KorPageNo::Option, parent), ui(new Ui::Option)
{
    ui->setupUi(this);
    ui->label_note_OK->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    focus.add_menu(ui->output_set, [this] { on_output_set_clicked(); });
    focus.add_menu(ui->link_set, [this] { on_link_set_clicked(); });
    focus.add_menu(ui->test_chart, [this] { on_test_chart_clicked(); });
    focus.add_menu(ui->smart_mapping, [this] { on_smart_mapping_clicked(); });
    focus.add_menu(ui->advanced_set, [this] { on_advanced_set_clicked(); });
    focus.start(0);
    language_changed();
}

Option::~Option()
{
    delete ui;
}

void Option::language_changed()
{
    ui->label_title->setText(kor_tr("设置", "Settings", "Настройки", "Cài đặt", "設置"));
    ui->output_set->setText(kor_tr("输出设置", "Output", "Выход", "Đầu ra", "輸出設置"));
    ui->link_set->setText(kor_tr("连接设置", "Connection", "Связь", "Kết nối", "連接設置"));
    ui->test_chart->setText(kor_tr("测试画面", "Test\nPattern", "Тест", "Mẫu thử", "測試畫面"));
    ui->smart_mapping->setText(kor_tr("智能调屏", "Smart\nMapping", "Умная\nнастройка", "Điều chỉnh\nthông minh", "智能調屏"));
    ui->advanced_set->setText(kor_tr("高级设置", "Advanced", "Дополни-\nтельно", "Nâng cao", "高級設置"));
    m_smart_ready = true;
}

void Option::on_output_set_clicked()
{
    open_page(KorPageNo::OutputSet);
}

void Option::on_link_set_clicked()
{
    open_page(KorPageNo::LinkOption);
}

void Option::on_test_chart_clicked()
{
    open_page(KorPageNo::test_chart);
}

void Option::on_smart_mapping_clicked()
{
    if (m_smart_ready)
        open_page(KorPageNo::SmartMapping);
}

void Option::on_advanced_set_clicked()
{
    open_page(KorPageNo::AdvancedOption);
}
