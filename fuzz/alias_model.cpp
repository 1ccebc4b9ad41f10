#include "fuzz/alias_model.h"

#include <boost/property_tree/ptree.hpp>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

namespace kor_fuzz {
const char *const kAliasLists[4] = {"source", "usermode", "crop", "window"};

namespace {
int pick(Rng &rng, size_t n) { return n == 0 ? 0 : int(rng() % n); }
template <typename T, size_t N>
const T &one_of(Rng &rng, const T (&a)[N])
{
    return a[pick(rng, N)];
}
bool container(const Json &v) { return v.kind == Json::Array || v.kind == Json::Object; }

Json scalar(Json::Kind kind, std::string text)
{
    Json v;
    v.kind = kind;
    v.text = std::move(text);
    return v;
}
Json str(std::string s) { return scalar(Json::String, std::move(s)); }
Json num(std::string s) { return scalar(Json::Number, std::move(s)); }
Json num(int n) { return num(std::to_string(n)); }
Json empty(Json::Kind kind) { return scalar(kind, std::string()); }

// The leaf text the reader gets for a value: a container has none.
std::string data(const Json &v)
{
    if (v.kind == Json::Null)
        return "null";
    return container(v) ? std::string() : v.text;
}

// The first member named `key`, as the tree's path lookup finds it.
const Json *member(const Json &v, const std::string &key)
{
    for (const auto &m : v.items)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

// An id as the reader converts it: an integer in int range, blanks around it allowed;
// anything else reads as the default -1.
int read_id(const Json *v)
{
    if (!v)
        return -1;
    const std::string s = data(*v);
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    long long value = 0;
    size_t j = i;
    for (; j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])); ++j)
        if ((value = value * 10 + (s[j] - '0')) > 1LL << 32)
            return -1;
    if (j == i)
        return -1;
    while (j < s.size() && std::isspace(static_cast<unsigned char>(s[j])))
        ++j;
    if (j != s.size())
        return -1;
    value = negative ? -value : value;
    return value < INT_MIN || value > INT_MAX ? -1 : int(value);
}

// Names as operators and hosts may type them, and as a hostile file may hold them.
std::string random_name(Rng &rng)
{
    static const std::string kPieces[] = {
        "Desk PC", "Camera 2", "", " ", "A", "\xc3\xa9t\xc3\xa9", "\xe8\xbe\x93\xe5\x85\xa5\xe6\xba\x90",
        "\xd0\x92\xd1\x85\xd0\xbe\xd0\xb4", "\xc4\x90\xe1\xba\xa7u v\xc3\xa0o", "\xf0\x9f\x8e\xa5 Stage",
        "e\xcc\x81", "\xe2\x80\x8b", "\xef\xbb\xbf", "\xd7\xa2\xd7\x91\xd7\xa8\xd7\x99\xd7\xaa", "<b>x</b>",
        "<img src=':/png/warning.png'>", "<h1>Big</h1>", "&amp;&lt;", "<font color=red>HDMI1</font>", "<!--",
        "\"quoted\"", "55\" wall", "back\\slash", "[[[{{{", "}]", "\\u0041", "\t", "line\nbreak", std::string("\0nul", 4),
        "\x7f", "off", "on", "null", "HDMI1", "%1", "/"};
    std::string name;
    for (int k = 1 + pick(rng, 3); k > 0; --k)
        name += one_of(rng, kPieces);
    if (pick(rng, 24) == 0) {
        const std::string piece = name.empty() ? std::string("x") : name;
        for (const size_t len = 64 + size_t(pick(rng, 400)); name.size() < len;)
            name += piece;
    }
    return name;
}

// Any value; containers hold a little.
Json random_value(Rng &rng)
{
    switch (pick(rng, 8)) {
    case 0:
        return empty(Json::Null);
    case 1:
        return scalar(Json::Bool, pick(rng, 2) ? "true" : "false");
    case 2:
        return num(pick(rng, 8) - 1);
    case 3:
        return str(random_name(rng));
    case 4:
        return empty(Json::Array);
    case 5:
        return empty(Json::Object);
    case 6: {
        Json a = empty(Json::Array);
        a.items.push_back({"", str(random_name(rng))});
        return a;
    }
    default: {
        Json o = empty(Json::Object);
        o.items.push_back({"name", str(random_name(rng))});
        return o;
    }
    }
}

