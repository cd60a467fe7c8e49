#include "sim/TarnFraming.h"

namespace msrw::sim::tarn {

namespace {

constexpr char kStuffMask = '\x40';

bool NeedsStuffing(char byte) {
    return byte == kStx || byte == kEtx || byte == kEot || byte == kDle;
}

char CheckByte(std::string_view body) {
    char check = kStx ^ kEtx;
    for (const char c : body)
        check = static_cast<char>(check ^ c);
    return check;
}

} // namespace

std::string Frame(std::string_view body) {
    std::string frame(1, kStx);
    frame += body;
    frame += kEtx;
    frame += CheckByte(body);
    return frame;
}

FrameScan ScanFrame(std::string_view input) {
    FrameScan scan;
    const std::size_t etx = input.find(kEtx, 1);
    if (etx == std::string_view::npos || etx + 1 >= input.size())
        return scan;
    scan.length = etx + 2;
    scan.body = input.substr(1, etx - 1);
    if (scan.length > kMaxFrameBytes)
        scan.status = FrameScan::Status::TooLong;
    else if (CheckByte(scan.body) != input[etx + 1])
        scan.status = FrameScan::Status::BadCheck;
    else
        scan.status = FrameScan::Status::Good;
    return scan;
}

std::string Stuff(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char byte : data) {
        if (NeedsStuffing(byte)) {
            out += kDle;
            out += static_cast<char>(byte ^ kStuffMask);
        } else {
            out += byte;
        }
    }
    return out;
}

std::optional<std::string> Unstuff(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != kDle) {
            out += data[i];
            continue;
        }
        if (i + 1 >= data.size())
            return std::nullopt;
        const char byte = static_cast<char>(data[++i] ^ kStuffMask);
        if (!NeedsStuffing(byte))
            return std::nullopt;
        out += byte;
    }
    return out;
}

} // namespace msrw::sim::tarn
