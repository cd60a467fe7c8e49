#include "operations/files/DatabaseApplication.h"

#include "cards/CardTypeList.h"
#include "files/RecordTracks.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/files/DatabaseSource.h"
#include "operations/files/FilesCommon.h"
#include "operations/writing/WriteOperation.h"
#include "protocol/ReplyClassification.h"
#include "protocol/TrackText.h"
#include "session/Dispatcher.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

#include <algorithm>

namespace msrw {
namespace {

constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 500;

void ApplyUsageSetup(Session& s, const usage::Setup& u) {
    FormatStore& f = s.format;
    for (int n = 1; n <= 3; ++n) {
        const std::size_t i = std::size_t(n - 1);
        if (u.kind == usage::CardKind::PassBook) {
            PassBookTrackControls& t = f.passBook[i];
            t.syncZeros.select(u.syncZeros[i]);
            t.ss.select(u.passBookStart[i]);
            t.es.select(u.passBookEnd[i]);
            continue;
        }
        f.bpi[i].select(u.bpi[i]);
        if (u.kind != usage::CardKind::User)
            continue;
        f.clickBpc(n, u.bpc[i]);
        f.clickParity(n, u.parity[i]);
        UserTrackControls& t = f.user[i];
        for (auto [list, c] : {std::pair{&t.ss, u.startSentinel[i]}, {&t.es, u.endSentinel[i]}}) {
            const std::string shown(1, c == ' ' ? '~' : c);
            const auto it = std::find(list->items.begin(), list->items.end(), shown);
            if (it != list->items.end())
                list->select(int(it - list->items.begin()));
        }
    }
}

void EndDatabaseRun(Session& s, const std::string& text, MessageIcon icon) {
    EndRunWithMessage(s, text, icon);
}

// The usage file's card type in the mode's own list: the lists of the modes
// differ (the third entry is USER in "Ormond Mode", CDL in "Velk Mode" and
// CUSTOM in "Quell Mode"). nullopt when the mode has no such type.
std::optional<int> ListPositionOf(const Session& s, usage::CardKind kind) {
    const std::vector<std::string>& items = s.view.cardTypes.items;
    const auto it = std::find(items.begin(), items.end(), usage::CardTypeName(kind));
    if (it == items.end())
        return std::nullopt;
    return int(it - items.begin());
}

// In "Quell Mode" the start reply may carry the result (TakeTarnStartReply
// then says so): the flag decides there.
reply::WriteStatus DatabaseWriteStatus(const Session& s, std::string_view replyText, bool passBook,
                                       bool ok) {
    if (s.quell())
        return ok ? reply::WriteStatus::Written : reply::WriteStatus::Error;
    return reply::ClassifyDatabaseWrite(s.port.MsrwMode, replyText, passBook);
}

void RefuseRecord(Session& s, DatabaseRun& run, const std::string& detail) {
    EndDatabaseRun(s, WithPlace(usage::kWrongFormat, run.databaseFile, run.RecordNo, detail),
                   MessageIcon::Critical);
}

struct UsageChoice {
    usage::Setup setup;
    int position = 0; // of its card type in the mode's list
};

// The usage file's set-up, from the run's source; nullopt (the run stopped,
// the operator told) when it cannot be used.
std::optional<UsageChoice> ReadUsageSetup(Session& s, DatabaseRun& run) {
    StartProblem problem;
    const auto lines = run.source->usageLines(s, run, problem);
    if (!lines) {
        StopBeforeStart(s, problem.text, problem.icon);
        return std::nullopt;
    }
    if (lines->empty()) {
        StopBeforeStart(s, "File empty");
        return std::nullopt;
    }
    const usage::Parsed parsed = usage::ParseUsage(usage::CollectLines(*lines));
    if (!parsed.setup) {
        StopBeforeStart(s,
                        WithPlace(parsed.problem.message, run.usageFile, parsed.problem.fileLine,
                                  parsed.problem.detail),
                        MessageIcon::Critical);
        return std::nullopt;
    }
    const std::optional<int> position = ListPositionOf(s, parsed.setup->kind);
    if (!position) {
        StopBeforeStart(s,
                        WithPlace(usage::kWrongFormat, run.usageFile, 1,
                                  std::string("the card type ") +
                                      usage::CardTypeName(parsed.setup->kind) +
                                      " is not written in " + MsrwModeText(s.port.MsrwMode)),
                        MessageIcon::Critical);
        return std::nullopt;
    }
    return UsageChoice{*parsed.setup, *position};
}

} // namespace

void cmdDatabase_Click(Session& s) {
    DisMainBtns(s.view);
    if (!ReOpenPortOrStop(s))
        return;
    if (s.quell() && s.g.CardType == card::CUSTOM) {
        StopBeforeStart(s, "Database is not for CUSTOM mode!", MessageIcon::Critical);
        return;
    }
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    DatabaseRun& run = s.operationState<DatabaseRun>();
    run = {};
    const std::optional<std::string> chosen = s.dialogs.chooseOpenFile(
        StartFolder(s, kDatabaseFolder, kDatabasePathFile), "TXT(*.TXT)|*.TXT");
    if (!chosen || chosen->empty()) {
        StopBeforeStart(s, {});
        return;
    }
    RememberChoice(s, kDatabasePathFile, *chosen);
    run.usageFile = *chosen;
    run.source = MakeRecordSource(s);
    const std::optional<UsageChoice> chosenUsage = ReadUsageSetup(s, run);
    if (!chosenUsage)
        return;
    if (const std::optional<StartProblem> notOpen = run.source->open(s, run)) {
        StopBeforeStart(s, notOpen->text, notOpen->icon);
        return;
    }
    run.setup = chosenUsage->setup;
    const int position = chosenUsage->position;
    const bool passBook = run.setup.kind == usage::CardKind::PassBook;
    run.saved = SaveSetup(s.format, passBook);
    run.saved.cardTypePosition = s.view.cardTypes.selected;
    s.g.OpCount = 0;
    s.view.message = {};
    ApplyUsageSetup(s, run.setup);
    s.view.cardTypes.selected = position;
    const CardTypeOutcome outcome = cboCardType_Click(s, position);
    if (outcome != CardTypeOutcome::Done) {
        // The reader/writer did not take the card type (the operator was told).
        RestoreSetup(s, run.saved);
        StopBeforeStart(s, {});
        return;
    }
    DisMainBtns(s.view);
    LockTrackFields(s.view);
    run.active = true;
    run.firstRecord = true;
    s.g.DatabaseRun = true;
    WriteDatabaseRecord(s, run);
}

void WriteDatabaseRecord(Session& s, DatabaseRun& run) {
    const bool first = std::exchange(run.firstRecord, false);
    const RecordSource::Next record = run.source->next(s, run, first);
    switch (record.kind) {
    case RecordSource::Next::Kind::Refused:
        RefuseRecord(s, run, record.text);
        return;
    case RecordSource::Next::Kind::Failed:
        EndDatabaseRun(s, record.text, MessageIcon::Critical);
        return;
    case RecordSource::Next::Kind::End:
        cmdCancel_Click(s);
        s.dialogs.showMessage("End of record.", MessageIcon::Information);
        return;
    case RecordSource::Next::Kind::Record:
        break;
    }
    usage::RecordTracks tracks = usage::TracksOfRecord(run.setup, record.fields);
    if (!tracks.texts) {
        RefuseRecord(s, run, tracks.problem);
        return;
    }
    track::TrackTexts& texts = *tracks.texts;
    track::SpacesToTilde(texts);
    for (int n = 1; n <= 3; ++n) {
        const bool inUse =
            n == 2 || (n == 1 && s.g.ActiveTracks != 0) || (n == 3 && s.g.ActiveTracks == 2);
        s.view.track(n).text = inUse ? texts[std::size_t(n - 1)] : std::string();
    }
    run.progress =
        "record " + std::to_string(run.RecordNo) + " of " + std::to_string(run.recordCount);
    PreparePrompt(s.view.prompt, "Write Card From Database", "Please Swipe a Card", kYellow,
                  kBlack);
    SendWriteAndPrompt(s, kOpDatabaseWrite);
    run.source->awaitingCard(s, run);
}

void DatabaseBranch(Session& s, std::string_view replyText, bool ok) {
    if (s.quell() && !TakeTarnStartReply(s, replyText, ok))
        return; // the swipe has begun; its result follows
    DatabaseRun& run = s.operationState<DatabaseRun>();
    const bool passBook = s.g.CardType == card::PASS_BOOK;
    const std::string n = std::to_string(run.RecordNo);
    switch (DatabaseWriteStatus(s, replyText, passBook, ok)) {
    case reply::WriteStatus::Written: {
        const std::int64_t number = run.RecordNo;
        // Kept before it is told: a run that dies while telling resumes after
        // this record, never writing its card again.
        const bool kept = run.source->written(s, run);
        ShowCardResult(s, {{"Write Record no. " + n + " OK!", kBlack}, true, number, {}});
        if (!kept) {
            cmdCancel_Click(s);
            return;
        }
        if (!s.Wait(kOkPauseMs))
            return;
        WriteDatabaseRecord(s, run);
        return;
    }
    case reply::WriteStatus::VerifyPending:
        PreparePrompt(s.view.prompt, "Verify Write Card", "Please Swipe a Card again to verify!",
                      kYellow, kBlack);
        s.view.message = {"Swipe One More Time to Verify !", kBlack};
        ShowPrompt(s);
        (void)s.Wait(kOkPauseMs); // the verifying swipe is awaited, ended or not
        return;
    case reply::WriteStatus::Error:
        ShowCardResult(s, {{"Write Record no. " + n + " Error!!", kRed}, false, run.RecordNo, {}});
        if ((s.quell() && !TarnRecovery(s)) || !s.Wait(kErrorPauseMs))
            return;
        WriteDatabaseRecord(s, run);
        return;
    }
}

void EndDatabase(Session& s) {
    DatabaseRun& run = s.operationState<DatabaseRun>();
    if (!run.active)
        return;
    run.active = false;
    s.g.DatabaseRun = false;
    run.progress.clear();
    run.source->end(s, run);
    RestoreSetup(s, run.saved);
    if (run.saved.cardTypePosition >= 0 &&
        run.saved.cardTypePosition != s.view.cardTypes.selected) {
        s.view.cardTypes.selected = run.saved.cardTypePosition;
        // The outcome is shown to the operator by the card-type set-up itself.
        (void)cboCardType_Click(s, run.saved.cardTypePosition);
    }
}

} // namespace msrw
