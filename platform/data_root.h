#pragma once
#include <QString>

// Every path is written as the board sees it; the data root ($KOR_ROOT, "/" on the
// board) is put in front here and nowhere else.
QString kor_root();
void kor_set_root(const QString &root);
QString kor_path(const QString &board_path);
