#pragma once
// The reader/writer while it speaks the Tarn family: single-byte commands,
// bare or framed, each answered in the form it came in; the set-up memory;
// track densities; track loads recorded on a swipe after "40"; a read armed
// by "50" and the tracks of the card read given back one request at a time.

#include "sim/CardOps.h"
#include "sim/TarnMemory.h"
#include "sim/TarnTracks.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace msrw::sim {

class TarnResponder {
public:
    enum class Action { None, ToVelk, ArmRead, ArmWrite, Disarm };

    struct Step {
        std::size_t consumed = 0; // 0: the command is not complete yet
        std::string reply;
        Action action = Action::None;
        bool framed = false; // the command came in a frame
    };

    // Takes one command from the front of `input`. When `idle`, a partly
    // received "ToVELK" or "09 09 09" is taken as the single bytes it is.
    Step step(std::string_view input, bool idle, const std::string& banner);

    // The swipe that an ArmRead or ArmWrite waited for. The write uses the
    // head of `settings` (its lead-zero bias) and the family's own memory.
    std::string swipeRead(const VirtualCard& card, bool framed);
    std::string swipeWrite(VirtualCard& card, const DeviceSettings& settings, bool framed);

    std::uint8_t memory(std::uint8_t address) const { return memory_.at(address); }
    void setMemory(std::uint8_t address, std::uint8_t value) { memory_.set(address, value); }
    bool listensAt(const LineFormat& line) const { return memory_.listensAt(line); }
    void enterFamily();
    int density(std::size_t track) const { return density_.at(track); }
    // Track replies with their sentinels ("%...?", ";...?"); without by default.
    void setTrackSentinels(bool on) { sentinels_ = on; }

    static std::string Frame(std::string_view body);

private:
    std::size_t bareLength(std::string_view input, bool idle) const;
    Step framedStep(std::string_view input, const std::string& banner);
    Step handle(std::string_view command, const std::string& banner);
    Step handleCommand(std::string_view command, const std::string& banner);
    std::string setDensity(std::string_view command);
    std::string startLoad(std::size_t track, tarn::LoadForm form);
    std::string startCustomLoad(std::string_view command);
    std::string finishLoad(std::string_view stuffed);
    std::string trackRequest(std::string_view command) const;
    std::string customTrackRequest(std::string_view command) const;
    void reset();
    tarn::ReplyStyle replyStyle() const;

    TarnMemory memory_;
    bool sentinels_ = false;
    std::array<int, 3> density_{210, 75, 210};
    struct PendingLoad {
        std::size_t track = 0;
        tarn::LoadForm form;
    };
    std::optional<PendingLoad> pending_;
    std::array<std::optional<Bits>, 3> loaded_;
    VirtualCard lastRead_;
};

} // namespace msrw::sim
