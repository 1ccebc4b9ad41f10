#include "ui/pages/imagequality.h"

#include "ui_imagequality.h"

#include <QPixmap>

ImageQuality *g_imagequality = nullptr;
KOR_PAGE(ImageQuality, g_imagequality, MainMenu)

ImageQuality::ImageQuality(QWidget *parent) : KorPage(KorPageNo::ImageQuality, parent), ui(new Ui::ImageQuality)
{
    ui->setupUi(this);
    ui->label_note_OK->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    focus.add_menu(ui->Button_quality, [this] { on_Button_quality_clicked(); });
    focus.add_menu(ui->Button_temperature, [this] { on_Button_temperature_clicked(); });
    focus.start(0);
    language_changed();
}

ImageQuality::~ImageQuality()
{
    delete ui;
}

void ImageQuality::language_changed()
{
    ui->label_title->setText(kor_tr("画质调节", "Picture", "Изображение", "Hình ảnh", "畫質調節"));
    ui->Button_quality->setText(kor_tr("画质", "Quality", "Качество", "Chất lượng", "畫質"));
    ui->Button_temperature->setText(kor_tr("色温", "Color Temp", "Цветовая\nтемпература", "Nhiệt độ\nmàu", "色溫"));
}

void ImageQuality::on_Button_quality_clicked()
{
    open_page(KorPageNo::quality);
}

void ImageQuality::on_Button_temperature_clicked()
{
    open_page(KorPageNo::temperature);
}
