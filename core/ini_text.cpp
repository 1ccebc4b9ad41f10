#include "core/ini_text.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

// What QSettings makes of an INI text, as observed of it:
// - A logical line starts after blanks and after comment lines (';' first). A backslash takes
//   the next byte with it (a line break, and the other kind of break after it), a '"' opens or
//   closes a quote, and an unquoted line break or ';' ends the line; a quote left open runs to
//   the end of the text. The first unquoted '=' ends the key; a line starting with '[' is a
//   section header, its name running to the first ']' of the line.
// - Keys and section names are Latin-1; '\' in them stands for '/', "%XX" and "%UXXXX" for a
//   character. A key is known as "section/key" ("/key" under "[]"); "[general]" is no section.
// - A key that stands more than once takes the value of its last line in the last section of
//   the greatest name: sections are read in the order of their names, lines in file order.
// - Values are Latin-1, or UTF-8 after a byte order mark; see ValueReader for the rest. The
//   mark itself is read as part of a first key that comes before any header.
// Each of these is checked against QSettings by the tests, on generated texts.

namespace {
const char kBom[] = "\xEF\xBB\xBF";

bool is_break(char c)
{
    return c == '\n' || c == '\r';
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

bool is_space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = char(c | 0x20);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Just past the byte a backslash at `i` takes with it; a line break takes the other kind too.
int past_escape(const char *p, int n, int i)
{
    if (++i == n)
        return i;
    const char taken = p[i++];
    if (i < n && is_break(taken) && is_break(p[i]) && p[i] != taken)
        ++i;
    return i;
}

// The number of a "%XX" or "%UXXXX" field, or -1: hexadecimal, with spaces around it, a sign
// (a minus counts back from 0x10000) and a "0x" allowed, as QSettings takes them.
int field_number(const char *p, int n)
{
    while (n > 0 && is_space(p[n - 1]))
        --n;
    while (n > 0 && is_space(*p))
        ++p, --n;
    const bool minus = n > 0 && *p == '-';
    if (n > 0 && (*p == '-' || *p == '+'))
        ++p, --n;
    if (n > 2 && p[0] == '0' && (p[1] | 0x20) == 'x')
        p += 2, n -= 2;
    if (n == 0)
        return -1;
    int value = 0;
    for (int i = 0; i < n; ++i) {
        const int d = hex_digit(p[i]);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return (minus ? 0x10000 - value : value) & 0xFFFF;
}

QString unescaped_key(const char *p, int n)
{
    QString out;
    out.reserve(n);
    for (int i = 0; i < n;) {
        if (p[i] == '\\') {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (p[i] == '%') {
            const bool wide = i + 1 < n && p[i + 1] == 'U';
            const int from = i + 1 + (wide ? 1 : 0), digits = wide ? 4 : 2;
            const int code = from + digits <= n ? field_number(p + from, digits) : -1;
            if (code >= 0) {
                out += QChar(ushort(code));
                i = from + digits;
                continue;
            }
        }
        out += QLatin1Char(p[i++]);
    }
    return out;
}

// A value's text as QSettings reads it. Outside quotes, a ',' parts the items of a list, and
// blanks after '=', after a ',' and after a closing quote are skipped. Backslash escapes: the
// C letters, "\x" hex and octal numbers (16 bits, any length), a line break for nothing, any
// other byte dropped. Blanks at the end of an item go, unless a quote was in it, an escape or
// a quote came after them, or the value ends in a backslash (or "\x"). Then QSettings'
// markers: "@@" for a leading '@', "@ByteArray(...)", "@String(...)", "@Invalid()".
class ValueReader {
public:
    ValueReader(const char *p, int n, bool utf8) : m_p(p), m_n(n), m_utf8(utf8) {}

    QVariant read()
    {
        bool last_cut = true;
        skip_blanks();
        while (m_i < m_n) {
            const char c = m_p[m_i];
            if (c == '\\') {
                if (m_i + 1 == m_n || (m_p[m_i + 1] == 'x' && m_i + 2 == m_n)) {
                    last_cut = false;
                    break;
                }
                escape();
                m_kept = m_item.size();
            } else if (c == '"') {
                ++m_i;
                m_quoted = true;
                m_in_quotes = !m_in_quotes;
                if (!m_in_quotes) {
                    skip_blanks();
                    m_kept = m_item.size();
                }
            } else if (c == ',' && !m_in_quotes) {
                end_item(true);
                ++m_i;
                skip_blanks();
            } else {
                plain_run();
            }
        }
        if (m_items.isEmpty())
            return marked(end_item(last_cut));
        end_item(last_cut);
        return list();
    }

private:
    void skip_blanks()
    {
        while (m_i < m_n && is_blank(m_p[m_i]))
            ++m_i;
    }
    // Bytes up to the next byte that means something: each such run is decoded on its own.
    void plain_run()
    {
        int j = m_i + 1;
        while (j < m_n && m_p[j] != '\\' && m_p[j] != '"' && m_p[j] != ',')
            ++j;
        m_item += m_utf8 ? QString::fromUtf8(m_p + m_i, j - m_i) : QString::fromLatin1(m_p + m_i, j - m_i);
        m_i = j;
    }
    void number(int base)
    {
        uint value = 0;
        int d;
        while (m_i < m_n && (d = hex_digit(m_p[m_i])) >= 0 && d < base) {
            value = value * uint(base) + uint(d);
            ++m_i;
        }
        m_item += QChar(ushort(value));
    }
    void escape()
    {
        const char c = m_p[m_i + 1];
        m_i += 2;
        switch (c) {
        case 'a': m_item += QLatin1Char('\a'); break;
        case 'b': m_item += QLatin1Char('\b'); break;
        case 'f': m_item += QLatin1Char('\f'); break;
        case 'n': m_item += QLatin1Char('\n'); break;
        case 'r': m_item += QLatin1Char('\r'); break;
        case 't': m_item += QLatin1Char('\t'); break;
        case 'v': m_item += QLatin1Char('\v'); break;
        case '\\':
        case '\'':
        case '"':
        case '?':
            m_item += QLatin1Char(c);
            break;
        case 'x':
            if (m_i < m_n && hex_digit(m_p[m_i]) >= 0)
                number(16);
            break;
        case '\n':
        case '\r':
            if (m_i < m_n && is_break(m_p[m_i]) && m_p[m_i] != c)
                ++m_i;
            break;
        default:
            if (c >= '0' && c <= '7') {
                --m_i;
                number(8);
            }
            break;
        }
    }
    QString end_item(bool cut)
    {
        if (cut && !m_quoted) {
            int size = m_item.size();
            while (size > m_kept && (m_item.at(size - 1) == QLatin1Char(' ') || m_item.at(size - 1) == QLatin1Char('\t')))
                --size;
            m_item.truncate(size);
        }
        m_items.append(m_item);
        m_item.clear();
        m_kept = 0;
        m_quoted = false;
        return m_items.last();
    }
    static QVariant marked(const QString &s)
    {
        if (!s.startsWith(QLatin1Char('@')))
            return s;
        if (s.startsWith(QLatin1String("@@")))
            return s.mid(1);
        if (s.endsWith(QLatin1Char(')'))) {
            if (s.startsWith(QLatin1String("@ByteArray(")))
                return s.mid(11, s.size() - 12).toLatin1();
            if (s.startsWith(QLatin1String("@String(")))
                return s.mid(8, s.size() - 9);
            if (s == QLatin1String("@Invalid()"))
                return QVariant();
        }
        return s;
    }
    // A list of texts, unless an item holds a marker: then each item is read as a value.
    QVariant list()
    {
        bool markers = false;
        for (const QString &item : qAsConst(m_items))
            markers = markers || (item.startsWith(QLatin1Char('@')) && !item.startsWith(QLatin1String("@@")));
        if (!markers) {
            for (QString &item : m_items)
                if (item.startsWith(QLatin1Char('@')))
                    item.remove(0, 1);
            return m_items;
        }
        QVariantList out;
        for (const QString &item : qAsConst(m_items))
            out.append(marked(item));
        return out;
    }

    const char *m_p;
    const int m_n;
    const bool m_utf8;
    int m_i = 0;
    QStringList m_items;
    QString m_item;
    int m_kept = 0;  // blanks before this length came from an escape or a quote: they stay
    bool m_quoted = false;
    bool m_in_quotes = false;
};

// The bytes of a text that reads back as `text`: '@' doubled at the start, quotes where ',',
// ';', '=' or blanks at either end would be read apart, escapes for '\', '"', controls,
// what the file's encoding cannot carry (all but ASCII without a byte order mark, a lone
// surrogate with one), and a hex digit after a number escape, which would extend it.
QByteArray encoded_text(const QString &text, bool utf8, bool marker = false)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    if (!marker && text.startsWith(QLatin1Char('@')))
        out += '@';
    bool after_number = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        const ushort u = ch.unicode();
        const bool pair = ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const bool number = u < 0x20 || u == 0x7F || (u >= 0x80 && (!utf8 || (ch.isSurrogate() && !pair))) ||
                            (after_number && hex_digit(char(u)) >= 0 && u < 0x80);
        after_number = false;
        if (u == '\t' || u == '\n' || u == '\r') {
            out += u == '\t' ? "\\t" : u == '\n' ? "\\n" : "\\r";
        } else if (number) {
            out += "\\x" + QByteArray::number(u, 16);
            after_number = true;
        } else if (u == '\\' || u == '"') {
            out += '\\';
            out += char(u);
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += QString(text.constData() + i, pair ? 2 : 1).toUtf8();
            i += pair ? 1 : 0;
        }
    }
    const bool quote = out.contains(',') || out.contains(';') || out.contains('=') || out.startsWith(' ') ||
                       out.endsWith(' ');
    return quote ? '"' + out + '"' : out;
}

// A key or section name: '/' as '\', anything but letters, digits and "_-." as "%XX"/"%UXXXX".
QByteArray encoded_name(const QString &name)
{
    QByteArray out;
    for (const QChar ch : name) {
        const ushort u = ch.unicode();
        if (u == '/')
            out += '\\';
        else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '-' || u == '.')
            out += char(u);
        else if (u < 0x100)
            out += '%' + QByteArray::number(u | 0x100, 16).mid(1);
        else
            out += "%U" + QByteArray::number(u | 0x10000, 16).mid(1);
    }
    return out;
}

// Equal and of one type, item by item: QVariant's own == converts between types.
bool same_value(const QVariant &a, const QVariant &b)
{
    if (a.userType() != b.userType())
        return false;
    if (a.userType() != QMetaType::QVariantList)
        return a == b;
    const QVariantList x = a.toList(), y = b.toList();
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), same_value);
}

