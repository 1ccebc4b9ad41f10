#pragma once
#include <QString>
#include <cstdint>

class QLineEdit;

// A picture value edited in its number field: OK begins, left/right step it by one within
// 0 to 100, each step written to the table and applied at once, OK keeps it, back returns to
// the value editing began with. The page says which field is current and which word it
// writes.
class KorValueEdit {
public:
    // The field styles: normal, highlighted, being edited (red border).
    static const QString &normal_style();
    static const QString &focus_style();
    static const QString &edit_style();

    void set_field(QLineEdit *field) { m_field = field; }
    QLineEdit *field() const { return m_field; }

    // The shown number becomes the value back returns to.
    void remember_shown();
    // Editing begins from the shown number; the field turns red.
    void begin();
    // 0 up, 1 down, 2 keep, 3 restore; clamped to 0..100, written whole into table word
    // `word` (none when negative) and shown. The step is dropped while the scaler has not
    // taken the previous change.
    void step(char mode, int word);
    // Editing ended: the field is highlighted again.
    void show_focus() const;

private:
    QLineEdit *m_field = nullptr;
    int32_t m_value = 0;
    int32_t m_remembered = 0;
};
