#pragma once
#include "ui/shell/kor_page.h"
#include "ui/shell/numberkeyboard.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>

class KorTestEnv;
class MainWindow;

// Starts the panel for a UI test: the test env's singletons, the images, the main window
// (home screen, shared keyboard and pop-up, refresh hooks) with its timer stopped, so the
// test drives the tick by hand.
MainWindow *kor_start_ui(KorTestEnv &env);

// The number keyboard of the tests: exec() returns at once with the next answer the test
// chose (a null QString is back: no answer). It remembers each title and start text.
class ScriptedNumberKeyboard : public NumberKeyboard {
    Q_OBJECT
public:
    QStringList answers;
    struct Call {
        QString title;
        QString start_text;
    };
    QList<Call> calls;

    int exec() override;
};
// Replaces g_numberkeyboard with a scripted one and returns it.
ScriptedNumberKeyboard *kor_install_scripted_keyboard();

// The widget the panel's keys reach now: the top modal dialog, else the page whose number
// g_page_focus holds.
QWidget *kor_front_widget();
// Presses and releases one key there (a logical key or any Qt key code).
void kor_press(KorKey key);
void kor_press_code(int qt_key);
// A Qt key code of each logical key: the panel's code, or the key board's letter.
int kor_key_code(KorKey key, bool letter = false);

// A key script names the keys pressed one after another, separated by spaces: left, right, ok,
// back, mode; "back-letter" (any key name with "-letter") is that key sent as the key board's
// letter; "right*5" presses right five times, "right*0" not at all. E.g. "ok right*5 ok".
// kor_script() lists a script's presses, one name each; a name it does not know ends the test
// program.
QStringList kor_script(const QString &script);
// The Qt key code of one name of a script.
int kor_key_code(const QString &name);
void kor_press_key(const QString &name);

// Runs steps one after another from the event loop. A step that opens a modal page returns
// only when that page closes, so the next step runs inside the page's exec(): a script
// walks into pages three deep just as an operator does. Pages still open when the script
// ends (or times out) are closed so every exec() unwinds; run() then reports false.
class KorKeyScript {
public:
    KorKeyScript &step(std::function<void()> action);
    KorKeyScript &press(KorKey key);
    KorKeyScript &keys(const QString &script);  // one step per key pressed (see kor_script)
    bool run(int timeout_ms = 5000);

private:
    void run_step(int index);
    QList<std::function<void()>> m_steps;
    bool m_done = false;
    bool m_left_open = false;
};

// Captures what the program prints (its traces) between construction and text().
class KorTraceCapture {
public:
    KorTraceCapture();
    ~KorTraceCapture();
    QString text();

private:
    std::FILE *m_file = nullptr;
    int m_saved = -1;
};
