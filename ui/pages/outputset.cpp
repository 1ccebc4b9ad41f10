#include "ui/pages/outputset.h"

#include "core/korrampara.h"
#include "core/table_map.h"
#include "ui_outputset.h"

#include <QPixmap>

OutputSet *g_outputset = nullptr;
KOR_PAGE(OutputSet, g_outputset, Option)

OutputSet::OutputSet(QWidget *parent) : KorPage(KorPageNo::OutputSet, parent), ui(new Ui::OutputSet)
{
    // setupUi also connects the buttons' clicked() to the on_..._clicked slots.
    ui->setupUi(this);
    ui->label_note_OK->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    menulist_init();
    language_changed();
}

OutputSet::~OutputSet()
{
    delete ui;
}

void OutputSet::menulist_init()
{
    focus.clear();
    focus.add_menu(ui->Button_ledset, [this] { on_Button_ledset_clicked(); });
    focus.add_menu(ui->Button_lanset, [this] { on_Button_lanset_clicked(); });
    focus.start(0);
}

void OutputSet::language_changed()
{
    ui->label_title->setText(kor_tr("输出设置", "Output Seeting", "Выход", "Thông số đầu ra", "輸出設置"));
    ui->Button_ledset->setText(kor_tr("LED设置", "LED Setting", "Настройки\nLED", "Cài đặt\nLED", "LED設置"));
    ui->Button_lanset->setText(kor_tr("网口输出", "Port output", "Настройка\nLAN", "Cài đặt\ncổng MẠNG", "網口輸出"));
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    const long width = table ? table->u16(KorTable::kLedWidth) : 0;
    const long height = table ? table->u16(KorTable::kLedHeight) : 0;
    ui->label_info->setText(kor_fill_numbers(kor_tr("当前设置LED屏宽高为: %dx%d", "LED Screen can be set:%dx%d",
                                                    "Текущий размер LED (px): %dx%d",
                                                    "Gợi ý: Kích thước màn hình LED hiện tại::%dx%d",
                                                    "當前設置LED屏寬高爲: %dx%d"),
                                             {width, height}));
}

void OutputSet::syncUpdate()
{
    retext_if_language_changed();
}

void OutputSet::on_Button_ledset_clicked()
{
    open_page(KorPageNo::ledset);
}

void OutputSet::on_Button_lanset_clicked()
{
    open_page(KorPageNo::netset);
}
