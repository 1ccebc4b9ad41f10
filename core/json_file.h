#pragma once
#include <QByteArray>
#include <QString>
#include <boost/property_tree/ptree_fwd.hpp>

// The one JSON reader of the program. The parser recurses once per level of nesting, so
// text is refused before parsing when it is too large or too deeply nested: a hostile file
// must not overflow the stack.
constexpr qint64 kJsonMaxBytes = 1024 * 1024;
constexpr int kJsonMaxDepth = 64;

// True when `text` is JSON within the bounds and was parsed into `out`; else false with
// `error` set.
bool kor_parse_json(const QByteArray &text, boost::property_tree::ptree *out, QString *error = nullptr);

// Reads and parses a JSON file (only a regular file is opened). True when parsed into `out`;
// false, with `error` set, when there is none or it is refused: a file too large, too deeply
// nested or not JSON is deleted, so that it cannot fail again at every later read.
bool kor_read_json(const QString &board_path, boost::property_tree::ptree *out, QString *error = nullptr);
