#include "operations/files/DatabaseApplication.h"

#include "cards/CardTypeList.h"
#include "cards/TrackAlphabet.h"
#include "files/HistoryFile.h"
#include "operations/cardtype/CardTypeSetup.h"
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

#include <QFile>
#include <algorithm>

namespace msrw {
namespace {

constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 500;
// A usage file is a page of text; more than this is not one.
constexpr qint64 kMaxUsageBytes = 1024 * 1024;

std::optional<std::vector<std::string>> ReadUsageLines(const QString& path, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return std::nullopt;
    }
    std::vector<std::string> lines;
    while (!file.atEnd() && file.pos() < kMaxUsageBytes) {
        QByteArray line = file.readLine(kMaxUsageBytes);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines.emplace_back(line.constData(), std::size_t(line.size()));
    }
    return lines;
}

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

TrackAlphabetSetup AlphabetSetupOf(const usage::Setup& u) {
    TrackAlphabetSetup a;
    a.cardTypePosition = usage::CardTypePosition(u.kind);
    // ISO and AAMVA tracks are 7, 5 and 5 or 7 bits (positions 0 and 2).
    const bool aamva = u.kind == usage::CardKind::Aamva;
    a.bpcPosition =
        u.kind == usage::CardKind::User ? u.bpc : std::array<int, 3>{0, 2, aamva ? 0 : 2};
    return a;
}

[[nodiscard]] bool WriteHistory(Session& s, DatabaseRun& run, std::int64_t number) {
    if (run.historyHolds == number)
        return true;
    QString error;
    if (!history::WriteWholeFile(ChosenPath(run.historyFile), history::RecordNumberText(number),
                                 error)) {
        s.dialogs.showMessage("The resume point cannot be kept in " + run.historyFile + ": " +
                                  error.toStdString(),
                              MessageIcon::Critical);
        return false;
    }
    run.historyHolds = number;
    return true;
}

// The record to begin with: the history's, when the operator resumes. nullopt
// (the operator told) when the history file cannot be used.
std::optional<std::int64_t> ResumePoint(Session& s, DatabaseRun& run) {
    const QString path = ChosenPath(run.historyFile);
    if (!QFile::exists(path)) {
        if (!WriteHistory(s, run, 1))
            return std::nullopt;
        return 1;
    }
    QString error;
    const auto text = history::ReadSmallFile(path, error);
    const auto number = text ? history::ParseRecordNumber(*text) : std::nullopt;
    if (!number) {
        s.dialogs.showMessage(WithPlace("The resume point cannot be read.", run.historyFile, 1,
                                        text ? "\"" + text->substr(0, 40) +
                                                   "\" is not a record number; correct "
                                                   "or delete the file to start from "
                                                   "record no. 1."
                                             : error.toStdString()),
                              MessageIcon::Critical);
        return std::nullopt;
    }
    run.historyHolds = *number;
    if (*number == 1)
        return 1;
    const std::string question = "Last record no. is:     " + std::to_string(*number) +
                                 "\n\rOK         -     Resume.\n\rCANCEL -    Restart from "
                                 "record no. 1.";
    return s.dialogs.askOkCancel(question, MessageIcon::Information) ? *number : 1;
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
    run.databaseFile = history::DatabaseFileName(*chosen);
    run.historyFile = history::HistoryFileName(*chosen);
    std::string error;
    const auto lines = ReadUsageLines(ChosenPath(*chosen), error);
    if (!lines) {
        StopBeforeStart(s, "The usage file " + *chosen + " cannot be read: " + error,
                        MessageIcon::Critical);
        return;
    }
    if (lines->empty()) {
        StopBeforeStart(s, "File empty");
        return;
    }
    const usage::Parsed parsed = usage::ParseUsage(usage::CollectLines(*lines));
    if (!parsed.setup) {
        StopBeforeStart(s,
                        WithPlace(parsed.problem.message, *chosen, parsed.problem.fileLine,
                                  parsed.problem.detail),
                        MessageIcon::Critical);
        return;
    }
    const std::optional<int> position = ListPositionOf(s, parsed.setup->kind);
    if (!position) {
        StopBeforeStart(s,
                        WithPlace(usage::kWrongFormat, *chosen, 1,
                                  std::string("the card type ") +
                                      usage::CardTypeName(parsed.setup->kind) +
                                      " is not written in " + MsrwModeText(s.port.MsrwMode)),
                        MessageIcon::Critical);
        return;
    }
    QString csvError;
    if (!run.reader->open(ChosenPath(run.databaseFile), csvError)) {
        StopBeforeStart(s, "Database file (.csv) not found!", MessageIcon::Critical);
        return;
    }
    const std::optional<std::int64_t> first = ResumePoint(s, run);
    if (!first) {
        StopBeforeStart(s, {});
        return;
    }
    run.setup = *parsed.setup;
    run.RecordNo = *first;
    run.recordCount = run.reader->countLines();
    const bool passBook = run.setup.kind == usage::CardKind::PassBook;
    run.saved = SaveSetup(s.format, passBook);
    run.saved.cardTypePosition = s.view.cardTypes.selected;
    s.g.OpCount = 0;
    s.view.message = {};
    ApplyUsageSetup(s, run.setup);
    s.view.cardTypes.selected = *position;
    const CardTypeOutcome outcome = cboCardType_Click(s, *position);
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
    const csv::Reader::Result result = run.reader->record(run.RecordNo);
    if (result.status == csv::Reader::Status::Bad ||
        result.status == csv::Reader::Status::ReadError) {
        RefuseRecord(s, run,
                     result.record.problem.empty() ? "the line cannot be read"
                                                   : result.record.problem);
        return;
    }
    const bool ended = result.status == csv::Reader::Status::EndOfFile ||
                       result.record.fields.empty() || result.record.fields[0].empty();
    if (ended && first && run.RecordNo > 1) {
        // A resume point past the records: nothing is written, nothing changed.
        EndDatabaseRun(
            s,
            WithPlace("The resume point lies past the end of the records.", run.historyFile, 1,
                      "record no. " + std::to_string(run.RecordNo) + ", but " + run.databaseFile +
                          " has " + std::to_string(run.recordCount) + " lines"),
            MessageIcon::Critical);
        return;
    }
    if (ended) {
        run.RecordNo = 1;
        cmdCancel_Click(s);
        s.dialogs.showMessage("End of record.", MessageIcon::Information);
        return;
    }
    track::TrackTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        int missing = 0;
        const auto text =
            usage::FillTemplate(run.setup.templates[i], result.record.fields, missing);
        if (!text) {
            RefuseRecord(s, run,
                         "track " + std::to_string(i + 1) + " names field " +
                             std::to_string(missing) + ", which is empty or missing");
            return;
        }
        texts[i] = *text;
    }
    if (!CheckTrackAlphabet(texts, AlphabetSetupOf(run.setup))) {
        RefuseRecord(s, run, "a track holds characters the card format cannot carry");
        return;
    }
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
}

