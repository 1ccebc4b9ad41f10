#include "ui/pages/linkcom.h"

#include "ui_linkcom.h"

linkcom *g_linkcom = nullptr;
KOR_PAGE(linkcom, g_linkcom, LinkOption)

linkcom::linkcom(QWidget *parent) : KorPage(KorPageNo::linkcom, parent), ui(new Ui::linkcom)
{
    ui->setupUi(this);
    para_init();
    language_changed();
    menulist_init();
}

linkcom::~linkcom()
{
    delete ui;
}

void linkcom::para_init() {}

// Nothing to select: left, right and OK only leave their traces.
void linkcom::menulist_init() {}

void linkcom::language_changed()
{
    ui->label_com->setText(kor_tr("串口连接", "Serial port", "COM-порт", "Cài đặt cổng nối tiếp", "串口連接"));
    ui->label_baud->setText(kor_tr("波特率", "Baud rate", "Скорость передачи", "Tốc độ truyền", "波特率"));
    ui->label_bit->setText(kor_tr("数据位", "Data bits", "Биты данных", "Bit dữ liệ", "數據位"));
    ui->label_stop->setText(kor_tr("停止位", "Stop bit", "Бит остановки", "Dừng bit", "停止位"));
}
