#include "core/global.h"
#include "core/korrampara.h"
#include "core/startup.h"
#include "core/syncupdate.h"
#include "fpga/fpga_manage.h"
#include "hostlink/usbserver.h"
#include "hostlink/z73_wifi_config.h"
#include "inputs/dizidezorar.h"
#include "scaler/v331_manage.h"
#include "platform/devices.h"
#include "platform/resources_init.h"
#include "platform/usb_keyboard.h"
#include "ui/shell/mainwindow.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char *argv[])
{
#ifdef KOR_BOARD
    // The chips need time after power-up before they answer.
    std::this_thread::sleep_for(std::chrono::seconds(2));
#endif
    install_simulated_devices();
    install_hid_keyboard();
    kor_core_start();
    dizidezorar::pInstance();
    // Bring-up reads the screen offset from the table.
    fpga_manage::pInstance()->initialize();
    // The input thread needs the GPIO window the FPGA manager maps, so it starts after it.
    dizidezorar::p_kavri_source->initialize();
    v331_manage::pInstance()->initialize();
    // OSD fonts from a USB-stick package go to the scaler's serial flash.
    fpga_manage::p_fpga_manage->set_font_writer(
        [](const QByteArray &image) { return v331_manage::p_v331_manage->write_font_image(image); });
    Z73_WIFI_CONFIG::pInstance()->initialize();

    QApplication app(argc, argv);
    kor_init_resources();
    SyncUpdate::pInstance()->attach(KorRamPara::p_korrampara_config, &KorRamPara::sig_update_para);

    // The main window runs the 10 ms tick, installs the pages' refresh hooks and shows the
    // home screen.
    MainWindow window;
    window.show();

    SyncUpdate::pInstance()->attach(UsbServer::pInstance(), &UsbServer::sig_usb_update);
    UsbServer::p_usbserver->initialize();

    // A shutdown from outside writes what is pending first.
    kor_quit_on_signals();
    const int status = app.exec();
    // The workers are detached and never joined: end without running destructors under them.
    std::fflush(nullptr);
    std::_Exit(status);
}
