// Mutation fuzzing of the readers of files that come from outside: the smart-mapping pack,
// the USB-stick upgrade package with its image checks, the receiving-card recovery pack and
// the alias names file. Built only with the sanitizers, so that a read out of bounds or an
// undefined operation stops the run; the readers' own promises are checked as well.
//
//   kor_fuzz TARGET COUNT [SEED]     TARGET: mapping, upgrade, recovery, alias or all
//
// Each target starts from valid files built here and mutates them (bit flips, interesting
// values, inserted, deleted and repeated runs, cuts, splices); half of the inputs get their
// checksums made to fit, so the checks behind the checksum are reached too. Inputs a reader
// accepts join the corpus. The alias file is JSON, which byte changes mostly break: three
// in four of its inputs are mutated within the format instead (fuzz/alias_model.h), and the
// reader's answers are checked against what the file says.
#include "core/alias.h"
#include "core/json_file.h"
#include "core/global.h"
#include "fpga/pack_formats.h"
#include "fpga/rcv_recovery_file.h"
#include "platform/data_root.h"
#include "platform/rcv_frame.h"
#include "fuzz/alias_model.h"

#include <QByteArray>
#include <boost/property_tree/ptree.hpp>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {
using kor_fuzz::Rng;

void require(bool ok, const char *target, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "kor_fuzz %s: %s\n", target, what);
    std::abort();
}

void set32(QByteArray &b, int at, uint32_t v)
{
    for (int i = 0; i < 4 && at + i < b.size(); ++i)
        b[at + i] = char(v >> (8 * i));
}
uint32_t crc(const QByteArray &b, int from, int len)
{
    return rcv_crc32(reinterpret_cast<const uint8_t *>(b.constData()) + from, len);
}

// --- mutations

int pick(Rng &rng, int n) { return n <= 0 ? 0 : int(rng() % uint64_t(n)); }

void mutate_once(Rng &rng, QByteArray &b, const std::vector<QByteArray> &corpus,
                 const std::vector<QByteArray> &tokens, int max_size)
{
    static const uint32_t kInteresting[] = {0, 1, 2, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF,
                                            0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 48, 32, 52};
    const int n = b.size();
    switch (pick(rng, tokens.empty() ? 10 : 11)) {
    case 10:  // a token of the format, put in or over a run
        if (pick(rng, 2))
            b.insert(pick(rng, n + 1), tokens[size_t(pick(rng, int(tokens.size())))]);
        else if (n)
            b.replace(pick(rng, n), 1 + pick(rng, 8), tokens[size_t(pick(rng, int(tokens.size())))]);
        break;
    case 0:  // flip a bit
        if (n) {
            const int at = pick(rng, n);
            b[at] = char(b[at] ^ (1 << pick(rng, 8)));
        }
        break;
    case 1:  // a random byte
        if (n)
            b[pick(rng, n)] = char(rng());
        break;
    case 2:  // an interesting 8-, 16- or 32-bit value
        if (n) {
            const uint32_t v = kInteresting[pick(rng, int(std::size(kInteresting)))];
            const int width = 1 << pick(rng, 3);
            const int at = pick(rng, n);
            for (int i = 0; i < width && at + i < n; ++i)
                b[at + i] = char(v >> (8 * i));
        }
        break;
    case 3:  // a length field set to what lies around it
        if (n >= 4)
            set32(b, pick(rng, n - 3), uint32_t(pick(rng, n + 64)) - 32u);
        break;
    case 4:  // insert random bytes
        b.insert(pick(rng, n + 1), QByteArray(1 + pick(rng, 16), char(rng())));
        break;
    case 5:  // delete a run
        if (n)
            b.remove(pick(rng, n), 1 + pick(rng, std::min(n, 64)));
        break;
    case 6:  // repeat a run
        if (n) {
            const int at = pick(rng, n);
            b.insert(pick(rng, n + 1), b.mid(at, 1 + pick(rng, std::min(n - at, 256))));
        }
        break;
    case 7:  // cut the end
        if (n)
            b.truncate(pick(rng, n));
        break;
    case 8:  // splice with another input
        if (!corpus.empty()) {
            const QByteArray &o = corpus[size_t(pick(rng, int(corpus.size())))];
            b = b.left(pick(rng, n + 1)) + o.mid(pick(rng, o.size() + 1));
        }
        break;
    default:  // overwrite a run with a run from elsewhere in it
        if (n > 1) {
            const int from = pick(rng, n), to = pick(rng, n);
            const int len = std::min({1 + pick(rng, 32), n - from, n - to});
            const QByteArray run = b.mid(from, len);
            b.replace(to, len, run);
        }
        break;
    }
    if (b.size() > max_size)
        b.truncate(max_size);
}

