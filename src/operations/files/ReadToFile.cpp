#include "operations/files/ReadToFile.h"

#include "cards/CardTypeList.h"
#include "files/CardDataFile.h"
#include "link/NamedFile.h"
#include "operations/files/FilesCommon.h"
#include "operations/reading/ReadOperation.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

namespace msrw {
namespace {

constexpr int kOkPauseMs = 300;
constexpr int kNextCardPauseMs = 500;
constexpr int kIdlePauseMs = 100;

// Card data files hold cardholder data: only their owner reads them.
constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// What the set-up records in a new file's header: the main page for USER and
// RAW, the pass-book page for PASS BOOK.
cardfile::HeaderValues HeaderValuesOf(const FormatStore& f, cardfile::Kind kind) {
    cardfile::HeaderValues v;
    const bool passBook = kind == cardfile::Kind::PassBook;
    for (std::size_t i = 0; i < 3; ++i) {
        if (passBook) {
            const PassBookTrackControls& t = f.passBook[i];
            v.parity[i] = t.parity.selected;
            v.bpcOrSync[i] = t.syncZeros.text();
            v.startCode[i] = cardfile::SentinelCode(t.ss.text().c_str()[0], 5);
            v.endCode[i] = cardfile::SentinelCode(t.es.text().c_str()[0], 5);
            v.bpi[i] = t.bpi.text();
            continue;
        }
        const UserTrackControls& t = f.user[i];
        const int bits = f.userFormat(int(i + 1)).bitsPerCharacter;
        v.parity[i] = t.parity.selected;
        v.bpcOrSync[i] = t.bpc.text();
        v.startCode[i] = cardfile::SentinelCode(t.ss.text().c_str()[0], bits);
        v.endCode[i] = cardfile::SentinelCode(t.es.text().c_str()[0], bits);
        v.bpi[i] = f.bpi[i].text();
    }
    return v;
}

// Opens the file for appending, making it with its header when it is new.
// Empty with the reason when that fails; a new file is then not left behind.
std::string OpenForAppend(Session& s, CardFileChannel& channel, const std::string& name) {
    const bool isNew = !NamedFileExists(name);
    // Unbuffered: a record that fails leaves nothing behind in a buffer to
    // be written later.
    QString error;
    auto file = OpenNamedFile(
        name, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered, kOwnerOnly, error);
    if (!file)
        return error.toStdString();
    if (isNew) {
        if (const auto kind = cardfile::KindFor(s.g.CardType)) {
            const std::string header =
                cardfile::JoinLines(cardfile::HeaderLines(*kind, HeaderValuesOf(s.format, *kind)));
            if (file->write(header.data(), qint64(header.size())) != qint64(header.size()) ||
                !file->flush()) {
                const std::string reason = file->errorString().toStdString();
                file.reset();
                RemoveNamedFile(name);
                return reason.empty() ? "the header could not be written" : reason;
            }
        }
    }
    channel.file = std::move(file);
    return {};
}

// The read commands of a Read To File in "Ormond Mode": the type's bits per
// character first (the answer is not looked at), then the read.
void ArmOrmondRead(Session& s) {
    s.link().SendCommand(cmd::Idle());
    if (!s.Delay(kIdlePauseMs))
        return;
    s.g.OpState = kOpReadToFile;
    const bool sendsBits = s.g.CardType != card::PASS_BOOK;
    if (const auto bits = cmd::StandardBitsPerCharacter(s.g.CardType); bits && sendsBits)
        (void)s.link().Query(
            *cmd::SetBitsPerCharacter(*bits)); // the device's answer does not matter here
    if (const auto read = cmd::OrmondReadCommand(s.g.CardType, false))
        s.link().SendCommand(*read);
}

void ClearUnusedTracks(const Session& s, track::TrackTexts& tracks) {
    if (s.g.ActiveTracks == 0)
        tracks[0].clear();
    if (s.g.ActiveTracks != 2)
        tracks[2].clear();
}

// ISO and AAMVA files take only the track 3 format of their type.
bool Track3FitsTheFile(Session& s, const std::string& track3) {
    const bool iso = s.g.CardType == card::ISO;
    if (!iso && s.g.CardType != card::AAMVA)
        return true;
    const bool startsIso = !track3.empty() && track3.front() == ';';
    const bool wrong = iso ? (!track3.empty() && !startsIso) : startsIso;
    TrackFrame& frame = s.view.frame(3);
    if (wrong) {
        frame = {iso ? " Track3   210 BPI   7 BPC (AAMVA format)"
                     : " Track3   210 BPI   5 BPC (ISO format)",
                 true};
        s.dialogs.showMessage("Wrong format on Track 3. The data won't be saved!");
        return false;
    }
    frame = {iso ? " Track3   210 BPI   5 BPC " : " Track3   210 BPI   7 BPC ", false};
    return true;
}

std::string WithoutEnds(const std::string& text) {
    return text.size() <= 2 ? std::string() : text.substr(1, text.size() - 2);
}

} // namespace

SaveOutcome AppendRecord(Session& s, const track::TrackTexts& tracks) {
    if (tracks[0].empty() && tracks[1].empty() && tracks[2].empty())
        return SaveOutcome::Blank;
    CardFileChannel& channel = s.operationState<CardFileChannel>();
    const std::string record = cardfile::RecordText(tracks);
    if (!channel.active()) {
        EndRunWithMessage(s, "The card could not be saved in " + channel.name,
                          MessageIcon::Critical);
        return SaveOutcome::WriteFailed;
    }
    QFile& file = *channel.file;
    const qint64 before = file.size();
    // Written straight to the system with every card, so that a crash loses
    // at most the card in flight.
    const qint64 written = file.write(record.data(), qint64(record.size()));
    if (written == qint64(record.size()))
        return SaveOutcome::Saved;
    std::string reason = file.error() != QFileDevice::NoError
                             ? file.errorString().toStdString()
                             : "the file took " + std::to_string(written) + " of its " +
                                   std::to_string(record.size()) + " bytes";
    // A part of a record would join the next record's first line.
    if (!file.resize(before))
        reason += "; the file could not be cut back to its last whole record: " +
                  file.errorString().toStdString();
    EndRunWithMessage(s, "The card could not be saved in " + channel.name + ": " + reason,
                      MessageIcon::Critical);
    return SaveOutcome::WriteFailed;
}

std::string ReadToFileOkLine(SaveOutcome outcome, int n) {
    if (outcome == SaveOutcome::Blank)
        return "Read(" + std::to_string(n) + ") OK! No track data: nothing saved.";
    return reply::ReadOkLine(n);
}

SaveOutcome SaveTracksToFile(Session& s, track::TrackTexts& tracks) {
    ClearUnusedTracks(s, tracks);
    const bool allEmpty = tracks[0].empty() && tracks[1].empty() && tracks[2].empty();
    if (s.g.CardType == card::RAW)
        return allEmpty ? SaveOutcome::NothingRead : AppendRecord(s, tracks);
    if (s.g.CardType == card::USER && allEmpty)
        return SaveOutcome::NothingRead;
    if (!Track3FitsTheFile(s, tracks[2]))
        return SaveOutcome::Refused;
    // The sentinels are not stored: Write From File's set-up puts them back.
    track::TrackTexts stored = tracks;
    for (std::string& text : stored)
        text = WithoutEnds(text);
    return AppendRecord(s, stored);
}

void cmdToFile_Click(Session& s) {
    DisMainBtns(s.view);
    if (!ReOpenPortOrStop(s))
        return;
    if (s.quell() && s.g.CardType == card::CUSTOM) {
        StopBeforeStart(s, "Write to File is not for CUSTOM mode!", MessageIcon::Critical);
        return;
    }
    CardFileChannel& channel = s.operationState<CardFileChannel>();
    channel.close();
    const auto kind = cardfile::KindFor(s.g.CardType);
    if (kind)
        channel.filter = cardfile::DialogFilter(*kind);
    const std::optional<std::string> chosen = s.dialogs.chooseSaveFile(
        StartFolder(s, kCardFilesFolder, kCardFilesPathFile), channel.filter);
    if (!chosen || chosen->empty()) {
        StopBeforeStart(s, {});
        return;
    }
    channel.name = kind ? cardfile::WithExtension(*chosen, *kind) : *chosen;
    // The name written, extension and all, so that Write From File offers it.
    RememberChoice(s, kCardFilesPathFile, channel.name);
    if (const std::string problem = OpenForAppend(s, channel, channel.name); !problem.empty()) {
        StopBeforeStart(s, "The card data file " + channel.name + " cannot be opened: " + problem,
                        MessageIcon::Critical);
        return;
    }
    s.view.message = {};
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    s.g.OpState = kOpIdle;
    if (s.velk()) {
        s.g.OpState = kOpReadToFile;
        SendLineReadCmd(s);
    } else if (s.ormond()) {
        ArmOrmondRead(s);
    } else if (s.quell()) {
        ArmTarnRead(s, kOpQuellReadToFile);
    }
    s.g.OpCount = 1;
    PreparePrompt(s.view.prompt, "Read Card To File", "Please Swipe a Card.", kBlue, kWhite);
    ShowPrompt(s);
}

void ReadToFileBranch(Session& s, std::string_view replyText) {
    HidePrompt(s);
    CardRead card = ReadCard(s, replyText);
    SaveOutcome outcome = SaveOutcome::NothingRead;
    if (card.ok)
        outcome = SaveTracksToFile(s, card.tracks);
    if (outcome == SaveOutcome::WriteFailed)
        return;
    const bool read = outcome == SaveOutcome::Saved || outcome == SaveOutcome::Refused ||
                      outcome == SaveOutcome::Blank;
    if (read) {
        ShowCardResult(
            s, {{ReadToFileOkLine(outcome, s.g.OpCount), kBlack}, true, s.g.OpCount, card.tracks});
        if (!s.Wait(kOkPauseMs))
            return;
        const TrackFrame track3 = s.view.frame(3);
        ShowTracks(s, card.tracks);
        if (track3.red)
            s.view.frame(3) = track3; // the refusal's caption says why nothing was saved
    } else {
        ShowCardResult(s, {{"Read(" + std::to_string(s.g.OpCount) + ") Failed!", kRed},
                           false,
                           s.g.OpCount,
                           card.tracks});
    }
    ++s.g.OpCount;
    if (!s.Wait(kNextCardPauseMs))
        return;
    SendReadCmd(s, kOpReadToFile);
    if (s.g.OpState != kOpIdle)
        ShowPrompt(s);
}

} // namespace msrw
