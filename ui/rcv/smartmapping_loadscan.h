#pragma once
#include "ui/rcv/smartmapping_part.h"
#include "ui/rcv/smartmapping_ports.h"

#include <memory>

class QFrame;
class QLabel;
class QPushButton;
namespace Ui {
class SmartMappingPortPage;
class SmartMappingFilesPage;
}

// The load scan: a port (stacked page 4, the port cells as in the quick setup) and a
// ".ykfile" pack from the device or the stick (page 5, three files a page); Load hands job 2
// to the worker, which sends the pack named by g_ykfile_name to the port's cards.
class SmartMappingLoadScan : public SmartMappingPart {
    Q_OBJECT
public:
    explicit SmartMappingLoadScan(SmartMapping *page);
    ~SmartMappingLoadScan() override;

    void open(bool enter) override;
    void key_move(int step) override;
    void key_ok() override;
    void key_back() override;
    // A tool was entered by its entry: the file list is no longer shown.
    void forget_list() { m_list_shown = false; }
    // The stick was removed or mounted: the list shown is built again from its first row.
    void usb_changed();

    void build_page(int index, QWidget *page) override;
    void text_page(int index) override;
    void language_for_loadscan_page4();
    void language_for_loadscan_page5();

public slots:
    void on_Button_wlan5_clicked();
    void on_Button_wlan6_clicked();
    void on_Button_wlan7_clicked();
    void on_Button_wlan8_clicked();
    void on_Button_next_5_clicked();
    void on_Button_front_6_clicked();
    void on_Button_load_clicked();
    void kor_Button_previous_clicked();
    void kor_Button_next_clicked();
    void kor_button_file_clicked();

private:
    struct FileRow {
        QLabel *label = nullptr;
        QPushButton *button = nullptr;
        QString name;
        QString path;
        bool usb = false;
    };
    enum RowState { RowNotChosen = 0, RowChosen = 1, RowCursor = 2 };

    void menulist_loadscan_page1_init(unsigned char enter);
    void menulist_loadscan_page1_sel_right();
    void menulist_loadscan_page1_sel_left();
    void menulist_loadscan_page2_init();
    void menulist_loadscan_page2_sel_right();
    void menulist_loadscan_page2_sel_left();
    void menulist_loadscan_page2_sel_default();
    void menulist_loadscan_page2_sel_recovery();
    void menulist_loadscan_button_ok_page();
    void menulist_loadscan_back_page();
    void files_ok();
    void files_back();

    void get_file_list_smartpath();
    void get_file_list_usbpath();
    void scan_file_list();
    void draw_rows(const QFont &font);
    int rows_on_page() const;
    void style_row(int row, RowState state);
    void choose_row(int row);
    // Shows file-list page `page`; nothing while a job runs.
    void turn_page(int page);

    std::unique_ptr<Ui::SmartMappingPortPage> m_port_ui;
    std::unique_ptr<Ui::SmartMappingFilesPage> m_files_ui;
    SmartMappingPortStep m_port;
    unsigned char m_current_button = 1;  // 0 Button_front_6, 1 Button_load
    KorFocusList m_buttons{&m_current_button};

    int m_ls_sub = 0;  // 0 the port step, 1 the file list
    QStringList m_files;
    int m_internal_count = 0;
    int m_total = 0;
    int current_page = 0;
    int m_last_page = 0;
    // The chosen row of the page shown; the keys' row cursor is always this row.
    int file_select = 0;
    bool m_button_mode = false;
    bool m_list_shown = false;
    QFrame *m_file_frame = nullptr;
    QLabel *m_no_file_label = nullptr;
    FileRow m_rows[3];
};
