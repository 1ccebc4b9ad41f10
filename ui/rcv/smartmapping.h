#pragma once
#include "ui/shell/kor_page.h"

#include <QMetaObject>
#include <QStringList>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;
namespace Ui {
class SmartMapping;
}

// The smart-mapping page (page 24, beneath the settings menu): four receiving-card tools
// in one page - the quick screen setup (cabinet size, port, grid, routing, offsets, then
// job 1), the load scan (a port and a ".ykfile" pack, job 2), the parameter curing (job 3)
// and the mapping switch (FPGA 0 register 0 bit 7, job 4). The page only fills line_type,
// g_ykfile_name and g_send_para; the FPGA worker does the work and drives the progress
// ring through sig_qround_bar_update. While the ring is shown the page changes nothing.
class SmartMapping : public KorPage {
    Q_OBJECT
public:
    explicit SmartMapping(QWidget *parent = nullptr);
    ~SmartMapping() override;

    void language_changed() override;
    // Refresh hook: 101/102 rebuild the file list while it is shown, other codes re-text
    // the page when the language changed.
    void syncUpdate(int code);
    void page_refresh(int code) override { syncUpdate(code); }

    void language_for_shortcutt_page0();
    void language_for_shortcutt_page1();
    void language_for_shortcutt_page2();
    void language_for_shortcutt_page3();
    void language_for_loadscan_page4();
    void language_for_loadscan_page5();
    void language_for_paraweld_page6();
    void language_for_mapping_onoff_page7();

signals:
    // Progress of the job in percent; 100 ends it and closes the ring.
    void sig_qround_bar_update(int percent);

public slots:
    // Closes the page (nothing while a ring is shown); also run by the host link when a
    // pack file arrives or is deleted.
    void Button_back_clicked();
    void slot_Button_back_clicked() override;
    void show_numberkeyboard_ui(QString text) override;

    void on_Button_shortcut_clicked();
    void on_Button_loadscan_clicked();
    void on_Button_paraweld_clicked();
    void on_Button_mapping_clicked();

    void on_Button_next_clicked();
    void on_Button_front_2_clicked();
    void on_Button_next_2_clicked();
    void on_Button_front_3_clicked();
    void on_Button_route_clicked();
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
    void on_Button_send_clicked();

    void on_Button_wlan1_clicked();
    void on_Button_wlan2_clicked();
    void on_Button_wlan3_clicked();
    void on_Button_wlan4_clicked();
    void on_Button_wlan5_clicked();
    void on_Button_wlan6_clicked();
    void on_Button_wlan7_clicked();
    void on_Button_wlan8_clicked();
    void kor_button_wlan_clicked();

    void on_Button_next_5_clicked();
    void on_Button_front_6_clicked();
    void on_Button_load_clicked();
    void kor_Button_previous_clicked();
    void kor_Button_next_clicked();
    void kor_button_file_clicked();

    void on_Button_confirm_clicked();
    void on_Button_mapping_state_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    bool mode_key_refused() const override;
    QString number_keyboard_title(My_lineEdit *field) const override;

private:
    struct FileRow {
        QLabel *label = nullptr;
        QPushButton *button = nullptr;
        QString name;
        QString path;
        bool usb = false;
    };
    enum RowState { RowNotChosen = 0, RowChosen = 1, RowCursor = 2 };
    using Action = void (SmartMapping::*)();

    // Left and right alike: the focus function of the step in front.
    void move_key(bool right);
    // OK and back alike: the column's action, else the action of the tool entered.
    void tool_key(Action in_column, const Action (&in_tool)[4]);

    // A job runs: g_qround_bar is shown.
    static bool ring_shown();
    // Creates the ring on the page and connects the progress to it; false (and nothing
    // done) while a ring is shown or when there is no FPGA worker to end the job.
    bool start_ring();
    // Shows the ring and hands job `job` to the worker; nothing while a ring is shown.
    void start_job(int job);
    void follow_worker();
    void job_progress(int percent);

    // Shows stacked page `index` with its texts.
    void show_stacked(int index);
    // The texts of stacked page `index` in the language shown.
    void text_page(int index);
    // A button's move to a stacked page (re-texted when `retext`); false while a job runs.
    bool go_to_stacked(int index, bool retext = false);
    // An entry's stacked page; its file list is no longer shown.
    void open_tool(int index);

    // Tool column.
    void menulist_init();
    void menulist_main_sel();
    void menulist_fuc_sel_default();
    void column_move(int step);
    void column_enter();
    void leave_tool(int entry);
    QString entry_style(int entry) const;
    void refresh_column();