struct Target {
    const char *name;
    std::vector<QByteArray> seeds;
    int max_size;
    // Makes the checksums fit the mutated bytes.
    std::function<void(QByteArray &)> refit;
    // Runs the reader; true when it accepted the input. `why` gets its refusal.
    std::function<bool(const QByteArray &, Rng &, QString *why)> run;
    // Optional: pieces of the format that byte mutation puts in.
    std::vector<QByteArray> tokens = {};
    // Optional: makes three in four inputs by mutating within the format, puts the input in
    // `in` and runs the reader on it as `run` does.
    std::function<bool(Rng &, QByteArray *in, QString *why)> structured = nullptr;
};

// --- valid files to start from

QByteArray block(int seed, int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(seed * 31 + i);
    return b;
}

QByteArray arm_executable(int size)
{
    QByteArray e = block(7, size);
    const uint8_t head[] = {0x7f, 'E', 'L', 'F', 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 40, 0, 1, 0, 0, 0};
    std::memcpy(e.data(), head, sizeof head);
    set32(e, 28, 52);
    e[42] = 32;
    e[43] = 0;
    e[44] = 1;
    e[45] = 0;
    return e;
}

RecoveryNet net(uint8_t port, int cards, int size)
{
    RecoveryNet n;
    n.port = port;
    for (int k = 0; k < cards; ++k)
        n.cards.push_back(block(port + k, size));
    return n;
}

Target mapping_target()
{
    Target t{"mapping", {}, 8192, nullptr, nullptr};
    t.seeds = {encode_mapping_pack(MappingPack{QStringLiteral("P4 indoor"), block(1, 300)}),
               encode_mapping_pack(MappingPack{QString(), block(2, 1)})};
    t.refit = [](QByteArray &b) {
        if (b.size() < kMappingPackHead)
            return;
        set32(b, 8, uint32_t(b.size() - kMappingPackHead));
        set32(b, 12, crc(b, kMappingPackHead, b.size() - kMappingPackHead));
    };
    t.run = [](const QByteArray &in, Rng &, QString *why) {
        MappingPack pack;
        if (!decode_mapping_pack(in, &pack, why))
            return false;
        require(!pack.data.isEmpty() && pack.data.size() == in.size() - kMappingPackHead, "mapping",
                "accepted a pack whose data is empty or not the file's rest");
        return true;
    };
    return t;
}

Target upgrade_target()
{
    Target t{"upgrade", {}, 16384, nullptr, nullptr};
    const QByteArray app = encode_upgrade_image(UpgradeImage{UpgradeApplication, 0, arm_executable(600)});
    const QByteArray bit = encode_upgrade_image(UpgradeImage{UpgradeFpgaBitstream, 1, block(3, 1500)});
    const QByteArray mcu = encode_upgrade_image(UpgradeImage{UpgradeMcuFirmware, 0, block(4, 300)});
    const QByteArray fonts = encode_upgrade_image(UpgradeImage{UpgradeScalerFonts, 0, block(5, 100)});
    t.seeds = {app, bit, mcu, fonts, bit + mcu, app + fonts + bit};
    // Each image in turn, as far as its length leads.
    t.refit = [](QByteArray &b) {
        int pos = 0;
        while (b.size() - pos >= kUpgradeHead) {
            const uint32_t len = rcv_get32(reinterpret_cast<const uint8_t *>(b.constData()) + pos + 12);
            if (len > uint32_t(b.size() - pos - kUpgradeHead))
                break;
            set32(b, pos + 16, crc(b, pos + kUpgradeHead, int(len)));
            pos += kUpgradeHead + int(len);
        }
    };
    t.run = [](const QByteArray &in, Rng &rng, QString *why) {
        std::vector<UpgradeImage> images;
        const bool combined = rng() & 1;
        if (!decode_upgrade_package(in, combined, &images, why))
            return false;
        qint64 total = 0;
        for (const UpgradeImage &img : images) {
            require(check_upgrade_image(img), "upgrade", "accepted an image that fails its check");
            total += kUpgradeHead + img.image.size();
        }
        require(!images.empty() && (combined || images.size() == 1) && total == in.size(), "upgrade",
                "accepted images that are not the whole package");
        return true;
    };
    return t;
}