// The text's own line break, as its first line ends.
QByteArray line_break(const QByteArray &text)
{
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        if (!is_break(text.at(i)))
            continue;
        if (i + 1 < n && is_break(text.at(i + 1)) && text.at(i + 1) != text.at(i))
            return text.mid(i, 2);
        return text.mid(i, 1);
    }
    return "\n";
}
}

// The section a header read again names: one of the same name, or a new one.
int IniText::section_id(std::vector<Section> &sections, std::string_view raw)
{
    const Section named = section_named(QByteArray(raw.data(), int(raw.size())));
    for (size_t k = 0; k < sections.size(); ++k)
        if (sections[k].root == named.root && sections[k].name == named.name)
            return int(k);
    sections.push_back(named);
    return int(sections.size()) - 1;
}

// A header's section; an empty name is a section too, its keys starting with '/'.
IniText::Section IniText::section_named(const QByteArray &name)
{
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return {QString(), true};
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return {QString::fromLatin1(name.mid(1)), false};
    return {unescaped_key(name.constData(), name.size()), false};
}

IniText::IniText(const QByteArray &text) : m_text(text)
{
    m_utf8 = m_text.startsWith(kBom);
    m_scan = scan(m_text, m_utf8);
    index();
}

int IniText::line_start(const QByteArray &text, int pos)
{
    const char *p = text.constData();
    const int n = text.size();
    while (pos < n && (is_break(p[pos]) || is_blank(p[pos]) || p[pos] == ';')) {
        if (p[pos] == ';')
            while (pos < n && !is_break(p[pos]))
                ++pos;
        else
            ++pos;
    }
    return pos;
}

