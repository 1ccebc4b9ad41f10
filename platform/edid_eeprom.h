#pragma once
#include <array>
#include <cstdint>
#include <mutex>

// The EDID EEPROMs of the six inputs and their hot-plug lines.
class EdidEepromBank {
public:
    static constexpr int kInputs = 6;
    static constexpr int kSize = 256;
    virtual ~EdidEepromBank() = default;
    virtual bool write(int input, const uint8_t *data, int size) = 0;
    virtual void pulse_hotplug(int input) = 0;
};

class SimEdidEepromBank : public EdidEepromBank {
public:
    bool write(int input, const uint8_t *data, int size) override;
    void pulse_hotplug(int input) override;

    std::array<uint8_t, kSize> contents(int input) const;
    int writes(int input) const;
    int hotplug_pulses(int input) const;

private:
    mutable std::mutex m_mutex;
    std::array<std::array<uint8_t, kSize>, kInputs> m_data{};
    std::array<int, kInputs> m_writes{};
    std::array<int, kInputs> m_pulses{};
};
