#include "scaler/v331_manage.h"

#include "core/brightness_request.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/singleton.h"
#include "core/table_map.h"
#include "core/utils.h"
#include "inputs/dizidezorar.h"
#include "platform/devices.h"
#include "platform/scaler_device.h"

#include <cmath>
#include <thread>

v331_manage *v331_manage::p_v331_manage = nullptr;
QMutex &v331_manage::para_mutex = ParaChange::mutex;
std::atomic<uint8_t> &v331_manage::para_changed = ParaChange::changed;

namespace {
// A pass checks one byte; a few milliseconds keep the program quiet at rest.
constexpr std::chrono::milliseconds kPassPause{10};
constexpr std::chrono::milliseconds kLedParaPoll{1};

ScalerDevice *scaler() { return kor_devices().scaler.get(); }

bool word_changed(const KorRamPara *t, int offset) { return t->u16(offset) != t->shadow_u16(offset); }

bool geometry_changed(const KorRamPara *t)
{
    for (int offset : {KorTable::kSpliceMode, KorTable::kLedWidth, KorTable::kLedHeight, KorTable::output_width(0),
                       KorTable::output_height(0)})
        if (word_changed(t, offset))
            return true;
    return false;
}

int custom_gain(uint8_t value) { return int(std::lround(value / 128.0 * 8192)); }
}

v331_manage *v331_manage::pInstance()
{
    return kor_singleton(p_v331_manage, KorSingletons::kWorkers, destroy_instance, [] { return new v331_manage; });
}

void v331_manage::destroy_instance()
{
    delete p_v331_manage;
    p_v331_manage = nullptr;
}

v331_manage::v331_manage() = default;

v331_manage::~v331_manage()
{
    m_worker.stop();
}

int v331_manage::initialize()
{
    read_v331_font();
    return m_worker.start([this] { run_pass(); }, [] { return para_changed.load(std::memory_order_acquire) != 0; },
                          kPassPause);
}

void v331_manage::read_v331_font()
{
    ScalerDevice *dev = scaler();
    uint8_t mask = 0;
    if (dev)
        for (int slot = 0; slot < 4; ++slot)
            if (dev->font_present(slot))
                mask |= uint8_t(1u << slot);
    font_valid.store(mask, std::memory_order_release);
}

bool v331_manage::write_font_image(const QByteArray &image, QString *error)
{
    ScalerDevice *dev = scaler();
    if (!dev) {
        if (error)
            *error = QStringLiteral("no scaler");
        return false;
    }
    int result;
    {
        // The chip's flash shares the SPI port with its registers.
        QMutexLocker lock(&Utils::_spi_mutex);
        result = dev->write_font_image(reinterpret_cast<const uint8_t *>(image.constData()), image.size());
    }
    read_v331_font();
    if (result != 0 && error)
        *error = QStringLiteral("font write refused");
    return result == 0;
}

void v331_manage::korApi_PnlInit2(int width, int height, int out_width, int out_height, int splice)
{
    // The table keeps the splice mode modulo 6; the chip only knows those six.
    if (ScalerDevice *dev = scaler())
        dev->panel_init(width, height, out_width, out_height, splice % 6);
}

void v331_manage::v331_SetPattern(int pattern)
{
    if (pattern < 0 || pattern > 8)
        pattern = 0;  // not a pattern: show the picture
    if (ScalerDevice *dev = scaler())
        dev->set_pattern(pattern);
}

void v331_manage::run_pass()
{
    if (para_changed.load(std::memory_order_acquire) == 0)
        return;
    KorRamPara *t = KorRamPara::p_korrampara_config;
    if (!t)
        return;
    QMutexLocker lock(&para_mutex);
    if (para_changed.load() == 0)
        return;
    change_dispatch(t, lock);
    // Read after the dispatch: a writer may have asked for 2 while the lock was given up.
    const int code = para_changed.load() == 2 ? 2 : 1;
    // Cleared and signalled under the lock, so the refresh never sees the byte still set
    // for a change that is already applied.
    para_changed.store(0, std::memory_order_release);
    t->test_signal(code);
}

