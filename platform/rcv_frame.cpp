#include "platform/rcv_frame.h"

std::vector<uint8_t> rcv_frame_encode(const RcvFrame &frame)
{
    std::vector<uint8_t> out;
    out.reserve(kRcvHeadSize + frame.data.size() + 1);
    rcv_put16(out, frame.card);
    out.push_back(frame.port);
    out.push_back(frame.source);
    out.push_back(0x55);
    out.push_back(0xAA);
    out.push_back(frame.command);
    out.push_back(frame.status);
    rcv_put32(out, frame.address);
    rcv_put16(out, uint16_t(frame.data.size()));
    rcv_put32(out, 0);
    out.insert(out.end(), frame.data.begin(), frame.data.end());
    uint8_t x = 0;
    for (uint8_t b : out)
        x ^= b;
    out.push_back(x);
    return out;
}

bool rcv_frame_decode(const uint8_t *bytes, int len, RcvFrame *frame)
{
    if (!bytes || len < kRcvHeadSize + 1)
        return false;
    if (bytes[4] != 0x55 || bytes[5] != 0xAA)
        return false;
    const int data_len = rcv_get16(bytes + 12);
    if (data_len > kRcvMaxData || len != kRcvHeadSize + data_len + 1)
        return false;
    uint8_t x = 0;
    for (int i = 0; i < len - 1; ++i)
        x ^= bytes[i];
    if (x != bytes[len - 1])
        return false;
    frame->card = rcv_get16(bytes);
    frame->port = bytes[2];
    frame->source = bytes[3];
    frame->command = bytes[6];
    frame->status = bytes[7];
    frame->address = rcv_get32(bytes + 8);
    frame->data.assign(bytes + kRcvHeadSize, bytes + kRcvHeadSize + data_len);
    return true;
}

uint32_t rcv_crc32(const uint8_t *data, int len, uint32_t crc)
{
    crc = ~crc;
    for (int i = 0; i < len; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
