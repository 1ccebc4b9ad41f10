#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/kor_page.h"
#include "ui/shell/lockwindow.h"
#include "ui/shell/mainmenu.h"
#include "ui/shell/option.h"

// Every page the panel can open. A page file defines its registration with
// KOR_PAGE(<class>, <global>, <parent class>); its line below calls it. Remove
// the "//" of a page's line when its file exists. The lines are kept apart so that pages
// added on different branches merge without conflict.
void kor_register_pages()
{
    kor_page_register_fixed<LockWindow>(KorPageNo::LockWindow, &g_lockwindow);
    kor_page_register_fixed<MainMenu>(KorPageNo::MainMenu, &g_mainmenu);
    kor_page_register<CustomMode>(KorPageNo::CustomMode, &g_custommode, KorPageNo::MainMenu);
    kor_page_register<Option>(KorPageNo::Option, &g_option, KorPageNo::MainMenu);
    kor_page_register<AdvancedOption>(KorPageNo::AdvancedOption, &g_advancedoption, KorPageNo::Option);

    // 2 MachineState (device status)
    // KOR_USE_PAGE(MachineState);

    KOR_USE_PAGE(InputChoose);

    KOR_USE_PAGE(OutputSet);

    // 7 ImageLayout (screen layout)
    // KOR_USE_PAGE(ImageLayout);

    KOR_USE_PAGE(EDIDset);

    KOR_USE_PAGE(InputCut);

    KOR_USE_PAGE(LinkOption);

    KOR_USE_PAGE(ImageQuality);

    KOR_USE_PAGE(ledset);

    KOR_USE_PAGE(netset);

    KOR_USE_PAGE(lcdshow);

    KOR_USE_PAGE(test_chart);

    KOR_USE_PAGE(othersetup);

    KOR_USE_PAGE(factory);

    KOR_USE_PAGE(quality);

    KOR_USE_PAGE(temperature);

    KOR_USE_PAGE(linkcom);

    KOR_USE_PAGE(linkwlan);

    KOR_USE_PAGE(factoryage);

    KOR_USE_PAGE(SmartMapping);

    KOR_USE_PAGE(rcv_recovery);

    KOR_USE_PAGE(firmware_usbgrade);

    kor_install_page_hooks();
}