void v331_manage::change_dispatch(KorRamPara *t, QMutexLocker &lock)
{
    // Geometry first: its wait may give up the lock, and the rest must then see whatever
    // was written meanwhile.
    dispatch_geometry(t, lock);
    dispatch_picture(t);
    if (t->ram[KorTable::kTestPattern] != t->shadow[KorTable::kTestPattern])
        v331_SetPattern(t->ram[KorTable::kTestPattern]);
    dispatch_edid(t);
    dispatch_window_pairs(t);
}

void v331_manage::dispatch_geometry(KorRamPara *t, QMutexLocker &lock)
{
    if (!geometry_changed(t))
        return;
    // The FPGA worker's hand-over steps are timed by the GUI tick; the GUI may be waiting for
    // para_mutex, so the lock is given up while we wait, and the wait is bounded.
    const auto deadline = std::chrono::steady_clock::now() + led_para_wait_limit;
    while (g_set_led_para.load(std::memory_order_acquire) == 1 && std::chrono::steady_clock::now() < deadline) {
        lock.unlock();
        std::this_thread::sleep_for(kLedParaPoll);
        lock.relock();
    }
    if (!geometry_changed(t))
        return;  // set back while we waited
    korApi_PnlInit2(t->u16(KorTable::kLedWidth), t->u16(KorTable::kLedHeight), t->u16(KorTable::output_width(0)),
                    t->u16(KorTable::output_height(0)), t->u16(KorTable::kSpliceMode));
    {
        QMutexLocker led(&Utils::_led_para_init_mutex);
        g_set_led_para.store(2, std::memory_order_release);
    }
    if (t->u16(KorTable::kOsdEnable) != 0)
        g_osd_update.store(1, std::memory_order_release);
}

void v331_manage::dispatch_picture(KorRamPara *t)
{
    ScalerDevice *dev = scaler();
    if (!dev)
        return;
    if (word_changed(t, KorTable::kBrightness)) {
        // The screen brightness is the FPGA's; the chip stays at its middle value.
        dev->set_brightness(50);
        kor_request_fpga_brightness();
    }
    if (word_changed(t, KorTable::kContrast))
        dev->set_contrast(t->u16(KorTable::kContrast));
    if (word_changed(t, KorTable::kSharpness))
        dev->set_sharpness(t->u16(KorTable::kSharpness));
    if (word_changed(t, KorTable::kSaturation))
        dev->set_saturation(t->u16(KorTable::kSaturation));
    if (word_changed(t, KorTable::kColorTempType) || word_changed(t, KorTable::kGainRed)
        || word_changed(t, KorTable::kGainGreen) || word_changed(t, KorTable::kGainBlue)) {
        switch (t->u16(KorTable::kColorTempType) % 4) {
        case 1:  // warm
            dev->set_color_gains(8845, 8113, 7056);
            break;
        case 2:  // nature
            dev->set_color_gains(8192, 8192, 8192);
            break;
        case 3:  // cool
            dev->set_color_gains(6944, 8282, 10978);
            break;
        default:  // custom
            dev->set_color_gains(custom_gain(t->ram[KorTable::kGainRed]), custom_gain(t->ram[KorTable::kGainGreen]),
                                 custom_gain(t->ram[KorTable::kGainBlue]));
            break;
        }
    }
}

void v331_manage::dispatch_edid(KorRamPara *t)
{
    // Every input whose record changed: the shadow copy after this pass would hide the others.
    bool any = false;
    for (int input = 0; input < KorTable::kEdidSources; ++input) {
        if (word_changed(t, KorTable::edid_width(input)) || word_changed(t, KorTable::edid_height(input))
            || word_changed(t, KorTable::edid_rate(input))) {
            dizidezorar::edid_rewrite[input].store(1, std::memory_order_release);
            any = true;
        }
    }
    if (any)
        kor_wake_workers();
}

void v331_manage::dispatch_window_pairs(KorRamPara *t)
{
    ScalerDevice *dev = scaler();
    if (!dev)
        return;
    for (int k = 0; k < 6; ++k)
        for (int word = 0; word < 2; ++word) {
            const int offset = KorTable::window_pair(k, word);
            if (word_changed(t, offset))
                dev->set_window_value(k, word, t->u16(offset));
        }
}
