#include "ui/pages/inputcut.h"

#include "ui_inputcut.h"

InputCut *g_inputcut = nullptr;
KOR_PAGE(InputCut, g_inputcut, InputChoose)

InputCut::InputCut(QWidget *parent) : KorPage(KorPageNo::InputCut, parent), ui(new Ui::InputCut)
{
    ui->setupUi(this);
}

InputCut::~InputCut()
{
    delete ui;
}
