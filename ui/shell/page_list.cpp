#include "ui/shell/advancedoption.h"
#include "ui/shell/custommode.h"
#include "ui/shell/kor_page.h"
#include "ui/shell/lockwindow.h"
#include "ui/shell/mainmenu.h"
#include "ui/shell/option.h"

// Every page the panel can open. A page file defines its registration with
// KOR_PAGE(<number>, <class>, <global>, <parent number>); its line below calls it. Remove
// the "//" of a page's line when its file exists. The lines are kept apart so that pages
// added on different branches merge without conflict.
void kor_register_pages()
{
    kor_page_register_fixed<LockWindow>(0, &g_lockwindow);
    kor_page_register_fixed<MainMenu>(1, &g_mainmenu);
    kor_page_register<CustomMode>(4, &g_custommode, 1);
    kor_page_register<Option>(5, &g_option, 1);
    kor_page_register<AdvancedOption>(12, &g_advancedoption, 5);

    // 2 MachineState (device status)
    // KOR_USE_PAGE(2);

    KOR_USE_PAGE(3);  // InputChoose

    // 6 OutputSet, parent 5
    KOR_USE_PAGE(6);

    // 7 ImageLayout (screen layout)
    // KOR_USE_PAGE(7);

    // 8 EDIDset, parent 3
    KOR_USE_PAGE(8);

    KOR_USE_PAGE(9);  // InputCut

    // 10 LinkOption, parent 5
    KOR_USE_PAGE(10);

    KOR_USE_PAGE(11);  // ImageQuality

    // 13 ledset, parent 6
    KOR_USE_PAGE(13);

    // 14 netset, parent 6
    KOR_USE_PAGE(14);

    // 15 lcdshow, parent 12
    KOR_USE_PAGE(15);

    // 16 test_chart, parent 5
    KOR_USE_PAGE(16);

    // 17 othersetup, parent 12
    KOR_USE_PAGE(17);

    // 18 factory, parent 12
    KOR_USE_PAGE(18);

    // 19 quality, parent 11
    KOR_USE_PAGE(19);

    // 20 temperature, parent 11
    KOR_USE_PAGE(20);

    // 21 linkcom, parent 10
    KOR_USE_PAGE(21);

    // 22 linkwlan, parent 10
    KOR_USE_PAGE(22);

    // 23 factoryage, parent 12
    KOR_USE_PAGE(23);

    // 24 SmartMapping, parent 5
    KOR_USE_PAGE(24);

    // 25 rcv_recovery, parent 12
    KOR_USE_PAGE(25);

    // 26 firmware_usbgrade, parent 10
    KOR_USE_PAGE(26);

    kor_install_page_hooks();
}
