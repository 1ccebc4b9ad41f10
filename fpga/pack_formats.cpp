#include "fpga/pack_formats.h"

#include "platform/rcv_frame.h"

#include <cstring>

namespace {
const char kMappingMagic[] = "YKSM";
const char kRecoveryMagic[] = "RCVR";
const char kUpgradeMagic[] = "KORU";

void put8(QByteArray &b, uint8_t v) { b.append(char(v)); }
void put16(QByteArray &b, uint16_t v)
{
    put8(b, uint8_t(v));
    put8(b, uint8_t(v >> 8));
}
void put32(QByteArray &b, uint32_t v)
{
    put16(b, uint16_t(v));
    put16(b, uint16_t(v >> 16));
}
const uint8_t *bytes(const QByteArray &b) { return reinterpret_cast<const uint8_t *>(b.constData()); }
uint32_t crc_of(const QByteArray &b, int from, int len) { return rcv_crc32(bytes(b) + from, len); }

bool fail(QString *error, const char *text)
{
    if (error)
        *error = QString::fromLatin1(text);
    return false;
}

// Bounds-checked reader over a file's bytes.
struct Cursor {
    const QByteArray &b;
    int pos = 0;
    bool ok = true;
    explicit Cursor(const QByteArray &bytes) : b(bytes) {}
    bool has(int n) const { return n >= 0 && pos + n <= b.size(); }
    uint8_t u8()
    {
        if (!has(1)) {
            ok = false;
            return 0;
        }
        return uint8_t(b[pos++]);
    }
    uint16_t u16()
    {
        const uint8_t lo = u8();
        return uint16_t(lo | (u8() << 8));
    }
    QByteArray take(int n)
    {
        if (!has(n)) {
            ok = false;
            return QByteArray();
        }
        const QByteArray r = b.mid(pos, n);
        pos += n;
        return r;
    }
};
}

QByteArray encode_mapping_pack(const MappingPack &pack)
{
    QByteArray b;
    b.append(kMappingMagic, 4);
    put8(b, 1);
    b.append(3, '\0');
    put32(b, uint32_t(pack.data.size()));
    put32(b, crc_of(pack.data, 0, pack.data.size()));
    QByteArray desc = pack.description.toLatin1().left(32);
    desc.append(32 - desc.size(), '\0');
    b.append(desc);
    b.append(pack.data);
    return b;
}

bool decode_mapping_pack(const QByteArray &file, MappingPack *pack, QString *error)
{
    if (file.size() < kMappingPackHead || std::memcmp(file.constData(), kMappingMagic, 4) != 0 || file[4] != 1)
        return fail(error, "bad header");
    const uint32_t len = rcv_get32(bytes(file) + 8);
    if (len > uint32_t(kMappingPackMax) || int(len) != file.size() - kMappingPackHead)
        return fail(error, "bad length");
    if (len == 0)
        return fail(error, "empty");
    if (crc_of(file, kMappingPackHead, int(len)) != rcv_get32(bytes(file) + 12))
        return fail(error, "bad checksum");
    if (pack) {
        const QByteArray desc = file.mid(16, 32);
        const int end = desc.indexOf('\0');
        pack->description = QString::fromLatin1(end < 0 ? desc : desc.left(end));
        pack->data = file.mid(kMappingPackHead, int(len));
    }
    return true;
}

QByteArray encode_recovery_pack(const std::vector<RecoveryScreen> &screens)
{
    QByteArray b;
    b.append(kRecoveryMagic, 4);
    put8(b, 1);
    put8(b, uint8_t(screens.size()));
    put16(b, 0);
    for (const RecoveryScreen &s : screens) {
        put8(b, uint8_t(s.nets.size()));
        for (const RecoveryNet &n : s.nets) {
            put8(b, n.port);
            put8(b, uint8_t(n.cards.size()));
            const int block = n.cards.empty() ? 0 : n.cards.front().size();
            put16(b, uint16_t(block));
            for (const QByteArray &c : n.cards) {
                QByteArray p = c.left(block);
                p.append(block - p.size(), '\0');
                b.append(p);
            }
        }
    }
    put32(b, crc_of(b, 0, b.size()));
    return b;
}

