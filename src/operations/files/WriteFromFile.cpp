#include "operations/files/WriteFromFile.h"

#include "cards/CardTypeList.h"
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
constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 500;
constexpr int kPassBookErrorPauseMs = 1500;
// A record line longer than this is no track (a track field holds 180).
constexpr qint64 kMaxLineBytes = 4096;

std::optional<std::string> ReadLine(QFile& file) {
    if (file.atEnd())
        return std::nullopt;
    const QByteArray line = file.readLine(kMaxLineBytes);
    return std::string(line.constData(), std::size_t(line.size()));
}

// Reads the header: up to 19 lines, 16 when "[DATA]" comes at index 15. A
// type without a kind reads none unless the file begins with "[SETUP]".
std::optional<std::string> ReadHeader(Session& s, QFile& file, WriteFromFileRun& run) {
    std::vector<std::string> lines;
    while (int(lines.size()) < cardfile::kHeaderLines) {
        const auto line = ReadLine(file);
        if (!line)
            break;
        lines.push_back(cardfile::SplitFileLine(*line).text);
        if (lines.size() == std::size_t(cardfile::kShortHeaderLines) &&
            lines.back() == cardfile::kDataLine)
            break;
    }
    if (!cardfile::KindFor(s.g.CardType) && (lines.empty() || lines[0] != cardfile::kSetupLine)) {
        run.header.reset();
        return file.seek(0) ? std::nullopt
                            : std::optional<std::string>(file.errorString().toStdString());
    }
    const cardfile::HeaderCheck check = cardfile::CheckHeader(lines);
    if (!check.header)
        return "line " + std::to_string(check.problem.line) + ": " + check.problem.reason;
    run.header = check.header;
    return std::nullopt;
}

bool TrackInUse(int track, int activeTracks) {
    return track == 2 || (track == 1 && activeTracks != 0) || (track == 3 && activeTracks == 2);
}

// The lines of one record, up to the line that ends it; true when it held a
// track line.
bool LoadRecord(Session& s) {
    bool holdsData = false;
    while (true) {
        const cardfile::FileLine line = NextFileLine(s);
        if (line.track == 0)
            return holdsData;
        holdsData = true;
        if (TrackInUse(line.track, s.g.ActiveTracks)) {
            std::string shown = line.text;
            std::replace(shown.begin(), shown.end(), ' ', '~');
            s.view.track(line.track).text = shown;
        }
    }
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

cardfile::FileLine NextFileLine(Session& s) {
    CardFileChannel& channel = s.operationState<CardFileChannel>();
    if (!channel.active())
        return {};
    const auto line = ReadLine(*channel.file);
    return line ? cardfile::SplitFileLine(*line) : cardfile::FileLine{};
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
    if (const auto problem = ReadHeader(s, *file, run)) {
        StopBeforeStart(s, "The card data file " + name + " cannot be used: " + *problem,
                        MessageIcon::Critical);
        return;
    }
    channel.file = std::move(file);
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
    if (!channel.active() || channel.file->atEnd() || !LoadRecord(s)) {
        // The end of the file, or a record without a track line.
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
