#pragma once
// The reader/writer while it speaks the Tarn family: single-byte commands,
// bare or framed (STX command ETX check, check = XOR of STX..ETX), a small
// set-up memory, and track loads and queries around a swipe. It answers
// minimally but consistently: "^" for a taken command, "*" for a refused one.

#include "sim/CardOps.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace msrw::sim {

class TarnResponder {
public:
    enum class Action { None, ToVelk, ArmRead, ArmWrite };

    struct Step {
        std::size_t consumed = 0; // 0: the command is not complete yet
        std::string reply;
        Action action = Action::None;
        bool framed = false; // the command came in a frame
    };

    TarnResponder();

    // Takes one command from the front of `input`. When `idle`, a partly
    // received "ToVELK" is taken as the single bytes it is.
    Step step(std::string_view input, bool idle, const std::string& banner);

    // The swipe that an ArmRead or ArmWrite waited for.
    std::string swipeRead(const VirtualCard& card, bool framed);
    std::string swipeWrite(VirtualCard& card, const DeviceSettings& settings, bool framed);

    std::uint8_t memory(std::uint8_t address) const { return memory_[address]; }
    void setMemory(std::uint8_t address, std::uint8_t value) { memory_[address] = value; }

    static std::string Frame(std::string_view body);

private:
    std::size_t bareLength(std::string_view input, bool idle) const;
    Step handle(std::string_view command);
    std::string queryTrack(char selector, char form) const;
    std::string writeMemory(std::string_view command);
    std::string startLoad(std::size_t track, int bitsPerChar);
    std::string finishLoad(std::string_view data);

    std::array<std::uint8_t, 256> memory_{};
    bool memoryOpen_ = false;
    int loadingTrack_ = -1;
    std::array<int, 3> loadBits_{7, 5, 5};
    TrackTexts loaded_;
    VirtualCard lastRead_;
};

} // namespace msrw::sim
