#pragma once
#include "ui/rcv/kor_job_ring.h"
#include "ui/shell/kor_page.h"

#include <QMetaObject>

class SmartMappingCuring;
class SmartMappingLoadScan;
class SmartMappingPart;
class SmartMappingPorts;
class SmartMappingQuick;
class SmartMappingSwitch;
namespace Ui {
class SmartMapping;
}

// The smart-mapping page (page 24, beneath the settings menu): four receiving-card tools
// in one page - the quick screen setup (cabinet size, port, grid, routing, offsets, then
// job 1), the load scan (a port and a ".ykfile" pack, job 2), the parameter curing (job 3)
// and the mapping switch (FPGA 0 register 0 bit 7, job 4). The page only fills line_type,
// g_ykfile_name and g_send_para; the FPGA worker does the work and drives the progress
// ring through sig_qround_bar_update. While the ring is shown the page changes nothing.
//
// This class is the frame: the tool column, the keys' way to the tool entered, the ring and
// the jobs, texts and refresh. Each tool is a part (smartmapping_*.h) whose stacked pages
// are built from their own forms when first reached: most visits use one or two tools.
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

    // What the tools use of the frame.
    // Stacked page `index`, its form set up first when it is reached for the first time.
    QWidget *stacked_page(int index);
    int shown_stacked() const;
    // Shows stacked page `index` (with its texts when `retext`); false while a job runs.
    bool go_to_stacked(int index, bool retext = false);
    // A tool's first page shown by its entry; its file list is no longer shown.
    void open_tool(int index);
    void show_entry(int entry, const char *style);
    // Back out of a tool: its entry in the column is the selection again.
    void leave_tool(int entry);
    int file_count() const { return m_file_count; }
    SmartMappingPorts &ports() { return *m_ports; }
    // Creates the ring on the page and connects the progress to it; false (and nothing
    // done) while a ring is shown or when there is no FPGA worker to end the job.
    bool start_ring();
    // Shows the ring and hands job `job` to the worker; nothing while a ring is shown.
    void start_job(int job);
    // OK on a selected number field: its keyboard.
    void edit_field(My_lineEdit *field) { emit_send_show(field); }

signals:
    // Progress of the job in percent; 100 ends it and closes the ring.
    void sig_qround_bar_update(int percent);

public slots:
    // Closes the page (nothing while a ring is shown); also run by the host link when a
    // pack file arrives or is deleted.
    void Button_back_clicked();
    void slot_Button_back_clicked() override;
    void show_numberkeyboard_ui(QString text) override;

    // The tool column's entries; touched while a job runs, they only build their tool.
    void on_Button_shortcut_clicked();
    void on_Button_loadscan_clicked();
    void on_Button_paraweld_clicked();
    void on_Button_mapping_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    bool mode_key_refused() const override;
    QString number_keyboard_title(My_lineEdit *field) const override;

private:
    static bool ring_shown();
    void follow_worker();

    // Every key alike: nothing while a job runs; the column's action, else the tool entered.
    void route_key(KorKey key);
    void menulist_init();
    void menulist_main_sel();
    void menulist_fuc_sel_default();
    void column_move(int step);
    void column_enter();
    void refresh_column();

    // The tool of the main selection; the tool of a stacked page.
    SmartMappingPart *tool() const;
    SmartMappingPart *part_of(int stacked) const;
    // The texts of stacked page `index` in the language shown.
    void text_page(int index);

    Ui::SmartMapping *ui;
    SmartMappingPorts *m_ports;
    SmartMappingQuick *m_quick;
    SmartMappingLoadScan *m_scan;
    SmartMappingSwitch *m_switch;
    SmartMappingPart *m_parts[4];

    // ui_select (the base's selection byte, its focus list the column) holds the main
    // selection 0..3.
    bool m_in_tool = false;
    int m_file_count = 0;        // available smart-mapping files; 0 greys the load scan
    bool m_usb_pending = false;  // a stick change came while a job ran
    bool m_built[8] = {};
    int m_texted[8] = {-1, -1, -1, -1, -1, -1, -1, -1};  // language of each stacked page's texts
    KorJobRing m_ring;
    QMetaObject::Connection m_results;
};

extern SmartMapping *g_smartmapping;
