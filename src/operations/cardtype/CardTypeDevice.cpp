#include "operations/cardtype/CardTypeDevice.h"

#include "cards/CardTypeList.h"
#include "link/MsrwDLL.h"
#include "link/OperatorDialogs.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/DeviceFormat.h"
#include "session/Session.h"

#include <optional>

namespace msrw {
namespace {

constexpr int kStepPauseMs = 200;
constexpr int kPassBookBpi = 210;
constexpr cmd::BitsPerCharacter kPassBookBits{8, 8, 8};

enum class PauseKind { Delay, Wait };

// How a type's bits per character go out: the pause before the command, the
// pause before its answer is judged (0: none), and whether only "Ormond Mode"
// sends it (the other modes take ISO's bits from the card).
struct BpcStep {
    int pauseBeforeMs;
    int pauseAfterMs;
    PauseKind kind;
    bool ormondOnly;
};

std::optional<BpcStep> BpcStepFor(const std::string& type) {
    if (type == card::ISO)
        return BpcStep{300, 0, PauseKind::Delay, true};
    if (type == card::AAMVA)
        return BpcStep{300, 0, PauseKind::Delay, false};
    if (type == card::USER)
        return BpcStep{200, 200, PauseKind::Delay, false};
    if (type == card::RAW)
        return BpcStep{200, 200, PauseKind::Wait, false};
    return std::nullopt;
}

// One run of settings against the device. Only the first failure is shown:
// the ones after it are nearly always the same broken line again.
class SettingsRun {
public:
    explicit SettingsRun(Session& session)
        : s_(session), link_(session.link()), format_(link_, session.format, session.clock) {}

    bool ended() const { return ended_; }
    bool failed() const { return failed_; }

    bool pause(int ms, PauseKind kind = PauseKind::Wait) {
        if (ms > 0 && !ended_)
            ended_ = !(kind == PauseKind::Wait ? s_.Wait(ms) : s_.Delay(ms));
        return !ended_;
    }

    void check(bool ok, const std::string& message = kSettingFailedMessage) {
        if (ok || failed_)
            return;
        failed_ = true;
        s_.dialogs.showMessage(message);
    }

    // Sends `bits`, pauses `pauseAfterMs`, then judges the echo.
    bool sendBits(const cmd::BitsPerCharacter& bits, int pauseAfterMs, PauseKind kind) {
        const std::string reply = link_.Query(*cmd::SetBitsPerCharacter(bits));
        if (!pause(pauseAfterMs, kind))
            return false;
        check(reply::IsBitsPerCharacterEcho(reply, bits));
        return true;
    }

    bool typeBits(const std::string& type) {
        const std::optional<BpcStep> step = BpcStepFor(type);
        if (!step)
            return true;
        if (!pause(step->pauseBeforeMs, step->kind))
            return false;
        if (step->ormondOnly && !s_.ormond())
            return true;
        return sendBits(*cmd::StandardBitsPerCharacter(type), step->pauseAfterMs, step->kind);
    }

    void leadingZeros(LeadingZerosFor which) {
        const int status =
            which == LeadingZerosFor::PassBook ? format_.SendLeadz_Pb() : format_.SendLeadz();
        check(status == kFormatOk,
              LeadingZerosProblem(s_.format, which).value_or(kSettingFailedMessage));
    }

    bool storedFormat() {
        leadingZeros(LeadingZerosFor::Format);
        if (!pause(kStepPauseMs))
            return false;
        for (int (DeviceFormat::*send)() :
             {&DeviceFormat::SendTk1Bpi, &DeviceFormat::SendTk2Bpi, &DeviceFormat::SendTk3Bpi}) {
            check((format_.*send)() == kFormatOk);
            if (!pause(kStepPauseMs))
                return false;
        }
        return true;
    }

    // A pass book is written at 210 BPI on every track, 8 bits a byte.
    bool passBookFormat() {
        leadingZeros(LeadingZerosFor::PassBook);
        for (const cmd::Track track : {cmd::Track::One, cmd::Track::Two, cmd::Track::Three}) {
            check(reply::IsStatusOk(link_.Query(*cmd::SetDensity(track, kPassBookBpi))));
            if (!pause(kStepPauseMs))
                return false;
        }
        return sendBits(kPassBookBits, kStepPauseMs, PauseKind::Wait);
    }

private:
    Session& s_;
    MsrwDLL& link_;
    DeviceFormat format_;
    bool ended_ = false;
    bool failed_ = false;
};

} // namespace

DeviceSetupResult SendCardTypeSettings(Session& session, const std::string& cardType) {
    SettingsRun run(session);
    const bool completed =
        run.typeBits(cardType) &&
        (cardType == card::PASS_BOOK ? run.passBookFormat() : run.storedFormat());
    if (!completed)
        return DeviceSetupResult::Ended;
    return run.failed() ? DeviceSetupResult::Failed : DeviceSetupResult::Done;
}

} // namespace msrw
