#include "ui/shell/kor_keyboard.h"

#include "core/korrampara.h"
#include "scaler/v331_manage.h"

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
    if (window >= 0 && window < KorWindowRecord::kCount)
        s_current_window = window;
}

void kor_keyboard::update_usb_keyEvent(int key)
{
    KorRamPara *table = KorRamPara::p_korrampara_config;
    if (!table || table->u16(0x304) != 0)
        return;
    using namespace KorWindowRecord;
    if (key >= 65 && key <= 70) {
        const int window = key - 65;
        if (!(table->u16(offset(window, kEnable)) & 1) || window == s_current_window)
            return;
        s_current_window = window;
        table->test_signal(1);
        return;
    }
    const int w = s_current_window;
    QMutexLocker lock(&v331_manage::para_mutex);
    if (key >= 71 && key <= 76) {
        table->set_u16(offset(w, kSource), kSourceOfKey[key - 71]);
    } else if (key == 78) {
        table->ram[offset(w, kFreeze)] = table->ram[offset(w, kFreeze)] ? 0 : 1;
    } else if (key == 80) {
        table->ram[offset(w, kBlack)] = table->ram[offset(w, kBlack)] ? 0 : 1;
    } else {
        return;
    }
    v331_manage::raise_para_changed();
}
