#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class AdvancedOption;
}

// The advanced settings (page 12): LCD display (15), other settings (17), factory (18),
// receiving-card recovery (25, when "/data/rcvrecovery" holds a file) and the ageing log
// (23, behind the access code of the named settings).
class AdvancedOption : public KorPage {
    Q_OBJECT
public:
    explicit AdvancedOption(QWidget *parent = nullptr);
    ~AdvancedOption() override;

    void language_changed() override;

public slots:
    void on_Button_LCDshow_clicked();
    void on_Button_other_clicked();
    void on_Button_factory_clicked();
    void on_Button_rcv_recovery_clicked();
    void on_Button_age_clicked();
    void confirmString(QString text) override;

private:
    Ui::AdvancedOption *ui;
    bool m_code_accepted = false;
};

extern AdvancedOption *g_advancedoption;
