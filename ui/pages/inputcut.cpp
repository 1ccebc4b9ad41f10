#include "ui/pages/inputcut.h"

#include "ui_inputcut.h"

InputCut *g_inputcut = nullptr;
KOR_PAGE(9, InputCut, g_inputcut, 3)

InputCut::InputCut(QWidget *parent) : KorPage(9, parent), ui(new Ui::InputCut)
{
    ui->setupUi(this);
}

InputCut::~InputCut()
{
    delete ui;
}