    // Quick screen setup.
    void line_select(char pattern);
    void show_route(int pattern);
    void route_chosen(int pattern);
    void wlan_init(unsigned char on_loadscan, unsigned char unused);
    void wlan_foucus_style(QPushButton *group_button);
    void show_group(int button_number);
    void group_clicked(int button_number);
    void show_port_cells();
    void menulist_shortcut_default();
    void menulist_shortcut_page1_init();
    void menulist_shortcut_page1_sel_right();
    void menulist_shortcut_page1_sel_left();
    void menulist_shortcut_page2_init();
    void menulist_shortcut_page2_sel_right();
    void menulist_shortcut_page2_sel_left();
    void menulist_shortcut_page2_sel_default();
    void menulist_shortcut_page2_sel_recovery();
    void menulist_shortcut_page3_init();
    void menulist_shortcut_page3_sel_right();
    void menulist_shortcut_page3_sel_left();
    void menulist_shortcut_page3_sel_default();
    void menulist_shortcut_page3_sel_recovery();
    void menulist_shortcut_page3_button_route_init();
    void menulist_shortcut_page3_button_route_sel_right();
    void menulist_shortcut_page3_button_route_sel_left();
    void menulist_shortcut_page3_button_route_ok();
    void menulist_shortcut_button_ok_page();
    void menulist_shortcut_back_page();
    void step1_move(int step);
    void step2_move(int step);
    void page2_move(int step);
    void step3_move(int step);
    void route_move(int step);
    void port_cell_move(int step);

    // Load scan, curing, mapping switch.
    void get_file_list_smartpath();
    void get_file_list_usbpath();
    void scan_file_list();
    int rows_on_page() const;
    void style_row(int row, RowState state);
    void choose_row(int row);
    void menulist_loadscan_page1_init(unsigned char enter);
    void menulist_loadscan_page1_sel_right();
    void menulist_loadscan_page1_sel_left();
    void menulist_loadscan_page1_sel_default();
    void menulist_loadscan_page1_sel_recovery();
    void menulist_loadscan_page2_init();
    void menulist_loadscan_page2_sel_right();
    void menulist_loadscan_page2_sel_left();
    void menulist_loadscan_page2_sel_default();
    void menulist_loadscan_page2_sel_recovery();
    void loadscan_button_toggle();
    // Shows file-list page `page`; nothing while a job runs.
    void turn_page(int page);
    void menulist_loadscan_button_ok_page();
    void menulist_loadscan_back_page();
    void loadscan_port_move(int step);
    void menulist_paraweld_page1_init();
    void menulist_paraweld_button_ok_page();
    void menulist_paraweld_back_page();
    void menulist_mapping_page1_init();
    void menulist_mapping_button_ok_page();
    void menulist_mapping_back_page();
    void show_mapping_state(bool on);
    void rebuild_list_after_usb();

    Ui::SmartMapping *ui;
    QPushButton *m_entries[4];
    QPushButton *m_last_group_button;  // the group whose port cells are drawn
    QPushButton *m_group_buttons[8];
    QToolButton *m_route_buttons[17];  // patterns 1..16, then Button_cancel
    QWidget *m_step1_items[3];
    QWidget *m_step2_items[4];
    QWidget *m_step3_items[7];
    QWidget *m_ls_items[3];

    // ui_select (the base's selection byte) holds the main selection 0..3.
    bool m_in_tool = false;
    int m_file_count = 0;  // available smart-mapping files; 0 greys the load scan
    int m_shortcut_step = 0;
    int m_step1_item = 0;
    int m_step2_item = 0;
    bool m_port_choice = false;
    int m_group = 0;
    int m_port_cell = 0;
    uint8_t m_saved_port = 0;
    int m_step3_item = 0;
    bool m_route_picker = false;
    int m_route_item = 0;

    // Port cells of the group shown: one set, on stacked page 1 or 4.
    QFrame *m_cells_frame = nullptr;
    int m_cells_page = 1;
    QFrame *m_cell_frames[8] = {};
    QPushButton *m_cell_buttons[8] = {};
    bool m_cell_chosen[8] = {};

    // Load scan.
    int m_ls_sub = 0;
    int m_ls_item = 0;
    bool m_ls_port_choice = false;
    bool m_ls_port_confirmed = false;
    uint8_t m_ls_saved_port = 0;
    QStringList m_files;
    int m_internal_count = 0;
    int m_total = 0;
    int current_page = 0;
    int m_last_page = 0;
    // The chosen row of the page shown; the keys' row cursor is always this row.
    int file_select = 0;
    bool m_button_mode = false;
    int m_current_button = 1;  // 0 Button_front_6, 1 Button_load
    bool m_list_shown = false;
    bool m_usb_pending = false;  // a stick change came while a job ran
    QFrame *m_file_frame = nullptr;
    QLabel *m_no_file_label = nullptr;
    FileRow m_rows[3];

    QMetaObject::Connection m_follow;
    int m_texted[8] = {-1, -1, -1, -1, -1, -1, -1, -1};  // language of each stacked page's texts
};

extern SmartMapping *g_smartmapping;
