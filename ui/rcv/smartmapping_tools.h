#pragma once
#include "ui/rcv/smartmapping_part.h"

#include <memory>

class QPushButton;
namespace Ui {
class SmartMappingCuringPage;
class SmartMappingSwitchPage;
}

// A tool of one button: entered, the button takes the focus and OK presses it; back leaves.
class SmartMappingButtonTool : public SmartMappingPart {
    Q_OBJECT
public:
    SmartMappingButtonTool(SmartMapping *page, int entry);

protected:
    // The entry chosen, the button in focus; back: the entry in focus, the button normal.
    void take_keys();
    void give_back_keys();

    QPushButton *m_button = nullptr;
};

// The parameter curing (stacked page 6): the cards keep the parameters they have (job 3).
class SmartMappingCuring : public SmartMappingButtonTool {
    Q_OBJECT
public:
    explicit SmartMappingCuring(SmartMapping *page);
    ~SmartMappingCuring() override;

    void open(bool enter) override;
    void key_ok() override { menulist_paraweld_button_ok_page(); }
    void key_back() override { menulist_paraweld_back_page(); }
    void build_page(int index, QWidget *page) override;
    void text_page(int index) override;

    void menulist_paraweld_page1_init();
    void menulist_paraweld_button_ok_page();
    void menulist_paraweld_back_page();
    void language_for_paraweld_page6();

public slots:
    void on_Button_confirm_clicked();

private:
    std::unique_ptr<Ui::SmartMappingCuringPage> m_ui;
};

// The mapping switch (stacked page 7): FPGA 0 register 0 bit 7 turned over, and the cards
// told (job 4, bytes 16-19 of the request 9 for on, 0 for off).
class SmartMappingSwitch : public SmartMappingButtonTool {
    Q_OBJECT
public:
    explicit SmartMappingSwitch(SmartMapping *page);
    ~SmartMappingSwitch() override;

    // The entry's slot: the switch shows the register's state.
    void show_state();
    void open(bool enter) override;
    void key_ok() override { menulist_mapping_button_ok_page(); }
    void key_back() override { menulist_mapping_back_page(); }
    void build_page(int index, QWidget *page) override;
    void text_page(int index) override;

    void menulist_mapping_page1_init();
    void menulist_mapping_button_ok_page();
    void menulist_mapping_back_page();
    void language_for_mapping_onoff_page7();

public slots:
    void on_Button_mapping_state_clicked();

private:
    void show_mapping_state(bool on);

    std::unique_ptr<Ui::SmartMappingSwitchPage> m_ui;
};
