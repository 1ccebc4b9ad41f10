#pragma once
#include <string>

struct ALIAS_PARA {
    int id = 0;
    std::string name;
    std::string valid;
};

// Reads the entry `id` of list "source", "usermode" or "crop" of "/data/configs/alias.json".
// Non-zero only when the entry is valid (not "off") and named. The file is parsed once and
// kept until it changes; one refused by the JSON reader (too large, too deeply nested, not
// JSON) is deleted. Any thread.
int get_json_alias_para(ALIAS_PARA *out, std::string list, int id);
