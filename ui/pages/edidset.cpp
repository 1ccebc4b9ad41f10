#include "ui/pages/edidset.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/table_map.h"
#include "ui/pages/sourceinfo.h"
#include "ui/shell/my_lineedit.h"
#include "ui_edidset.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <cstdint>
#include <cstring>

EDIDset *g_edidset = nullptr;
KOR_PAGE(EDIDset, g_edidset, InputChoose)

namespace {
const char kTabInactive[] =
    "border:1px solid;border-bottom-color:rgb(16,16,28);border-left-color:rgb(71, 119, 255);"
    "border-right-color:rgb(71, 119, 255);border-top-color:rgb(71, 119, 255);";
const char kTabActive[] =
    "border:1px solid;border-bottom-color:rgb(16,16,28);border-left-color:rgb(255,171,84);"
    "border-right-color:rgb(255,171,84);border-top-color:rgb(255,171,84);";
const char kCardInactive[] = "#frame_source{border:1px solid rgb(71, 119, 255);}";
const char kCardActive[] = "#frame_source{border:1px solid rgb(255,171,84);}";
const char kField[] = "color:rgb(255,255,255);background-color: rgb(33, 36, 53) ; border:1px solid rgb(255,255,255);";
const char kFieldFocus[] =
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:1px solid rgb(255,171,84);";
const char kButton[] =
    "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53) ; border:1px solid rgb(255,255,255);;";
const char kButtonFocus[] =
    "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53); border:1px solid rgb(255,171,84);";
const char kRateEdit[] = "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:1px solid rgb(255,0,0);";
const char kButtonMade[] = "color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);font:9px";
const char kCardInner[] = "background-color: #212435;border:1px solid #CCCCCC;";
const char kCardIcon[] = "background-color: #212435;";
const char kCardText[] = "background-color:#212435;color:#FFFFFF";

constexpr int kTabY = 38;

QString sheet(const char *text)
{
    return QString::fromLatin1(text);
}

// Word 0 width, 1 height, 2 rate of the record of source `id`.
uint16_t record_word(int id, int word)
{
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    return table ? table->u16(KorTable::edid_width(id) + 2 * word) : 0;
}

// The box's text as the record's signed 16-bit word; 0 for anything else.
short to_word(const QString &text)
{
    bool ok = false;
    const short value = text.toShort(&ok);
    return ok ? value : 0;
}

QLabel *card_label(QWidget *card, const QRect &geometry, const QString &text)
{
    QLabel *label = new QLabel(card);
    label->setGeometry(geometry);
    label->setStyleSheet(sheet(kCardText));
    QFont font = label->font();
    font.setPixelSize(10);
    label->setFont(font);
    label->setText(text);
    return label;
}

QPushButton *made_button(QWidget *page, const char *caption)
{
    QPushButton *button = new QPushButton(QString::fromUtf8(caption), page);
    QFont font = button->font();
    font.setPixelSize(9);
    button->setFont(font);
    button->setStyleSheet(sheet(kButtonMade));
    button->setFocusPolicy(Qt::NoFocus);
    button->hide();
    return button;
}
}

EDIDset::EDIDset(QWidget *parent) : KorPage(KorPageNo::EDIDset, parent), ui(new Ui::EDIDset)
{
    ui->setupUi(this);
    ui_select = 0;
    ui_line_select = 0;
    ui_seltype = 0;
    freq_60 = 0;
    freq_60_saved = 0;
    source_id = 2;

    QLabel *const names[6] = {ui->sourcelistseq0name, ui->sourcelistseq1name, ui->sourcelistseq2name,
                              ui->sourcelistseq3name, ui->sourcelistseq4name, ui->sourcelistseq5name};
    QLabel *const icons[6] = {ui->sourcelistseq0pixmap, ui->sourcelistseq1pixmap, ui->sourcelistseq2pixmap,
                              ui->sourcelistseq3pixmap, ui->sourcelistseq4pixmap, ui->sourcelistseq5pixmap};
    for (unsigned char p = 0; p < 6; ++p) {
        const unsigned char id = sourceinfo::get_source_id_by_listseq(p);
        names[p]->setText(sourceinfo::get_source_specialstyle0_by_sourceid(id).arg(sourceinfo::get_source_name_by_listseq(p)));
        sourceinfo::set_source_pixmap(icons[p], id);
        icons[p]->setScaledContents(true);
    }

    frame_tab = new QFrame(this);
    frame_tab->setGeometry(4, kTabY, 50, 43);
    frame_tab->setStyleSheet(sheet(kTabActive));
    frame_tab->lower();
    source_name = sourceinfo::get_source_name_by_listseq(0);
    ui->frame_add->hide();

    button_cancel = made_button(this, "取消");
    button_save = made_button(this, "保存");
    button_delete = made_button(this, "删除");

    connect_number_field(ui->lineEdit_W);
    connect_number_field(ui->lineEdit_H);

    menulist_init();
    source_init();
    language_changed();
}

EDIDset::~EDIDset()
{
    delete ui;
}