Json random_id(Rng &rng)
{
    static const char *const kNumbers[] = {"-1", "6", "7", "255", "256", "65536", "2147483647", "2147483648",
                                           "-2147483648", "-2147483649", "99999999999999999999", "1.5", "2.0",
                                           "1e0", "-0", "0"};
    static const char *const kTexts[] = {"2", " 2", "2 ", "+2", "02", "2x", "0x2", "", "-1", "5\t", "1 2"};
    switch (pick(rng, 6)) {
    case 0:
    case 1:
    case 2:
        return num(pick(rng, 8));  // the ids in use and past them
    case 3:
        return num(one_of(rng, kNumbers));
    case 4:
        return str(one_of(rng, kTexts));
    default:
        return random_value(rng);
    }
}

Json random_valid(Rng &rng)
{
    static const char *const kTexts[] = {"on", "on", "off", "off", "OFF", "Off", "off ", "", "no", "0", "yes"};
    return pick(rng, 4) ? str(one_of(rng, kTexts)) : random_value(rng);
}

Json entry(int id, std::string name, const char *valid = nullptr)
{
    Json e = empty(Json::Object);
    e.items = {{"id", num(id)}, {"name", str(std::move(name))}};
    if (valid)
        e.items.push_back({"valid", str(valid)});
    return e;
}

Json random_entry(Rng &rng, int id)
{
    Json e = entry(id, random_name(rng), pick(rng, 2) ? nullptr : pick(rng, 4) ? "on" : "off");
    std::shuffle(e.items.begin(), e.items.end(), rng);
    if (pick(rng, 8) == 0)
        e.items.erase(e.items.begin() + pick(rng, e.items.size()));
    return e;
}

Json list_of(std::vector<Json> entries)
{
    Json names = empty(Json::Array);
    for (Json &e : entries)
        names.items.push_back({"", std::move(e)});
    Json list = empty(Json::Object);
    list.items.push_back({"namelist", std::move(names)});
    return list;
}

// A few of the ids 0 to 7, in order.
Json random_list(Rng &rng)
{
    std::vector<Json> entries;
    for (int id = 0; id < 8; ++id)
        if (pick(rng, 3) == 0)
            entries.push_back(random_entry(rng, id));
    return list_of(std::move(entries));
}

// Adds a member or element, keeping an array's keys empty.
void add(Rng &rng, Json &to, std::string key, Json value)
{
    if (!container(to))
        return;
    if (to.kind == Json::Array)
        key.clear();
    to.items.insert(to.items.begin() + pick(rng, to.items.size() + 1), {std::move(key), std::move(value)});
}

// Sets the first member `key` of an object, adding it when missing.
void set(Json &object, const std::string &key, Json value)
{
    if (object.kind != Json::Object)
        return;
    for (auto &m : object.items)
        if (m.first == key) {
            m.second = std::move(value);
            return;
        }
    object.items.push_back({key, std::move(value)});
}

void all_nodes(Json &v, int depth, std::vector<std::pair<Json *, int>> &out)
{
    out.push_back({&v, depth});
    for (auto &m : v.items)
        all_nodes(m.second, depth + 1, out);
}

// The namelists of the top-level lists, and their entries.
std::vector<Json *> namelists(Json &root)
{
    std::vector<Json *> out;
    for (auto &list : root.items)
        for (auto &m : list.second.items)
            if (m.first == "namelist")
                out.push_back(&m.second);
    return out;
}

void change_type(Rng &rng, Json &v)
{
    static const char *const kKeys[] = {"", "a", "namelist", "id", "name", "e"};
    switch (pick(rng, 5)) {
    case 0:
        v = random_value(rng);
        break;
    case 1: {  // wrapped in an array
        Json a = empty(Json::Array);
        a.items.push_back({"", std::move(v)});
        v = std::move(a);
        break;
    }
    case 2:  // an array made an object, or the other way
        if (v.kind == Json::Array) {
            v.kind = Json::Object;
            for (auto &m : v.items)
                m.first = one_of(rng, kKeys);
        } else if (v.kind == Json::Object) {
            v.kind = Json::Array;
            for (auto &m : v.items)
                m.first.clear();
        }
        break;
    case 3:  // a scalar written as a string
        if (!container(v))
            v = str(data(v));
        break;
    default:
        v = empty(pick(rng, 2) ? Json::Array : Json::Object);
        break;
    }
}

void change_list(Rng &rng, Json &root)
{
    static const char *const kNames[] = {"source", "usermode", "crop", "window", "Source",
                                         "source ", "namelist", "", "sources"};
    if (root.kind != Json::Object)
        return;
    const int n = int(root.items.size());
    switch (pick(rng, 4)) {
    case 0:
        if (n)
            root.items[size_t(pick(rng, size_t(n)))].first = one_of(rng, kNames);
        break;
    case 1:
        if (n)
            add(rng, root, root.items[size_t(pick(rng, size_t(n)))].first, root.items[size_t(pick(rng, size_t(n)))].second);
        break;
    case 2:
        if (n)
            root.items.erase(root.items.begin() + pick(rng, size_t(n)));
        break;
    default:
        add(rng, root, pick(rng, 2) ? kAliasLists[pick(rng, 4)] : one_of(rng, kNames), random_list(rng));
        break;
    }
}

