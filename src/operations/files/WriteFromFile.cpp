#include "operations/files/WriteFromFile.h"

#include "cards/CardTypeList.h"
#include "cards/TrackAlphabet.h"
#include "files/RecordTracks.h"
#include "link/NamedFile.h"
#include "operations/files/FilesCommon.h"
#include "operations/files/HeaderApply.h"
#include "operations/files/ReadToFile.h"
#include "operations/writing/WriteOperation.h"
#include "protocol/ReplyClassification.h"
#include "session/Dispatcher.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

#include <QFile>

namespace msrw {
namespace {

constexpr int kTrackFieldLimit = 180;
constexpr const char* kRecordRefused = "This record cannot be written.\n";
// A BPC list position past "4": the alphabet check takes any character.
constexpr int kAnyBpcPosition = 4;
constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 500;
constexpr int kPassBookErrorPauseMs = 1500;
// A record line longer than this is no track (a track field holds 180).
constexpr std::size_t kMaxLineBytes = 4096;

std::string TooLong(std::int64_t line) {
    return "line " + std::to_string(line) + ": the line is longer than " +
           std::to_string(kMaxLineBytes) + " bytes, more than any track holds";
}

// Reads the header: up to 19 lines, 16 when "[DATA]" comes at index 15. A
// type without a kind reads none unless the file begins with "[SETUP]".
std::optional<std::string> ReadHeader(Session& s, QFile& file, files::LineReader& reader,
                                      WriteFromFileRun& run) {
    std::vector<std::string> lines;
    std::int64_t tooLong = 0;
    while (int(lines.size()) < cardfile::kHeaderLines) {
        const auto line = reader.next();
        if (!line)
            break;
        if (line->tooLong && tooLong == 0)
            tooLong = line->number;
        lines.push_back(cardfile::SplitFileLine(line->text).text);
        if (lines.size() == std::size_t(cardfile::kShortHeaderLines) &&
            lines.back() == cardfile::kDataLine)
            break;
    }
    if (!cardfile::KindFor(s.g.CardType) && (lines.empty() || lines[0] != cardfile::kSetupLine)) {
        run.header.reset();
        reader.restart();
        return file.seek(0) ? std::nullopt
                            : std::optional<std::string>(file.errorString().toStdString());
    }
    if (tooLong > 0)
        return TooLong(tooLong);
    const cardfile::HeaderCheck check = cardfile::CheckHeader(lines);
    if (!check.header)
        return "line " + std::to_string(check.problem.line) + ": " + check.problem.reason;
    run.header = check.header;
    return std::nullopt;
}

bool TrackInUse(int track, int activeTracks) {
    return track == 2 || (track == 1 && activeTracks != 0) || (track == 3 && activeTracks == 2);
}

struct LoadedRecord {
    bool holdsData = false;
    std::int64_t firstLine = 0;   // the record's first line
    std::int64_t tooLongLine = 0; // a line too long to be a track, when one is met
    track::TrackTexts texts;      // the tracks in use, as stored
};

// The lines of one record, up to the line that ends it, into the track boxes.
LoadedRecord LoadRecord(Session& s) {
    LoadedRecord record;
    while (true) {
        const NumberedFileLine next = NextFileLine(s);
        if (record.firstLine == 0)
            record.firstLine = next.number;
        if (next.tooLong) {
            record.tooLongLine = next.number;
            return record;
        }
        const cardfile::FileLine& line = next.line;
        if (line.track == 0)
            return record;
        record.holdsData = true;
        if (TrackInUse(line.track, s.g.ActiveTracks)) {
            record.texts[std::size_t(line.track - 1)] = line.text;
            std::string shown = line.text;
            std::replace(shown.begin(), shown.end(), ' ', '~');
            s.view.track(line.track).text = shown;
        }
    }
}

// The alphabets the card type's tracks carry, USER's as its header set them up.
// Types without one (RAW's hexadecimal digits, CDL) take any text here.
TrackAlphabetSetup AlphabetOfCardType(const Session& s) {
    TrackAlphabetSetup a;
    a.bpcPosition = {kAnyBpcPosition, kAnyBpcPosition, kAnyBpcPosition};
    if (s.g.CardType == card::PASS_BOOK)
        a.cardTypePosition = usage::CardTypePosition(usage::CardKind::PassBook);
    else if (s.g.CardType == card::ISO || s.g.CardType == card::AAMVA) {
        usage::Setup standard;
        standard.kind = s.g.CardType == card::ISO ? usage::CardKind::Iso : usage::CardKind::Aamva;
        a = usage::AlphabetSetupOf(standard);
    } else if (s.g.CardType == card::USER)
        for (std::size_t i = 0; i < 3; ++i)
            a.bpcPosition[i] = s.format.user[i].bpc.selected;
    return a;
}

void PromptWriteCard(PromptView& prompt) {
    PreparePrompt(prompt, "Write Card", "Please Swipe a Card.", kYellow, kBlack);
}

void WriteAgain(Session& s) {
    SendWriteAndPrompt(s, kOpWriteFromFile);
}

void PassBookResult(Session& s, std::string_view replyText) {
    ShowPrompt(s);
    switch (reply::ClassifyPassBookWrite(replyText)) {
    case reply::WriteStatus::Written:
        PromptWriteCard(s.view.prompt);
        ShowWriteResult(s, true);
        if (!s.Wait(kOkPauseMs))
            return;
        ++s.g.OpCount;
        WriteCardFromFile(s);
        return;
    case reply::WriteStatus::VerifyPending:
        // The same card again; it is counted when the verification is done.
        PreparePrompt(s.view.prompt, "Verify Write Card", "Please Swipe a Card again to verify!",
                      kBlue, kWhite);
        s.view.message = {"Swipe One More Time to Verify !", kBlack};
        (void)s.Wait(kOkPauseMs); // the verifying swipe is awaited, ended or not
        return;
    case reply::WriteStatus::Error:
        PromptWriteCard(s.view.prompt);
        ShowWriteResult(s, false);
        if (!s.Wait(kPassBookErrorPauseMs))
            return;
        WriteAgain(s);
        return;
    }
}

} // namespace

NumberedFileLine NextFileLine(Session& s) {
    CardFileChannel& channel = s.operationState<CardFileChannel>();
    if (!channel.active() || !channel.lines)
        return {};
    const auto line = channel.lines->next();
    if (!line)
        return {};
    return {cardfile::SplitFileLine(line->text), line->number, line->tooLong};
}

void cmdFromFile_Click(Session& s) {
    DisMainBtns(s.view);
    if (!ReOpenPortOrStop(s))
        return;
    if (s.quell() && s.g.CardType == card::CUSTOM) {
        StopBeforeStart(s, "Read From File is not for CUSTOM mode!", MessageIcon::Critical);
        return;
    }
    LockTrackFields(s.view);
    for (TrackBox& box : s.view.tracks)
        box.maxLength = kTrackFieldLimit;
    CardFileChannel& channel = s.operationState<CardFileChannel>();
    channel.close();
    if (const auto kind = cardfile::KindFor(s.g.CardType))
        channel.filter = cardfile::DialogFilter(*kind);
    const std::optional<std::string> chosen = s.dialogs.chooseOpenFile(
        StartFolder(s, kCardFilesFolder, kCardFilesPathFile), channel.filter);
    const std::string name = chosen.value_or("");
    if (name.empty() || !NamedFileExists(name)) {
        StopBeforeStart(s, name.empty() ? "" : "File Not Exist!");
        return;
    }
    RememberChoice(s, kCardFilesPathFile, name);
    QString error;
    auto file = OpenNamedFile(name, QIODevice::ReadOnly, {}, error);
    if (!file) {
        StopBeforeStart(s, "The card data file " + name + " cannot be read: " + error.toStdString(),
                        MessageIcon::Critical);
        return;
    }
    if (file->size() == 0) {
        StopBeforeStart(s, "File empty");
        return;
    }
    WriteFromFileRun& run = s.operationState<WriteFromFileRun>();
    files::LineReader lines(*file, kMaxLineBytes);
    if (const auto problem = ReadHeader(s, *file, lines, run)) {
        StopBeforeStart(s, "The card data file " + name + " cannot be used: " + *problem,
                        MessageIcon::Critical);
        return;
    }
    channel.file = std::move(file);
    channel.lines = lines; // it reads the same file, which the channel now owns
    channel.name = name;
    run.saved = SaveSetup(s.format, s.g.CardType == card::PASS_BOOK);
    run.active = true;
    s.g.OpCount = 1;
    s.view.message = {};
    WriteCardFromFile(s);
}

void WriteCardFromFile(Session& s) {
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    CardFileChannel& channel = s.operationState<CardFileChannel>();
    if (!channel.active() || channel.file->atEnd()) {
        EndRunWithMessage(s, "End of File");
        return;
    }
    const LoadedRecord record = LoadRecord(s);
    if (record.tooLongLine > 0) {
        EndRunWithMessage(s, kRecordRefused + channel.name + ", " + TooLong(record.tooLongLine),
                          MessageIcon::Critical);
        return;
    }
    if (!record.holdsData) {
        // A record without a track line ends the file (stored files rely on it).
        EndRunWithMessage(s, "End of File");
        return;
    }
    const WriteFromFileRun& run = s.operationState<WriteFromFileRun>();
    if (run.header && !s.quell()) {
        if (const auto refusal = ApplyHeader(s, *run.header)) {
            s.view.track(refusal->track).text.clear();
            EndRunWithMessage(s, refusal->message, MessageIcon::Critical);
            return;
        }
    }
    if (!CheckTrackAlphabet(record.texts, AlphabetOfCardType(s))) {
        EndRunWithMessage(s,
                          kRecordRefused + channel.name + ", line " +
                              std::to_string(record.firstLine) + ": " + usage::kAlphabetProblem,
                          MessageIcon::Critical);
        return;
    }
    PreparePrompt(s.view.prompt, "Write Card From File", "Please Swipe a Card", kYellow, kBlack);
    WriteAgain(s);
}

void WriteFromFileBranch(Session& s, std::string_view replyText, bool ok) {
    if (s.quell() && !TakeTarnStartReply(s, replyText, ok))
        return; // the swipe has begun; its result follows
    HidePrompt(s);
    if (s.g.CardType == card::PASS_BOOK) {
        PassBookResult(s, replyText);
        return;
    }
    ShowWriteResult(s, ok);
    if (!s.Wait(ok ? kOkPauseMs : kErrorPauseMs))
        return;
    if (!ok) {
        if (s.quell() && !TarnRecovery(s))
            return;
        WriteAgain(s);
        return;
    }
    ++s.g.OpCount;
    WriteCardFromFile(s);
}

void EndWriteFromFile(Session& s) {
    WriteFromFileRun& run = s.operationState<WriteFromFileRun>();
    if (!run.active)
        return;
    run.active = false;
    s.operationState<CardFileChannel>().close();
    RestoreSetup(s, run.saved);
    RestoreTrackTitles(s);
}

} // namespace msrw
