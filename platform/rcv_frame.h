#pragma once
#include <cstdint>
#include <vector>

// Receiving-card frames, as the FPGA relays them to the cards of an output port and back.
//
//   head, 18 bytes (multi-byte fields little-endian)
//     0-1   card index on the port's chain, from 0; 0xFFFF = every card of the port
//     2     output port, 0..15
//     3     source: 0 the controller, 1 a receiving card (replies)
//     4-5   fixed 0x55 0xAA
//     6     command (RcvCommand)
//     7     status of a reply: 0 done, 1 error; 0 in a request
//     8-11  target address (byte offset inside the transferred block)
//     12-13 data length, at most kRcvMaxData
//     14-17 fixed 0
//   data    `length` bytes
//   check   XOR of head and data
//
// Every request gets one reply on the same port with the same command; a frame that
// reaches no card (no link, no such card) gets none, and the sender times out.
enum RcvCommand : uint8_t {
    RCV_CMD_COUNT = 0x01,          // broadcast; reply data u16: cards on the chain
    RCV_CMD_POSITION = 0x02,       // data u16 x, u16 y
    RCV_CMD_PACK_WRITE = 0x03,     // smart-mapping pack chunk at `address`
    RCV_CMD_PACK_END = 0x04,       // data u32 length, u32 CRC-32; the card takes the pack
    RCV_CMD_CURE = 0x05,           // broadcast; keep the current parameters
    RCV_CMD_MAPPING = 0x06,        // broadcast; data u32 mapping value (9 on, 0 off)
    RCV_CMD_CHECK = 0x07,          // broadcast; reply data u16: first card to recover, 0x00FF none
    RCV_CMD_RECOVER_WRITE = 0x08,  // parameter chunk at `address`
    RCV_CMD_RECOVER_END = 0x09,    // data u32 length, u32 CRC-32; the card takes the parameters
};

constexpr int kRcvHeadSize = 18;
constexpr int kRcvMaxData = 1024;
constexpr uint16_t kRcvAllCards = 0xFFFF;
constexpr uint16_t kRcvNoCard = 0x00FF;

struct RcvFrame {
    uint16_t card = 0;
    uint8_t port = 0;
    uint8_t source = 0;
    uint8_t command = 0;
    uint8_t status = 0;
    uint32_t address = 0;
    std::vector<uint8_t> data;
};

std::vector<uint8_t> rcv_frame_encode(const RcvFrame &frame);
// False when the bytes are not one whole frame with a good check byte.
bool rcv_frame_decode(const uint8_t *bytes, int len, RcvFrame *frame);

// CRC-32 (IEEE, reflected, as zip uses), shared by the cards and the pack files.
uint32_t rcv_crc32(const uint8_t *data, int len, uint32_t crc = 0);

inline void rcv_put16(std::vector<uint8_t> &v, uint16_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
inline void rcv_put32(std::vector<uint8_t> &v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}
inline uint16_t rcv_get16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t rcv_get32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
