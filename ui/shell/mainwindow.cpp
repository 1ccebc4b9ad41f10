#include "ui/shell/mainwindow.h"

#include "core/global.h"
#include "core/utils.h"
#include "core/worker.h"
#include "fpga/fpga_manage.h"
#include "ui/shell/kor_page.h"
#include "ui/shell/lockwindow.h"
#include "ui/shell/mainmenu.h"
#include "ui/shell/numberkeyboard.h"
#include "ui/shell/tip.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QPixmap>

MainWindow *g_mainwindow = nullptr;

namespace {
std::function<void()> s_agelog_hook;
constexpr uint32_t kAgeingTicks = 18000;  // 180 s
constexpr int kAgeingLines = 3360;         // seven days of samples

// What the first opening of a page would otherwise wait for, loaded once while the panel
// rests after its first frame: the image plug-ins (the home screen and the menu read their
// PNGs without them, see kor_png) and the fonts of the pages' forms and texts, each with the
// fallback font of the Chinese texts.
void prepare_pages()
{
    QPixmap(QStringLiteral(":/png/OK_Enter.png"));
    const QString sample = QStringLiteral("A\u4e2d");
    QFontMetrics(QFont()).horizontalAdvance(sample);
    for (int points : {7, 8, 9, 10, 11, 13}) {
        QFont font;
        font.setPointSize(points);
        QFontMetrics(font).horizontalAdvance(sample);
    }
    for (int pixels : {9, 10, 12, 13}) {
        QFont font;
        font.setPixelSize(pixels);
        QFontMetrics(font).horizontalAdvance(sample);
    }
}
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    g_mainwindow = this;
    setFocusPolicy(Qt::StrongFocus);
    ui->centralwidget->setFocusPolicy(Qt::NoFocus);
    if (!g_numberkeyboard)
        g_numberkeyboard = new NumberKeyboard;
    if (!g_tip)
        g_tip = new TIP;
    kor_register_pages();
    m_home = new LockWindow(ui->stackedWidget);
    m_menu = new MainMenu(ui->stackedWidget);
    ui->stackedWidget->addWidget(m_home);
    ui->stackedWidget->addWidget(m_menu);
    m_home->installEventFilter(this);
    show_home();
    connect(&m_tick, &QTimer::timeout, this, &MainWindow::slot_update_timer_ticks);
    m_tick.start(10);
    kor_keep_keys(this);
}

MainWindow::~MainWindow()
{
    if (g_mainwindow == this)
        g_mainwindow = nullptr;
    delete ui;
}

int MainWindow::screen_number() const
{
    return ui->stackedWidget->currentWidget() == m_menu ? 1 : 0;
}

KorPage *MainWindow::screen_page() const
{
    return qobject_cast<KorPage *>(ui->stackedWidget->currentWidget());
}

void MainWindow::show_home()
{
    ui->stackedWidget->setCurrentWidget(m_home);
    g_page_focus = KorPageNo::LockWindow;
    m_home->refresh_view();
}

void MainWindow::show_menu()
{
    ui->stackedWidget->setCurrentWidget(m_menu);
    g_page_focus = KorPageNo::MainMenu;
}

void MainWindow::set_agelog_hook(std::function<void()> hook)
{
    s_agelog_hook = std::move(hook);
}

void MainWindow::slot_update_timer_ticks()
{
    G_timeTicks.fetch_add(1);
    // Workers at rest sleep until asked; a request raised without a wake is seen here.
    KorWorker::wake_pending();
    if (Utils::getTimeSpace(G_factoryage_ticks) >= kAgeingTicks) {
        G_factoryage_ticks = G_timeTicks.load();
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        if (fpga && pc_cmd_valid.load() == 0 && fpga->get_fpga_status())
            getagelog();
        if (s_agelog_hook)
            s_agelog_hook();
    }
    if (g_tip)
        g_tip->update_tick();
}

void MainWindow::getagelog()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga)
        return;
    const QDateTime now = kor_system_now();
    fpga->read_from_register(40, 0);
    fpga->read_from_register(42, 0);
    fpga->read_from_register(43, 0);
    const unsigned char *regs = fpga->MCU_REG_func[0];
    factoryage_log.append(QStringLiteral("%1 %2 %3 %4")
                              .arg(now.toString(QStringLiteral("MM-dd hh:mm")))
                              .arg(regs[42])
                              .arg(regs[40])
                              .arg(regs[43]));
    while (factoryage_log.size() > kAgeingLines)
        factoryage_log.removeFirst();
    const int n = factoryage_log.size();
    if (n < 2)
        return;
    const QStringList older = factoryage_log[n - 2].split(QLatin1Char(' '));
    const QStringList newer = factoryage_log[n - 1].split(QLatin1Char(' '));
    if (older.size() < 3 || newer.size() < 3)
        return;
    const int was = older[2].toInt();
    int now42 = newer[2].toInt();
    if (now42 < was)
        now42 += 256;
    const int d = now42 - was;
    if (d <= 0)
        return;
    if (d < 3)
        ++factoryage_log_diff3;
    else if (d < 5)
        ++factoryage_log_diff5;
    else if (d < 10)
        ++factoryage_log_diff10;
    else if (d < 20)
        ++factoryage_log_diff20;
    else
        ++factoryage_log_diffmore;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_home && event->type() == QEvent::Paint) {
        m_home->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &prepare_pages, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (KorPage *page = screen_page())
        QCoreApplication::sendEvent(page, event);
}

void MainWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (KorPage *page = screen_page())
        QCoreApplication::sendEvent(page, event);
}