Target recovery_target(const QString &root)
{
    Target t{"recovery", {}, 16384, nullptr, nullptr};
    t.seeds = {encode_recovery_pack({RecoveryScreen{{net(2, 3, 40), net(15, 1, 8)}}}),
               encode_recovery_pack({RecoveryScreen{{net(0, 2, 16)}}, RecoveryScreen{{net(7, 0, 0), net(1, 4, 4)}}})};
    t.refit = [](QByteArray &b) {
        if (b.size() >= 8)
            set32(b, b.size() - 4, crc(b, 0, b.size() - 4));
    };
    // Now and then through the file reader, as the job reads the pack directory.
    const QString dir = root + QStringLiteral("/data/rcvrecovery");
    QDir().mkpath(dir);
    t.run = [dir](const QByteArray &in, Rng &rng, QString *why) {
        std::vector<RecoveryScreen> screens;
        bool r;
        if (rng() % 32 == 0) {
            QFile f(dir + QStringLiteral("/pack"));
            require(f.open(QIODevice::WriteOnly) && f.write(in) == in.size(), "recovery", "cannot write the pack");
            f.close();
            r = rcvRecovery::read_recovery_dir(QStringLiteral("/data/rcvrecovery"), &screens, why);
        } else {
            r = decode_recovery_pack(in, &screens, why);
        }
        if (!r)
            return false;
        for (const RecoveryScreen &s : screens)
            for (const RecoveryNet &n : s.nets) {
                require(n.port < 16, "recovery", "accepted a port past 15");
                for (const QByteArray &c : n.cards)
                    require(!c.isEmpty() && c.size() == n.cards.front().size() && c.size() <= kRecoveryBlockMax,
                            "recovery", "accepted an empty or uneven parameter block");
            }
        return true;
    };
    return t;
}

[[noreturn]] void alias_failed(const QByteArray &in, const std::string &list, int id, const char *what)
{
    std::fprintf(stderr, "kor_fuzz alias: %s\n  asked for list \"%s\" id %d of the file:\n", what, list.c_str(), id);
    std::fwrite(in.constData(), 1, size_t(in.size()), stderr);
    std::fputc('\n', stderr);
    std::abort();
}

using AliasLists = std::vector<std::pair<std::string, std::vector<int>>>;

// The lists the file holds entries in, with their ids.
AliasLists held_alias_lists(const kor_fuzz::Json *tree)
{
    AliasLists held;
    for (const char *list : kor_fuzz::kAliasLists)
        if (tree && !kor_fuzz::alias_ids(*tree, list).empty())
            held.push_back({list, kor_fuzz::alias_ids(*tree, list)});
    return held;
}

// Mostly a list and an id the file holds, so that the entries are reached.
std::pair<std::string, int> alias_question(Rng &rng, const AliasLists &held)
{
    static const char *const kOther[] = {"", "namelist", "Source", "nosuch"};
    static const int kFar[] = {-1, 6, 7, 255, 256, 65535, 2147483647, -2147483647 - 1};
    std::string list = pick(rng, 8) ? kor_fuzz::kAliasLists[pick(rng, 4)] : kOther[pick(rng, 4)];
    if (!held.empty() && pick(rng, 8)) {
        const auto &[name, ids] = held[size_t(pick(rng, int(held.size())))];
        if (pick(rng, 4))
            return {name, ids[size_t(pick(rng, int(ids.size())))]};
        list = name;
    }
    return {list, pick(rng, 2) ? pick(rng, 6) : kFar[pick(rng, int(std::size(kFar)))]};
}

