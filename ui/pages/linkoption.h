#pragma once
#include "ui/shell/kor_page.h"

class QLabel;
class QPushButton;

// The connection menu (page 10): serial link (21), control-port network (22) and the USB
// firmware upgrade (26). Its four widgets are built in code.
class LinkOption : public KorPage {
    Q_OBJECT
public:
    explicit LinkOption(QWidget *parent = nullptr);
    ~LinkOption() override;

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

public slots:
    void on_Button_linkcom_clicked();
    void on_Button_linkwlan_clicked();
    void on_Button_firmware_usbgrade_clicked();

private:
    void para_init();
    void menulist_init();

    QLabel *label_title;
    QPushButton *Button_com;
    QPushButton *Button_wlan;
    QPushButton *Button_usb;
    // Title, then the three entries.
    QWidget *m_widgets[4];
};

extern LinkOption *g_linkoption;
