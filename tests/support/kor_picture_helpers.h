#pragma once
// Helpers of the picture page tests: table words as if applied long ago, the scaler worker's
// pass, and what the simulated scaler was asked.
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/scaler_device.h"
#include "scaler/v331_manage.h"

#include <QString>
#include <QStringList>

// Writes a word into the live table and the shadow: the scaler sees no difference in it.
inline void kor_set_applied(int offset, uint16_t value)
{
    KorRamPara *t = KorRamPara::p_korrampara_config;
    t->set_u16(offset, value);
    t->shadow[offset] = t->ram[offset];
    t->shadow[offset + 1] = t->ram[offset + 1];
}

// The scaler worker takes a pending change; the refresh step then runs and saves.
inline void kor_scaler_pass()
{
    v331_manage::p_v331_manage->run_pass();
    KorTestEnv::process_events();
}

// Presses keys given as letters (L left, R right, K OK, B back, M mode) on the page in
// front; with `applied` the scaler takes each change before the next key.
inline void kor_press_keys(const QString &keys, bool applied = true)
{
    for (QChar k : keys) {
        kor_press(k == 'L' ? KorKey::Left : k == 'R' ? KorKey::Right : k == 'K' ? KorKey::Ok
                  : k == 'B' ? KorKey::Back : KorKey::Mode);
        if (applied)
            kor_scaler_pass();
    }
}

// The recorded scaler calls as "name(arg,arg)".
inline QStringList kor_scaler_calls(const SimScaler *sim)
{
    QStringList out;
    for (const ScalerCall &c : sim->calls()) {
        QStringList args;
        for (int a : c.args)
            args << QString::number(a);
        out << QString::fromStdString(c.name) + "(" + args.join(",") + ")";
    }
    return out;
}