// Wraps a node in arrays and objects until the file is about as deep as the reader allows.
void nest(Rng &rng, Json &root)
{
    std::vector<std::pair<Json *, int>> nodes;
    all_nodes(root, 0, nodes);
    const auto [node, above] = nodes[size_t(pick(rng, nodes.size()))];
    const int goal = 63 + pick(rng, 4);  // the bound is 64
    for (int k = goal - above - json_depth(*node); k > 0; --k) {
        Json w = empty(pick(rng, 2) ? Json::Array : Json::Object);
        w.items.push_back({w.kind == Json::Object ? "n" : "", std::move(*node)});
        *node = std::move(w);
    }
}

struct Style {
    bool spaced, escape_non_ascii, escape_slash;
};

void write_string(const Style &style, const std::string &s, std::string &out)
{
    auto hex4 = [&out](unsigned u) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", u & 0xFFFFu);
        out += buf;
    };
    out += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            hex4(c);
        } else if (c == '/' && style.escape_slash) {
            out += "\\/";
        } else if (c >= 0x80 && style.escape_non_ascii) {
            const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            unsigned cp = c & (0x7Fu >> len);
            for (size_t k = 1; k < len && i + k < s.size(); ++k)
                cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
            i += len - 1;
            if (cp >= 0x10000) {
                hex4(0xD800 + ((cp - 0x10000) >> 10));
                hex4(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                hex4(cp);
            }
        } else {
            out += char(c);
        }
    }
    out += '"';
}

void write_value(const Style &style, const Json &v, int level, std::string &out)
{
    if (!container(v)) {
        if (v.kind == Json::String)
            write_string(style, v.text, out);
        else
            out += data(v);
        return;
    }
    const bool object = v.kind == Json::Object;
    const std::string indent = style.spaced ? "\n" + std::string(size_t(2 * std::min(level + 1, 4)), ' ') : std::string();
    out += object ? '{' : '[';
    for (size_t i = 0; i < v.items.size(); ++i) {
        out += i ? "," + indent : indent;
        if (object) {
            write_string(style, v.items[i].first, out);
            out += style.spaced ? ": " : ":";
        }
        write_value(style, v.items[i].second, level + 1, out);
    }
    if (style.spaced && !v.items.empty())
        out += "\n" + std::string(size_t(2 * std::min(level, 4)), ' ');
    out += object ? '}' : ']';
}
}

std::vector<Json> alias_seeds()
{
    Json rich = empty(Json::Object);
    rich.items = {{"source", list_of({entry(0, "EXT"), entry(1, "Desk PC", "on"), entry(3, "\xd0\x92\xd1\x85\xd0\xbe\xd0\xb4"),
                                      entry(4, "<b>x</b>"), entry(5, "\xf0\x9f\x8e\xa5", "off")})},
                  {"usermode", list_of({entry(7, "\xe8\xbe\x93\xe5\x85\xa5")})},
                  {"crop", list_of({entry(2, "Top")})},
                  {"window", list_of({entry(1, "PiP")})}};
    Json small = empty(Json::Object);
    small.items = {{"source", list_of({entry(1, "Desk PC", "on"), entry(2, "Camera", "off")})},
                   {"crop", list_of({entry(3, "\xc3\xa9t\xc3\xa9", "on")})}};
    Json odd = empty(Json::Object);
    Json strange = entry(0, "");
    set(strange, "id", str("x"));
    Json name = empty(Json::Array);
    name.items = {{"", str("a")}, {"", empty(Json::Object)}};
    set(strange, "name", name);
    odd.items = {{"source", list_of({})}, {"crop", list_of({strange, entry(2, "Cam")})}};
    return {rich, small, odd};
}

