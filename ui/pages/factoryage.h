#pragma once
#include "ui/shell/kor_page.h"

#include <QFont>
#include <QString>

class QLabel;
class QWidget;
namespace Ui {
class factoryage;
}

// The ageing log (page 23, beneath the advanced settings, behind the access code): the
// sampler's entries sixteen to a page, oldest first, with the status flags coloured and the
// buckets of register-42 steps. Re-rendered by the main window's tick on every ageing pass.
class factoryage : public KorPage {
    Q_OBJECT
public:
    explicit factoryage(QWidget *parent = nullptr);
    ~factoryage() override;

    void para_init();
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }
    void menulist_init();
    void ageloginit();
    void update_agelog();

public slots:
    void on_ButtonNext_clicked();
    void on_ButtonPriv_clicked();
    void slot_Button_back_clicked() override;

private:
    int page_count() const;

    Ui::factoryage *ui;
    QWidget *log_view = nullptr;
    QFont log_font;
    unsigned char log_page = 0;
    int opened_language = 0;
    QLabel *log_label = nullptr;
    QString log_text;
    QString button_normal;
    QString button_focus;
    QWidget *menulist[2] = {};
};

extern factoryage *g_factoryage;
