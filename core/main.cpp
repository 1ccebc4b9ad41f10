#include "core/config_engine.h"
#include "core/global.h"
#include "core/korrampara.h"
#include "core/syncupdate.h"
#include "platform/devices.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <thread>

int main(int argc, char *argv[])
{
#ifdef KOR_BOARD
    // The chips need time after power-up before they answer.
    std::this_thread::sleep_for(std::chrono::seconds(2));
#endif
    install_simulated_devices();
    ConfigEngine::pInstance();
    KorRamPara::pInstance();

    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(320, 240);
    window.setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));
    window.show();

    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [] { G_timeTicks.fetch_add(1, std::memory_order_relaxed); });
    tick.start(10);
    SyncUpdate::pInstance()->attach(KorRamPara::p_korrampara_config, SIGNAL(sig_update_para(int)));

    return app.exec();
}
