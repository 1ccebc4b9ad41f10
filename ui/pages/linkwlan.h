#pragma once
#include "ui/shell/kor_page.h"

#include <QString>
#include <QStringList>

namespace Ui {
class linkwlan;
}
class QPushButton;

// The control-port network page (page 22): address, mask and gateway of eth0, four octet
// fields each, typed on the number keyboard; Apply stores them and reconfigures eth0.
class linkwlan : public KorPage {
    Q_OBJECT
public:
    explicit linkwlan(QWidget *parent = nullptr);
    ~linkwlan() override;

    void language_changed() override;
    void syncUpdate();
    void page_refresh(int) override { syncUpdate(); }

    void on_Button_net_apply_clicked();

public slots:
    void confirmString(QString text) override;
    void show_numberkeyboard_ui(QString text) override;

protected:
    void key_left() override;
    void key_right() override;

private:
    void para_init();
    // The last highlighted field and button follow the selection.
    void note_current();
    void menulist_init();
    void fill_row(const std::string &address, My_lineEdit *const fields[4]);
    // The row's four octets joined by "."; null when one of them is not an octet.
    QString row_address(int row) const;

    Ui::linkwlan *ui;
    QString m_edit_field;          // object name of the field last opened on the keyboard
    QWidget *m_current_field = nullptr;
    QPushButton *m_current_button = nullptr;
    QString m_style_field_focus;
    QString m_style_button_normal;
    QString m_style_button_focus;
    QString m_style_first;
    QString m_style_middle;
    QString m_style_last;
    My_lineEdit *m_fields[12];
    QStringList m_field_names;
};

extern linkwlan *g_linkwlan;
