#include "sim/TarnResponder.h"

#include <algorithm>

namespace msrw::sim {

namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr char kLoadEnd = '\x04';
constexpr std::string_view kToVelk = "ToVELK";
// A frame or a track load longer than this is noise, not a command.
constexpr std::size_t kMaxTarnCommand = 300;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int HexPair(char high, char low) {
    const int h = HexDigit(high);
    const int l = HexDigit(low);
    return h < 0 || l < 0 ? -1 : h * 16 + l;
}

std::string HexText(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::size_t Need(std::string_view input, std::size_t length) {
    return input.size() >= length ? length : 0;
}

std::string Twice(std::string_view reply, bool framed) {
    const std::string one = framed ? TarnResponder::Frame(reply) : std::string(reply);
    return one + one;
}

} // namespace

TarnResponder::TarnResponder() {
    memory_.fill(0xFF);
    memory_[0x00] = 0x1A;
    memory_[0x01] = 22; // leading zeros at 75 BPI
    memory_[0x02] = 61; // leading zeros at 210 BPI
    memory_[0x03] = 0x19;
    memory_[0x04] = 0x01;
    memory_[0x1C] = 0x34; // low coercivity
}

std::string TarnResponder::Frame(std::string_view body) {
    char check = kStx ^ kEtx;
    for (const char c : body)
        check = static_cast<char>(check ^ c);
    return std::string(1, kStx) + std::string(body) + kEtx + check;
}

TarnResponder::Step TarnResponder::step(std::string_view input, bool idle,
                                        const std::string& banner) {
    if (input.empty())
        return {};
    if (input[0] == kStx) {
        const std::size_t etx = input.find(kEtx, 1);
        if (etx == std::string_view::npos || etx + 1 >= input.size()) {
            Step waiting;
            waiting.consumed = input.size() > kMaxTarnCommand ? input.size() : 0;
            return waiting;
        }
        const std::string_view body = input.substr(1, etx - 1);
        const bool checkOk = Frame(body).back() == input[etx + 1];
        Step s = checkOk && !body.empty() ? handle(body) : Step{0, "*", Action::None, false};
        if (!s.reply.empty())
            s.reply = Frame(s.reply);
        s.framed = true;
        s.consumed = etx + 2;
        return s;
    }
    const std::size_t length = bareLength(input, idle);
    if (length == 0)
        return {};
    Step s;
    if (input[0] == '9' && loadingTrack_ < 0)
        s.reply = banner + '\r';
    else
        s = handle(input.substr(0, length));
    s.consumed = length;
    return s;
}

std::size_t TarnResponder::bareLength(std::string_view input, bool idle) const {
    if (loadingTrack_ >= 0) {
        const std::size_t end = input.find(kLoadEnd);
        if (end != std::string_view::npos)
            return end + 1;
        return input.size() > kMaxTarnCommand ? input.size() : 0;
    }
    switch (input[0]) {
    case 'T': {
        const std::size_t n = std::min(input.size(), kToVelk.size());
        if (input.substr(0, n) != kToVelk.substr(0, n))
            return 1;
        return n == kToVelk.size() ? n : (idle ? 1 : 0);
    }
    case '\x09':
        for (std::size_t i = 1; i < std::min<std::size_t>(input.size(), 3); ++i)
            if (input[i] != '\x09')
                return 1;
        return input.size() >= 3 ? 3 : (idle ? 1 : 0);
    case '\x51':
    case '\x3B':
        return Need(input, 3);
    case '\x41':
        return memoryOpen_ ? Need(input, 5) : 1;
    case '\x71':
    case '\x72':
    case '\x73':
    case '\x63':
        return Need(input, 2);
    default:
        return 1;
    }
}

TarnResponder::Step TarnResponder::handle(std::string_view command) {
    Step s;
    if (loadingTrack_ >= 0) {
        s.reply = finishLoad(command.substr(0, command.find(kLoadEnd)));
        return s;
    }
    if (command == kToVelk) {
        s.action = Action::ToVelk;
        return s;
    }
    s.reply = "^";
    switch (command[0]) {
    case '\x7F': // reset
        memoryOpen_ = false;
        loaded_ = {};
        break;
    case '\x09':
        memoryOpen_ = command.size() == 3;
        break;
    case '\x51': {
        const int address = command.size() == 3 ? HexPair(command[1], command[2]) : -1;
        s.reply = address < 0 ? "*" : HexText(memory_[static_cast<std::size_t>(address)]);
        break;
    }
    case '\x41':
        s.reply = memoryOpen_ ? writeMemory(command) : startLoad(0, 7);
        break;
    case '\x42':
        s.reply = startLoad(1, 5);
        break;
    case '\x43':
        s.reply = startLoad(2, 5);
        break;
    case '\x63':
        s.reply = command.size() == 2 && command[1] == '1' ? startLoad(2, 7) : "*";
        break;
    case '\x40':
        if (memoryOpen_) {
            memoryOpen_ = false;
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
        s.reply = command.size() == 2 ? queryTrack(command[0], command[1]) : "*";
        break;
    default:
        break;
    }
    return s;
}

// Tracks of the last card read, as characters between the sentinels; "+" for
// a blank track, "*" for one that does not read in the asked form.
std::string TarnResponder::queryTrack(char selector, char form) const {
    const auto track = static_cast<std::size_t>(selector - '\x71');
    const TrackRead read = ReadDecoded(lastRead_.tracks[track], form == '1' ? 7 : 5);
    switch (read.state) {
    case TrackRead::State::Blank:
        return "+";
    case TrackRead::State::Failed:
        return "*";
    case TrackRead::State::Data:
        break;
    }
    return read.data.substr(1, read.data.size() - 2);
}

std::string TarnResponder::writeMemory(std::string_view command) {
    const int address = command.size() == 5 ? HexPair(command[1], command[2]) : -1;
    const int value = command.size() == 5 ? HexPair(command[3], command[4]) : -1;
    if (address < 0 || value < 0)
        return "*";
    memory_[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    return "^";
}

std::string TarnResponder::startLoad(std::size_t track, int bitsPerChar) {
    loadingTrack_ = static_cast<int>(track);
    loadBits_[track] = bitsPerChar;
    return "^";
}

std::string TarnResponder::finishLoad(std::string_view data) {
    loaded_[static_cast<std::size_t>(loadingTrack_)] = std::string(data);
    loadingTrack_ = -1;
    return "^";
}

std::string TarnResponder::swipeRead(const VirtualCard& card, bool framed) {
    lastRead_ = card;
    return Twice("^", framed);
}

std::string TarnResponder::swipeWrite(VirtualCard& card, const DeviceSettings& settings,
                                      bool framed) {
    const bool written = ApplyWrite(card, PlanDecodedWrite(loaded_, loadBits_), settings);
    loaded_ = {};
    const std::string start = framed ? Frame("^") : "^";
    return start + (framed ? Frame(written ? "^" : "*") : (written ? "^" : "*"));
}

} // namespace msrw::sim
