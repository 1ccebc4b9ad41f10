#include "ui/pages/quality.h"

#include "core/korrampara.h"
#include "core/table_write.h"
#include "ui_quality.h"

#include <QLineEdit>

quality *g_quality = nullptr;
KOR_PAGE(quality, g_quality, ImageQuality)

namespace {
constexpr int kResetRow = 4;
// Table word of rows 0 to 3: the rows are not in table order.
constexpr int kRowWord[4] = {KorTable::kBrightness, KorTable::kSharpness, KorTable::kContrast, KorTable::kSaturation};
constexpr int kResetBytes = 16;
}

quality::quality(QWidget *parent) : KorValueRowsPage(KorPageNo::quality, parent), ui(new Ui_quality)
{
    ui->setupUi(this);
    para_init();
    menulist_init();
    language_changed();
}

quality::~quality()
{
    delete ui;
}

void quality::show_values()
{
    const KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    QLineEdit *const fields[4] = {ui->lineEdit_bright, ui->lineEdit_Sharpness, ui->lineEdit_Contrast,
                                  ui->lineEdit_Saturation};
    for (int row = 0; row < 4; ++row)
        fields[row]->setText(QString::number(int16_t(t->u16(kRowWord[row]))));
}

void quality::para_init()
{
    show_values();
}

void quality::menulist_init()
{
    focus.clear();
    for (QLineEdit *field : {ui->lineEdit_bright, ui->lineEdit_Sharpness, ui->lineEdit_Contrast,
                             ui->lineEdit_Saturation, static_cast<QLineEdit *>(ui->lineEdit_Reset)})
        focus.add(field, KorValueEdit::normal_style(), KorValueEdit::focus_style());
    m_edit = 0;
    focus.start(0);
    m_value.set_field(ui->lineEdit_bright);
    m_value.remember_shown();
}

int quality::value_word(int row) const
{
    return row >= 0 && row < kResetRow ? kRowWord[row] : -1;
}

bool quality::own_row_ok(int)
{
    on_Button_reset_clicked();
    return false;
}

void quality::on_Button_reset_clicked()
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    {
        KorTableWrite change;
        change.set_bytes(KorTable::kBrightness,
                         default_para_ramlist + 2 + (KorTable::kBrightness - KorTable::kStoredBegin), kResetBytes);
    }
    // Shown at once, so that the next edit starts from the restored value.
    show_values();
}

void quality::language_changed()
{
    ui->label_quality->setText(kor_tr("图像效果", "Image quality", "Изображение", "Chất lượng hình ảnh", "圖像效果"));
    ui->label_bright->setText(kor_tr("亮度", "Brightness", "Яркость", "Độ cao", "亮度"));
    ui->label_Sharpness->setText(kor_tr("锐度", "Sharpness", "Резкость", "Độ sắc nét", "銳度"));
    ui->label_Contrast->setText(kor_tr("对比度", "Contrast", "Контраст", "Độ tương phản", "對比度"));
    ui->label_Saturation->setText(kor_tr("饱和度", "Saturation", "Насыщенность", "Độ bão hòa", "飽和度"));
    ui->label_reset->setText(kor_tr("画质复位", "Reset", "Сбросить", "Đặt lại chất lượng hình ảnh", "畫質複位"));
    ui->lineEdit_Reset->setText(kor_tr("点击OK应用", "Press Ok", "Нажмите ОК", "Đồng ý", "點擊OK應用"));
}

void quality::syncUpdate()
{
    retext_if_language_changed();
}