// Writes `in` as the alias file and asks the reader a few questions. `tree` is what the file
// says (null when the reader must refuse it, `refusal` saying why): every answer must be its
// answer, a refused file must be gone and a read one kept. True when the first question got
// a name to show.
bool ask_alias(const QString &file, const QByteArray &in, const kor_fuzz::Json *tree, const QString &refusal, Rng &rng,
               QString *why)
{
    // Each version a new file, as the program's writers make it. The old one goes first: a
    // rename over it makes ext4 flush the new one.
    {
        QFile f(file + QStringLiteral(".new"));
        require(f.open(QIODevice::WriteOnly) && f.write(in) == in.size(), "alias", "cannot write the file");
        f.close();
        QFile::remove(file);
        require(f.rename(file), "alias", "cannot replace the file");
    }
    const AliasLists held = held_alias_lists(tree);
    bool first_named = false;
    for (int k = 0, questions = 1 + pick(rng, 4); k < questions; ++k) {
        const auto [list, id] = alias_question(rng, held);
        ALIAS_PARA out;
        const bool named = get_json_alias_para(&out, list, id) != 0;
        if (named && (out.name.empty() || out.valid == "off" || out.id != id))
            alias_failed(in, list, id, "gave a name that is empty, switched off or of another id");
        if (!tree) {
            if (named)
                alias_failed(in, list, id, "gave a name from a file it refuses");
            *why = refusal + QStringLiteral(" (deleted)");
            continue;
        }
        const kor_fuzz::AliasAnswer a = kor_fuzz::expected_alias(*tree, list, id);
        if (named != (a.found && !a.refusal))
            alias_failed(in, list, id, named ? "gave a name where the file gives none" : "gave no name where the file gives one");
        if (a.found && (out.name != a.name || out.valid != a.valid))
            alias_failed(in, list, id, "gave the entry other than the file writes it");
        if (k == 0) {
            first_named = named;
            if (!named)
                *why = QString::fromLatin1(a.refusal);
        }
    }
    if (QFileInfo::exists(file) != (tree != nullptr))
        alias_failed(in, "", 0, tree ? "deleted a file it reads" : "kept a file it refuses");
    return first_named;
}

Target alias_target(const QString &root)
{
    // Small files: parsing is most of the time an input takes.
    Target t{"alias", {}, 512, [](QByteArray &) {}, nullptr};
    auto models = std::make_shared<std::vector<kor_fuzz::Json>>(kor_fuzz::alias_seeds());
    Rng layout(0);
    for (const kor_fuzz::Json &m : *models)
        t.seeds.push_back(QByteArray::fromStdString(kor_fuzz::write_json(layout, m)));
    t.tokens = {"{", "}", "[", "]", ",", ":", "\"", "\\", "\"name\":", "\"id\":", "\"valid\":\"off\"",
                "\"namelist\":[", "{\"id\":2,\"name\":\"x\"}", "null", "true", "-1", "2147483648", "\\u00e9",
                "\\ud83c\\udfa5", "\xe8\xbe\x93", "<b>", " ", "\n"};
    const QString file = root + QStringLiteral("/data/configs/alias.json");
    QDir().mkpath(root + QStringLiteral("/data/configs"));
    // Byte-mutated text: what the file says is what the bounded parser makes of it.
    t.run = [file](const QByteArray &in, Rng &rng, QString *why) {
        boost::property_tree::ptree parsed;
        QString refusal;
        if (!kor_parse_json(in, &parsed, &refusal))
            return ask_alias(file, in, nullptr, refusal, rng, why);
        const kor_fuzz::Json tree = kor_fuzz::from_ptree(parsed);
        return ask_alias(file, in, &tree, QString(), rng, why);
    };
    // Mutated within the format: what the file says is the model it was written from.
    t.structured = [file, models](Rng &rng, QByteArray *in, QString *why) {
        kor_fuzz::Json m = (*models)[size_t(pick(rng, int(models->size())))];
        for (int k = 1 + pick(rng, 3); k > 0; --k)
            kor_fuzz::mutate_alias(rng, m);
        std::string text = kor_fuzz::write_json(rng, m);
        if (pick(rng, 10000) == 0)  // padded to the size bound, or one past it: slow to parse, so rare
            text.resize(std::max(text.size(), size_t(kJsonMaxBytes) + size_t(pick(rng, 2))), ' ');
        *in = QByteArray::fromStdString(text);
        const char *refusal = in->size() > kJsonMaxBytes ? "too large"
                              : kor_fuzz::json_depth(m) > kJsonMaxDepth ? "too deeply nested"
                                                                        : nullptr;
        const bool named = ask_alias(file, *in, refusal ? nullptr : &m, QString::fromLatin1(refusal), rng, why);
        if (named && in->size() <= 256) {
            if (models->size() < 256)
                models->push_back(std::move(m));
            else
                (*models)[size_t(pick(rng, 256))] = std::move(m);
        }
        return named;
    };
    return t;
}

