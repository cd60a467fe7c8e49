#include "sim/Faults.h"

namespace msrw::sim {

std::vector<std::string> ShapeReply(const Faults& faults, const std::string& reply) {
    if (faults.silent || reply.empty())
        return {};
    static constexpr char kNoise[] = {'\x00', '\xFF', '\x80'};
    std::string line;
    for (int i = 0; i < faults.garbageBytes; ++i)
        line.push_back(kNoise[i % 3]);
    line += reply;
    if (!faults.fragment)
        return {line};
    std::vector<std::string> pieces;
    for (const char byte : line)
        pieces.emplace_back(1, byte);
    return pieces;
}

} // namespace msrw::sim
