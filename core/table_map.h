#pragma once
// The map of the parameter table: every table offset and record field the program uses, by
// name. Multi-byte fields are little-endian and 16-bit unless said otherwise. Nothing outside
// this header writes a table offset as a number.
//
//   0x000-0x2FF  live status, never stored
//   0x300-0x37F  stored, not part of a user mode
//   0x380-0xFFF  stored and saved with each user mode
#include <cstdint>

namespace KorTable {

constexpr int kSize = 4096;
constexpr int kStoredBegin = 0x300;
constexpr int kStoredSize = kSize - kStoredBegin;  // 3328 bytes
constexpr int kUserModeBegin = 0x380;

// System (0x300-0x37F).
constexpr int kLanguage = 0x300;         // byte, 0..4 (g_language); the word is compared
constexpr int kLanguageHigh = 0x301;     // cleared when a disabled language is replaced
constexpr int kKeyLock = 0x304;          // word, non-zero: mode key and shortcuts refused
constexpr int kWifiOff = 0x306;          // byte 0 access point on, 1 off (read as a word)
constexpr int kTestPattern = 0x360;      // byte, 0 none, 1..8; its 32-bit word cleared at start
constexpr int kTestPatternWordSize = 4;

// EDID records of the sources 0..5: width, height, rate (Hz).
constexpr int kEdidBegin = 0x380;
constexpr int kEdidSources = 6;
constexpr int kEdidRecordSize = 6;
constexpr int edid_width(int source) { return kEdidBegin + kEdidRecordSize * source; }
constexpr int edid_height(int source) { return edid_width(source) + 2; }
constexpr int edid_rate(int source) { return edid_width(source) + 4; }

// Output geometry.
constexpr int kSpliceMode = 0x560;       // value modulo 6: none, HV, V, H, CP12, CP21
constexpr int kLedWidth = 0x562;         // LED screen size in pixels
constexpr int kLedHeight = 0x564;
constexpr int kScreenOffsetX = 0x566;    // the screen's offset in the FPGA's layout
constexpr int kScreenOffsetY = 0x568;
// Output rectangles OUT1 and OUT2: x, y, width, height.
constexpr int kOutputs = 2;
constexpr int output_x(int out) { return 0x580 + 8 * out; }
constexpr int output_y(int out) { return output_x(out) + 2; }
constexpr int output_width(int out) { return output_x(out) + 4; }
constexpr int output_height(int out) { return output_x(out) + 6; }

// Other settings.
constexpr int kAudioWindow = 0x840;      // 0..5
constexpr int kPixelToPixel = 0x842;     // byte, 1 on
constexpr int kSwitchFade = 0x846;       // byte, 1 fade
constexpr int kOsdEnable = 0x84C;        // non-zero: the OSD is shown

// Picture (0..100) and colour temperature.
constexpr int kBrightness = 0x880;
constexpr int kContrast = 0x882;
constexpr int kSharpness = 0x884;
constexpr int kSaturation = 0x886;
constexpr int kColorTempType = 0x888;    // modulo 4: custom, warm, nature, cool
constexpr int kGainRed = 0x88A;          // custom gains, low byte 0..255
constexpr int kGainGreen = 0x88C;
constexpr int kGainBlue = 0x88E;

// Window records 0..5.
namespace Window {
constexpr int kBase = 0x8E0;
constexpr int kSize = 26;
constexpr int kCount = 6;
constexpr int kEnable = 0;         // u16, bit 0
constexpr int kSource = 2;         // u16, source id 0..5
constexpr int kX = 10;
constexpr int kY = 12;
constexpr int kWidth = 14;
constexpr int kHeight = 16;
constexpr int kFlags = 18;         // byte, bit 2 fade
constexpr int kPixelToPixel = 19;  // byte
constexpr int kVolume = 20;        // byte, 255 on, 0 muted
constexpr int kAudio = 21;         // byte, bit 7 audio on
constexpr int kBlack = 22;         // byte, 1 output black
constexpr int kFreeze = 23;        // byte, 1 picture frozen
constexpr int offset(int window, int field) { return kBase + kSize * window + field; }
}

// Sixteen pairs of words per window slot k (0..15); low bytes set to 60 at start, by the
// table resets and by the fade setting.
constexpr int kWindowPairs = 16;
constexpr int window_pair(int k, int word) { return 0xB00 + 4 * k + 2 * word; }

}  // namespace KorTable
