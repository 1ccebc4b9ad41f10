#pragma once
// The compiled-in images live in the static library; this pulls them into the program.
void kor_init_resources();
