#include "operations/settings/FixtureProcedure.h"

#include "link/Notation.h"
#include "link/OperatorDialogs.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/settings/Maintenance.h"
#include "operations/writing/WriteOperation.h"
#include "protocol/ReadReply.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"

#include <cmath>
#include <cstdlib>
#include <functional>

namespace msrw {
namespace {

constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 1500;

FixtureRun& Run(Session& s) {
    return s.operationState<FixtureRun>();
}

std::string Hex(int bias) {
    return HexByte(static_cast<unsigned>(bias));
}

std::array<int, 3> ExpectedZeros(const Session& s) {
    std::array<int, 3> zeros{};
    for (int track = 1; track <= 3; ++track)
        zeros[std::size_t(track - 1)] = s.record[EntryBpi(track)] == kDensity75
                                            ? s.record[kEntryLeadz75]
                                            : s.record[kEntryLeadz210];
    return zeros;
}

void Prompt(Session& s, const std::string& text) {
    s.view.prompt.label = text;
    ShowPrompt(s);
}

// The fixture is told to measure the next card.
void ArmFixture(Session& s, const std::string& text) {
    s.link().SendCommand(cmd::ReadDecoded());
    Prompt(s, text);
}

void WritePattern(Session& s, int state, const std::string& text) {
    s.g.OpState = state;
    s.link().SendCommand(s.g.WriteCommand);
    Prompt(s, text);
}

// Ends the procedure as "End" would, after telling the operator why.
void Finish(Session& s, const std::string& text, MessageIcon icon) {
    s.dialogs.showMessage(text, icon, kFixturePromptCaption);
    cmdCancel_Click(s);
}

void MeasureOnFixture(Session& s, FixtureRun& run, const std::string& text) {
    s.link().ClosePort();
    run.fixtureUsed = true;
    run.cardsMeasured = 0;
    run.readings = {};
    if (!s.portManager.OpenFixture()) {
        Finish(s,
               "Could not find the Lead Zero Bias Fixture on ports 1-10. Please connect it "
               "and try again.",
               MessageIcon::Warning);
        return;
    }
    s.g.OpState = kOpFixtureRead;
    ArmFixture(s, text);
}

// A pattern card written on the reader/writer: the result line, then `next`,
// or the same card again after a failure.
void PatternWritten(Session& s, bool ok, const std::function<void()>& next) {
    HidePrompt(s);
    s.view.message = WriteResultLine(s.g.OpCount, ok);
    if (!s.Wait(ok ? kOkPauseMs : kErrorPauseMs))
        return;
    if (!ok) {
        WritePattern(s, s.g.OpState, s.view.prompt.label);
        return;
    }
    ++s.g.OpCount;
    next();
}

void SetNewBias(Session& s, FixtureRun& run, int bias) {
    s.link().ClosePort();
    if (!s.portManager.ReOpenPort()) {
        cmdCancel_Click(s);
        return;
    }
    const auto command = cmd::SetLeadZeroBias(bias);
    if (!command || !reply::IsStatusOk(s.link().Query(*command))) {
        Finish(s, "Set Lead Zero Bias value failed.", MessageIcon::Warning);
        return;
    }
    run.bias = bias;
    s.operationState<Maintenance>().view.txtCurLzBiaz = Hex(bias);
    s.g.OpCount = 1;
    WritePattern(s, kOpBiasPatternVerify,
                 "Lead Zero Bias set to " + Hex(bias) +
                     ". Please Swipe a card to write on RW now to verify it.");
}

void Conclude(Session& s, FixtureRun& run, const BiasVerdict& v) {
    const std::string track = std::to_string(v.track);
    const std::string off = std::to_string(std::abs(v.deviation));
    using Kind = BiasVerdict::Kind;
    if (run.verifying) {
        if (v.kind == Kind::Good)
            Finish(s, "Lead Zero Bias " + Hex(run.bias) + " is verified.",
                   MessageIcon::Information);
        else
            Finish(s,
                   "The card written with Lead Zero Bias " + Hex(run.bias) + " is still " + off +
                       " leading zeros off. Please check the Reader/Writer.",
                   MessageIcon::Warning);
        return;
    }
    switch (v.kind) {
    case Kind::Good:
        Finish(s, "Lead Zero Bias " + Hex(run.bias) + " is correct; it was not changed.",
               MessageIcon::Information);
        break;
    case Kind::Unsteady:
        Finish(s,
               "The two cards differ by more than " + std::to_string(kCardSpreadLimitBits) +
                   " leading zeros on track " + track +
                   ". Please repeat the check with other cards.",
               MessageIcon::Warning);
        break;
    case Kind::NoData:
        Finish(s, "The fixture found no data on track " + track + ". Please repeat the check.",
               MessageIcon::Warning);
        break;
    case Kind::OutOfRange:
        Finish(s,
               "The Lead Zero Bias needed (" + std::to_string(v.newBias) +
                   ") is outside 00-FF; it was not set.",
               MessageIcon::Warning);
        break;
    case Kind::Adjust:
        run.verifying = true;
        SetNewBias(s, run, v.newBias);
        break;
    }
}

} // namespace

std::vector<int> PatternTracks(cmd::TrackModel model) {
    return model == cmd::TrackModel::Tracks1To3 ? std::vector<int>{1, 2, 3}
                                                : std::vector<int>{1, 2};
}

BiasVerdict JudgeBias(const std::array<std::optional<int>, 6>& readings, int cards,
                      const std::array<int, 3>& expectedZeros, const std::vector<int>& tracks,
                      int bias) {
    using Kind = BiasVerdict::Kind;
    int sum = 0;
    int count = 0;
    for (const int track : tracks) {
        const std::size_t t = std::size_t(track - 1);
        for (int card = 0; card < cards; ++card) {
            const std::optional<int>& zeros = readings[std::size_t(card) * 3 + t];
            if (!zeros)
                return {Kind::NoData, 0, bias, track};
            sum += *zeros - expectedZeros[t];
            ++count;
        }
        if (cards >= 2 && std::abs(*readings[t] - *readings[3 + t]) > kCardSpreadLimitBits)
            return {Kind::Unsteady, 0, bias, track};
    }
    if (count == 0)
        return {Kind::NoData, 0, bias, 0};
    const int deviation = int(std::lround(double(sum) / count));
    if (std::abs(deviation) <= kBiasToleranceBits)
        return {Kind::Good, deviation, bias, 0};
    const int newBias = bias - deviation;
    if (newBias < 0 || newBias > 255)
        return {Kind::OutOfRange, deviation, newBias, 0};
    return {Kind::Adjust, deviation, newBias, 0};
}

std::optional<TrackZeros> ParseFixtureReading(std::string_view replyText) {
    reading::ReadReplyContext context;
    context.cardTypePosition = 2; // the fields are digits: nothing to undouble
    const reading::ParsedRead read = reading::ParseReadReply(replyText, context);
    if (!read.ok)
        return std::nullopt;
    TrackZeros zeros;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string& field = read.tracks[i];
        if (field.empty())
            continue;
        if (field.size() > 4 || field.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        zeros[i] = std::stoi(field);
    }
    return zeros;
}

void StartFixtureProcedure(Session& s) {
    MaintenanceView& dialog = s.operationState<Maintenance>().view;
    const auto model = cmd::TrackModelFromName(dialog.txtCurModel);
    const auto pattern = model ? cmd::LeadZeroBiasTestPattern(*model) : std::nullopt;
    if (!pattern) {
        s.dialogs.showMessage("The fixture check needs the device model \"Track 1, 2 and 3\" or "
                              "\"Track 1 and Track 2\"; please set one of them first.",
                              MessageIcon::Warning, kFixturePromptCaption);
        return;
    }
    const auto bias = cmd::ParseLeadZeroBiasInput(dialog.txtCurLzBiaz);
    if (!bias) {
        s.dialogs.showMessage("The current Lead Zero Bias is not known; please reopen this "
                              "dialog.",
                              MessageIcon::Warning, kFixturePromptCaption);
        return;
    }
    frmCfgSet::CfgDisMainBtns(s);
    PreparePrompt(s.view.prompt, kFixturePromptCaption,
                  "The RW will be required to write 2 cards. Please Swipe the 1st card to "
                  "write on RW now.",
                  kBlue, kWhite);
    s.view.prompt.buttonCaption = "Cancel";
    (void)cboCardType_Click(s, s.view.cardTypes.selected); // the outcome has been shown
    if (!s.portManager.ReOpenPort()) {
        frmCfgSet::CfgEnaMainBtns(s);
        return;
    }
    FixtureRun& run = Run(s);
    run = FixtureRun{};
    run.model = *model;
    run.bias = *bias;
    s.g.OpCount = 1;
    s.g.WriteCommand = *pattern;
    WritePattern(s, kOpBiasFirstCard, s.view.prompt.label);
}

void BiasFirstCardBranch(Session& s, std::string_view, bool ok) {
    PatternWritten(s, ok, [&s] {
        WritePattern(s, kOpBiasSecondCard, "Please Swipe the 2nd card to write on RW now.");
    });
}

void BiasSecondCardBranch(Session& s, std::string_view, bool ok) {
    PatternWritten(s, ok, [&s] {
        MeasureOnFixture(s, Run(s), "Please Swipe the 1st written card on the Fixture now.");
    });
}

void BiasVerifyWriteBranch(Session& s, std::string_view, bool ok) {
    PatternWritten(s, ok, [&s] {
        MeasureOnFixture(s, Run(s), "Please Swipe the card just written on the Fixture now.");
    });
}

void FixtureReadBranch(Session& s, std::string_view replyText, bool) {
    FixtureRun& run = Run(s);
    HidePrompt(s);
    const auto zeros = ParseFixtureReading(replyText);
    const std::string n = std::to_string(run.cardsMeasured + 1);
    s.view.message = zeros ? ColouredText{"Fixture Read(" + n + ") OK!", kBlack}
                           : ColouredText{"Fixture Read(" + n + ") Failed!", kRed};
    if (!s.Wait(zeros ? kOkPauseMs : kErrorPauseMs))
        return;
    if (!zeros) {
        ArmFixture(s, s.view.prompt.label);
        return;
    }
    for (std::size_t i = 0; i < 3; ++i)
        run.readings[std::size_t(run.cardsMeasured) * 3 + i] = (*zeros)[i];
    ++run.cardsMeasured;
    if (run.cardsMeasured < (run.verifying ? 1 : kFixtureCards)) {
        ArmFixture(s, "Please Swipe the 2nd written card on the Fixture now.");
        return;
    }
    Conclude(s, run,
             JudgeBias(run.readings, run.cardsMeasured, ExpectedZeros(s), PatternTracks(run.model),
                       run.bias));
}

void FixtureOnCancel(Session& s, FixtureRun& run) {
    const bool reopen = run.fixtureUsed;
    run = FixtureRun{};
    if (!reopen)
        return;
    // The fixture held the port: the reader is found again for what follows.
    (void)s.portManager.OpenReader(); // a reader not found has been reported
    HidePrompt(s);
}

} // namespace msrw
