#pragma once
#include "ui/rcv/smartmapping_part.h"

#include <memory>

class QAbstractButton;
class QToolButton;
namespace Ui {
class SmartMappingRoutePage;
}

// The routing picker of the quick setup's Step 3 (stacked page 3): sixteen patterns and
// Cancel. The pattern chosen goes to line_type byte 11 and shows on Step 3's Button_route.
class SmartMappingRoute : public QObject {
    Q_OBJECT
public:
    explicit SmartMappingRoute(SmartMapping *page);
    ~SmartMappingRoute() override;

    void build(QWidget *page);
    // Step 3's button that shows the pattern.
    void set_target(QAbstractButton *route_button) { m_target = route_button; }
    // The keys are in the picker.
    bool is_open() const { return m_open; }
    void close() { m_open = false; }

    void menulist_shortcut_page3_button_route_init();
    void menulist_shortcut_page3_button_route_sel_right();
    void menulist_shortcut_page3_button_route_sel_left();
    // OK: the pattern under the cursor, or Cancel; the keys go back to Step 3.
    void menulist_shortcut_page3_button_route_ok();
    // Back: as Cancel.
    void cancel();
    void language_for_shortcutt_page3();
    void line_select(char pattern);
    // Step 3's button shows pattern 1 to 16.
    void show_route(int pattern);

public slots:
    void on_Button_route1_clicked();
    void on_Button_route2_clicked();
    void on_Button_route3_clicked();
    void on_Button_route4_clicked();
    void on_Button_route5_clicked();
    void on_Button_route6_clicked();
    void on_Button_route7_clicked();
    void on_Button_route8_clicked();
    void on_Button_route9_clicked();
    void on_Button_route10_clicked();
    void on_Button_route11_clicked();
    void on_Button_route12_clicked();
    void on_Button_route13_clicked();
    void on_Button_route14_clicked();
    void on_Button_route15_clicked();
    void on_Button_route16_clicked();
    void on_Button_cancel_clicked();

private:
    void route_chosen(int pattern);

    SmartMapping *m_page;
    std::unique_ptr<Ui::SmartMappingRoutePage> m_ui;
    QAbstractButton *m_target = nullptr;
    bool m_open = false;
    unsigned char m_item = 0;  // 0..15 the patterns, 16 Cancel
    KorFocusList m_focus{&m_item};
};
