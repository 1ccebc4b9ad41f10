#pragma once
// Helpers of the page tests: table words as if applied long ago, keys by letter, the scaler
// worker's pass, and what the simulated scaler was asked.
#include "core/korrampara.h"
#include "kor_test_env.h"
#include "kor_ui_support.h"
#include "platform/scaler_device.h"
#include "scaler/v331_manage.h"

#include <QString>
#include <QStringList>
#include <QtTest>

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
inline KorKey kor_key(QChar k)
{
    return k == 'L' ? KorKey::Left : k == 'R' ? KorKey::Right : k == 'K' ? KorKey::Ok : k == 'B' ? KorKey::Back
                                                                                              : KorKey::Mode;
}
inline void kor_press_keys(const QString &keys, bool applied = true)
{
    for (QChar k : keys) {
        kor_press(kor_key(k));
        if (applied)
            kor_scaler_pass();
    }
}

// Home -> main menu -> picture menu -> its item `item`, shown rather than run modally.
inline void kor_open_picture_page(int item)
{
    kor_set_modal_pages(false);
    kor_press_keys("KRRRK" + QString(item, 'R') + "K", false);
}

// The field styles of the picture pages: highlighted and being edited.
inline const QString kor_field_focus =
    "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,171,84);";
inline const QString kor_field_edit =
    "color:rgb(255,255,255);\nbackground-color: rgb(33, 36, 53);\nborder:1px solid rgb(255,0,0);";

// Presses `keys` one at a time, unapplied, and checks after each whether it raised a change
// ('+' in `raises`) before the scaler takes it.
inline void kor_check_raises(const QString &keys, const QString &raises)
{
    for (int i = 0; i < keys.size(); ++i) {
        kor_press_keys(keys.mid(i, 1), false);
        QVERIFY2(int(v331_manage::para_changed) == (raises[i] == '+' ? 1 : 0), qPrintable(keys.left(i + 1)));
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
