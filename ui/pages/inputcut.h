#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class InputCut;
}

// The crop page (page 9): its constructor builds the form Ui_InputCut; the editing logic
// is built on it later.
class InputCut : public KorPage {
    Q_OBJECT
public:
    explicit InputCut(QWidget *parent = nullptr);
    ~InputCut() override;

    Ui::InputCut *form() const { return ui; }

private:
    Ui::InputCut *ui;
};

extern InputCut *g_inputcut;
