#pragma once
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

// The text of an INI file that other programs read and write with QSettings, kept byte for
// byte. It is read as QSettings reads it (logical lines, quotes, escapes, comments, the byte
// order mark), in memory; setting a value rewrites that value on the line QSettings takes
// for the key, encoded as QSettings writes it, and leaves every other byte as it stands.
class IniText {
public:
    explicit IniText(const QByteArray &text = QByteArray());

    const QByteArray &text() const { return m_text; }
    // What QSettings gives for `key` of `group`: the last line of the key in the group's
    // sections. Invalid when the key is not there.
    QVariant value(const QString &group, const QString &key) const;
    bool contains(const QString &group, const QString &key) const { return find(group, key) != nullptr; }
    // The key's line gets `value`; a key the group lacks is added after the group's last
    // line, a group the text lacks at its end, with the text's own line ending. False when
    // the text does not read back `value` (a quote another writer left open hides the line).
    bool set_value(const QString &group, const QString &key, const QVariant &value);
    // Where a quote left open makes the rest of the text one value (0: nowhere); QSettings
    // then sees no key or group after it.
    int open_quote_line() const { return m_open_quote_line; }

private:
    struct Line {
        QString section;  // the section the line lies in ("" before any header)
        QString key;      // unescaped; empty for a header
        bool header;
        int end;          // where the logical line ends, as QSettings cuts it
        int value;        // where the value starts (after '=')
        int next;         // just past the line's physical end
    };
    void parse();
    const Line *find(const QString &group, const QString &key) const;
    // A value as QSettings writes it (without a text codec; `utf8` when the file has a byte
    // order mark, which makes QSettings use UTF-8): text, a list of texts, bytes or nothing.
    static QByteArray encode(const QVariant &value, bool utf8);
    static QByteArray encode_text(const QString &value, bool utf8);

    QByteArray m_text;
    bool m_utf8 = false;
    int m_open_quote_line = 0;
    std::vector<Line> m_lines;
};
