#pragma once
#include "ui/shell/kor_page.h"

namespace Ui {
class linkcom;
}

// The serial-link information page (page 21): the host serial line's fixed settings.
class linkcom : public KorPage {
    Q_OBJECT
public:
    explicit linkcom(QWidget *parent = nullptr);
    ~linkcom() override;

    void language_changed() override;
    // The refresh step does not refresh this page.
    void page_refresh(int) override {}

private:
    void para_init();
    void menulist_init();

    Ui::linkcom *ui;
};

extern linkcom *g_linkcom;
