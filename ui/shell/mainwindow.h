#pragma once
#include <QMainWindow>
#include <QTimer>
#include <functional>

class KorPage;
class LockWindow;
class MainMenu;
namespace Ui {
class MainWindow;
}

// The main window: holds the home screen (page 0) and the main menu (page 1), builds the
// shared number keyboard and pop-up, and runs the 10 ms tick with the ageing sampler.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The screen in front: 0 home, 1 main menu.
    int screen_number() const;
    KorPage *screen_page() const;
    void show_home();
    void show_menu();

    // The ageing sampler: one dated line of FPGA 0 registers 42, 40 and 43.
    void getagelog();
    // Called every ageing pass, sample or not (the ageing page re-renders itself).
    static void set_agelog_hook(std::function<void()> hook);
    // Tests drive the tick by hand.
    void stop_tick() { m_tick.stop(); }

public slots:
    void slot_update_timer_ticks();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    Ui::MainWindow *ui;
    LockWindow *m_home;
    MainMenu *m_menu;
    QTimer m_tick;
};

extern MainWindow *g_mainwindow;
