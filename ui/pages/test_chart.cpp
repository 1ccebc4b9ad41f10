#include "ui/pages/test_chart.h"

#include "core/korrampara.h"
#include "core/table_write.h"
#include "ui_test_chart.h"

#include <QPixmap>

test_chart *g_test_chart = nullptr;
KOR_PAGE(test_chart, g_test_chart, Option)

namespace {
constexpr int kCloseItem = 8;

QString numbered(QString text, int number)
{
    return text.replace(QLatin1String("%d"), QString::number(number));
}
}

test_chart::test_chart(QWidget *parent)
    : KorPage(KorPageNo::test_chart, parent)
    , ui(new Ui_test_chart)
    , m_thumb_normal(QStringLiteral("color: rgb(255, 255, 255);"))
    , m_thumb_selected(QStringLiteral("border:1px solid rgb(255,171,84);"))
    , m_button_normal(
          QStringLiteral("color: rgb(255, 255, 255);background-color:rgb(0,0,0);border:1px solid rgb(255,255,255);"))
    , m_button_selected(
          QStringLiteral("color: rgb(255, 255, 255); background-color:rgb(0,0,0);border:1px solid rgb(255,171,84);"))
{
    ui_select = 0;
    ui->setupUi(this);
    QLabel *const thumbs[8] = {ui->label_test1, ui->label_test2, ui->label_test3, ui->label_test4,
                               ui->label_test5, ui->label_test6, ui->label_test7, ui->label_test8};
    for (int i = 0; i < 8; ++i)
        thumbs[i]->setPixmap(QPixmap(QStringLiteral(":/png/img_test%1.png").arg(i + 1)));
    menulist_init();
    language_changed();
}

test_chart::~test_chart()
{
    delete ui;
}

void test_chart::menulist_init()
{
    QLabel *const thumbs[8] = {ui->label_test1, ui->label_test2, ui->label_test3, ui->label_test4,
                               ui->label_test5, ui->label_test6, ui->label_test7, ui->label_test8};
    focus.clear();
    for (QLabel *thumb : thumbs)
        focus.add(thumb, m_thumb_normal, m_thumb_selected, [this] { slot_Button_on_clicked(); });
    focus.add(ui->Button_closetest, m_button_normal, m_button_selected, [this] { slot_Button_back_clicked(); });
    focus.start(0);
}

void test_chart::language_changed()
{
    ui->label_testimage->setText(kor_tr("测试图", "Test pattern", "Тестовый образец", "Biểu đồ kiểm tra", "測試圖"));
    ui->label_red->setText(numbered(kor_tr("红色", "Red", "Тест %d", "Kiểm tra %d", "紅色"), 1));
    ui->label_green->setText(numbered(kor_tr("绿色", "Green", "Тест %d", "Kiểm tra %d", "綠色"), 2));
    ui->label_blue->setText(numbered(kor_tr("蓝色", "Blue", "Тест %d", "Kiểm tra %d", "藍色"), 3));
    ui->label_white->setText(numbered(kor_tr("白色", "White", "Тест %d", "Kiểm tra %d", "白色"), 4));
    ui->label_black->setText(numbered(kor_tr("黑色", "Black", "Тест %d", "Kiểm tra %d", "黑色"), 5));
    ui->label_color->setText(numbered(kor_tr("色带", "Colour bar", "Тест %d", "Kiểm tra %d", "色帶"), 6));
    ui->label_hline->setText(numbered(kor_tr("竖线", "Vertical line", "Тест %d", "Kiểm tra %d", "豎線"), 7));
    ui->label_wline->setText(numbered(kor_tr("横线", "Horizontal line", "Тест %d", "Kiểm tra %d", "橫線"), 8));
    ui->Button_closetest->setText(kor_tr("关闭测试图", "Close", "Закрыть", "Đóng", "關閉測試圖"));
}

void test_chart::syncUpdate()
{
    retext_if_language_changed();
}

void test_chart::page_refresh(int)
{
    syncUpdate();
}

void test_chart::write_pattern(unsigned char pattern)
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    KorTableWrite change;
    change.set_u8(KorTable::kTestPattern, pattern);
}

void test_chart::slot_Button_on_clicked()
{
    write_pattern(ui_select < kCloseItem ? static_cast<unsigned char>(ui_select + 1) : 0);
}

void test_chart::slot_Button_back_clicked()
{
    write_pattern(0);
    go_back();
}
