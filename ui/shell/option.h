#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class Option;
}

// The settings menu (page 5): output settings (6), connection (10), test pattern (16),
// smart mapping (24, while the ready flag is set) and the advanced settings (12).
class Option : public KorPage {
    Q_OBJECT
public:
    explicit Option(QWidget *parent = nullptr);
    ~Option() override;

    void language_changed() override;

public slots:
    void on_output_set_clicked();
    void on_link_set_clicked();
    void on_test_chart_clicked();
    void on_smart_mapping_clicked();
    void on_advanced_set_clicked();

private:
    Ui::Option *ui;
    // Set by language_changed: the smart-mapping entry acts only once the menu is texted.
    bool m_smart_ready = false;
};

extern Option *g_option;
