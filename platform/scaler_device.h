#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// What the scaler worker asks of the scaler chip.
class ScalerDevice {
public:
    virtual ~ScalerDevice() = default;
    virtual void panel_init(int width, int height, int out_width, int out_height, int splice) = 0;
    virtual void set_pattern(int pattern) = 0;
    virtual void set_brightness(int value) = 0;
    virtual void set_contrast(int value) = 0;
    virtual void set_sharpness(int value) = 0;
    virtual void set_saturation(int value) = 0;
    virtual void set_color_gains(int red, int green, int blue) = 0;
    // One 16-bit word (0 or 1) of window k's per-window pair.
    virtual void set_window_value(int window, int word, int value) = 0;
    // Header of OSD font slot 0..3 in the chip's serial flash; true when the slot holds a font.
    virtual bool font_present(int slot) = 0;
    // Writes an OSD font image (from a USB-stick package) into the chip's serial flash.
    // 0 when written and read back equal.
    virtual int write_font_image(const uint8_t *data, int len) = 0;
};

struct ScalerCall {
    std::string name;
    std::vector<int> args;
    bool operator==(const ScalerCall &o) const { return name == o.name && args == o.args; }
};

// Records every programming call so tests can see what the dispatcher applied.
class SimScaler : public ScalerDevice {
public:
    void panel_init(int width, int height, int out_width, int out_height, int splice) override;
    void set_pattern(int pattern) override;
    void set_brightness(int value) override;
    void set_contrast(int value) override;
    void set_sharpness(int value) override;
    void set_saturation(int value) override;
    void set_color_gains(int red, int green, int blue) override;
    void set_window_value(int window, int word, int value) override;
    bool font_present(int slot) override;
    int write_font_image(const uint8_t *data, int len) override;

    std::vector<ScalerCall> calls() const;
    std::vector<ScalerCall> calls_named(const std::string &name) const;
    void clear();
    void set_fonts(unsigned mask);

private:
    void record(const char *name, std::vector<int> args);
    mutable std::mutex m_mutex;
    std::vector<ScalerCall> m_calls;
    unsigned m_fonts = 0x0F;
};
