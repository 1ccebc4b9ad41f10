#pragma once
#include <QString>
#include <string>

// Every path is written as the board sees it; the data root ($KOR_ROOT, "/" on the
// board) is put in front here and nowhere else.
QString kor_root();
void kor_set_root(const QString &root);
QString kor_path(const QString &board_path);
std::string kor_path_std(const std::string &board_path);
