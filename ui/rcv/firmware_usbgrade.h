#pragma once
#include "ui/shell/kor_page.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace Ui {
class firmware_usbgrade;
}
class QFrame;
class QLabel;
class QPushButton;

// The USB firmware-upgrade page (page 26): lists the upgrade packages on the stick, four a
// page, and OK raises g_usb_grade once so that the FPGA worker runs its upgrade engine;
// update code 104 shows the engine's log.
class firmware_usbgrade : public KorPage {
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 100;
    static constexpr int kPerPage = 4;

    explicit firmware_usbgrade(QWidget *parent = nullptr);
    ~firmware_usbgrade() override;

    void language_changed() override;
    void syncUpdate(int code);
    void page_refresh(int code) override { syncUpdate(code); }

    void menulist_init();
    void get_file_list_smartpath();
    void upgrade_file_list();
    void menulist_button_ok_page();
    void menulist_back_page();

    // Board paths of the listed packages, in directory order.
    const QStringList &file_list() const { return m_file_list; }

public slots:
    void on_Button_grade_clicked();
    void kor_button_file_clicked();
    void kor_Button_previous_clicked();
    void kor_Button_next_clicked();
    void slot_Button_back_clicked() override;

protected:
    void key_left() override {}
    void key_right() override {}
    void key_ok() override;
    void key_back() override;
    bool mode_key_refused() const override;
    void trace_release(KorKey key) override;

private:
    QString time_text();
    // The engine's result in label_log at code 104.
    void show_upgrade_result();

    Ui::firmware_usbgrade *ui;
    QStringList m_file_list;
    int8_t m_current_page = 0;
    uint8_t m_last_page = 0;
    uint8_t m_file_count = 0;
    uint8_t m_kor_count = 0;      // plain packages seen by the last scan
    uint8_t m_korzk_count = 0;    // combined packages seen by the last scan
    uint8_t m_marks[kMaxFiles] = {};
    uint8_t m_file_select = 0;    // position on the page of the entry last clicked
    uint8_t m_file_downing = 0;   // OK has started the upgrade from this page
    QString m_start_time;
    QFrame *m_frame_file = nullptr;
    QLabel *m_empty_label = nullptr;
    QLabel *m_file_label[kPerPage] = {};
    QString m_file_text[kPerPage];
    QPushButton *m_file_button[kPerPage] = {};
};

extern firmware_usbgrade *g_firmware_usbgrade;