void EDIDset::menulist_init()
{
    menulist.clear();
    menulist << button_delete << button_cancel << button_save << ui->lineEdit_W << ui->lineEdit_H;
    button_focus = button_delete;
    button_focus->setStyleSheet(sheet(kButton));
    ui_select = 0;
    ui_line_select = 0;
    ui_seltype = 0;
    freq_60 = 0;
    line_focus = menulist.at(3 + ui_line_select);
    line_focus->setStyleSheet(sheet(kButton));
}

void EDIDset::source_init()
{
    delete frame_source;
    frame_source = new QFrame(this);
    frame_source->setObjectName(QStringLiteral("frame_source"));
    frame_source->setGeometry(4, 80, 310, 120);
    frame_source->setStyleSheet(sheet(ui_seltype != 0 ? kCardInactive : kCardActive));

    QFrame *inner = new QFrame(frame_source);
    inner->setGeometry(10, 10, 120, 50);
    inner->setStyleSheet(sheet(kCardInner));

    QLabel *state = new QLabel(frame_source);
    state->setGeometry(15, 13, 7, 7);
    state->setScaledContents(true);
    state->setPixmap(QPixmap(QStringLiteral(":/png/state_on.png")));

    QLabel *connector = new QLabel(frame_source);
    connector->setGeometry(25, 13, 25, 8);
    connector->setStyleSheet(sheet(kCardIcon));
    connector->setScaledContents(true);
    sourceinfo::set_source_pixmap(connector, source_id == 1 ? 1 : 0);

    card_label(frame_source, QRect(15, 24, 60, 12), source_name);
    const QString timing = QString::asprintf("%dx%d@%dHz", int(int16_t(record_word(source_id, 0))),
                                             int(int16_t(record_word(source_id, 1))),
                                             int(int16_t(record_word(source_id, 2))));
    card_label(frame_source, QRect(15, 39, 88, 12), timing);

    // Beneath the tabs' outline and the edit box, which covers its lower part.
    frame_source->lower();
    frame_source->show();
}

QString EDIDset::source_caption() const
{
    return kor_tr("EDID信源:", "EDID source:", "Источник EDID:", "Tín hiệu EDID:", "EDID信源:");
}

