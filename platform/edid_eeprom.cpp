#include "platform/edid_eeprom.h"

#include <algorithm>

bool SimEdidEepromBank::write(int input, const uint8_t *data, int size)
{
    if (input < 0 || input >= kInputs || !data || size <= 0 || size > kSize)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    std::copy(data, data + size, m_data[input].begin());
    ++m_writes[input];
    return true;
}

void SimEdidEepromBank::pulse_hotplug(int input)
{
    if (input < 0 || input >= kInputs)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_pulses[input];
}

std::array<uint8_t, EdidEepromBank::kSize> SimEdidEepromBank::contents(int input) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_data.at(input);
}

int SimEdidEepromBank::writes(int input) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes.at(input);
}

int SimEdidEepromBank::hotplug_pulses(int input) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pulses.at(input);
}
