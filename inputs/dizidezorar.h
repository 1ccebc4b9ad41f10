#pragma once
#include <atomic>
#include <cstdint>

#include "core/worker.h"

// Input-source manager. Its thread rebuilds the EDID of every input whose flag is set from
// that input's EDID record in the parameter table (KorTable::edid_width: width, height, rate),
// writes it into the input's EEPROM and pulses hot-plug so the source reads it again.
class dizidezorar {
public:
    static constexpr int kInputs = 6;
    static constexpr int kEdidSize = 256;

    static dizidezorar *p_kavri_source;
    static dizidezorar *pInstance();
    static void destroy_instance();  // tests: stops the thread first

    // One flag per input (source id = EEPROM slot). Set by the scaler worker and by the
    // factory resets, without a lock.
    static std::atomic<uint8_t> edid_rewrite[kInputs];

    // Starts the input-source thread. 0, or 255 when the thread could not be made.
    int initialize();
    // One pass: serves every raised flag.
    void run_pass();

    // Builds the 256-byte EDID (E-EDID 1.3 base block with the mode as its preferred detailed
    // timing, plus a CEA-861 extension) for width x height at rate Hz. Returns 0, or 1 when an
    // EDID cannot describe the mode (a size outside 64..4095, a rate outside 1..240, a pixel
    // clock above 655.35 MHz); `edid` is then left as it was.
    static int Set_Custom_HDMI_EDID(unsigned char *edid, int width, int height, int rate);

private:
    dizidezorar();
    ~dizidezorar();
    void rewrite_edid(int input);

    KorWorker m_worker{"kor-input"};
};
