#pragma once
#include <QWidget>
#include <cstdint>

namespace Ui {
class TIP;
}

// The shared pop-up (g_tip, built by the main window): kind 1 the done tick, 3 a USB drive
// is connected, 4 it was unplugged, 5 data are being read, 6 a job failed or was refused. It stays above the page in
// front without taking the keys and hides itself after 300 ticks.
class TIP : public QWidget {
    Q_OBJECT
public:
    static constexpr uint32_t kShowTicks = 300;

    explicit TIP(QWidget *parent = nullptr);
    ~TIP() override;

    void tip_create(int kind);
    int kind() const { return m_kind; }
    // Called by the 10 ms tick: hides the pop-up once its time is up.
    void update_tick();

private:
    Ui::TIP *ui;
    int m_kind = 0;
    uint32_t m_shown_at = 0;
};

extern TIP *g_tip;
