#pragma once
#include "ui/shell/kor_page.h"

#include <QStringList>

class My_lineEdit;

// A stand-in page for tests of the page machinery: it records what reaches it (keys,
// refreshes, keyboard answers) and can open a child page on OK.
class KorProbePage : public KorPage {
    Q_OBJECT
public:
    explicit KorProbePage(int number, QWidget *parent = nullptr);

    My_lineEdit *field_a;
    My_lineEdit *field_b;
    QStringList events;
    int child = -1;            // OK opens this page (else OK on a field opens the keyboard)
    bool refuse_mode = false;  // as a page showing a progress ring
    // After its child's exec() returns the page lets the event loop run (as a page that
    // repaints before a long step) and then goes on with its own members.
    bool spin_after_child = false;

    void page_refresh(int code) override;
    void child_returned(int child_page) override;

public slots:
    void confirmString(QString text) override;

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    void key_other(int qt_key) override;
    bool mode_key_refused() const override;
    QString number_keyboard_title(My_lineEdit *field) const override;
};

// Registers a probe page as page `number` beneath `parent`.
void kor_register_probe(int number, int parent);
// The open probe page of that number, or null.
KorProbePage *kor_probe(int number);
