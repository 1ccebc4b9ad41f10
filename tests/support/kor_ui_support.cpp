#include "kor_ui_support.h"

#include "core/syncupdate.h"
#include "kor_test_env.h"
#include "platform/resources_init.h"
#include "ui/shell/mainwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <unistd.h>

MainWindow *kor_start_ui(KorTestEnv &env)
{
    env.start();
    kor_init_resources();
    MainWindow *window = new MainWindow;
    window->stop_tick();
    window->show();
    return window;
}

int ScriptedNumberKeyboard::exec()
{
    calls.append(Call{title(), text()});
    if (answers.isEmpty() || answers.first().isNull()) {
        if (!answers.isEmpty())
            answers.removeFirst();
        reject();
        return QDialog::Rejected;
    }
    const QString answer = answers.takeFirst();
    label_show(title(), answer);
    confirm();
    return QDialog::Accepted;
}

ScriptedNumberKeyboard *kor_install_scripted_keyboard()
{
    delete g_numberkeyboard;
    ScriptedNumberKeyboard *keyboard = new ScriptedNumberKeyboard;
    g_numberkeyboard = keyboard;
    return keyboard;
}

QWidget *kor_front_widget()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return kor_front_page();
}

int kor_key_code(KorKey key, bool letter)
{
    switch (key) {
    case KorKey::Left:
        return letter ? Qt::Key_S : Qt::Key_F4;
    case KorKey::Right:
        return letter ? Qt::Key_R : Qt::Key_F5;
    case KorKey::Ok:
        return letter ? Qt::Key_Q : Qt::Key_F6;
    case KorKey::Back:
        return letter ? Qt::Key_O : Qt::Key_PowerOff;
    case KorKey::Mode:
        return letter ? Qt::Key_M : Qt::Key_Stop;
    case KorKey::None:
        break;
    }
    return 0;
}

void kor_press_code(int qt_key)
{
    QWidget *target = kor_front_widget();
    if (!target)
        return;
    QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, qt_key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    if (!guard)
        return;
    QKeyEvent release(QEvent::KeyRelease, qt_key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
    // A save the key asked for is on flash, and its success notice shown, before the test
    // looks.
    if (SyncUpdate::p_sync)
        SyncUpdate::p_sync->flush_saves();
}

void kor_press(KorKey key) { kor_press_code(kor_key_code(key)); }

int kor_key_code(const QString &name)
{
    static const char *const kNames[] = {"left", "right", "ok", "back", "mode"};
    static const KorKey kKeys[] = {KorKey::Left, KorKey::Right, KorKey::Ok, KorKey::Back, KorKey::Mode};
    const QString suffix = QStringLiteral("-letter");
    const bool letter = name.endsWith(suffix);
    const QString key = letter ? name.chopped(suffix.size()) : name;
    for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; ++i)
        if (key == QLatin1String(kNames[i]))
            return kor_key_code(kKeys[i], letter);
    qFatal("no key is named \"%s\"", qPrintable(name));
    return 0;
}

QStringList kor_script(const QString &script)
{
    QStringList presses;
    for (const QString &word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int star = word.indexOf(QLatin1Char('*'));
        const QString name = star < 0 ? word : word.left(star);
        bool number = true;
        const int times = star < 0 ? 1 : word.mid(star + 1).toInt(&number);
        if (!number || times < 0)
            qFatal("\"%s\" is no key pressed a number of times", qPrintable(word));
        kor_key_code(name);
        for (int i = 0; i < times; ++i)
            presses << name;
    }
    return presses;
}

void kor_press_key(const QString &name) { kor_press_code(kor_key_code(name)); }

KorKeyScript &KorKeyScript::step(std::function<void()> action)
{
    m_steps.append(std::move(action));
    return *this;
}

KorKeyScript &KorKeyScript::press(KorKey key) { return step([key] { kor_press(key); }); }

KorKeyScript &KorKeyScript::keys(const QString &script)
{
    for (const QString &name : kor_script(script))
        step([name] { kor_press_key(name); });
    return *this;
}

void KorKeyScript::run_step(int index)
{
    if (index >= m_steps.size()) {
        // Whatever is still open modally would keep the loops below from returning.
        if (QApplication::activeModalWidget()) {
            m_left_open = true;
            kor_close_all_pages();
        }
        m_done = true;
        return;
    }
    // The next step is queued first: if this one opens a modal page it runs inside it.
    QTimer::singleShot(0, [this, index] { run_step(index + 1); });
    m_steps[index]();
}

bool KorKeyScript::run(int timeout_ms)
{
    m_done = false;
    m_left_open = false;
    bool timed_out = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&timed_out] {
        timed_out = true;
        kor_close_all_pages();
    });
    watchdog.start(timeout_ms);
    QTimer::singleShot(0, [this] { run_step(0); });
    while (!m_done && !timed_out)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    return m_done && !timed_out && !m_left_open;
}

KorTraceCapture::KorTraceCapture()
{
    std::fflush(stdout);
    m_file = std::tmpfile();
    if (!m_file)
        return;
    m_saved = dup(STDOUT_FILENO);
    dup2(fileno(m_file), STDOUT_FILENO);
}

KorTraceCapture::~KorTraceCapture()
{
    text();
    if (m_file)
        std::fclose(m_file);
}

QString KorTraceCapture::text()
{
    if (m_saved < 0 || !m_file)
        return QString();
    std::fflush(stdout);
    dup2(m_saved, STDOUT_FILENO);
    close(m_saved);
    m_saved = -1;
    std::rewind(m_file);
    QByteArray data;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0)
        data.append(buffer, int(n));
    return QString::fromUtf8(data);
}
