#include "ui/pages/factory.h"

#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/table_write.h"
#include "core/utils.h"
#include "fpga/fpga_manage.h"
#include "inputs/dizidezorar.h"
#include "scaler/v331_manage.h"
#include "ui/shell/kor_combo_edit.h"
#include "ui/shell/kor_quiet_combos.h"
#include "ui_factory.h"

factory *g_factory = nullptr;
KOR_PAGE(factory, g_factory, AdvancedOption)

namespace {
constexpr int kLanguages = 5;
const char kResetIp[] = "192.168.1.199";

bool lang_enabled(int lang)
{
    return lang >= 0 && lang < kLanguages && ((g_lcd_lang_valid.load() >> lang) & 1);
}

// FPGA 0 reports itself running in its state register.
bool fpga_running()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga && fpga->get_fpga_status();
}

QString white12(const QString &text)
{
    return QStringLiteral("<font style = 'font-size:12px' color = #ffffff >%1</font>").arg(text);
}

QString piece(const QString &text, bool present)
{
    return present ? QStringLiteral("<font style = 'font-size:13px' color = #00ff00 >%1</font>").arg(text)
                   : QStringLiteral("<font style = 'font-size:13px' color = #ff0000 >%1</font>").arg(text);
}
}

factory::factory(QWidget *parent)
    : KorPage(KorPageNo::factory, parent)
    , ui(new Ui::factory)
    , combo_normal(kor_combo_style("rgb(255,255,255)"))
    , combo_focus(kor_combo_style("rgb(255,171,84)"))
    , combo_edit(kor_combo_style("rgb(255,0,0)"))
    , button_normal(QStringLiteral("color:rgb(255,255,255);\nborder:1px solid rgb(255, 255, 255);"))
    , button_focus(QStringLiteral("color:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);"))
{
    {
        KorQuietCombos quiet;
        ui->setupUi(this);
    }
    para_init();
    menulist_init();
    language_changed();
}

factory::~factory()
{
    delete ui;
}

void factory::para_init() { }

void factory::menulist_init()
{
    menulist[0] = ui->Box_lang_2;
    menulist[1] = ui->Button_rst1;
    menulist[2] = ui->Button_rst2;
    menulist[3] = ui->Button_rst3;
    focus.clear();
    focus.add(menulist[0], combo_normal, combo_focus, [this] {
        lang_editing = 1;
        ui->Box_lang_2->setStyleSheet(combo_edit);
    });
    focus.add(menulist[1], button_normal, button_focus, [this] { on_Button_reset1_clicked(); });
    focus.add(menulist[2], button_normal, button_focus, [this] { on_Button_reset2_clicked(); });
    focus.add(menulist[3], button_normal, button_focus, [this] { on_Button_reset3_clicked(); });
    lang_editing = 0;
    const int lang = g_language.load();
    lang_index = uint8_t(lang_enabled(lang) ? lang : 1);
    focus.start(0);
    show_lang_index();
}

void factory::show_lang_index()
{
    if (lang_index < kLanguages)
        ui->Box_lang_2->setCurrentIndex(lang_index);
}

void factory::language_changed()
{
    ui->label_factory->setText(
        kor_tr("工厂设置", "Factory setup", "Системные настройки", "Khôi phục cài đăt gốc", "工廠設置"));
    ui->label_lang->setText(kor_tr("语言", "language", "Язык", "Ngôn ngữ", "語言"));
    ui->label_rst->setText(kor_tr("工厂复位", "Factory reset", "Сброс настроек", "Khôi phục cài đặt gốc", "工廠複位"));
    ui->label_ip->setText(kor_tr("保持IP不变", "Keep IP", "Сохранить IP", "Giữ nguyên IP", "保持IP不變"));
    ui->label_edid->setText(kor_tr(
        "IP和EDID保持不变", "Keep IP,EDIP", "Сохранить IP и EDID", "IP và EDID vẫn giữ nguyên", "IP和EDID保持不變"));
    ui->label_all->setText(
        kor_tr("全部恢复出厂设置", "Reset ALL", "Сбросить все", "Khôi phục cài đặt gốc tất cả", "全部恢複出廠設置"));
    const QString press = kor_tr("点击OK应用", "Press Ok", "Нажмите ОК", "Đồng ý", "點擊OK應用");
    ui->Button_rst1->setText(press);
    ui->Button_rst2->setText(press);
    ui->Button_rst3->setText(press);

    // Which OSD fonts the scaler's flash holds; read once per re-texting, not polled.
    const v331_manage *scaler = v331_manage::p_v331_manage;
    const unsigned fonts = scaler ? scaler->font_valid.load() : 0u;
    const int lang = g_language.load();
    const bool zh = lang == 0 && lang_enabled(0);
    const bool tw = lang == 4 && lang_enabled(4);
    QString p32 = QStringLiteral("32"), p64 = QStringLiteral("64"), p128 = QStringLiteral("128");
    if (zh) {
        p32 = QStringLiteral("32宽");
        p64 = QStringLiteral("64宽");
        p128 = QStringLiteral("128宽");
    } else if (tw) {
        p32 = QStringLiteral("32寬");
        p64 = QStringLiteral("64寬");
        p128 = QStringLiteral("128寬");
    }
    const QString bar = white12(QStringLiteral("|"));
    auto line = [&](const QString &prefix, bool has32, bool has64) {
        return white12(prefix) + piece(p32, has32) + bar + piece(p64, has64) + bar + piece(p128, has64);
    };
    ui->FontCN->setText(line(zh ? QStringLiteral("中文:") : QStringLiteral("CN:"), fonts & 0x01, fonts & 0x04));
    ui->FontEN->setText(line(zh ? QStringLiteral("英文:") : QStringLiteral("EN:"), fonts & 0x02, fonts & 0x08));
}

