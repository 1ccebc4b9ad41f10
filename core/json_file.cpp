#include "core/json_file.h"

#include "core/global.h"
#include "core/utils.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>

namespace {
// Deepest nesting of arrays and objects, brackets inside strings not counted; stops
// counting once past `limit`.
int nesting_depth(const QByteArray &text, int limit)
{
    int depth = 0, deepest = 0;
    bool in_string = false, escaped = false;
    for (const char c : text) {
        if (in_string) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                in_string = false;
            continue;
        }
        if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++depth > deepest && (deepest = depth) > limit)
                break;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}
}

bool kor_parse_json(const QByteArray &text, boost::property_tree::ptree *out, QString *error)
{
    const char *why = nullptr;
    if (text.size() > kJsonMaxBytes)
        why = "too large";
    else if (nesting_depth(text, kJsonMaxDepth) > kJsonMaxDepth)
        why = "too deeply nested";
    namespace pt = boost::property_tree;
    pt::ptree root;
    if (!why) {
        std::istringstream in(text.toStdString());
        try {
            pt::read_json(in, root);
        } catch (const pt::json_parser_error &) {
            why = "not JSON";
        }
    }
    if (why) {
        if (error)
            *error = QString::fromLatin1(why);
        return false;
    }
    *out = std::move(root);
    return true;
}

bool kor_read_json(const QString &board_path, boost::property_tree::ptree *out, QString *error)
{
    QByteArray text;
    const Utils::ReadResult read = Utils::read_file_bounded(board_path, kJsonMaxBytes, &text);
    if (read != Utils::ReadOk && read != Utils::ReadTooLarge) {
        kor_trace("%s cannot be read\n", qPrintable(board_path));
        if (error)
            *error = QStringLiteral("cannot read");
        return false;
    }
    QString why = QStringLiteral("too large");
    if (read == Utils::ReadOk && kor_parse_json(text, out, &why))
        return true;
    kor_trace("%s is too large, too deeply nested or not JSON: deleted\n", qPrintable(board_path));
    Utils::remove_file(board_path);
    if (error)
        *error = why;
    return false;
}