bool IniText::read_line(const QByteArray &text, int &pos, Line &line, bool &open)
{
    const char *p = text.constData();
    const int n = text.size();
    int i = line_start(text, pos);
    if (i == n)
        return false;
    line = Line{i, 0, 0, -1, -1, p[i] == '['};
    open = false;
    while (i < n) {
        const char c = p[i];
        if (c == '\\') {
            i = past_escape(p, n, i);
            continue;
        }
        if (c == '"')
            open = !open;
        else if (!open && (is_break(c) || c == ';'))
            break;
        else if (!open && c == '=' && line.equals < 0 && !line.header)
            line.equals = i;
        ++i;
    }
    line.end = i;
    // An inline comment and the line break belong to the line too.
    while (i < n && !is_break(p[i]))
        ++i;
    if (i < n)
        i = i + 1 < n && is_break(p[i + 1]) && p[i + 1] != p[i] ? i + 2 : i + 1;
    line.next = pos = i;
    return true;
}

std::string_view IniText::header_name(const QByteArray &text, const Line &line)
{
    const char *p = text.constData();
    const void *close = std::memchr(p + line.start, ']', size_t(line.end - line.start));
    int from = line.start + 1, to = close ? int(static_cast<const char *>(close) - p) : line.end;
    while (from < to && is_space(p[from]))
        ++from;
    while (to > from && is_space(p[to - 1]))
        --to;
    return std::string_view(p + from, size_t(to - from));
}

