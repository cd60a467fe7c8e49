// What the reader/writer does with each escape-family and text command.

#include "sim/Device.h"

#include <algorithm>

namespace msrw::sim {

namespace {

const std::string kOk = {kEsc, '0'};
const std::string kRefused = {kEsc, '1'};
const std::string kWrittenVerifyPending = {kEsc, '5'};
const std::string kTextOk = "OK\r";
const std::string kTextError = "Err\r";

bool IsBitsPerChar(char value) {
    return value >= 4 && value <= 8;
}

// The erase mask as the commands carry it: one decimal digit 1-7 (text
// commands may add spaces); 0 when it is anything else.
int EraseMaskOf(std::string_view digits) {
    while (!digits.empty() && digits.back() == ' ')
        digits.remove_suffix(1);
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    if (digits.size() != 1 || digits[0] < '1' || digits[0] > '7')
        return 0;
    return digits[0] - '0';
}

// Text writes name their card type: ISO and AAMVA have fixed formats, the
// others use the device's current bits per character; RAW is hex digits.
WritePlan PlanTextWrite(char type, const TrackTexts& texts, const DeviceSettings& settings) {
    switch (type) {
    case 'I':
        return PlanDecodedWrite(texts, {7, 5, 5});
    case 'A':
        return PlanDecodedWrite(texts, {7, 5, 7});
    case 'R':
        return PlanHexWrite(texts);
    default:
        return PlanDecodedWrite(texts, settings.bitsPerChar);
    }
}

} // namespace

void Device::execute(const Command& command) {
    if (isFixture() && command.kind == CommandKind::DecodedRead) {
        armFixtureMeasure();
        return;
    }
    switch (command.kind) {
    case CommandKind::Reset:
        disarm();
        // Some units acknowledge the reset, which nobody waits for.
        if (faults_.answerReset)
            answer(kOk);
        break;
    case CommandKind::BootLoader:
        disarm();
        break;
    case CommandKind::Echo:
        answer(std::string{kEsc, 'y'});
        break;
    case CommandKind::Version:
        answer(banner_ + '\r');
        break;
    case CommandKind::Probe:
        answer(std::string{kEsc, '4'});
        break;
    case CommandKind::ToTarn:
        setFamily(Family::Tarn);
        break;
    case CommandKind::MalformedWrite:
        answer(kRefused);
        break;
    case CommandKind::Ignored:
        break;
    case CommandKind::DecodedRead:
    case CommandKind::RawRead:
    case CommandKind::PassBookRead:
    case CommandKind::DecodedWrite:
    case CommandKind::RawWrite:
    case CommandKind::PassBookWrite:
    case CommandKind::Erase:
    case CommandKind::TextRead:
    case CommandKind::TextErase:
    case CommandKind::TextWrite:
        executeCardCommand(command);
        break;
    default:
        executeSetting(command);
        break;
    }
}

void Device::executeSetting(const Command& command) {
    const std::string& args = command.args;
    switch (command.kind) {
    case CommandKind::SetBitsPerChar:
        if (!std::all_of(args.begin(), args.end(), IsBitsPerChar)) {
            answer(kRefused);
            break;
        }
        for (std::size_t i = 0; i < 3; ++i)
            settings_.bitsPerChar[i] = args[i];
        answer(kOk + args);
        break;
    case CommandKind::SetDensity: {
        const int bpi = static_cast<unsigned char>(args[0]);
        if (bpi != 210 && bpi != 75) {
            answer(kRefused);
            break;
        }
        settings_.density[static_cast<std::size_t>(command.track)] = bpi;
        answer(kOk);
        break;
    }
    case CommandKind::SetLeadingZeros:
        settings_.leadingZeros210 = static_cast<unsigned char>(args[0]);
        settings_.leadingZeros75 = static_cast<unsigned char>(args[1]);
        answer(kOk);
        break;
    case CommandKind::SetHighCo:
        if (lowCoercivityOnly()) {
            answer(kRefused);
            break;
        }
        [[fallthrough]];
    case CommandKind::SetLowCo:
        settings_.coercivity =
            command.kind == CommandKind::SetHighCo ? Coercivity::High : Coercivity::Low;
        answer(kOk);
        break;
    case CommandKind::AskCoercivity:
        answer(std::string{kEsc, settings_.coercivity == Coercivity::High ? 'H' : 'L'});
        break;
    case CommandKind::SetTrackModel:
        if (std::string_view("1235").find(args[0]) != std::string_view::npos)
            settings_.trackModel = args[0];
        break;
    case CommandKind::AskTrackModel:
        answer(std::string{kEsc, settings_.trackModel});
        break;
    case CommandKind::SetLeadZeroBias:
        settings_.leadZeroBias = args[0];
        answer(kOk);
        break;
    case CommandKind::AskLeadZeroBias:
        answer(std::string{kEsc, settings_.leadZeroBias});
        break;
    default:
        break;
    }
}

void Device::executeCardCommand(const Command& command) {
    switch (command.kind) {
    case CommandKind::DecodedRead:
    case CommandKind::RawRead:
    case CommandKind::PassBookRead:
    case CommandKind::TextRead:
        armRead(command.kind);
        break;
    case CommandKind::DecodedWrite:
        armWrite(PlanDecodedWrite(command.blocks, settings_.bitsPerChar), kOk, kRefused);
        break;
    case CommandKind::RawWrite:
        armWrite(PlanRawWrite(command.blocks), kOk, kRefused);
        break;
    case CommandKind::PassBookWrite:
        armPassBookWrite(PlanRawWrite(command.blocks));
        break;
    case CommandKind::TextWrite:
        armWrite(PlanTextWrite(command.args[0], command.blocks, settings_), kTextOk, kTextError);
        break;
    case CommandKind::Erase:
        if (const int mask = EraseMaskOf(command.args); mask != 0)
            armErase(mask, kOk, kRefused);
        else
            answer(kRefused);
        break;
    case CommandKind::TextErase:
        if (const int mask = EraseMaskOf(command.args); mask != 0)
            armErase(mask, kTextOk, kTextError);
        else
            answer(kTextError);
        break;
    default:
        break;
    }
}

void Device::armRead(CommandKind kind) {
    const bool text = kind == CommandKind::TextRead || textDialect_;
    arm([this, kind, text](VirtualCard& card) {
        switch (kind) {
        case CommandKind::RawRead:
            return EscapeReadReply(ReadCardRaw(card), true);
        case CommandKind::PassBookRead:
            return EscapeReadReply(ReadCardPassBook(card), false);
        case CommandKind::TextRead:
            return TextReadReply(ReadCardRaw(card), true);
        default:
            break;
        }
        const CardRead read = ReadCardDecoded(card, settings_);
        return text ? TextReadReply(read, false) : EscapeReadReply(read, false);
    });
}

void Device::armWrite(const WritePlan& plan, std::string success, std::string failure) {
    arm([this, plan, success, failure](VirtualCard& card) {
        return ApplyWrite(card, plan, settings_) ? success : failure;
    });
}

// The first swipe writes and answers ESC "5"; the device then waits for the
// same card again and answers ESC "0" only when it holds what was written.
void Device::armPassBookWrite(const WritePlan& plan) {
    arm([this, plan](VirtualCard& card) {
        if (!ApplyWrite(card, plan, settings_))
            return kRefused;
        const WrittenTracks written = TracksWrittenBy(card, plan);
        armed_ = [written](VirtualCard& again) { return Holds(again, written) ? kOk : kRefused; };
        verifying_ = true;
        return kWrittenVerifyPending;
    });
}

void Device::armErase(int mask, std::string success, std::string failure) {
    arm([this, mask, success, failure](VirtualCard& card) {
        return EraseTracks(card, mask, settings_) ? success : failure;
    });
}

} // namespace msrw::sim
