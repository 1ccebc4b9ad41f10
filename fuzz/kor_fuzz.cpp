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
// accepts join the corpus.
#include "core/alias.h"
#include "core/json_file.h"
#include "core/global.h"
#include "fpga/pack_formats.h"
#include "fpga/rcv_recovery_file.h"
#include "platform/data_root.h"
#include "platform/rcv_frame.h"

#include <QByteArray>
#include <boost/property_tree/ptree.hpp>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {
using Rng = std::mt19937_64;

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

void mutate_once(Rng &rng, QByteArray &b, const std::vector<QByteArray> &corpus, int max_size)
{
    static const uint32_t kInteresting[] = {0, 1, 2, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF,
                                            0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 48, 32, 52};
    const int n = b.size();
    switch (pick(rng, 10)) {
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

Target alias_target(const QString &root)
{
    Target t{"alias", {}, 4096, [](QByteArray &) {}, nullptr};
    t.seeds = {QByteArray(R"({"source":{"namelist":[{"id":1,"name":"Desk PC","valid":"on"},)"
                          R"({"id":2,"name":"Camera","valid":"off"}]},"usermode":{"namelist":[{"id":0,"name":"Show"}]},)"
                          R"("crop":{"namelist":[{"id":3,"name":"\u00e9t\u00e9","valid":"on"}]}})"),
               QByteArray(R"({"source":{"namelist":[]},"crop":{"namelist":[{"id":"x","name":["a",{"b":1}]}]}})")};
    const QString file = root + QStringLiteral("/data/configs/alias.json");
    QDir().mkpath(root + QStringLiteral("/data/configs"));
    t.run = [file](const QByteArray &in, Rng &rng, QString *) {
        // The bounded parser by itself, then the file path with its caching and deletion.
        boost::property_tree::ptree tree;
        kor_parse_json(in, &tree);
        QFile f(file);
        require(f.open(QIODevice::WriteOnly) && f.write(in) == in.size(), "alias", "cannot write the file");
        f.close();
        static const char *const kLists[] = {"source", "usermode", "crop", "namelist", ""};
        ALIAS_PARA out;
        return get_json_alias_para(&out, kLists[rng() % 5], int(rng() % 8) - 1) != 0;
    };
    return t;
}

struct Figures {
    long inputs = 0;
    long accepted = 0;
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
        QByteArray in = corpus[size_t(pick(rng, int(corpus.size())))];
        for (int k = 1 + pick(rng, 4); k > 0; --k)
            mutate_once(rng, in, corpus, t.max_size);
        if (rng() & 1)
            t.refit(in);
        QString why;
        if (t.run(in, rng, &why)) {
            ++f.accepted;
            if (corpus.size() < 256)
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

    QTemporaryDir root;
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
        for (const auto &r : f.refusals)
            std::printf("           %7ld %s\n", r.second, r.first.c_str());
    }
    if (!ran) {
        std::fprintf(stderr, "unknown target %s\n", which.c_str());
        return 2;
    }
    return 0;
}
