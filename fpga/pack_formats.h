#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// File formats of our own: smart-mapping packs, receiving-card recovery packs and USB-stick
// upgrade packages. Multi-byte fields are little-endian; every CRC is rcv_crc32
// (platform/rcv_frame.h, the zip CRC-32).
//
// Smart-mapping pack, suffix "ykfile", in "/data/smartmapping" or on "/mnt/usb1/":
//     0   4   magic "YKSM"
//     4   1   version 1
//     5   3   0
//     8   4   data length L (at most kMappingPackMax)
//     12  4   CRC-32 of the data
//     16  32  description, ASCII, zero-padded
//     48  L   scan parameters, sent unchanged to every card of the chosen port; never empty
//   The file ends with the data.
//
// Receiving-card recovery pack, any file in "/data/rcvrecovery":
//     0   4   magic "RCVR"
//     4   1   version 1
//     5   1   screens S
//     6   2   0
//     8   ... S screens, each:
//               1  nets N
//               N nets, each:
//                  1  LED output port, 0..15
//                  1  cards C on that port's chain that the pack describes
//                  2  parameter block size P (at most kRecoveryBlockMax; not 0 when C > 0)
//                  C x P  parameter block of card 0 .. C-1, in chain order
//     end-4  4   CRC-32 of everything before it
//   Screens are numbered from 0 across the files of the directory taken in name order.
//   A check lists a card as "screen/port/card/count", each +1 except the count, two
//   digits at least: "01/03/05/08" is screen 0, port 2, card 4 of a net of 8 cards.
//
// USB-stick upgrade package: suffix "KOR" holds exactly one image, "KORZK" (combined)
// one or more images back to back. Each image:
//     0   4   magic "KORU"
//     4   1   version 1
//     5   1   kind: 1 application, 2 FPGA bitstream, 3 MCU firmware, 4 scaler OSD fonts
//     6   1   target FPGA (kinds 2 and 3): 0 or 1
//     7   1   0
//     8   4   controller type, "Z73N" for this controller
//     12  4   image length L (at most kUpgradeImageMax)
//     16  4   CRC-32 of the image
//     20  12  0
//     32  L   image
//   An application image becomes "/data/app/korZ73N"; bitstream and MCU images go to the
//   target FPGA's configuration flash; font images go to the scaler's font writer.
//   Every image is checked for its kind before anything of the package is written: the
//   application is a 32-bit little-endian ARM ELF executable whose program headers lie inside
//   it; the other kinds lie within the sizes of kUpgradeSizes. A package with one bad image
//   is refused whole.

constexpr int kMappingPackHead = 48;
constexpr int kMappingPackMax = 1 << 20;
constexpr int kRecoveryBlockMax = 16384;
constexpr int kUpgradeHead = 32;
constexpr int kUpgradeImageMax = 64 << 20;

// Plausible image sizes per kind (bytes, inclusive), indexed by UpgradeKind.
struct UpgradeSizeRange {
    int min;
    int max;
};
constexpr UpgradeSizeRange kUpgradeSizes[5] = {
    {0, 0},
    {52 + 32, kUpgradeImageMax},  // application: an ELF head and one program header at least
    {1024, 32 << 20},             // FPGA bitstream
    {256, 1 << 20},               // MCU firmware
    {64, 16 << 20},               // scaler OSD fonts
};

struct MappingPack {
    QString description;
    QByteArray data;
};

struct RecoveryNet {
    uint8_t port = 0;
    std::vector<QByteArray> cards;   // one parameter block per card, all the same size
};
struct RecoveryScreen {
    std::vector<RecoveryNet> nets;
};

enum UpgradeKind : uint8_t {
    UpgradeApplication = 1,
    UpgradeFpgaBitstream = 2,
    UpgradeMcuFirmware = 3,
    UpgradeScalerFonts = 4,
};
struct UpgradeImage {
    uint8_t kind = UpgradeApplication;
    uint8_t fpga = 0;
    QByteArray image;
};

// Readers return true when the bytes are a whole, checked file, else false with `error` set.
QByteArray encode_mapping_pack(const MappingPack &pack);
bool decode_mapping_pack(const QByteArray &file, MappingPack *pack, QString *error = nullptr);

QByteArray encode_recovery_pack(const std::vector<RecoveryScreen> &screens);
bool decode_recovery_pack(const QByteArray &file, std::vector<RecoveryScreen> *screens, QString *error = nullptr);

QByteArray encode_upgrade_image(const UpgradeImage &image, const char *controller = "Z73N");
// Decodes every image of the package and checks each for its kind (check_upgrade_image).
bool decode_upgrade_package(const QByteArray &file, bool combined, std::vector<UpgradeImage> *images,
                            QString *error = nullptr);
// True when the image is fit for its kind, else false with `error` set.
bool check_upgrade_image(const UpgradeImage &image, QString *error = nullptr);
