#pragma once
#include "ui/rcv/smartmapping_part.h"
#include "ui/rcv/smartmapping_ports.h"

#include <memory>

class My_lineEdit;
class SmartMappingRoute;
namespace Ui {
class SmartMappingStep1Page;
class SmartMappingStep2Page;
class SmartMappingStep3Page;
}

// The quick screen setup (stacked pages 0 to 3): Step 1 the cabinet size, Step 2 the port,
// Step 3 the cabinet grid, the routing pattern (its picker is page 3) and the offsets; Send
// hands job 1 to the worker.
class SmartMappingQuick : public SmartMappingPart {
    Q_OBJECT
public:
    explicit SmartMappingQuick(SmartMapping *page);
    ~SmartMappingQuick() override;
    // The number keyboard's title for one of its fields; empty for any other.
    QString keyboard_title(My_lineEdit *field) const;

    void build_page(int index, QWidget *page) override;
    void text_page(int index) override;
    void language_for_shortcutt_page0();
    void language_for_shortcutt_page1();
    void language_for_shortcutt_page2();

    void open(bool enter) override;
    void key_move(int step) override;
    void key_ok() override;
    void key_back() override;

public slots:
    void on_Button_next_clicked();
    void on_Button_front_2_clicked();
    void on_Button_next_2_clicked();
    void on_Button_front_3_clicked();
    void on_Button_route_clicked();
    void on_Button_send_clicked();
    void on_Button_wlan1_clicked();
    void on_Button_wlan2_clicked();
    void on_Button_wlan3_clicked();
    void on_Button_wlan4_clicked();

private:
    void menulist_shortcut_default();
    void menulist_shortcut_page1_init();
    void menulist_shortcut_page1_sel_right();
    void menulist_shortcut_page1_sel_left();
    void menulist_shortcut_page2_init();
    void menulist_shortcut_page2_sel_right();
    void menulist_shortcut_page2_sel_left();
    void menulist_shortcut_page3_init();
    void menulist_shortcut_page3_sel_right();
    void menulist_shortcut_page3_sel_left();
    void menulist_shortcut_page3_sel_default();
    void menulist_shortcut_page3_sel_recovery();
    void menulist_shortcut_button_ok_page();
    void menulist_shortcut_back_page();
    void step3_ok();
    // A number field: OK opens its keyboard, a press too.
    void add_field(KorFocusList &list, My_lineEdit *field);

    std::unique_ptr<Ui::SmartMappingStep1Page> m_step1_ui;
    std::unique_ptr<Ui::SmartMappingStep2Page> m_step2_ui;
    std::unique_ptr<Ui::SmartMappingStep3Page> m_step3_ui;
    SmartMappingRoute *m_route;
    int m_shortcut_step = 0;  // 0 Step 1, 1 Step 2, 2 Step 3
    KorFocusList m_step1;
    SmartMappingPortStep m_step2;
    KorFocusList m_step3;
};