void factory::syncUpdate()
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table || !table->KorLanguageChanged())
        return;
    const int lang = g_language.load();
    if (lang < kLanguages) {
        lang_index = uint8_t(lang);
        show_lang_index();
    }
    language_changed();
}

void factory::lcdlang_current_checkplus()
{
    skip_disabled_lang(1);
}

void factory::lcdlang_current_checkmin()
{
    skip_disabled_lang(-1);
}

void factory::skip_disabled_lang(int step)
{
    const int c = lang_index;
    if (c >= kLanguages || lang_enabled(c))
        return;
    for (int n = 1; n < kLanguages; ++n) {
        const int l = (c + step * n + kLanguages) % kLanguages;
        if (lang_enabled(l)) {
            lang_index = uint8_t(l);
            return;
        }
    }
    // No language enabled at all: the candidate stays, so the keys step through all five.
}

void factory::key_right()
{
    if (!lang_editing) {
        focus.move(1);
        return;
    }
    lang_index = uint8_t(lang_index + 1);
    lcdlang_current_checkplus();
    if (lang_index >= kLanguages) {
        lang_index = 0;
        lcdlang_current_checkplus();
    }
    show_lang_index();
}

void factory::key_left()
{
    if (!lang_editing) {
        focus.move(-1);
        return;
    }
    lang_index = lang_index == 0 ? uint8_t(kLanguages - 1) : uint8_t(lang_index - 1);
    lcdlang_current_checkmin();
    show_lang_index();
}

void factory::key_ok()
{
    if (lang_editing) {
        on_Button_lang_clicked();
        lang_editing = 0;
        focus.show_focus(0);
        return;
    }
    focus.activate();
}

void factory::on_Button_lang_clicked()
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table || lang_index >= kLanguages)
        return;
    {
        KorTableWrite change;
        if (table->ram[KorTable::kLanguage] == lang_index)
            return;
        g_language = lang_index;
        change.set_u8(KorTable::kLanguage, lang_index);
    }
    language_changed();
}

void factory::restore_table(RestoreKind kind)
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table)
        return;
    using namespace KorTable;
    const unsigned char *defaults = default_para_ramlist + 2; // image byte 2 + k: offset kStoredBegin + k
    // One section: the scaler never applies a half-restored table.
    KorTableWrite change;
    if (kind == KeepIpEdid) {
        // The EDID records and what follows them up to the splice mode are kept.
        change.set_bytes(kStoredBegin, defaults, kEdidBegin - kStoredBegin);
        change.set_bytes(kSpliceMode, defaults + (kSpliceMode - kStoredBegin), kSize - kSpliceMode);
    } else {
        change.set_bytes(kStoredBegin, defaults, kStoredSize);
    }
    table->reset_window_pairs();
    const bool geometry_changed = change.u16(kSpliceMode) != change.shadow_u16(kSpliceMode)
        || change.u16(kLedWidth) != change.shadow_u16(kLedWidth)
        || change.u16(kLedHeight) != change.shadow_u16(kLedHeight);
    if (geometry_changed && fpga_running()) {
        QMutexLocker led(&Utils::_led_para_init_mutex);
        g_set_led_para.store(1, std::memory_order_release);
        g_set_led_setup.store(0, std::memory_order_release);
    }
    if (kind == KeepIp && dizidezorar::p_kavri_source)
        for (auto &flag : dizidezorar::edid_rewrite)
            flag.store(1, std::memory_order_release);
}

void factory::on_Button_reset1_clicked()
{
    restore_table(KeepIp);
}

void factory::on_Button_reset2_clicked()
{
    restore_table(KeepIpEdid);
}

void factory::on_Button_reset3_clicked()
{
    // The network first, outside the change lock; only the address decides.
    if (g_str_ip != kResetIp) {
        ConfigEngine *config = ConfigEngine::pInstance();
        config->write_config_variant(ConfigItem::IPAddress, QString::fromLatin1(kResetIp));
        config->write_config_variant(ConfigItem::SubNetMask, QStringLiteral("255.255.255.0"));
        config->write_config_variant(ConfigItem::GateWay, QStringLiteral("192.168.1.1"));
        Utils::system_mutex(QStringLiteral("sync"));
        Utils::initIPAddress();
    }
    restore_table(KeepIp);
}
