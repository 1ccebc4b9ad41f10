#pragma once
#include <QMutex>
#include <atomic>
#include <cstdint>

// Scaler manager. A writer that wants a table change applied locks para_mutex, writes the
// table, sets para_changed to 1 and unlocks; the worker applies the difference.
class v331_manage {
public:
    static v331_manage *p_v331_manage;
    static v331_manage *pInstance();
    static void destroy_instance();  // tests

    static QMutex &para_mutex;
    static std::atomic<uint8_t> &para_changed;

    // Bit mask of the OSD fonts found in the chip's serial flash.
    std::atomic<uint8_t> font_valid{0};

private:
    v331_manage();
};
