#pragma once
#include "core/worker.h"

#include <QMutex>
#include <atomic>
#include <cstdint>

// The change path of the parameter table: a writer locks the mutex, writes the table, sets
// the byte to 1 (apply) or 2 (apply and align user modes) and unlocks. The scaler manager
// publishes these as v331_manage::para_mutex and v331_manage::para_changed; they live here
// so the table object can take them without depending on the scaler.
struct ParaChange {
    static QMutex mutex;
    static std::atomic<uint8_t> changed;
    // Asks for a change to be applied, holding `mutex`. A pending 2 stays 2: lowering it
    // would drop the user-mode alignment another writer asked for.
    static void raise(uint8_t code = 1)
    {
        if (code == 2)
            changed.store(2, std::memory_order_release);
        else if (changed.load(std::memory_order_acquire) != 2)
            changed.store(1, std::memory_order_release);
        kor_wake_workers();
    }
};
