#pragma once
#include "ui/shell/kor_page.h"

#include <QString>

class QLabel;
class QPushButton;
class Ui_test_chart;

// Test patterns (page 16): eight thumbnails and a close button. OK on a thumbnail puts its
// pattern on the LED screen; back, or OK on the close button, takes it off and leaves.
class test_chart : public KorPage {
    Q_OBJECT
public:
    explicit test_chart(QWidget *parent = nullptr);
    ~test_chart() override;

    void menulist_init();
    void language_changed() override;
    void syncUpdate();
    void page_refresh(int code) override;

public slots:
    // Writes the selected thumbnail's pattern (ui_select + 1; 0 on the close button).
    void slot_Button_on_clicked();
    // Pattern off, then back to the settings menu.
    void slot_Button_back_clicked() override;

private:
    void write_pattern(unsigned char pattern);

    Ui_test_chart *ui;
    QString m_thumb_normal;
    QString m_thumb_selected;
    QString m_button_normal;
    QString m_button_selected;
};

extern test_chart *g_test_chart;
