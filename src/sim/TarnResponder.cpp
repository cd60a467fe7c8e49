#include "sim/TarnResponder.h"

#include "sim/TarnFraming.h"

#include <algorithm>

namespace msrw::sim {

namespace {

using tarn::kEot;
using tarn::kStx;

constexpr char kReset = '\x7F';
constexpr char kOpenMemory = '\x09';
constexpr std::string_view kToVelk = "ToVELK";
constexpr char kLoadSelector = '\x3D';    // "55 3D d": CUSTOM load of d bits
constexpr char kRequestSelector = '\x5F'; // "55 5F d": CUSTOM track request

std::size_t Need(std::string_view input, std::size_t length) {
    return input.size() >= length ? length : 0;
}

// How much of `input` a command that must repeat `whole` takes: all of it
// once complete, the first byte alone once it cannot be (or the line went
// quiet), else nothing yet.
std::size_t PrefixLength(std::string_view input, std::string_view whole, bool idle) {
    const std::size_t n = std::min(input.size(), whole.size());
    if (input.substr(0, n) != whole.substr(0, n))
        return 1;
    return n == whole.size() ? n : (idle ? 1 : 0);
}

// The length of the command `input` begins with, as if no load were pending.
std::size_t CommandLength(std::string_view input, bool idle, bool memoryOpen) {
    switch (input[0]) {
    case 'T':
        return PrefixLength(input, kToVelk, idle);
    case kOpenMemory:
        return PrefixLength(input, "\x09\x09\x09", idle);
    case '\x51':
    case '\x3B':
    case '\x55':
    case '\x56':
    case '\x57':
        return Need(input, 3);
    case '\x41':
        return memoryOpen ? Need(input, 5) : 1;
    case '\x71':
    case '\x72':
    case '\x73':
    case '\x63':
        return Need(input, 2);
    default:
        return 1;
    }
}

// "37", "36", "35": the CUSTOM character sizes; 0 for anything else.
int CustomBits(char digit) {
    return digit >= '5' && digit <= '7' ? digit - '0' : 0;
}

std::string Reply(std::string_view reply, bool framed) {
    return framed ? tarn::Frame(reply) : std::string(reply);
}

} // namespace

std::string TarnResponder::Frame(std::string_view body) {
    return tarn::Frame(body);
}

void TarnResponder::enterFamily() {
    reset();
    memory_.enterFamily();
}

TarnResponder::Step TarnResponder::step(std::string_view input, bool idle,
                                        const std::string& banner) {
    if (input.empty())
        return {};
    if (input[0] == kStx)
        return framedStep(input, banner);
    const std::size_t length = bareLength(input, idle);
    if (length == 0)
        return {};
    Step s = handle(input.substr(0, length), banner);
    s.consumed = length;
    return s;
}

// A pending load takes every byte up to its 04 but the reset, which no load
// can hold.
std::size_t TarnResponder::bareLength(std::string_view input, bool idle) const {
    if (pending_ && input[0] != kReset) {
        const std::size_t end = input.find(kEot);
        return end == std::string_view::npos ? 0 : end + 1;
    }
    return CommandLength(input, idle, memory_.isOpen());
}

TarnResponder::Step TarnResponder::framedStep(std::string_view input, const std::string& banner) {
    const tarn::FrameScan scan = tarn::ScanFrame(input);
    Step s;
    switch (scan.status) {
    case tarn::FrameScan::Status::NeedMore:
        return s;
    case tarn::FrameScan::Status::BadCheck:
    case tarn::FrameScan::Status::TooLong:
        s.reply = "*";
        break;
    case tarn::FrameScan::Status::Good: {
        const std::string_view body = scan.body;
        const bool whole = !body.empty() &&
                           (pending_ || CommandLength(body, true, memory_.isOpen()) == body.size());
        s = whole ? handle(body, banner) : Step{0, "*", Action::None, false};
        break;
    }
    }
    if (!s.reply.empty())
        s.reply = tarn::Frame(s.reply);
    s.framed = true;
    s.consumed = scan.length;
    return s;
}

TarnResponder::Step TarnResponder::handle(std::string_view command, const std::string& banner) {
    if (pending_ && command.back() == kEot)
        return Step{0, finishLoad(command.substr(0, command.size() - 1)), Action::None, false};
    if (pending_ && command[0] != kReset)
        return Step{0, "*", Action::None, false}; // a framed command amid a load
    return handleCommand(command, banner);
}

TarnResponder::Step TarnResponder::handleCommand(std::string_view command,
                                                 const std::string& banner) {
    Step s;
    s.reply = "^";
    switch (command[0]) {
    case kReset:
        reset();
        s.action = Action::Disarm;
        break;
    case '\x4B': // housekeeping around card operations
    case '\x4C':
    case '\x6B':
    case '\x4D':
    case '\x28':
        break;
    case 'T':
        if (command == kToVelk) {
            s.reply.clear();
            s.action = Action::ToVelk;
        } else {
            s.reply = "*";
        }
        break;
    case '9':
        s.reply = banner + '\r';
        break;
    case kOpenMemory:
        if (command.size() == 3)
            memory_.open();
        else
            s.reply = "*";
        break;
    case '\x51':
        s.reply = memory_.readCommand(command.substr(1));
        break;
    case '\x41':
        s.reply =
            memory_.isOpen() ? memory_.writeCommand(command.substr(1)) : startLoad(0, {false, 7});
        break;
    case '\x42':
        s.reply = startLoad(1, {false, 5});
        break;
    case '\x43':
        s.reply = startLoad(2, {false, 5});
        break;
    case '\x63':
        s.reply = command[1] == '1' ? startLoad(2, {false, 7}) : "*";
        break;
    case '\x55':
    case '\x56':
    case '\x57':
        s.reply =
            command[1] == kLoadSelector ? startCustomLoad(command) : customTrackRequest(command);
        break;
    case '\x3B':
        s.reply = setDensity(command);
        break;
    case '\x40':
        if (memory_.isOpen()) {
            memory_.close();
        } else {
            s.reply.clear();
            s.action = Action::ArmWrite;
        }
        break;
    case '\x50':
        s.reply.clear();
        s.action = Action::ArmRead;
        break;
    case '\x71':
    case '\x72':
    case '\x73':
        s.reply = trackRequest(command);
        break;
    default:
        s.reply = "*";
        break;
    }
    return s;
}

void TarnResponder::reset() {
    memory_.close();
    pending_.reset();
    loaded_ = {};
}

std::string TarnResponder::setDensity(std::string_view command) {
    const int track = command[1] - '1';
    const char density = command[2];
    if (track < 0 || track > 2 || (density != '\x48' && density != '\x4C'))
        return "*";
    density_[static_cast<std::size_t>(track)] = density == '\x48' ? 210 : 75;
    return "^";
}

std::string TarnResponder::startLoad(std::size_t track, tarn::LoadForm form) {
    pending_ = PendingLoad{track, form};
    return "^";
}

std::string TarnResponder::startCustomLoad(std::string_view command) {
    const int bits = CustomBits(command[2]);
    if (bits == 0)
        return "*";
    return startLoad(static_cast<std::size_t>(command[0] - '\x55'), {true, bits});
}

std::string TarnResponder::finishLoad(std::string_view stuffed) {
    const PendingLoad load = *pending_;
    pending_.reset();
    std::optional<Bits>& slot = loaded_[load.track];
    slot.reset();
    const auto data = tarn::Unstuff(stuffed);
    const auto payload = data ? tarn::EncodeLoad(*data, load.form) : std::nullopt;
    if (!payload)
        return "*";
    if (!payload->empty())
        slot = *payload;
    return "^";
}

// 71 31, 72 32, 73 33: tracks 1-3 in the ISO layout; 73 31: track 3 in 7 bits.
std::string TarnResponder::trackRequest(std::string_view command) const {
    const std::size_t track = static_cast<std::size_t>(command[0] - '\x71');
    const bool isoForm = command[1] == static_cast<char>('1' + track);
    const bool sevenBitTrack3 = track == 2 && command[1] == '1';
    if (!isoForm && !sevenBitTrack3)
        return "*";
    const int bits = track == 0 || sevenBitTrack3 ? 7 : 5;
    return tarn::TrackReply(lastRead_.tracks[track], {false, bits}, replyStyle());
}

std::string TarnResponder::customTrackRequest(std::string_view command) const {
    const int bits = CustomBits(command[2]);
    if (command[1] != kRequestSelector || bits == 0)
        return "*";
    const std::size_t track = static_cast<std::size_t>(command[0] - '\x55');
    return tarn::TrackReply(lastRead_.tracks[track], {true, bits}, replyStyle());
}

// The memory's protocol-and-mode byte (04): bit 0 clear is Mode 1, whose
// track data ends with 04.
tarn::ReplyStyle TarnResponder::replyStyle() const {
    constexpr std::uint8_t kProtocolAndMode = 0x04;
    return {(memory_.at(kProtocolAndMode) & 1u) == 0, sentinels_};
}

std::string TarnResponder::swipeRead(const VirtualCard& card, bool framed) {
    lastRead_ = card;
    return Reply("^", framed) + Reply("^", framed);
}

std::string TarnResponder::swipeWrite(VirtualCard& card, const DeviceSettings& settings,
                                      bool framed) {
    DeviceSettings head = settings;
    head.density = density_;
    head.leadingZeros75 = memory_.leadingZeros75();
    head.leadingZeros210 = memory_.leadingZeros210();
    head.coercivity = memory_.coercivity();
    WritePlan plan;
    plan.payloads = loaded_;
    loaded_ = {};
    const bool written = ApplyWrite(card, plan, head);
    return Reply("^", framed) + Reply(written ? "^" : "*", framed);
}

} // namespace msrw::sim
