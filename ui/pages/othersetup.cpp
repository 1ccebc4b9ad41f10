#include "ui/pages/othersetup.h"

#include "core/global.h"
#include "core/korrampara.h"
#include "core/table_write.h"
#include "core/utils.h"
#include "hostlink/z73_wifi_config.h"
#include "scaler/v331_manage.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/kor_quiet_combos.h"
#include "ui_othersetup.h"

#include <QComboBox>

othersetup *g_othersetup = nullptr;
KOR_PAGE(othersetup, g_othersetup, AdvancedOption)

namespace {
using namespace KorTable;

QString combo_style(const char *border)
{
    return QStringLiteral("QComboBox{color:rgb(255,255,255);border:1px solid %1;}\nQComboBox::drop-down{width:0px;}")
        .arg(QLatin1String(border));
}

QString window_entry(int number)
{
    return kor_tr("画面%d", "image%d", "Канал%d", "Hình ảnh%d", "畫麵%d").replace(QLatin1String("%d"), QString::number(number));
}
}

othersetup::othersetup(QWidget *parent) : KorPage(KorPageNo::othersetup, parent), ui(new Ui_othersetup)
{
    {
        KorQuietCombos quiet;
        ui->setupUi(this);
    }
    menulist_init();
    language_changed();
    para_init();
}

othersetup::~othersetup()
{
    delete ui;
}

void othersetup::menulist_init()
{
    m_rows.start({ui->ImageVolume, ui->volume_state, ui->switch_state, ui->mode_state, ui->wifi_state, ui->dbd_state},
                 combo_style("rgb(255,255,255)"), combo_style("rgb(255,171,84)"), combo_style("rgb(255,0,0)"));
}

void othersetup::para_init()
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    ui->ImageVolume->clear();
    if (!t)
        return;
    int audio_window;
    bool enabled[Window::kCount];
    bool audio_on, fade, wifi_off, dbd;
    {
        QMutexLocker lock(&v331_manage::para_mutex);
        for (int w = 0; w < Window::kCount; ++w)
            enabled[w] = t->u16(Window::offset(w, Window::kEnable)) != 0;
        audio_window = t->u16(kAudioWindow);
        // An audio window out of range or switched off is repaired; nothing to apply.
        if (audio_window > 5 || !enabled[audio_window]) {
            audio_window = 0;
            t->set_u16(kAudioWindow, 0);
        }
        audio_on = (t->ram[Window::offset(audio_window, Window::kAudio)] & 0x80) != 0;
        fade = t->u16(kSwitchFade) != 0;
        wifi_off = t->u16(kWifiOff) != 0;
        dbd = t->u16(kPixelToPixel) != 0;
    }

    // Each entry keeps its window number: the sound row acts on the window it names.
    for (int w = 0; w < Window::kCount; ++w)
        if (enabled[w])
            ui->ImageVolume->addItem(window_entry(w + 1), w);
    const int shown = ui->ImageVolume->findData(audio_window);
    ui->ImageVolume->setCurrentIndex(shown >= 0 ? shown : 0);

    const QString off = kor_tr("关闭", "OFF", "Откл", "Đóng", "關閉");
    const QString on = kor_tr("开启", "ON", "Вкл", "Mở", "開啟");
    ui->volume_state->addItem(off);
    ui->volume_state->addItem(on);
    ui->volume_state->setCurrentIndex(audio_on ? 1 : 0);

    ui->switch_state->addItem(kor_tr("无缝快切", "Seamless", "Быстро", "Chuyển đổi ngay", "無縫快切"));
    ui->switch_state->addItem(kor_tr("淡入淡出", "Fade", "Плавно", "và ngoài", "淡入淡出"));
    ui->switch_state->setCurrentIndex(fade ? 1 : 0);

    ui->mode_state->addItem(kor_tr("点击切换", "Click OK", "Нажмите ОК", "Đồng ý", "點擊切換"));

    ui->wifi_state->addItem(on);
    ui->wifi_state->addItem(off);
    ui->wifi_state->setCurrentIndex(wifi_off ? 1 : 0);

    ui->dbd_state->addItem(off);
    ui->dbd_state->addItem(on);
    ui->dbd_state->setCurrentIndex(dbd ? 1 : 0);
}

