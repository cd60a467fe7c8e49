#pragma once
// Read To File: cards read one after another, each appended as a record to a
// card data file that stays open (and is flushed after every card) until
// the prompt's End.

#include "files/LineReader.h"
#include "protocol/TrackText.h"

#include <QFile>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace msrw {

class Session;

// The run's open card data file (the program's file channel 1).
struct CardFileChannel {
    std::unique_ptr<QFile> file;
    std::optional<files::LineReader> lines; // Write From File's reading of `file`
    std::string name;                       // as shown to the operator
    std::string filter;                     // the dialog filter last used; kept for CDL
    bool active() const { return file && file->isOpen(); }
    void close() {
        lines.reset();
        file.reset();
    }
};

enum class SaveOutcome {
    Saved,       // the record is in the file
    Refused,     // the card is not for this file (track 3 format); the operator was told
    NothingRead, // no track text to save, or a USER track that did not decode
    Blank,       // the card gave no track text: no record is stored for it
    WriteFailed, // the file could not take the record; the operator was told
};

// Appends one record (the tracks as given) to the open file, whole or not at
// all: a short write is cut back off the file. When the file cannot take it,
// the operator is told and the run is ended. Tracks that are all empty are no
// record (an empty record would end Write From File there).
SaveOutcome AppendRecord(Session& session, const track::TrackTexts& tracks);
// The result line of a card read to the file: "Read(n) OK!", or what was
// not saved for a blank card.
std::string ReadToFileOkLine(SaveOutcome outcome, int cardNumber);

// SaveTracksToFile: the tracks in use of a card as read (USER tracks decoded,
// RAW tracks as hexadecimal digits), appended as one record (without the
// first and last character of each track, but for RAW). `tracks` comes back
// with the tracks not in use cleared.
SaveOutcome SaveTracksToFile(Session& session, track::TrackTexts& tracks);

void cmdToFile_Click(Session& session);
// Branch 6 of the receive dispatcher.
void ReadToFileBranch(Session& session, std::string_view replyText);
// Branch 20: the same in "Quell Mode", the tracks asked for one by one
// (QuellReadToFile.cpp).
void QuellReadToFileBranch(Session& session, std::string_view replyText, bool ok);

} // namespace msrw
