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

int kor_parse_json(const QByteArray &text, boost::property_tree::ptree *out)
{
    if (text.size() > kJsonMaxBytes || nesting_depth(text, kJsonMaxDepth) > kJsonMaxDepth)
        return 1;
    namespace pt = boost::property_tree;
    std::istringstream in(text.toStdString());
    pt::ptree root;
    try {
        pt::read_json(in, root);
    } catch (const pt::json_parser_error &) {
        return 1;
    }
    *out = std::move(root);
    return 0;
}

int kor_read_json(const QString &board_path, boost::property_tree::ptree *out)
{
    QByteArray text;
    const Utils::ReadResult read = Utils::read_file_bounded(board_path, kJsonMaxBytes, &text);
    if (read != Utils::ReadOk && read != Utils::ReadTooLarge)
        return 1;
    if (read == Utils::ReadOk && kor_parse_json(text, out) == 0)
        return 0;
    kor_trace("%s is too large, too deeply nested or not JSON: deleted\n", qPrintable(board_path));
    Utils::remove_file(board_path);
    return 1;
}