// Before any header QSettings reads from the text's first byte: a byte order mark and the
// blanks after it begin the first key.
void IniText::first_line(const QByteArray &text, bool utf8, Line &line)
{
    if (utf8 && !line.header && std::all_of(text.constData() + 3, text.constData() + line.start, is_blank))
        line.start = 0;
}

IniText::Scan IniText::scan(const QByteArray &text, bool utf8)
{
    Scan out;
    int pos = utf8 ? 3 : 0;
    int section = -1;
    // Sections by the bytes of their names: a name is read once however often it stands.
    std::unordered_map<std::string_view, int> named;
    std::string_view last_name;
    Line line;
    bool open;
    while (read_line(text, pos, line, open)) {
        if (line.header) {
            const std::string_view name = header_name(text, line);
            if (section < 0 || name != last_name) {
                auto known = named.find(name);
                if (known == named.end()) {
                    known = named.emplace(name, int(out.sections.size())).first;
                    out.sections.push_back(section_named(QByteArray(name.data(), int(name.size()))));
                }
                section = known->second;
                last_name = name;
            }
        }
        line.section = section;
        if (out.lines.empty())
            first_line(text, utf8, line);
        if (open)
            out.open_quote_at = line.start;
        out.lines.push_back(line);
    }
    return out;
}

QString IniText::key_of(const QByteArray &text, const std::vector<Section> &sections, const Line &line)
{
    const char *p = text.constData();
    int end = line.equals;
    while (end > line.start && is_blank(p[end - 1]))
        --end;
    const QString key = unescaped_key(p + line.start, end - line.start);
    if (line.section < 0 || sections[size_t(line.section)].root)
        return key;
    return sections[size_t(line.section)].name + QLatin1Char('/') + key;
}

QVariant IniText::value_of(const QByteArray &text, const Line &line, bool utf8)
{
    return ValueReader(text.constData() + line.equals + 1, line.end - line.equals - 1, utf8).read();
}

void IniText::index()
{
    m_index.clear();
    const auto section_of = [this](int line) {
        const int s = m_scan.lines[size_t(line)].section;
        return s < 0 ? QString() : m_scan.sections[size_t(s)].name;
    };
    for (int k = 0; k < int(m_scan.lines.size()); ++k) {
        const Line &line = m_scan.lines[size_t(k)];
        if (line.header || line.equals < 0)
            continue;
        const QString key = key_of(m_text, m_scan.sections, line);
        const auto taken = m_index.find(key);
        if (taken == m_index.end())
            m_index.insert(key, k);
        else if (!(section_of(k) < section_of(*taken)))
            *taken = k;
    }
}

