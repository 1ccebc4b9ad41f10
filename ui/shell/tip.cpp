#include "ui/shell/tip.h"

#include "core/global.h"
#include "core/utils.h"
#include "ui/shell/kor_lang.h"
#include "ui_tip.h"

#include <QPixmap>

TIP *g_tip = nullptr;

TIP::TIP(QWidget *parent) : QWidget(parent), ui(new Ui::TIP)
{
    // The flags before the form: set afterwards, every widget of the form takes its style
    // again.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    ui->setupUi(this);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_StyledBackground);
    setFocusPolicy(Qt::NoFocus);
    // Centred on the 320x240 panel.
    move(60, 75);
}

TIP::~TIP()
{
    if (g_tip == this)
        g_tip = nullptr;
    delete ui;
}

void TIP::tip_create(int kind)
{
    QString text;
    const char *icon = ":/png/warning.png";
    switch (kind) {
    case 1:
        text = kor_tr("设置成功", "Done", "Готово", "Thành công", "設置成功");
        icon = ":/png/state_on.png";
        break;
    case 3:
        text = kor_tr("U盘已连接", "USB drive connected", "USB-диск подключён", "Đã kết nối USB", "U盤已連接");
        break;
    case 4:
        text = kor_tr("U盘已拔出", "USB drive removed", "USB-диск извлечён", "Đã rút USB", "U盤已拔出");
        break;
    case 5:
        text = kor_tr("正在读取数据...", "Reading data...", "Чтение данных...", "Đang đọc dữ liệu...", "正在讀取數據...");
        break;
    case 6:
        text = kor_tr("操作失败!", "Failed!", "Ошибка!", "Thất bại!", "操作失敗!");
        break;
    default:
        return;
    }
    m_kind = kind;
    ui->label_text->setText(text);
    ui->label_icon->setPixmap(QPixmap(QString::fromLatin1(icon)).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_shown_at = G_timeTicks.load();
    show();
    raise();
}

void TIP::update_tick()
{
    if (isVisible() && Utils::getTimeSpace(m_shown_at) >= kShowTicks)
        hide();
}
