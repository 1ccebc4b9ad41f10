#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class ImageQuality;
}

// The picture menu (page 11): picture quality (19) and colour temperature (20).
class ImageQuality : public KorPage {
    Q_OBJECT
public:
    explicit ImageQuality(QWidget *parent = nullptr);
    ~ImageQuality() override;

    void language_changed() override;

public slots:
    void on_Button_quality_clicked();
    void on_Button_temperature_clicked();

private:
    Ui::ImageQuality *ui;
};

extern ImageQuality *g_imagequality;
