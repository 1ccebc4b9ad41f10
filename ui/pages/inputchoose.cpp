#include "ui/pages/inputchoose.h"

#include "core/alias.h"
#include "core/korrampara.h"
#include "ui/pages/sourceinfo.h"
#include "ui_inputchoose.h"

#include <QPixmap>

InputChoose *g_inputchoose = nullptr;
KOR_PAGE(InputChoose, g_inputchoose, MainMenu)

namespace {
const char kSourceNormal[] = "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);";
const char kSourceChosen[] =
    "color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(71, 119, 255);";

// The operator's name for the input from the alias file, else its fixed name.
QString shown_source_name(unsigned char id)
{
    ALIAS_PARA alias;
    if (get_json_alias_para(&alias, "source", id))
        return QString::fromStdString(alias.name);
    return sourceinfo::get_source_name_by_sourceid(id);
}
}

InputChoose::InputChoose(QWidget *parent) : KorPage(KorPageNo::InputChoose, parent), ui(new Ui::InputChoose)
{
    ui->setupUi(this);
    // Names come from the alias file: shown as typed, never as markup.
    for (QLabel *label : {ui->sourcelistseq0name, ui->sourcelistseq1name, ui->sourcelistseq2name, ui->sourcelistseq3name,
                          ui->sourcelistseq4name, ui->sourcelistseq5name, ui->label_window})
        label->setTextFormat(Qt::PlainText);
    ui->label_note_OK->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    connect(ui->Button_EDID, &QPushButton::clicked, this, &InputChoose::kor_button_EDID_clicked);
    connect(ui->Button_crop, &QPushButton::clicked, this, &InputChoose::kor_button_crop_clicked);
    focus.add_menu(ui->Button_EDID, [this] { kor_button_EDID_clicked(); });
    focus.add_menu(ui->Button_crop, [this] { kor_button_crop_clicked(); });
    focus.start(0);
    initSource();
    language_changed();
}

InputChoose::~InputChoose()
{
    delete ui;
}

void InputChoose::language_changed()
{
    ui->label_title->setText(kor_tr("输入源", "Input", "Вход", "Đầu vào", "輸入源"));
    ui->Button_EDID->setText(QStringLiteral("EDID"));
    ui->Button_crop->setText(kor_tr("输入截取", "Crop", "Обрезка", "Cắt ảnh", "輸入截取"));
    const int window = kor_keyboard::current_window();
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    const int source = table ? table->u16(KorTable::Window::offset(window, KorTable::Window::kSource)) : -1;
    const QString name = source >= 0 && source < 6 ? shown_source_name(static_cast<unsigned char>(source))
                                                   : QStringLiteral("-");
    ui->label_window->setText(
        kor_tr("画面%1: %2", "Window %1: %2", "Окно %1: %2", "Cửa sổ %1: %2", "畫面%1: %2").arg(window + 1).arg(name));
}

void InputChoose::initSource()
{
    QLabel *const names[6] = {ui->sourcelistseq0name, ui->sourcelistseq1name, ui->sourcelistseq2name,
                              ui->sourcelistseq3name, ui->sourcelistseq4name, ui->sourcelistseq5name};
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    const int window = kor_keyboard::current_window();
    const int source = table ? table->u16(KorTable::Window::offset(window, KorTable::Window::kSource)) : -1;
    const int chosen =
        source >= 0 && source < 6 ? sourceinfo::get_listseq_by_source_id(static_cast<unsigned char>(source)) : -1;
    for (unsigned char i = 0; i < 6; ++i) {
        names[i]->setText(shown_source_name(sourceinfo::get_source_id_by_listseq(i)));
        names[i]->setStyleSheet(QString::fromLatin1(i == chosen ? kSourceChosen : kSourceNormal));
    }
}

void InputChoose::child_returned(int)
{
    language_changed();
    initSource();
}

void InputChoose::kor_button_EDID_clicked()
{
    open_page(KorPageNo::EDIDset);
}

void InputChoose::kor_button_crop_clicked()
{
    open_page(KorPageNo::InputCut);
}
