#pragma once
#include <QMutex>
#include <QObject>
#include "core/table_map.h"

#include <cstdint>

constexpr int KOR_REG_BLOCK_SIZE = 170;

// Default image of the stored table: 0xAA 0xAA, the defaults of 0x300..0xFFF, zeros.
extern const unsigned char *const default_para_ramlist;

class KorRamPara : public QObject {
    Q_OBJECT
public:
    static KorRamPara *p_korrampara_config;
    static KorRamPara *pInstance();
    static void destroy_instance();  // tests

    unsigned char ram[KorTable::kSize];      // live table
    unsigned char shadow[KorTable::kSize];   // what is both applied and saved
    // Kept for the subsystems that are not built here: the host's register commands read and
    // write the controller register block, and the receiver drivers write the live input
    // status under the table's own mutex.
    unsigned char reg_block[KOR_REG_BLOCK_SIZE];
    QMutex table_mutex;

    uint16_t u16(int offset) const;
    void set_u16(int offset, uint16_t value);
    uint16_t shadow_u16(int offset) const;
    uint8_t u8(int offset) const { return ram[offset]; }

    // 1 when the language word differs from the shadow; sets g_language (falling back to
    // the first enabled language) and returns 0 otherwise.
    int KorLanguageChanged();
    void KorSetEDIDPara(int source, short width, short height, short rate);
    void test_signal(int code);
    void ram_para_save();

    // Writes the stored area to "/data/ram_device_info" (marker + 0x300..0xFFF).
    static bool save_table(const unsigned char *table);
    // The per-window pairs at 0xB00: low bytes to 60.
    void reset_window_pairs();

signals:
    void sig_update_para(int code);

private:
    KorRamPara();
    void load_table();
};