struct Figures {
    long inputs = 0;
    long accepted = 0;
    long structured = 0, structured_accepted = 0;
    std::map<std::string, long> refusals;
    double seconds = 0;
};

Figures fuzz(Target &t, long count, uint64_t seed)
{
    Rng rng(seed);
    std::vector<QByteArray> corpus = t.seeds;
    Figures f;
    QElapsedTimer clock;
    clock.start();
    for (; f.inputs < count; ++f.inputs) {
        QByteArray in;
        QString why;
        bool accepted;
        if (t.structured && pick(rng, 4)) {
            accepted = t.structured(rng, &in, &why);
            ++f.structured;
            f.structured_accepted += accepted;
        } else {
            in = corpus[size_t(pick(rng, int(corpus.size())))];
            for (int k = 1 + pick(rng, 4); k > 0; --k)
                mutate_once(rng, in, corpus, t.tokens, t.max_size);
            if (rng() & 1)
                t.refit(in);
            accepted = t.run(in, rng, &why);
        }
        if (accepted) {
            ++f.accepted;
            if (corpus.size() < 256 && in.size() <= t.max_size)
                corpus.push_back(in);
        } else {
            ++f.refusals[why.isEmpty() ? std::string("(refused)") : why.toStdString()];
        }
    }
    f.seconds = clock.elapsed() / 1000.0;
    return f;
}
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s mapping|upgrade|recovery|alias|all COUNT [SEED]\n", argv[0]);
        return 2;
    }
    const std::string which = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    const uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
    g_debugSwitch = 0;  // the readers' traces would drown the figures

    // Every input is written and read back: in memory where there is a tmpfs.
    const QString memory = QStringLiteral("/dev/shm");
    QTemporaryDir root(QFileInfo(memory).isDir() && QFileInfo(memory).isWritable()
                           ? memory + QStringLiteral("/kor_fuzz-XXXXXX")
                           : QDir::tempPath() + QStringLiteral("/kor_fuzz-XXXXXX"));
    if (!root.isValid())
        return 2;
    kor_set_root(root.path());

    std::vector<Target> targets = {mapping_target(), upgrade_target(), recovery_target(root.path()),
                                   alias_target(root.path())};
    int ran = 0;
    for (Target &t : targets) {
        if (which != "all" && which != t.name)
            continue;
        ++ran;
        const Figures f = fuzz(t, count, seed);
        std::printf("%-8s %ld inputs, %ld accepted, %.1f s\n", t.name, f.inputs, f.accepted, f.seconds);
        if (f.structured)
            std::printf("           (%ld mutated within the format, %ld of them accepted)\n", f.structured,
                        f.structured_accepted);
        for (const auto &r : f.refusals)
            std::printf("           %7ld %s\n", r.second, r.first.c_str());
    }
    if (!ran) {
        std::fprintf(stderr, "unknown target %s\n", which.c_str());
        return 2;
    }
    return 0;
}
