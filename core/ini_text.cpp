#include "core/ini_text.h"

#include <QStringList>

namespace {
const char kBom[] = "\xEF\xBB\xBF";

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool is_special(char c)
{
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

// One logical line from `pos` on, cut as QSettings cuts it: blank lines and whole-line ';'
// comments are skipped, a quote or a backslash carries the line over a line break, an
// unquoted ';' ends it. False at the end of the text.
bool next_line(const QByteArray &data, int &pos, int &start, int &len, int &equals, bool &open_quote)
{
    const int size = data.size();
    bool quoted = false;
    equals = -1;
    start = pos;
    while (start < size && is_space(data.at(start)))
        ++start;
    int i = start;
    while (i < size) {
        char ch = data.at(i);
        while (!is_special(ch)) {
            if (++i == size)
                goto done;
            ch = data.at(i);
        }
        ++i;
        if (ch == '=') {
            if (!quoted && equals == -1)
                equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!quoted) {
                --i;
                goto done;
            }
        } else if (ch == '\\') {
            if (i < size) {
                const char escaped = data.at(i++);
                if (i < size) {
                    const char after = data.at(i);
                    if ((escaped == '\n' && after == '\r') || (escaped == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            quoted = !quoted;
        } else {  // ';'
            if (i == start + 1) {
                while (i < size && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < size && is_space(data.at(i)))
                    ++i;
                start = i;
            } else if (!quoted) {
                --i;
                goto done;
            }
        }
    }
done:
    pos = i;
    len = i - start;
    open_quote = quoted;
    return len > 0;
}

// A key or section name: '\' stands for '/', %XX and %UXXXX for a character.
QString unescaped_key(const QByteArray &data, int from, int to)
{
    QString out;
    int i = from;
    while (i < to) {
        const char16_t ch = uchar(data.at(i));
        if (ch == '\\') {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == to - 1) {
            out += QChar(ch);
            ++i;
            continue;
        }
        int digits = 2;
        int first = i + 1;
        if (data.at(i + 1) == 'U') {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const ushort code = first + digits > to ? 0 : data.mid(first, digits).toUShort(&ok, 16);
        if (!ok) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        out += QChar(code);
        i = first + digits;
    }
    return out;
}

// Of a character isxdigit() accepts.
int hex_value(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

void chop_trailing_spaces(QString &s, int limit)
{
    int n = s.size() - 1;
    while (n >= limit && (s.at(n) == QLatin1Char(' ') || s.at(n) == QLatin1Char('\t')))
        s.truncate(n--);
}

// A value's text: quotes, escapes, and ", " between the items of a list.
QVariant unescaped_value(const QByteArray &str, int from, int to, bool utf8)
{
    static const char codes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'},  {'t', '\t'},
                                    {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString s;
    QStringList list;
    bool is_list = false, in_quotes = false, quoted_item = false, chop = true;
    int i = from;
    int chop_limit = 0;
    const auto skip_spaces = [&] {
        while (i < to && (str.at(i) == ' ' || str.at(i) == '\t'))
            ++i;
    };
    skip_spaces();
    chop_limit = s.size();
    while (i < to) {
        const char ch = str.at(i);
        if (ch == '\\') {
            // A backslash or "\x" that ends the value keeps the spaces before it.
            if (++i >= to || (str.at(i) == 'x' && i + 1 >= to)) {
                chop = false;
                break;
            }
            const char code = str.at(i++);
            bool known = false;
            for (const auto &c : codes)
                if (code == c[0]) {
                    s += QLatin1Char(c[1]);
                    known = true;
                    break;
                }
            if (!known && code == 'x' && i < to && isxdigit(uchar(str.at(i)))) {
                char16_t v = 0;
                while (i < to && isxdigit(uchar(str.at(i))))
                    v = char16_t((v << 4) + hex_value(str.at(i++)));
                s += QChar(v);
            } else if (!known && code >= '0' && code <= '7') {
                char16_t v = char16_t(code - '0');
                while (i < to && str.at(i) >= '0' && str.at(i) <= '7')
                    v = char16_t((v << 3) + (str.at(i++) - '0'));
                s += QChar(v);
            } else if (!known && (code == '\n' || code == '\r')) {
                if (i < to && (str.at(i) == '\n' || str.at(i) == '\r') && str.at(i) != code)
                    ++i;
            }
            // Any other escaped character is dropped.
            chop_limit = s.size();
        } else if (ch == '"') {
            ++i;
            quoted_item = true;
            in_quotes = !in_quotes;
            if (!in_quotes) {
                skip_spaces();
                chop_limit = s.size();
            }
        } else if (ch == ',' && !in_quotes) {
            if (!quoted_item)
                chop_trailing_spaces(s, chop_limit);
            is_list = true;
            list.append(s);
            s.clear();
            quoted_item = false;
            ++i;
            skip_spaces();
            chop_limit = 0;
        } else {
            int j = i + 1;
            while (j < to && str.at(j) != '\\' && str.at(j) != '"' && str.at(j) != ',')
                ++j;
            s += utf8 ? QString::fromUtf8(str.constData() + i, j - i) : QString::fromLatin1(str.constData() + i, j - i);
            i = j;
        }
    }
    if (!quoted_item && chop)
        chop_trailing_spaces(s, chop_limit);
    if (!is_list) {
        // QSettings' own markers; a doubled '@' is a plain one.
        if (s.startsWith(QLatin1Char('@'))) {
            if (s.endsWith(QLatin1Char(')'))) {
                if (s.startsWith(QLatin1String("@ByteArray(")))
                    return QVariant(s.midRef(11, s.size() - 12).toLatin1());
                if (s.startsWith(QLatin1String("@String(")))
                    return QVariant(s.mid(8, s.size() - 9));
                if (s == QLatin1String("@Invalid()"))
                    return QVariant();
            }
            if (s.startsWith(QLatin1String("@@")))
                return QVariant(s.mid(1));
        }
        return QVariant(s);
    }
    list.append(s);
    for (QString &item : list) {
        if (!item.startsWith(QLatin1Char('@')))
            continue;
        if (!item.startsWith(QLatin1String("@@")))
            return QVariant(list);  // markers in a list: never a setting of ours
        item.remove(0, 1);
    }
    return QVariant(list);
}

QByteArray line_ending(const QByteArray &text)
{
    const int lf = text.indexOf('\n');
    if (lf > 0 && text.at(lf - 1) == '\r')
        return "\r\n";
    if (lf < 0 && text.contains('\r'))
        return "\r";
    return "\n";
}

bool ends_line(const QByteArray &text, int pos)
{
    return pos == 0 || text.at(pos - 1) == '\n' || text.at(pos - 1) == '\r';
}
}

IniText::IniText(const QByteArray &text) : m_text(text)
{
    parse();
}

void IniText::parse()
{
    m_lines.clear();
    m_open_quote_line = 0;
    m_utf8 = m_text.startsWith(kBom);
    QString section;
    int pos = m_utf8 ? 3 : 0;
    int start, len, equals;
    bool open_quote;
    while (next_line(m_text, pos, start, len, equals, open_quote)) {
        Line line{section, QString(), false, start + len, -1, 0};
        if (open_quote)
            m_open_quote_line = m_text.left(start).count('\n') + 1;
        if (m_text.at(start) == '[') {
            const int close = m_text.indexOf(']', start);
            QByteArray name = close < 0 || close >= start + len ? m_text.mid(start + 1, len - 1)
                                                                : m_text.mid(start + 1, close - start - 1);
            name = name.trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(name.mid(1));
            else
                section = unescaped_key(name, 0, name.size());
            line.section = section;
            line.header = true;
        } else if (equals >= 0) {
            int key_end = equals;
            while (key_end > start && (m_text.at(key_end - 1) == ' ' || m_text.at(key_end - 1) == '\t'))
                --key_end;
            line.key = unescaped_key(m_text, start, key_end);
            line.value = equals + 1;
        }
        // Past the line's own end: an inline comment and the line break.
        int next = line.end;
        while (next < m_text.size() && m_text.at(next) != '\n' && m_text.at(next) != '\r')
            ++next;
        if (next < m_text.size())
            next += m_text.at(next) == '\r' && next + 1 < m_text.size() && m_text.at(next + 1) == '\n' ? 2 : 1;
        line.next = next;
        m_lines.push_back(line);
    }
}

const IniText::Line *IniText::find(const QString &group, const QString &key) const
{
    // QSettings reads a group's sections in turn: the last line of a key is the one it keeps.
    for (auto line = m_lines.rbegin(); line != m_lines.rend(); ++line)
        if (line->value >= 0 && line->section == group && line->key == key)
            return &*line;
    return nullptr;
}

QVariant IniText::value(const QString &group, const QString &key) const
{
    const Line *line = find(group, key);
    return line ? unescaped_value(m_text, line->value, line->end, m_utf8) : QVariant();
}

bool IniText::set_value(const QString &group, const QString &key, const QVariant &value)
{
    const QByteArray encoded = encode(value, m_utf8);
    if (const Line *line = find(group, key)) {
        // The value only: the spaces around it and an inline comment stay.
        int from = line->value, to = line->end;
        while (from < to && (m_text.at(from) == ' ' || m_text.at(from) == '\t'))
            ++from;
        while (to > from && (m_text.at(to - 1) == ' ' || m_text.at(to - 1) == '\t'))
            --to;
        m_text.replace(from, to - from, encoded);
        parse();
        return this->value(group, key) == value;
    }
    const QByteArray eol = line_ending(m_text);
    // Keys are plain names, written as they are.
    const QByteArray entry = key.toLatin1() + '=' + encoded + eol;
    // After the last line of the group's last section: comments and blank lines before the
    // next section stay with that one.
    int at = -1;
    bool in_group = false;
    for (const Line &line : m_lines) {
        if (line.header)
            in_group = line.section == group;
        if (in_group)
            at = line.next;
    }
    QByteArray before;
    if (at < 0) {
        at = m_text.size();
        before = '[' + group.toLatin1() + ']' + eol;
        // A blank line between groups, as QSettings lays them out.
        if (m_text.size() > (m_utf8 ? 3 : 0) && !m_text.endsWith(eol + eol))
            before.prepend(eol);
    }
    if (!ends_line(m_text, at) && !(m_utf8 && at == 3))
        before.prepend(eol);
    const QByteArray original = m_text;
    m_text.insert(at, before + entry);
    parse();
    if (this->value(group, key) == value)
        return true;
    // A line before that ends in a backslash takes the next one in: a blank line ends it.
    m_text = original;
    m_text.insert(at, eol + before + entry);
    parse();
    return this->value(group, key) == value;
}

QByteArray IniText::encode(const QVariant &value, bool utf8)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return "@Invalid()";
    case QMetaType::QByteArray:
        return encode_text(QLatin1String("@ByteArray(") + QString::fromLatin1(value.toByteArray()) + QLatin1Char(')'), utf8);
    case QMetaType::QStringList: {
        const QStringList items = value.toStringList();
        if (items.isEmpty())
            return "@Invalid()";
        QByteArray out;
        for (const QString &item : items)
            out += (out.isEmpty() ? "" : ", ") + encode_text(item.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + item : item, utf8);
        return out;
    }
    default: {
        QString text = value.toString();
        if (text.contains(QChar::Null))
            text = QLatin1String("@String(") + text + QLatin1Char(')');
        else if (text.startsWith(QLatin1Char('@')))
            text.prepend(QLatin1Char('@'));
        return encode_text(text, utf8);
    }
    }
}

QByteArray IniText::encode_text(const QString &value, bool utf8)
{
    QByteArray out;
    bool quotes = false, escape_hex_digit = false;
    for (int i = 0; i < value.size(); ++i) {
        const char16_t ch = value.at(i).unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            quotes = true;
        // A digit after a \x escape would be read as part of it.
        if (escape_hex_digit && ch < 0x80 && isxdigit(int(ch))) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escape_hex_digit = false;
        switch (ch) {
        case '\0':
            out += "\\0";
            escape_hex_digit = true;
            break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (ch <= 0x1F || (ch >= 0x7F && !utf8)) {
                out += "\\x" + QByteArray::number(ch, 16);
                escape_hex_digit = true;
            } else if (ch >= 0x80) {
                // A pair of surrogates is one character.
                const int n = value.at(i).isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
                out += value.mid(i, n).toUtf8();
                i += n - 1;
            } else {
                out += char(ch);
            }
        }
    }
    if (quotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}
