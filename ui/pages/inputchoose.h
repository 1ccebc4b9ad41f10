#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class InputChoose;
}

// The input page (page 3): the six inputs in list order with the current window's source
// marked, and the entries to the EDID page (8) and the crop page (9).
class InputChoose : public KorPage {
    Q_OBJECT
public:
    explicit InputChoose(QWidget *parent = nullptr);
    ~InputChoose() override;

    void language_changed() override;
    // Marks the current window's source among the six inputs.
    void initSource();
    void child_returned(int child_page) override;

public slots:
    void kor_button_EDID_clicked();
    void kor_button_crop_clicked();

private:
    Ui::InputChoose *ui;
};

extern InputChoose *g_inputchoose;
