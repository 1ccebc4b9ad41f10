#pragma once
// Helpers of the settings page tests: walking the menus by keys and the refresh step.
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"

#include <initializer_list>

inline void kor_press_each(std::initializer_list<KorKey> keys)
{
    for (KorKey k : keys)
        kor_press(k);
}

inline void kor_press_times(KorKey key, int times)
{
    for (int i = 0; i < times; ++i)
        kor_press(key);
}

// Home -> main menu -> settings, then `keys`; pages are shown rather than run modally so
// the test goes on after each key.
inline void kor_open_from_settings(std::initializer_list<KorKey> keys)
{
    kor_set_modal_pages(false);
    kor_press_each({KorKey::Ok, KorKey::Right, KorKey::Right, KorKey::Ok});
    kor_press_each(keys);
}

// The refresh step as the host's change brings it (the signal is delivered queued).
inline void kor_refresh(int code = 1)
{
    KorRamPara::p_korrampara_config->test_signal(code);
    KorTestEnv::process_events();
}

// The host switches the language; the refresh step re-texts the page in front.
inline void kor_host_language(int language)
{
    KorRamPara::p_korrampara_config->ram[0x300] = uint8_t(language);
    kor_refresh(1);
}
