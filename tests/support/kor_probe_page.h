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

    void page_refresh(int code) override { events << QStringLiteral("refresh:%1").arg(code); }
    void child_returned(int child_page) override { events << QStringLiteral("child:%1").arg(child_page); }

public slots:
    void confirmString(QString text) override
    {
        events << QStringLiteral("confirm:") + text;
        KorPage::confirmString(text);
    }

protected:
    void key_left() override { events << QStringLiteral("left"); KorPage::key_left(); }
    void key_right() override { events << QStringLiteral("right"); KorPage::key_right(); }
    void key_ok() override;
    void key_back() override { events << QStringLiteral("back"); KorPage::key_back(); }
    void key_other(int qt_key) override { events << QStringLiteral("other:%1").arg(qt_key); }
    bool mode_key_refused() const override { return refuse_mode; }
    QString number_keyboard_title(My_lineEdit *field) const override
    {
        return field == field_a ? QStringLiteral("title A") : QStringLiteral("title B");
    }
};

// Registers a probe page as page `number` beneath `parent`.
void kor_register_probe(int number, int parent);
// The open probe page of that number, or null.
KorProbePage *kor_probe(int number);