void DatabaseBranch(Session& s, std::string_view replyText, bool ok) {
    if (s.quell() && !TakeTarnStartReply(s, replyText, ok))
        return; // the swipe has begun; its result follows
    DatabaseRun& run = s.operationState<DatabaseRun>();
    const bool passBook = s.g.CardType == card::PASS_BOOK;
    const std::string n = std::to_string(run.RecordNo);
    switch (DatabaseWriteStatus(s, replyText, passBook, ok)) {
    case reply::WriteStatus::Written:
        ShowCardResult(s, {{"Write Record no. " + n + " OK!", kBlack}, true, run.RecordNo, {}});
        ++run.RecordNo;
        // Kept at once: after a crash or a power cut the run resumes here.
        if (!WriteHistory(s, run, run.RecordNo)) {
            cmdCancel_Click(s);
            return;
        }
        if (!s.Wait(kOkPauseMs))
            return;
        WriteDatabaseRecord(s, run);
        return;
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
    run.reader->close();
    run.progress.clear();
    // Told to the operator already when it fails; the set-up goes back anyway.
    (void)WriteHistory(s, run, run.RecordNo);
    RestoreSetup(s, run.saved);
    if (run.saved.cardTypePosition >= 0 &&
        run.saved.cardTypePosition != s.view.cardTypes.selected) {
        s.view.cardTypes.selected = run.saved.cardTypePosition;
        // The outcome is shown to the operator by the card-type set-up itself.
        (void)cboCardType_Click(s, run.saved.cardTypePosition);
    }
}

} // namespace msrw