void othersetup::language_changed()
{
    ui->label_other->setText(kor_tr("其它设置", "Other Settings", "Другие настройки", "Cài đặt khác", "其它設置"));
    ui->label_name_volume->setText(kor_tr("音量", "Volume", "Звук", "âm thanh", "音量"));
    ui->label_name_switch->setText(kor_tr("切换特效", "Switch mode", "Эффект", "Hiệu ứng", "切換特效"));
    ui->label_name_mode->setText(kor_tr("投屏设备", "Projection", "Радиоприбор", "Cài đặt Thiết bị", "投屏設備"));
    ui->label_wifi->setText(kor_tr("WIFI状态", "Wifi state", "WiFi статус", "Trạng thái wifi", "WIFI狀態"));
    ui->label_name_DBD->setText(kor_tr("点对点", "DBD", "Пиксель к пикселю", "Điểm tới điểm", "點對點"));
}

void othersetup::syncUpdate()
{
    retext_if_language_changed();
}

void othersetup::page_refresh(int)
{
    syncUpdate();
}

void othersetup::slot_Button_back_clicked()
{
    go_back(false);
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (t && t->KorLanguageChanged() && g_advancedoption)
        g_advancedoption->language_changed();
}

void othersetup::key_right()
{
    m_rows.move(1);
}

void othersetup::key_left()
{
    m_rows.move(-1);
}

void othersetup::key_ok()
{
    if (m_rows.ok())
        on_button_box_clicked();
}

void othersetup::key_back()
{
    if (!m_rows.back())
        slot_Button_back_clicked();
}

void othersetup::on_button_box_clicked()
{
    const unsigned char index = static_cast<unsigned char>(m_rows.index());
    switch (ui_select) {
    case 1:
        apply_volume(index);
        break;
    case 2:
        apply_switch(index);
        break;
    case 4:
        apply_wifi(index);
        break;
    case 5:
        apply_dbd(index);
        break;
    default:  // the window list and the projection entry apply nothing
        break;
    }
}

void othersetup::apply_volume(unsigned char index)
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    const int entry = ui->ImageVolume->currentIndex();
    KorTableWrite change;
    if (entry >= 0) {
        const int w = ui->ImageVolume->itemData(entry).toInt();
        const bool audio = (t->ram[Window::offset(w, Window::kAudio)] & 0x80) != 0;
        if (audio && index == 0) {
            change.set_u16(kAudioWindow, uint16_t(w));
            change.set_u8(Window::offset(w, Window::kVolume), 0);
            change.set_u8(Window::offset(w, Window::kAudio), 0);
        } else if (!audio && index == 1) {
            change.set_u16(kAudioWindow, uint16_t(w));
            change.set_u8(Window::offset(w, Window::kVolume), 255);
            change.set_u8(Window::offset(w, Window::kAudio), 0x80);
        }
    }
    change.raise();
}

void othersetup::apply_switch(unsigned char index)
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    if (index != 0)
        kor_trace("fade temp = %d\n", index);
    else
        kor_trace("seamless ,temp = %d\n", index);
    {
        KorTableWrite change;
        change.set_u8(kSwitchFade, index != 0 ? 1 : 0);
        if (index != 0)
            t->reset_window_pairs();
        for (int w = 0; w < Window::kCount; ++w) {
            const unsigned char flags = t->ram[Window::offset(w, Window::kFlags)];
            change.set_u8(Window::offset(w, Window::kFlags), index != 0 ? (flags | 0x04) : (flags & ~0x04));
        }
    }
    t->ram_para_save();
}

void othersetup::apply_wifi(unsigned char index)
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    kor_trace("temp = %d\n", index);
    {
        QMutexLocker lock(&v331_manage::para_mutex);
        t->ram[kWifiOff] = index != 0 ? 1 : 0;
    }
    // The shell and the WiFi thread are not held up by the change lock.
    if (index != 0) {
        Utils::system_mutex(QStringLiteral("kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`"));
        Utils::system_mutex(QStringLiteral("kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`"));
    } else if (Z73_WIFI_CONFIG::p_wifi) {
        Z73_WIFI_CONFIG::p_wifi->set_wifi_reset_flag();
    }
    KorTableWrite change;
    change.raise();
}

void othersetup::apply_dbd(unsigned char index)
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    const unsigned char on = index != 0 ? 1 : 0;
    {
        KorTableWrite change;
        change.set_u8(kPixelToPixel, on);
        for (int w = 0; w < Window::kCount; ++w)
            change.set_u8(Window::offset(w, Window::kPixelToPixel), on);
    }
    t->ram_para_save();
}
