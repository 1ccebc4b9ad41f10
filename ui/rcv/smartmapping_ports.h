#pragma once
#include "ui/rcv/smartmapping_part.h"

#include <cstdint>
#include <initializer_list>

class QFrame;
class QPushButton;

// The eight port cells of the group shown, and the group buttons that choose them. Step 2 of
// the quick setup and the load scan's port step share one set: a group chosen on either page
// draws its cells there, and the group button shown last goes back to normal.
class SmartMappingPorts : public QObject {
    Q_OBJECT
public:
    explicit SmartMappingPorts(SmartMapping *page);

    // Group button `button` (group 0 to 3 in button order on its page) pressed: it shows its
    // group and the cells are drawn from cell 0 on the quick setup's page or the load scan's.
    // A cell pressed there is also kept in `saved_port`.
    void group_clicked(QPushButton *button, int group, bool on_loadscan, uint8_t *saved_port);
    int group() const { return m_group; }
    // Moves the cell cursor; the port follows it.
    void move_cell(int step);
    // Presses the cell under the cursor.
    void click_cell();

public slots:
    void kor_button_wlan_clicked();

private:
    void wlan_foucus_style(QPushButton *group_button);
    void wlan_init(unsigned char on_loadscan, unsigned char unused);
    void show_port_cells();

    SmartMapping *m_page;
    QPushButton *m_last_group_button = nullptr;  // the group whose cells are drawn
    int m_group = 0;
    int m_port_cell = 0;
    uint8_t *m_saved_port = nullptr;
    QFrame *m_cells_frame = nullptr;
    QFrame *m_cell_frames[8] = {};
    QPushButton *m_cell_buttons[8] = {};
    bool m_cell_chosen[8] = {};
};

// The keys of a port step: the first two group buttons, then the step's other buttons. OK on
// a group moves the keys among its cells; OK there confirms the cell, back leaves the cells.
// In the quick setup OK on a group starts from its first port and back always restores the
// port held before; in the load scan the port changes only with the cells, and back restores
// it only once a cell was confirmed.
class SmartMappingPortStep {
public:
    enum Kind { QuickSetup, LoadScan };
    SmartMappingPortStep(SmartMappingPorts &ports, Kind kind);

    // The page's four group buttons, then the other items in focus order.
    void set_items(QPushButton *const (&groups)[4], std::initializer_list<QWidget *> buttons);
    // Group button `group` (0 to 3) pressed.
    void group_clicked(int group);
    // Leaves the cells; every item normal, `item` selected.
    void reset(int item);
    void show_item(const char *style);
    int item() const { return m_focus.index(); }
    // Left and right; OK and back: false when the selected item is a plain button outside
    // the cells, for the step to act on.
    void move(int step);
    bool ok();
    bool back();

private:
    void show_group(int group);

    SmartMappingPorts &m_ports;
    Kind m_kind;
    QPushButton *m_groups[4] = {};
    unsigned char m_item = 0;
    KorFocusList m_focus;
    bool m_choice = false;     // the keys move among the cells
    bool m_confirmed = false;  // a cell was confirmed since the step was entered
    uint8_t m_saved_port = 0;
};
