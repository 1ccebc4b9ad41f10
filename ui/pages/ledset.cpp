#include "ui/pages/ledset.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/syncupdate.h"
#include "core/table_write.h"
#include "core/utils.h"
#include "fpga/fpga_manage.h"
#include "ui/shell/my_lineedit.h"
#include "ui/shell/tip.h"
#include "ui_ledset.h"

#include <QPixmap>
#include <algorithm>

ledset *g_ledset = nullptr;
KOR_PAGE(ledset, g_ledset, OutputSet)

namespace {
const char kWidthField[] = "lineEdit_ledw";
const char kHeightField[] = "lineEdit_ledh";

// A typed entry; a text that is not a number reads as 0. Digits too many for a long are
// still a large number, not 0.
long entry_value(const QString &text)
{
    bool ok = false;
    const long long v = text.toLongLong(&ok);
    if (ok)
        return long(qBound<long long>(-1, v, 1L << 30));
    const QString t = text.trimmed();
    if (!t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); }))
        return 1L << 30;
    return 0;
}

// The fields hold what the table holds: unsigned 16-bit words.
uint16_t field_word(const QString &text)
{
    return uint16_t(text.trimmed().toUInt());
}

bool fpga_running()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga && fpga->get_fpga_status();
}
}

ledset::ledset(QWidget *parent) : KorPage(KorPageNo::ledset, parent), ui(new Ui::ledset)
{
    ui->setupUi(this);
    ui->label_warning->setPixmap(QPixmap(QStringLiteral(":/png/warning.png")));
    connect_number_field(ui->lineEdit_ledw);
    connect_number_field(ui->lineEdit_ledh);
    para_init();
    menulist_init();
    language_changed();
}

ledset::~ledset()
{
    delete ui;
}

void ledset::para_init()
{
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return;
    ui->lineEdit_ledw->setText(QString::number(table->u16(KorTable::kLedWidth)));
    ui->lineEdit_ledh->setText(QString::number(table->u16(KorTable::kLedHeight)));
}

void ledset::menulist_init()
{
    const QString field_normal = QString::fromLatin1(KorStyle::field_normal);
    const QString field_focus = QString::fromLatin1(KorStyle::field_focus);
    const QString button_normal = QString::fromLatin1(KorStyle::button_normal);
    const QString button_focus = QString::fromLatin1(KorStyle::button_focus);
    focus.clear();
    focus.add(ui->lineEdit_ledw, field_normal, field_focus, [this] { emit_send_show(ui->lineEdit_ledw); });
    focus.add(ui->lineEdit_ledh, field_normal, field_focus, [this] { emit_send_show(ui->lineEdit_ledh); });
    focus.add(ui->Button_apply, button_normal, button_focus, [this] { on_Button_apply1_clicked(); });
    focus.add(ui->Button_cancle, button_normal, button_focus, [this] { slot_Button_back_clicked(); });
    focus.start(0);
    focus.show_normal(2);
}

