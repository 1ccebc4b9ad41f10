#pragma once
#include <QByteArray>
#include <QMutex>
#include <QMutexLocker>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "core/worker.h"

class KorRamPara;

// Scaler manager. A writer that wants a table change applied locks para_mutex, writes the
// table, sets para_changed to 1 (2: also align the user modes) and unlocks; the worker
// applies every difference between the live table and the shadow to the chip, raises the
// refresh with the same code and clears the byte. Only the refresh step updates the shadow.
class v331_manage {
public:
    static v331_manage *p_v331_manage;
    static v331_manage *pInstance();
    static void destroy_instance();  // tests: stops the worker first

    static QMutex &para_mutex;
    static std::atomic<uint8_t> &para_changed;
    // Writers change the table through KorTableWrite (core/table_write.h), which raises
    // para_changed under para_mutex.

    // Bit mask of the OSD fonts found in the chip's serial flash: bit 0 32-pixel Chinese,
    // bit 1 32-pixel English, bit 2 64-pixel Chinese, bit 3 64-pixel English.
    std::atomic<uint8_t> font_valid{0};

    // Longest wait for the FPGA worker to finish an LED-parameter hand-over before the panel
    // is re-initialised anyway.
    std::chrono::milliseconds led_para_wait_limit{2000};

    // Reads the fonts and starts the worker. 0, or 255 when the thread could not be made.
    int initialize();
    // One pass of the worker: applies a pending change.
    void run_pass();

    void korApi_PnlInit2(int width, int height, int out_width, int out_height, int splice);
    // 0 turns the pattern off, 1 to 8 draw that pattern.
    void v331_SetPattern(int pattern);
    void read_v331_font();
    // Writes an OSD font image into the chip's serial flash and re-reads font_valid. False,
    // with `error` set, when it was not written.
    bool write_font_image(const QByteArray &image, QString *error = nullptr);

private:
    v331_manage();
    ~v331_manage();

    void change_dispatch(KorRamPara *t, QMutexLocker &lock);
    void dispatch_geometry(KorRamPara *t, QMutexLocker &lock);
    void dispatch_picture(KorRamPara *t);
    void dispatch_edid(KorRamPara *t);
    void dispatch_window_pairs(KorRamPara *t);

    KorWorker m_worker{"kor-scaler"};
};
