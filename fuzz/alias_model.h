// The alias names file as a JSON value the fuzz program can mutate within the format, and
// what the reader must answer for it.
#pragma once
#include <boost/property_tree/ptree_fwd.hpp>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kor_fuzz {
using Rng = std::mt19937_64;

// A JSON value as written: members in their order, duplicate keys kept.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Null;
    std::string text;                                 // a string's value, a number's or boolean's literal
    std::vector<std::pair<std::string, Json>> items;  // members; an array's keys are empty
};

// The lists the reader is asked for; "window" is read by no page yet.
extern const char *const kAliasLists[4];

std::vector<Json> alias_seeds();

// One change within the format: a name, id or "valid" set, a field or entry removed, added
// or duplicated, a list renamed, a type changed, a value nested to the depth bound.
void mutate_alias(Rng &rng, Json &root);

// Valid JSON text of `v`, laid out and escaped at random (non-ASCII raw or as \u escapes).
std::string write_json(Rng &rng, const Json &v);

// Levels of arrays and objects, the outermost counting 1.
int json_depth(const Json &v);

// The tree as the reader sees it: every leaf a string, arrays as members with empty keys.
Json from_ptree(const boost::property_tree::ptree &tree);

// What the reader must answer for (list, id): the first entry of list.namelist whose "id"
// reads as `id` (a missing or unreadable id reads as -1), its name ("" when missing) and
// "valid" ("on" when missing). `refusal` is null when the name is to be shown.
struct AliasAnswer {
    bool found = false;
    std::string name, valid;
    const char *refusal = nullptr;
};
AliasAnswer expected_alias(const Json &root, const std::string &list, int id);

// Ids worth asking for in `list`: those its entries hold.
std::vector<int> alias_ids(const Json &root, const std::string &list);
}
