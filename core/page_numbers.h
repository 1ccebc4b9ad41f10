#pragma once
// The one page table: the number of each page (the value of g_page_focus while it is in
// front), named after its class. The refresh step and the page machinery size their tables
// by kCount; pages, openers and hooks use the names.
namespace KorPageNo {
enum : int {
    LockWindow = 0,  // the home screen
    MainMenu = 1,
    MachineState = 2,  // device status (not built here)
    InputChoose = 3,
    CustomMode = 4,  // user modes
    Option = 5,      // settings menu
    OutputSet = 6,
    ImageLayout = 7,  // screen layout (not built here)
    EDIDset = 8,
    InputCut = 9,
    LinkOption = 10,
    ImageQuality = 11,
    AdvancedOption = 12,
    ledset = 13,
    netset = 14,
    lcdshow = 15,
    test_chart = 16,
    othersetup = 17,
    factory = 18,
    quality = 19,
    temperature = 20,
    linkcom = 21,
    linkwlan = 22,
    factoryage = 23,
    SmartMapping = 24,
    rcv_recovery = 25,
    firmware_usbgrade = 26,
    kCount = 27
};
}
