#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

class SimScaler;
class SimEdidEepromBank;
class RecordingShellRunner;

// A fresh world for one test function: an empty data root, start-up globals, fresh
// singletons over freshly installed simulated devices, and a recording shell.
class KorTestEnv {
public:
    KorTestEnv();
    ~KorTestEnv();

    // Builds the singletons after the test has prepared files under the root.
    void start();

    QString root() const { return m_dir.path(); }
    // Path under the root of a board path ("/data/ram_device_info").
    QString path(const QString &board_path) const;
    void write_file(const QString &board_path, const QByteArray &data) const;
    QByteArray read_file(const QString &board_path) const;

    std::vector<std::string> commands() const;
    SimScaler *scaler() const;
    SimEdidEepromBank *edid() const;
    RecordingShellRunner *shell() const;

    // Runs queued events (the refresh signal is delivered queued).
    static void process_events();
    // Advances G_timeTicks by n without the timer.
    static void tick(unsigned n);

private:
    void tear_down();
    QTemporaryDir m_dir;
};

// Saves a rendering of a widget as screens/<name>.png under the build tree.
void kor_save_screen(class QWidget *widget, const QString &name);