int IniText::open_quote_line() const
{
    const int at = m_scan.open_quote_at;
    return at < 0 ? 0 : int(std::count(m_text.constBegin(), m_text.constBegin() + at, '\n')) + 1;
}

QVariant IniText::value(const QString &key) const
{
    const auto it = m_index.constFind(key);
    return it == m_index.constEnd() ? QVariant() : value_of(m_text, m_scan.lines[size_t(*it)], m_utf8);
}

QByteArray IniText::encoded(const QVariant &value) const
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return "@Invalid()";
    case QMetaType::QByteArray: {
        // Read back as a text whose characters are the bytes; all but ASCII go as escapes.
        QString text = QStringLiteral("@ByteArray(");
        for (const char c : value.toByteArray())
            text += QLatin1Char(c);
        return encoded_text(text + QLatin1Char(')'), false, true);
    }
    case QMetaType::QStringList: {
        const QStringList items = value.toStringList();
        if (items.size() < 2)
            return QByteArray();  // reads back as a text or nothing: no list
        QByteArray out = encoded_text(items.first(), m_utf8);
        for (int i = 1; i < items.size(); ++i)
            out += ", " + encoded_text(items.at(i), m_utf8);
        return out;
    }
    default:
        return encoded_text(value.toString(), m_utf8);
    }
}

bool IniText::set_value(const QString &group, const QString &key, const QVariant &value)
{
    const int type = value.userType();
    const QVariant v = type == QMetaType::UnknownType || type == QMetaType::QByteArray || type == QMetaType::QStringList
                           ? value
                           : QVariant(value.toString());
    const QByteArray bytes = encoded(v);
    if (bytes.isNull())
        return false;
    const QString whole = group + QLatin1Char('/') + key;
    const auto taken = m_index.constFind(whole);
    if (taken != m_index.constEnd()) {
        // The value only: the blanks around it and an inline comment stay.
        const Line &line = m_scan.lines[size_t(*taken)];
        int from = line.equals + 1, to = line.end;
        while (from < to && is_blank(m_text.at(from)))
            ++from;
        while (to > from && is_blank(m_text.at(to - 1)))
            --to;
        return try_edit(from, to, bytes, whole, v, size_t(*taken), true);
    }
    const QByteArray eol = line_break(m_text);
    const QByteArray entry = encoded_name(key) + '=' + bytes + eol;
    const auto starts_line = [this](int at) { return at == (m_utf8 ? 3 : 0) || is_break(m_text.at(at - 1)); };
    // After the last line of the group's last section: the comments and blank lines before the
    // next section stay with that one. A blank line ends a line a backslash would carry on (two,
    // where the backslash takes a break of each kind).
    std::vector<char> in_group(m_scan.sections.size());
    for (size_t s = 0; s < in_group.size(); ++s)
        in_group[s] = !m_scan.sections[s].root && m_scan.sections[s].name == group;
    size_t after_line = 0;
    for (size_t k = 0; k < m_scan.lines.size(); ++k)
        if (m_scan.lines[k].section >= 0 && in_group[size_t(m_scan.lines[k].section)])
            after_line = k + 1;
    if (after_line) {
        const int at = m_scan.lines[after_line - 1].next;
        const QByteArray lead = starts_line(at) ? QByteArray() : eol;
        for (const QByteArray &gap : {QByteArray(), eol, eol + eol})
            if (try_edit(at, at, lead + gap + entry, whole, v, after_line))
                return true;
        return false;
    }
    const int at = m_text.size();
    QByteArray head = '[' + encoded_name(group) + ']' + eol;
    // A blank line between groups, as QSettings lays them out.
    if (at > (m_utf8 ? 3 : 0) && !m_text.endsWith(eol + eol))
        head.prepend(eol);
    if (!starts_line(at))
        head.prepend(eol);
    const size_t all = m_scan.lines.size();
    for (const QByteArray &gap : {QByteArray(), eol, eol + eol})
        if (try_edit(at, at, gap + head + entry, whole, v, all))
            return true;
    return false;
}

