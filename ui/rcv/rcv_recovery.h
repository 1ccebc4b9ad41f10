#pragma once
#include "ui/rcv/kor_job_ring.h"
#include "ui/shell/kor_page.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class Ui_rcv_recovery;

// Receiving-card recovery (page 25, beneath the advanced settings): Query checks the cards
// against the packs in "/data/rcvrecovery" (job 5), Recovery restores the card the check
// found (job 6). The FPGA worker's finding and progress reach the page through the job
// notifier in the GUI thread; the page alone reads and writes its card list.
class rcv_recovery : public KorPage {
    Q_OBJECT
public:
    explicit rcv_recovery(QWidget *parent = nullptr);
    ~rcv_recovery() override;

    void menulist_init();
    // Rebuilds the list frame from the card list.
    void rcv_self_recovery_file_list();
    void menulist_sel_left();
    void menulist_sel_right();
    void menulist_button_ok_page();
    // Back; nothing while a ring is shown.
    void menulist_back_page();
    // The host deleted a pack file: back now, or once the running job has ended.
    void host_back_page();

    void syncUpdate(int code);
    void page_refresh(int code) override { syncUpdate(code); }
    void language_changed() override;

public slots:
    void kor_button_file_clicked();
    void kor_Button_previous_clicked();
    void kor_Button_next_clicked();

signals:
    void sig_qround_bar_update(int percent);

protected:
    void key_left() override { menulist_sel_left(); }
    void key_right() override { menulist_sel_right(); }
    void key_ok() override { menulist_button_ok_page(); }
    void key_back() override { menulist_back_page(); }
    bool mode_key_refused() const override;

private:
    static constexpr int kRows = 4;

    // The worker's finding, handed over in the GUI thread.
    void take_card_list(const QStringList &entries, int count);
    // After the ring took the job's percent.
    void on_job_progress(int percent);
    void take_job_result(int result);
    // Entries that can be shown: never more than the list holds.
    int listed_count() const;

    Ui_rcv_recovery *ui;
    KorJobRing ring;
    QStringList card_list;
    int32_t recovery_refused = 0;
    int8_t current_page = 0;
    uint8_t last_page = 0;
    uint8_t entry_count = 0;
    QFrame *frame_file = nullptr;
    QLabel *entry_label[kRows] = {};
    QString entry_text[kRows];
    uint8_t file_select = 0;
    bool back_when_job_ends = false;
    bool check_failed = false;  // the last job could not do what was asked
};

extern rcv_recovery *g_rcv_recovery;