void mutate_alias(Rng &rng, Json &root)
{
    std::vector<Json *> lists = namelists(root);
    std::vector<Json *> entries;
    for (Json *l : lists)
        for (auto &e : l->items)
            entries.push_back(&e.second);
    Json *names = lists.empty() ? nullptr : lists[size_t(pick(rng, lists.size()))];
    Json *e = entries.empty() ? nullptr : entries[size_t(pick(rng, entries.size()))];
    static const char *const kFields[] = {"id", "name", "valid"};
    switch (pick(rng, 14)) {
    case 0:
        if (e)
            set(*e, "name", str(random_name(rng)));
        break;
    case 1:
        if (e)
            set(*e, "id", random_id(rng));
        break;
    case 2:
        if (e)
            set(*e, "valid", random_valid(rng));
        break;
    case 3:  // a field missing
        if (e && !e->items.empty())
            e->items.erase(e->items.begin() + pick(rng, e->items.size()));
        break;
    case 4:
        if (names)
            add(rng, *names, "e", random_entry(rng, pick(rng, 8)));
        break;
    case 5:
        if (names && !names->items.empty())
            names->items.erase(names->items.begin() + pick(rng, names->items.size()));
        break;
    case 6:  // an entry twice, here or in another list, under its name or another
        if (e && names) {
            Json copy = *e;
            if (pick(rng, 2))
                set(copy, "name", str(random_name(rng)));
            add(rng, *names, "e", std::move(copy));
        }
        break;
    case 7:  // a field twice
        if (e) {
            const std::string key = one_of(rng, kFields);
            add(rng, *e, key, key == "id" ? random_id(rng) : key == "name" ? str(random_name(rng)) : random_valid(rng));
        }
        break;
    case 8: {
        std::vector<std::pair<Json *, int>> nodes;
        all_nodes(root, 0, nodes);
        change_type(rng, *nodes[size_t(pick(rng, nodes.size()))].first);
        break;
    }
    case 9:
        change_list(rng, root);
        break;
    case 10: {  // a member the reader does not know
        static const char *const kKeys[] = {"version", "comment", "names", "namelist2", "id"};
        std::vector<std::pair<Json *, int>> nodes;
        all_nodes(root, 0, nodes);
        Json &to = *nodes[size_t(pick(rng, nodes.size()))].first;
        if (to.kind == Json::Object)
            add(rng, to, one_of(rng, kKeys), random_value(rng));
        break;
    }
    case 11: {  // two members swapped
        std::vector<std::pair<Json *, int>> nodes;
        all_nodes(root, 0, nodes);
        Json &in = *nodes[size_t(pick(rng, nodes.size()))].first;
        if (in.items.size() >= 2)
            std::swap(in.items[size_t(pick(rng, in.items.size()))].second, in.items[size_t(pick(rng, in.items.size()))].second);
        break;
    }
    case 12:  // nested to about the depth bound now and then: it makes large files
        if (pick(rng, 3) == 0)
            nest(rng, root);
        else if (e)
            set(*e, "name", str(random_name(rng)));
        break;
    default:  // a list filled again
        if (names)
            *names = random_list(rng).items[0].second;
        else if (root.kind == Json::Object)
            add(rng, root, kAliasLists[pick(rng, 4)], random_list(rng));
        break;
    }
}

std::string write_json(Rng &rng, const Json &v)
{
    const Style style{pick(rng, 6) == 0, pick(rng, 3) == 0, pick(rng, 8) == 0};
    std::string out;
    write_value(style, v, 0, out);
    if (style.spaced)
        out += '\n';
    return out;
}

int json_depth(const Json &v)
{
    if (!container(v))
        return 0;
    int deepest = 0;
    for (const auto &m : v.items)
        deepest = std::max(deepest, json_depth(m.second));
    return deepest + 1;
}

Json from_ptree(const boost::property_tree::ptree &tree)
{
    if (tree.empty())
        return str(tree.data());
    Json v = empty(Json::Object);
    for (const auto &child : tree)
        v.items.push_back({child.first, from_ptree(child.second)});
    return v;
}

AliasAnswer expected_alias(const Json &root, const std::string &list, int id)
{
    AliasAnswer a;
    const Json *l = member(root, list);
    const Json *names = l ? member(*l, "namelist") : nullptr;
    if (!names) {
        a.refusal = l ? "no namelist" : "no such list";
        return a;
    }
    for (const auto &e : names->items) {
        if (read_id(member(e.second, "id")) != id)
            continue;
        const Json *name = member(e.second, "name");
        const Json *valid = member(e.second, "valid");
        a.found = true;
        a.name = name ? data(*name) : std::string();
        a.valid = valid ? data(*valid) : std::string("on");
        a.refusal = a.valid == "off" ? "switched off" : a.name.empty() ? "no name" : nullptr;
        return a;
    }
    a.refusal = "no entry with the id";
    return a;
}

std::vector<int> alias_ids(const Json &root, const std::string &list)
{
    std::vector<int> ids;
    const Json *l = member(root, list);
    if (const Json *names = l ? member(*l, "namelist") : nullptr)
        for (const auto &e : names->items)
            ids.push_back(read_id(member(e.second, "id")));
    return ids;
}
}
