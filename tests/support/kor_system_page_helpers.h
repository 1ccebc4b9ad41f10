#pragma once
#include "core/global.h"
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "scaler/v331_manage.h"
#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/option.h"

#include <QComboBox>
#include <QStringList>
#include <QtTest>
#include <memory>

// Helpers shared by the tests of the settings pages worked with the panel keys.

inline KorRamPara *kor_table() { return KorRamPara::p_korrampara_config; }

// Presses keys named one letter each: R right, L left, O OK, B back, M mode; b is back sent
// as the key board's letter.
inline void kor_press_script(const QString &keys)
{
    static const KorKey kKeys[] = {KorKey::Right, KorKey::Left, KorKey::Ok, KorKey::Back, KorKey::Mode, KorKey::Back};
    for (QChar k : keys)
        kor_press_code(kor_key_code(kKeys[QStringLiteral("RLOBMb").indexOf(k)], k == 'b'));
}

inline QStringList kor_entries(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// The scaler applies what is pending; its refresh saves the table.
inline void kor_apply_pending()
{
    v331_manage::p_v331_manage->run_pass();
    KorTestEnv::process_events();
}

// Sets the language byte as the host would and lets the refresh reach the page in front.
inline void kor_set_language(int language)
{
    kor_table()->ram[0x300] = uint8_t(language);
    kor_table()->test_signal(1);
    KorTestEnv::process_events();
}

// The mode key closed the menus and opened the user-modes page.
inline bool kor_mode_key_reached_custom_mode()
{
    return g_custommode && !g_option && !g_advancedoption && int(g_page_focus) == 4 && int(g_mode_shortcut_key) == 1;
}

// Saves a rendering of the page named after the test's data row.
inline void kor_save_row_screen(QWidget *page, const QString &prefix)
{
    kor_save_screen(page, prefix + '-' + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
}
