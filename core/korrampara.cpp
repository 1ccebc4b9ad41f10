#include "core/korrampara.h"

#include "core/global.h"
#include "core/gui_post.h"
#include "core/para_change.h"
#include "core/singleton.h"
#include "core/table_map.h"
#include "core/utils.h"
#include "platform/data_root.h"

#include <cstring>

QMutex ParaChange::mutex;
std::atomic<uint8_t> ParaChange::changed{0};

namespace {
const char kTablePath[] = "/data/ram_device_info";
// Longer files are taken by their first bytes, as before; this only bounds the read.
constexpr qint64 kTableFileMaxBytes = 64 * 1024;

struct DefaultImage {
    unsigned char bytes[KorTable::kSize];
    void put16(int table_offset, uint16_t v)
    {
        const int i = 2 + table_offset - KorTable::kStoredBegin;
        bytes[i] = uint8_t(v & 0xFF);
        bytes[i + 1] = uint8_t(v >> 8);
    }
    DefaultImage()
    {
        std::memset(bytes, 0, sizeof bytes);
        bytes[0] = 0xAA;
        bytes[1] = 0xAA;
        // EDID offered on each source: 1080p60, 2160p60 on the two HDMI 2.0 inputs.
        for (int id = 0; id < 6; ++id) {
            const bool uhd = id >= 4;
            put16(KorTable::edid_width(id), uhd ? 3840 : 1920);
            put16(KorTable::edid_height(id), uhd ? 2160 : 1080);
            put16(KorTable::edid_rate(id), 60);
        }
        put16(KorTable::kLedWidth, 1920);
        put16(KorTable::kLedHeight, 1080);
        // Brightness, contrast, sharpness, saturation, colour-temperature type, gains.
        const uint16_t picture[8] = {100, 50, 10, 50, 2, 64, 64, 64};
        for (int i = 0; i < 8; ++i)
            put16(KorTable::kBrightness + 2 * i, picture[i]);
    }
};
const DefaultImage kDefaults;
}

const unsigned char *const default_para_ramlist = kDefaults.bytes;

KorRamPara *KorRamPara::p_korrampara_config = nullptr;

KorRamPara *KorRamPara::pInstance()
{
    return kor_singleton(p_korrampara_config, KorSingletons::kTable, destroy_instance, [] { return new KorRamPara; });
}

void KorRamPara::destroy_instance()
{
    delete p_korrampara_config;
    p_korrampara_config = nullptr;
}

KorRamPara::KorRamPara()
{
    std::memset(ram, 0, sizeof ram);
    std::memset(shadow, 0, sizeof shadow);
    std::memset(reg_block, 0, sizeof reg_block);
    load_table();
}

uint16_t KorRamPara::u16(int offset) const
{
    return uint16_t(ram[offset] | (ram[offset + 1] << 8));
}

void KorRamPara::set_u16(int offset, uint16_t value)
{
    ram[offset] = uint8_t(value & 0xFF);
    ram[offset + 1] = uint8_t(value >> 8);
}

uint16_t KorRamPara::shadow_u16(int offset) const
{
    return uint16_t(shadow[offset] | (shadow[offset + 1] << 8));
}

void KorRamPara::reset_window_pairs()
{
    for (int k = 0; k < KorTable::kWindowPairs; ++k) {
        ram[KorTable::window_pair(k, 0)] = 60;
        ram[KorTable::window_pair(k, 1)] = 60;
    }
}

void KorRamPara::load_table()
{
    QByteArray data;
    const Utils::ReadResult read =
        Utils::read_file_bounded(QString::fromLatin1(kTablePath), kTableFileMaxBytes, &data);
    const bool valid = data.size() >= 2 + KorTable::kStoredSize && uint8_t(data[0]) == 0xAA && uint8_t(data[1]) == 0xAA;
    if (valid) {
        std::memcpy(ram + KorTable::kStoredBegin, data.constData() + 2, KorTable::kStoredSize);
    } else {
        kor_trace("%s missing, short or unmarked (%d, %d bytes): defaults\n", kTablePath, int(read), int(data.size()));
        // A damaged marker must not destroy the only copy of the settings.
        if (!data.isEmpty())
            Utils::write_file_atomic(QString::fromLatin1(kTablePath) + QStringLiteral(".bad"), data);
        std::memcpy(ram + KorTable::kStoredBegin, default_para_ramlist + 2, KorTable::kStoredSize);
        save_table(ram);
    }
    // No test pattern survives a restart.
    std::memset(ram + KorTable::kTestPattern, 0, KorTable::kTestPatternWordSize);
    reset_window_pairs();
    std::memcpy(shadow, ram, sizeof shadow);
    g_language = ram[KorTable::kLanguage];
}

bool KorRamPara::save_table(const unsigned char *table)
{
    QByteArray data;
    data.reserve(2 + KorTable::kStoredSize);
    data.append(char(0xAA));
    data.append(char(0xAA));
    data.append(reinterpret_cast<const char *>(table + KorTable::kStoredBegin), KorTable::kStoredSize);
    return Utils::write_file_atomic(QString::fromLatin1(kTablePath), data);
}

int KorRamPara::KorLanguageChanged()
{
    if (u16(KorTable::kLanguage) == shadow_u16(KorTable::kLanguage))
        return 0;
    uint8_t lang = ram[KorTable::kLanguage];
    const uint8_t valid = g_lcd_lang_valid.load();
    // A language that is not enabled (or not a language at all) is replaced by the first
    // enabled one.
    if (lang > 4 || !((valid >> lang) & 1)) {
        for (uint8_t l = 0; l <= 4; ++l) {
            if ((valid >> l) & 1) {
                // The workers read the table under the change lock.
                QMutexLocker lock(&ParaChange::mutex);
                ram[KorTable::kLanguage] = l;
                ram[KorTable::kLanguageHigh] = 0;
                lang = l;
                break;
            }
        }
    }
    if (lang <= 4)
        g_language = lang;
    return 1;
}

void KorRamPara::KorSetEDIDPara(int source, short width, short height, short rate)
{
    if (source < 0 || source > 5)
        return;
    QMutexLocker lock(&ParaChange::mutex);
    set_u16(KorTable::edid_width(source), uint16_t(width));
    set_u16(KorTable::edid_height(source), uint16_t(height));
    set_u16(KorTable::edid_rate(source), uint16_t(rate));
    ParaChange::raise();
}

void KorRamPara::test_signal(int code)
{
    // From a worker the signal is emitted in the GUI thread: Qt's cross-thread hand-over of a
    // signal's arguments is not one ThreadSanitizer can see, the outbox is.
    kor_run_in_gui(this, [this, code] { emit sig_update_para(code); });
}

void KorRamPara::ram_para_save()
{
    test_signal(1);
}