// A line that now ends elsewhere (a backslash at the end of the text takes the added line
// break) but gives readers what it gave them.
bool IniText::reads_alike(const Line &line, const QByteArray &text, const Line &was) const
{
    if (line.start != was.start || line.equals != was.equals || line.header != was.header)
        return false;
    const std::vector<Section> &sections = m_scan.sections;
    if (line.header)
        return sections[size_t(line.section)].root == sections[size_t(was.section)].root &&
               sections[size_t(line.section)].name == sections[size_t(was.section)].name;
    return line.equals < 0 || (key_of(text, sections, line) == key_of(m_text, sections, was) &&
                               same_value(value_of(text, line, m_utf8), value_of(m_text, was, m_utf8)));
}

bool IniText::try_edit(int from, int to, const QByteArray &bytes, const QString &key, const QVariant &value, size_t before,
                       bool replaces)
{
    QByteArray text = m_text;
    text.replace(from, to - from, bytes);
    std::vector<Line> &lines = m_scan.lines;
    std::vector<Section> &sections = m_scan.sections;
    const size_t had_sections = sections.size();
    const auto refuse = [&] {
        sections.resize(had_sections);
        return false;
    };
    const int delta = bytes.size() - (to - from);
    // The line before the edit is read again (a backslash at its end may take what follows),
    // then lines until one starts where the first line after the edit now starts: from there
    // on the text is as it was. Between them stands the key's line, after a header where the
    // edit adds one, and nothing else.
    const size_t again = before ? before - 1 : 0;
    const size_t after = before + (replaces ? 1 : 0);
    const int resume = after < lines.size() ? lines[after].start + delta : -1;
    std::vector<Line> read;
    int pos = again ? lines[again].start : (m_utf8 ? 3 : 0);
    int section = again ? lines[again - 1].section : -1;
    int open_at = resume < 0 ? -1 : m_scan.open_quote_at + (m_scan.open_quote_at >= 0 ? delta : 0);
    Line line;
    bool open;
    while (pos != resume && read.size() <= before - again + 2 && read_line(text, pos, line, open)) {
        if (line.header)
            section = section_id(sections, header_name(text, line));
        line.section = section;
        if (again == 0 && read.empty())
            first_line(text, m_utf8, line);
        if (open)
            open_at = line.start;
        read.push_back(line);
        // Where the next line starts: a line, or comments and blank lines, may run past it.
        const int next = line_start(text, pos);
        if (resume >= 0 && (next == text.size() || next > resume))
            return refuse();
        if (next == resume)
            break;
    }
    const size_t kept = before - again;  // the line read again, if any
    if (read.size() < kept + 1 || read.size() > kept + 2)
        return refuse();
    if (kept && !(read[0] == lines[again]) && !reads_alike(read[0], text, lines[again]))
        return refuse();
    const Line &entry = read.back();
    if (read.size() == kept + 2 && !(read[kept].header && after == lines.size()))
        return refuse();
    if (entry.header || entry.equals < 0 || key_of(text, sections, entry) != key ||
        !same_value(value_of(text, entry, m_utf8), value))
        return refuse();

    // Taken. The lines after the edit moved by `delta` bytes, and down by the lines it added.
    const int added = int(read.size()) - int(after - again);
    if (added)
        for (int &k : m_index)
            if (k >= int(after))
                k += added;
    m_index.insert(key, int(again + read.size() - 1));
    lines.erase(lines.begin() + long(again), lines.begin() + long(after));
    lines.insert(lines.begin() + long(again), read.begin(), read.end());
    for (auto moved = lines.begin() + long(again + read.size()); moved != lines.end(); ++moved) {
        moved->start += delta;
        moved->end += delta;
        moved->next += delta;
        moved->equals += moved->equals >= 0 ? delta : 0;
    }
    m_text = text;
    m_scan.open_quote_at = open_at;
    return true;
}
