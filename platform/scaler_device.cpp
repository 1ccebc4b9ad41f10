#include "platform/scaler_device.h"

void SimScaler::record(const char *name, std::vector<int> args)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(ScalerCall{name, std::move(args)});
}

void SimScaler::panel_init(int width, int height, int out_width, int out_height, int splice)
{
    record("panel_init", {width, height, out_width, out_height, splice});
}
void SimScaler::set_pattern(int pattern) { record("pattern", {pattern}); }
void SimScaler::set_brightness(int value) { record("brightness", {value}); }
void SimScaler::set_contrast(int value) { record("contrast", {value}); }
void SimScaler::set_sharpness(int value) { record("sharpness", {value}); }
void SimScaler::set_saturation(int value) { record("saturation", {value}); }
void SimScaler::set_color_gains(int red, int green, int blue) { record("color_gains", {red, green, blue}); }
void SimScaler::set_window_value(int window, int word, int value) { record("window_value", {window, word, value}); }

bool SimScaler::font_present(int slot)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return slot >= 0 && slot < 4 && (m_fonts >> slot) & 1;
}

int SimScaler::write_font_image(const uint8_t *data, int len)
{
    if (!data || len <= 0)
        return 255;
    record("font_image", {len});
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fonts = 0x0F;  // the image carries all four fonts
    return 0;
}

std::vector<ScalerCall> SimScaler::calls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

std::vector<ScalerCall> SimScaler::calls_named(const std::string &name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<ScalerCall> out;
    for (const auto &c : m_calls)
        if (c.name == name)
            out.push_back(c);
    return out;
}

void SimScaler::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
}

void SimScaler::set_fonts(unsigned mask)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fonts = mask;
}
