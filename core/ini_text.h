#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <string_view>
#include <vector>

// The text of an INI file that other programs read and write with QSettings, kept byte for
// byte. It is read as QSettings reads it (logical lines, quotes, escapes, comments, the byte
// order mark, how sections combine), in memory and in one pass. Setting a value rewrites that
// value on the line readers take for the key and leaves every other byte as it stands; a change
// readers would not see, or that would change what they see elsewhere, is not made.
class IniText {
public:
    explicit IniText(const QByteArray &text = QByteArray());

    const QByteArray &text() const { return m_text; }
    // What QSettings gives for "group/key" (`key` is a whole key): invalid when it is not there.
    QVariant value(const QString &key) const;
    QVariant value(const QString &group, const QString &key) const { return value(group + QLatin1Char('/') + key); }
    bool contains(const QString &group, const QString &key) const { return m_index.contains(group + QLatin1Char('/') + key); }
    // Every key QSettings lists for the text.
    QStringList keys() const { return m_index.keys(); }
    // Gives the key `value`: on the line readers take, or on a line added after the group's last
    // line (a group the text lacks goes at its end), with the text's own line ending. True when
    // the new text reads back `value` for the key and every other key as before; otherwise the
    // text stays as it is (a quote another writer left open hides the key, say).
    bool set_value(const QString &group, const QString &key, const QVariant &value);
    // Where a quote left open makes the rest of the text one value (0: nowhere); QSettings
    // then sees no key or group after it.
    int open_quote_line() const;

private:
    struct Line {
        int start;    // first byte
        int end;      // where the logical line ends
        int next;     // just past its last physical line break
        int equals;   // the '=' that ends the key; -1 in a header and a line without one
        int section;  // index in Scan::sections of the section it lies in; -1 before any header
        bool header;
        bool operator==(const Line &o) const
        {
            return start == o.start && end == o.end && equals == o.equals && header == o.header;
        }
    };
    struct Section {
        QString name;
        bool root;  // "[general]": its keys have no section in front
    };
    struct Scan {
        std::vector<Line> lines;
        std::vector<Section> sections;  // one for each name headers give, as first given
        int open_quote_at = -1;         // the byte where a quote left open starts its line
    };
    static Section section_named(const QByteArray &name);
    static int section_id(std::vector<Section> &sections, std::string_view raw);
    // Where the next logical line starts from `pos` on: past blanks, breaks and comment lines.
    static int line_start(const QByteArray &text, int pos);
    // The logical line from `pos` on, and `pos` past it; false at the end of the text. `open`:
    // the line ends in a quote left open.
    static bool read_line(const QByteArray &text, int &pos, Line &line, bool &open);
    static std::string_view header_name(const QByteArray &text, const Line &line);
    static void first_line(const QByteArray &text, bool utf8, Line &line);
    static Scan scan(const QByteArray &text, bool utf8);
    static QString key_of(const QByteArray &text, const std::vector<Section> &sections, const Line &line);
    static QVariant value_of(const QByteArray &text, const Line &line, bool utf8);
    void index();
    // Whether `line` of `text` (this text changed) gives readers what `was` gave them.
    bool reads_alike(const Line &line, const QByteArray &text, const Line &was) const;
    // The text with [from, to) replaced by `bytes`, taken when it reads as the old text but for
    // one key line (and a header, where one is added), which must give `key` the value `value`.
    // `before` lines come before the edit; the line after them is the one edited if `replaces`.
    bool try_edit(int from, int to, const QByteArray &bytes, const QString &key, const QVariant &value, size_t before,
                  bool replaces = false);
    QByteArray encoded(const QVariant &value) const;

    QByteArray m_text;
    bool m_utf8 = false;
    Scan m_scan;
    QHash<QString, int> m_index;  // whole key -> the line readers take for it
};