bool decode_recovery_pack(const QByteArray &file, std::vector<RecoveryScreen> *screens, QString *error)
{
    if (file.size() < 12 || std::memcmp(file.constData(), kRecoveryMagic, 4) != 0 || file[4] != 1)
        return fail(error, "bad header");
    const int body = file.size() - 4;
    if (crc_of(file, 0, body) != rcv_get32(bytes(file) + body))
        return fail(error, "bad checksum");
    const QByteArray content = file.left(body);
    Cursor c(content);
    c.pos = 5;
    const int screen_count = c.u8();
    c.u16();
    std::vector<RecoveryScreen> out;
    for (int s = 0; s < screen_count && c.ok; ++s) {
        RecoveryScreen screen;
        const int nets = c.u8();
        for (int n = 0; n < nets && c.ok; ++n) {
            RecoveryNet net;
            net.port = c.u8();
            const int cards = c.u8();
            const int block = c.u16();
            // A card restored from an empty block would be left with nothing.
            if (net.port >= 16 || block > kRecoveryBlockMax || (cards > 0 && block == 0))
                return fail(error, "bad net");
            for (int k = 0; k < cards && c.ok; ++k)
                net.cards.push_back(c.take(block));
            screen.nets.push_back(std::move(net));
        }
        out.push_back(std::move(screen));
    }
    if (!c.ok || c.pos != body)
        return fail(error, "bad length");
    if (screens)
        *screens = std::move(out);
    return true;
}

QByteArray encode_upgrade_image(const UpgradeImage &image, const char *controller)
{
    QByteArray b;
    b.append(kUpgradeMagic, 4);
    put8(b, 1);
    put8(b, image.kind);
    put8(b, image.fpga);
    put8(b, 0);
    b.append(controller, 4);
    put32(b, uint32_t(image.image.size()));
    put32(b, crc_of(image.image, 0, image.image.size()));
    b.append(12, '\0');
    b.append(image.image);
    return b;
}

bool decode_upgrade_package(const QByteArray &file, bool combined, std::vector<UpgradeImage> *images, QString *error)
{
    std::vector<UpgradeImage> out;
    int pos = 0;
    while (pos < file.size()) {
        if (!combined && !out.empty())
            return fail(error, "trailing data");
        if (file.size() - pos < kUpgradeHead)
            return fail(error, "bad header");
        const uint8_t *h = bytes(file) + pos;
        if (std::memcmp(h, kUpgradeMagic, 4) != 0 || h[4] != 1)
            return fail(error, "bad header");
        if (std::memcmp(h + 8, "Z73N", 4) != 0)
            return fail(error, "wrong controller");
        UpgradeImage img;
        img.kind = h[5];
        img.fpga = h[6];
        if (img.kind < UpgradeApplication || img.kind > UpgradeScalerFonts)
            return fail(error, "unknown kind");
        if (img.fpga > 1)
            return fail(error, "bad header");
        const uint32_t len = rcv_get32(h + 12);
        if (len > uint32_t(kUpgradeImageMax) || int64_t(len) > int64_t(file.size()) - pos - kUpgradeHead)
            return fail(error, "bad length");
        if (crc_of(file, pos + kUpgradeHead, int(len)) != rcv_get32(h + 16))
            return fail(error, "bad checksum");
        img.image = file.mid(pos + kUpgradeHead, int(len));
        if (!check_upgrade_image(img, error))
            return false;
        out.push_back(std::move(img));
        pos += kUpgradeHead + int(len);
    }
    if (out.empty())
        return fail(error, "no image");
    if (images)
        *images = std::move(out);
    return true;
}

namespace {
uint16_t get16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }

// A 32-bit little-endian ARM executable (or position-independent executable) whose program
// header table lies inside the image: what the board can start.
bool is_arm_executable(const QByteArray &image)
{
    constexpr int kElfHead = 52;
    if (image.size() < kElfHead)
        return false;
    const uint8_t *e = bytes(image);
    const bool ident = std::memcmp(e, "\x7f" "ELF", 4) == 0 && e[4] == 1 /* 32-bit */ && e[5] == 1 /* LE */ &&
                       e[6] == 1 /* version */;
    const uint16_t type = get16(e + 16);
    const uint16_t machine = get16(e + 18);
    if (!ident || (type != 2 && type != 3) || machine != 40 /* ARM */ || rcv_get32(e + 20) != 1)
        return false;
    const uint32_t phoff = rcv_get32(e + 28);
    const uint16_t phentsize = get16(e + 42);
    const uint16_t phnum = get16(e + 44);
    return phnum > 0 && phentsize >= 32 && phoff >= uint32_t(kElfHead) &&
           uint64_t(phoff) + uint64_t(phnum) * phentsize <= uint64_t(image.size());
}
}

bool check_upgrade_image(const UpgradeImage &image, QString *error)
{
    if (image.kind < UpgradeApplication || image.kind > UpgradeScalerFonts)
        return fail(error, "unknown kind");
    if (image.image.isEmpty())
        return fail(error, "empty image");
    const UpgradeSizeRange range = kUpgradeSizes[image.kind];
    if (image.image.size() < range.min || image.image.size() > range.max)
        return fail(error, "implausible size");
    if (image.kind == UpgradeApplication && !is_arm_executable(image.image))
        return fail(error, "not an executable");
    return true;
}
