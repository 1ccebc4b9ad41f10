#pragma once
#include "ui/shell/kor_page.h"

#include <QPixmap>
#include <QString>

class QLabel;
class QPushButton;

namespace Ui {
class netset;
}

// The output-port status page (page 14): the link and the canvas rectangle of each of the
// sixteen output ports, four shown as tabs at a time. Read-only.
class netset : public KorPage {
    Q_OBJECT
public:
    static constexpr int kPorts = 16;
    static constexpr int kColumns = 4;

    explicit netset(QWidget *parent = nullptr);
    ~netset() override;

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

    // Shows the values of `port` and captions the four columns.
    void wlan_para_get(unsigned short port);
    // The link icon of each column.
    void initWlan();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;

private:
    void initMenu();
    void para_init() {}
    void menulist_init();
    // Restyles the column left and the column reached.
    void select_column(unsigned char column);
    // After left and right, also when the selection did not move.
    void show_selection();

    Ui::netset *ui;
    // ui_select (the base's selection byte) is the selected port, 0..15.
    unsigned char ui_sel = 0;         // its column, 0..3
    unsigned char ui_min_select = 0;  // the port of the first column, 0..12
    QString m_normal;
    QString m_selected;
    QPushButton *m_columns[kColumns] = {};
    QPushButton *m_current = nullptr;
    QPixmap m_online;  // decoded once, not on every key
    QPixmap m_offline;
};

extern netset *g_netset;
