#include "ui/pages/temperature.h"

#include "core/korrampara.h"
#include "core/table_write.h"
#include "ui/shell/kor_quiet_combos.h"
#include "ui_temperature.h"

#include <QLineEdit>

temperature *g_temperature = nullptr;
KOR_PAGE(temperature, g_temperature, ImageQuality)

namespace {
constexpr int kTypes = 4;
// Rows 1 to 3: red, green, blue.
constexpr int kGainWord[4] = {0, KorTable::kGainRed, KorTable::kGainGreen, KorTable::kGainBlue};

QString combo_style(const char *border)
{
    return QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);border:1px solid %1;\n}\n"
                          "QComboBox:drop-down{\nborder-style:none\n}")
        .arg(QLatin1String(border));
}
}

temperature::temperature(QWidget *parent)
    : KorValueRowsPage(KorPageNo::temperature, parent),
      ui(new Ui_temperature),
      m_combo_normal(combo_style("rgb(255,255,255)")),
      m_combo_focus(combo_style("rgb(255,171,84)")),
      m_combo_edit(combo_style("rgb(255,0,0)"))
{
    {
        KorQuietCombos quiet;
        ui->setupUi(this);
    }
    para_init();
    menulist_init();
    language_changed();
}

temperature::~temperature()
{
    delete ui;
}

void temperature::para_init()
{
    const KorRamPara *t = KorRamPara::p_korrampara_config;
    QLineEdit *const fields[3] = {ui->lineEdit_name_red, ui->lineEdit_name_green, ui->lineEdit_name_blue};
    for (int i = 0; i < 3; ++i)
        fields[i]->setText(QString::number(t ? int16_t(t->u16(kGainWord[i + 1])) : 0));
    // Texted once: the names keep the language the page was opened in.
    ui->comboBox_type->addItem(kor_tr("自定义", "custom", "Свой", "Tùy chỉnh", "自定義"));
    ui->comboBox_type->addItem(kor_tr("偏暖", "warm", "Теплый", "Màu ấm", "偏暖"));
    ui->comboBox_type->addItem(kor_tr("自然", "nature", "Природный", "Tự nhiên", "自然"));
    ui->comboBox_type->addItem(kor_tr("偏冷", "cool", "Холодный", "Lạnh hơn", "偏冷"));
    const uint16_t type = t ? t->u16(KorTable::kColorTempType) : 0;
    m_type = type < kTypes ? uint8_t(type) : 0;
    ui->comboBox_type->setCurrentIndex(m_type);
}

void temperature::menulist_init()
{
    focus.clear();
    focus.add(ui->comboBox_type, m_combo_normal, m_combo_focus);
    for (QLineEdit *field : {ui->lineEdit_name_red, ui->lineEdit_name_green, ui->lineEdit_name_blue})
        focus.add(field, KorValueEdit::normal_style(), KorValueEdit::focus_style());
    m_value.set_field(ui->lineEdit_name_red);
    ui->lineEdit_name_red->setStyleSheet(KorValueEdit::normal_style());
    m_remembered_type = m_type;
    m_edit = 0;
    focus.start(0);
}

int temperature::value_word(int row) const
{
    return row >= 1 && row <= 3 ? kGainWord[row] : -1;
}

bool temperature::own_row_ok(int)
{
    m_remembered_type = m_type;
    ui->comboBox_type->setStyleSheet(m_combo_edit);
    return true;
}

void temperature::own_row_step(int step)
{
    // Only shown while editing; OK writes it.
    m_type = uint8_t((m_type + kTypes + step) % kTypes);
    ui->comboBox_type->setCurrentIndex(m_type);
}

void temperature::own_row_end(bool kept)
{
    if (!kept)
        m_type = m_remembered_type;
    ui->comboBox_type->setStyleSheet(m_combo_focus);
    on_button_type_clicked();
    if (!kept)
        ui->comboBox_type->setCurrentIndex(m_type);
}

void temperature::on_button_type_clicked()
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    KorTableWrite change;
    // The whole word: the scaler takes it modulo 4, and a high byte left from a host write
    // would give another type than the one shown.
    change.set_u16(KorTable::kColorTempType, m_type);
}

void temperature::language_changed()
{
    ui->label_temperature->setText(kor_tr("色温", "Temperature", "Температура Оттенок", "Độ màu", "色溫"));
    ui->label_type->setText(kor_tr("色温类型", "temperature type", "Выбор цвета", "Lựa chọn độ màu", "色溫類型"));
    ui->label_name_red->setText(kor_tr("红色", "Red", "Красный", "Màu đỏ", "紅色"));
    ui->label_name_green->setText(kor_tr("绿色", "Green", "Зеленый", "Màu xanh lá cây", "綠色"));
    ui->label_name_blue->setText(kor_tr("蓝色", "Blue", "Синий", "Màu xanh da trời", "藍色"));
}

void temperature::syncUpdate()
{
    retext_if_language_changed();
}
