#include "ui/shell/kor_keyboard.h"

#include "core/korrampara.h"
#include "core/table_write.h"

namespace {
// Only the GUI thread touches it.
int s_current_window = 0;
const uint8_t kSourceOfKey[6] = {0, 1, 4, 5, 2, 3};
}

int kor_keyboard::current_window()
{
    return s_current_window;
}

void kor_keyboard::set_current_window(int window)
{
    if (window >= 0 && window < KorTable::Window::kCount)
        s_current_window = window;
}

void kor_keyboard::update_usb_keyEvent(int key)
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table || table->u16(KorTable::kKeyLock) != 0)
        return;
    using namespace KorTable::Window;
    if (key >= 65 && key <= 70) {
        const int window = key - 65;
        if (!(table->u16(offset(window, kEnable)) & 1) || window == s_current_window)
            return;
        s_current_window = window;
        table->test_signal(1);
        return;
    }
    const int w = s_current_window;
    KorTableWrite change;
    if (key >= 71 && key <= 76) {
        change.set_u16(offset(w, kSource), kSourceOfKey[key - 71]);
    } else if (key == 78) {
        change.set_u8(offset(w, kFreeze), table->ram[offset(w, kFreeze)] ? 0 : 1);
    } else if (key == 80) {
        change.set_u8(offset(w, kBlack), table->ram[offset(w, kBlack)] ? 0 : 1);
    }
}
