#pragma once
#include "core/korrampara.h"
#include "core/para_change.h"
#include "core/table_map.h"

#include <QMutexLocker>
#include <cstring>

// The one way to change the live table and have it applied: the change lock is held for the
// object's life, and leaving raises the change byte (1 apply, 2 apply and align the user
// modes) so the scaler worker takes what was written. Nothing is raised when nothing was
// written, unless raise() asks for it.
//
//     KorTableWrite w;
//     w.set_u16(KorTable::kLedWidth, width);
class KorTableWrite {
public:
    KorTableWrite() : m_lock(&ParaChange::mutex), m_table(KorRamPara::p_korrampara_config) {}
    ~KorTableWrite()
    {
        if (m_raise)
            ParaChange::raise(m_code);
    }
    KorTableWrite(const KorTableWrite &) = delete;
    KorTableWrite &operator=(const KorTableWrite &) = delete;

    explicit operator bool() const { return m_table != nullptr; }
    KorRamPara *table() const { return m_table; }

    void set_u16(int offset, uint16_t value)
    {
        m_table->set_u16(offset, value);
        m_raise = true;
    }
    void set_u8(int offset, uint8_t value)
    {
        m_table->ram[offset] = value;
        m_raise = true;
    }
    // A run of bytes, e.g. a span of the default image.
    void set_bytes(int offset, const unsigned char *from, int size)
    {
        std::memcpy(m_table->ram + offset, from, size_t(size));
        m_raise = true;
    }
    uint16_t u16(int offset) const { return m_table->u16(offset); }
    uint16_t shadow_u16(int offset) const { return m_table->shadow_u16(offset); }
    // Raised also when nothing was written (a refresh asked for); 2 aligns the user modes.
    void raise(uint8_t code = 1)
    {
        m_raise = true;
        if (code > m_code)
            m_code = code;
    }

private:
    QMutexLocker m_lock;
    KorRamPara *m_table;
    bool m_raise = false;
    uint8_t m_code = 1;
};