void EDIDset::language_changed()
{
    ui->label_title->setText(kor_tr("设置EDID", "EDID Settings", "Настройка EDID", "Cài đặt EDID", "設置EDID"));
    ui->label_edid_source->setText(source_caption() + source_name);
    ui->label_W->setText(kor_tr("宽", "W", "Ширина", "Rộng", "寬"));
    ui->label_H->setText(kor_tr("高", "H", "Высота", "Cao", "高"));
    ui->label_freq->setText(kor_tr("刷新率", "Refresh rate", "Частота", "Tần số", "刷新率"));
    button_cancel->setText(kor_tr("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
    button_save->setText(kor_tr("保存", "SAVE", "Сохранить", "lưu", "保存"));
    button_delete->setText(kor_tr("删除", "Delete", "Удалить", "Xoá bỏ", "删除"));
}

QString EDIDset::number_keyboard_title(My_lineEdit *field) const
{
    const int lang = kor_shown_language();
    if (field == ui->lineEdit_W)
        return lang == 0 ? QString::fromUtf8("宽") : lang == 4 ? QString::fromUtf8("寬") : QStringLiteral("W");
    if (field == ui->lineEdit_H)
        return lang == 0 || lang == 4 ? QString::fromUtf8("高") : QStringLiteral("H");
    return QString();
}

void EDIDset::syncUpdate()
{
    retext_if_language_changed();
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return;
    const int offset = KorTable::edid_width(source_id);
    if (ui_seltype == 0 && std::memcmp(table->ram + offset, table->shadow + offset, KorTable::kEdidRecordSize) != 0)
        source_init();
}

void EDIDset::kor_button_input_clicked()
{
    frame_tab->setGeometry(4 + 52 * ui_select, kTabY, 50, 43);
    source_id = sourceinfo::get_source_id_by_listseq(ui_select);
    source_name = sourceinfo::get_source_name_by_listseq(ui_select);
    source_init();
}

void EDIDset::kor_button_source_clicked()
{
    frame_tab->setStyleSheet(sheet(kTabInactive));
    frame_source->setStyleSheet(sheet(kCardInactive));
    ui->label_edid_source->setText(source_caption() + source_name);
    const unsigned rate = record_word(source_id, 2);
    ui->lineEdit_W->setText(QString::number(record_word(source_id, 0)));
    ui->lineEdit_H->setText(QString::number(record_word(source_id, 1)));
    ui->label_rate->setText(QString::number(rate));
    freq_60 = rate == 60 ? 1 : 0;
    button_delete->setGeometry(65, 214, 50, 20);
    button_cancel->setGeometry(135, 214, 50, 20);
    button_save->setGeometry(205, 214, 50, 20);
    ui->frame_add->show();
    button_delete->show();
    button_cancel->show();
    button_save->show();
}

void EDIDset::on_Button_freq_clicked()
{
    ui->label_rate->setText(freq_60 ? QStringLiteral("60") : QStringLiteral("30"));
}

void EDIDset::set_box_closed_styles()
{
    frame_tab->setStyleSheet(sheet(kTabActive));
    frame_source->setStyleSheet(sheet(kCardActive));
    line_focus->setStyleSheet(sheet(kField));
    button_focus->setStyleSheet(sheet(kButton));
}

void EDIDset::kor_button_ok_clicked()
{
    set_box_closed_styles();
    const short width = to_word(ui->lineEdit_W->text());
    const short height = to_word(ui->lineEdit_H->text());
    const short rate = to_word(ui->label_rate->text());
    if (KorRamPara *table = KorRamPara::p_korrampara_config)
        table->KorSetEDIDPara(source_id, width, height, rate);
    freq_60 = rate == 60 ? 1 : 0;
    source_init();
    ui->frame_add->hide();
    button_delete->hide();
    button_cancel->hide();
    button_save->hide();
}

void EDIDset::kor_button_cancel_clicked()
{
    set_box_closed_styles();
    ui->label_rate->setStyleSheet(sheet(kButton));
    ui->frame_add->hide();
    button_delete->hide();
    button_cancel->hide();
    button_save->hide();
}

void EDIDset::show_item_normal(int item)
{
    if (item < 2)
        line_focus->setStyleSheet(sheet(kField));
    else if (item == 2)
        ui->label_rate->setStyleSheet(sheet(kField));
    else
        button_focus->setStyleSheet(sheet(kButton));
}

void EDIDset::show_item_focus(int item)
{
    if (item < 2) {
        line_focus = menulist.at(3 + item);
        line_focus->setStyleSheet(sheet(kFieldFocus));
    } else if (item == 2) {
        ui->label_rate->setStyleSheet(sheet(kFieldFocus));
    } else {
        button_focus = menulist.at(item - 3);
        button_focus->setStyleSheet(sheet(kButtonFocus));
    }
}

void EDIDset::move_line_select(int step)
{
    show_item_normal(ui_line_select);
    ui_line_select = static_cast<unsigned char>((ui_line_select + 6 + step) % 6);
    show_item_focus(ui_line_select);
}

void EDIDset::toggle_rate()
{
    freq_60 = freq_60 ? 0 : 1;
    rate_toggled = true;
    on_Button_freq_clicked();
}

void EDIDset::key_left()
{
    switch (ui_seltype) {
    case 0:
        ui_select = ui_select == 0 ? 5 : static_cast<unsigned char>(ui_select - 1);
        kor_button_input_clicked();
        break;
    case 1:
        move_line_select(-1);
        break;
    default:
        toggle_rate();
        break;
    }
}

void EDIDset::key_right()
{
    switch (ui_seltype) {
    case 0:
        ui_select = ui_select >= 5 ? 0 : static_cast<unsigned char>(ui_select + 1);
        kor_button_input_clicked();
        break;
    case 1:
        move_line_select(1);
        break;
    default:
        toggle_rate();
        break;
    }
}

void EDIDset::key_ok()
{
    if (ui_seltype == 0) {
        kor_button_source_clicked();
        line_focus = menulist.at(3 + ui_line_select);
        line_focus->setStyleSheet(sheet(kFieldFocus));
        ui_seltype = 1;
        ui_line_select = 0;
        return;
    }
    if (ui_seltype == 2) {
        // OK keeps what the item shows: only a toggle relabels it.
        if (rate_toggled)
            on_Button_freq_clicked();
        ui->label_rate->setStyleSheet(sheet(kFieldFocus));
        ui_seltype = 1;
        return;
    }
    switch (ui_line_select) {
    case 0:
        emit_send_show(ui->lineEdit_W);
        break;
    case 1:
        emit_send_show(ui->lineEdit_H);
        break;
    case 2:
        ui_seltype = 2;
        ui->label_rate->setStyleSheet(sheet(kRateEdit));
        freq_60_saved = freq_60;
        rate_text_saved = ui->label_rate->text();
        rate_toggled = false;
        break;
    case 3:
    case 4:
        // Delete does what cancel does.
        ui_seltype = 0;
        kor_button_cancel_clicked();
        ui_line_select = 0;
        break;
    default:
        ui_seltype = 0;
        kor_button_ok_clicked();
        ui_line_select = 0;
        break;
    }
}

void EDIDset::key_back()
{
    switch (ui_seltype) {
    case 0:
        slot_Button_back_clicked();
        break;
    case 1:
        ui_seltype = 0;
        ui_line_select = 0;
        kor_button_cancel_clicked();
        break;
    default:
        // Back restores what the item showed when it was entered.
        freq_60 = freq_60_saved;
        ui->label_rate->setText(rate_text_saved);
        ui->label_rate->setStyleSheet(sheet(kFieldFocus));
        ui_seltype = 1;
        break;
    }
}

void EDIDset::trace_release(KorKey key)
{
    KorPage::trace_release(key);
    if (key == KorKey::Ok)
        kor_trace("[EDIDset] ui_seltype=%#x ui_line_select=%#x\n", ui_seltype, ui_line_select);
}