void ledset::language_changed()
{
    ui->label_ledset->setText(kor_tr("LED设置", "LED Setting", "Настройки LED", "Cài đặt LED", "LED設置"));
    ui->label_ledw->setText(kor_tr("宽", "W", "Ширина", "Rộng", "寬"));
    ui->label_ledh->setText(kor_tr("高", "H", "Высота", "Cao", "高"));
    ui->Button_apply->setText(kor_tr("应用", "Apply", "OK", "Đồng ý", "應用"));
    ui->Button_cancle->setText(kor_tr("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
    ui->label_note_led_w->setText(
        kor_tr("设置LED屏宽高", "Set LED W&H", "Разрешение LED шир и выс", "Cài đặt thông số led", "設置LED屏寬高"));
    ui->label_tip->setText(kor_fill_numbers(kor_tr("可设LED屏最大点数:%d(宽),%d(高)", "LED max:%d(w),%d(h)",
                                                   "Ширина:%d(px)Высота:%d(px)",
                                                   "Điểm ảnh lớn nhất:%d(ngang),%d(dọc)",
                                                   "可設LED屏最大點數:%d(寬),%d(高)"),
                                            {kMaxSide, kMaxSide}));
}

void ledset::syncUpdate()
{
    retext_if_language_changed();
    const KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return;
    // A host write of the size replaces what was typed but not applied.
    if (table->u16(KorTable::kLedWidth) != table->shadow_u16(KorTable::kLedWidth)
        || table->u16(KorTable::kLedHeight) != table->shadow_u16(KorTable::kLedHeight))
        para_init();
}

QString ledset::number_keyboard_title(My_lineEdit *field) const
{
    const bool width = field == ui->lineEdit_ledw;
    switch (kor_shown_language()) {
    case 0:
        return width ? QString::fromUtf8("宽") : QString::fromUtf8("高");
    case 4:
        return width ? QString::fromUtf8("寬") : QString::fromUtf8("高");
    default:
        return width ? QStringLiteral("W") : QStringLiteral("H");
    }
}

void ledset::show_numberkeyboard_ui(QString)
{
    My_lineEdit *field = qobject_cast<My_lineEdit *>(sender());
    if (!field || field->window() != this)
        return;
    m_edit_name = field->objectName();
    if (m_edit_name != QLatin1String(kWidthField) && m_edit_name != QLatin1String(kHeightField))
        return;
    run_number_keyboard(field, number_keyboard_title(field));
}

void ledset::confirmString(QString text)
{
    My_lineEdit *edited;
    My_lineEdit *other;
    if (m_edit_name == QLatin1String(kWidthField)) {
        edited = ui->lineEdit_ledw;
        other = ui->lineEdit_ledh;
    } else if (m_edit_name == QLatin1String(kHeightField)) {
        edited = ui->lineEdit_ledh;
        other = ui->lineEdit_ledw;
    } else {
        return;
    }
    const long v = entry_value(text);
    const long o = field_word(other->text());
    if (v > kMaxSide) {
        edited->setText(QString::number(kMaxSide));
        if (o * kMaxSide > kMaxPixels)
            other->setText(QString::number(kMaxPixels / kMaxSide));
    } else if (v >= kMinSide) {
        edited->setText(text);
        // The side forced down stays within the page's limits too.
        if (o * v > kMaxPixels)
            other->setText(QString::number(qMin<long>(kMaxPixels / v, kMaxSide)));
    } else {
        edited->setText(QString::number(kMinSide));
    }
}

void ledset::on_Button_apply1_clicked()
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return;
    const uint16_t w = field_word(ui->lineEdit_ledw->text());
    const uint16_t h = field_word(ui->lineEdit_ledh->text());

    using namespace KorTable;
    bool size_changed = false;
    {
        KorTableWrite change;
        change.set_u16(kSpliceMode, 0);
        for (int out = 0; out < kOutputs; ++out) {
            change.set_u16(output_x(out), 0);
            change.set_u16(output_y(out), 0);
            change.set_u16(output_width(out), w);
            change.set_u16(output_height(out), h);
        }
        change.set_u16(kLedWidth, w);
        change.set_u16(kLedHeight, h);

        if (w != change.shadow_u16(kLedWidth) || h != change.shadow_u16(kLedHeight)) {
            // Window 0 covers the new canvas; the others are switched off, nothing else of them.
            change.set_u16(Window::offset(0, Window::kX), 0);
            change.set_u16(Window::offset(0, Window::kY), 0);
            change.set_u16(Window::offset(0, Window::kWidth), w);
            change.set_u16(Window::offset(0, Window::kHeight), h);
            for (int window = 1; window < Window::kCount; ++window)
                change.set_u16(Window::offset(window, Window::kEnable), 0);
            if (fpga_running()) {
                QMutexLocker led(&Utils::_led_para_init_mutex);
                g_set_led_para.store(1, std::memory_order_release);
                g_set_led_setup.store(0, std::memory_order_release);
            }
            size_changed = true;
        }
    }
    // The done tick only for a size that reached the flash.
    if (size_changed)
        SyncUpdate::pInstance()->when_saved([] {
            if (g_tip)
                g_tip->tip_create(1);
        });
}
