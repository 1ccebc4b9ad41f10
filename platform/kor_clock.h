#pragma once
#include <QDateTime>

// The wall clock. Tests can pin it to a fixed time.
QDateTime kor_now();
void kor_clock_set_fixed(const QDateTime &when);  // invalid QDateTime: back to the system clock
