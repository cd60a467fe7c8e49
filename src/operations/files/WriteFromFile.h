#pragma once
// Write From File: the records of a card data file written onto cards in
// file order, the file's header applied to the card format before each card
// and the operator's format put back at the end.

#include "files/CardDataFile.h"
#include "operations/files/SavedSetup.h"

#include <cstdint>
#include <string_view>

namespace msrw {

class Session;

struct WriteFromFileRun {
    bool active = false;
    std::optional<cardfile::Header> header; // none for a type without a header
    SavedSetup saved;
};

// NextFileLine: the next line of the open card data file; track 0 and an
// empty text at its end. `number` is its line number (0 at the end), and
// `tooLong` marks a line longer than any track (its text dropped).
struct NumberedFileLine {
    cardfile::FileLine line;
    std::int64_t number = 0;
    bool tooLong = false;
};
NumberedFileLine NextFileLine(Session& session);

void cmdFromFile_Click(Session& session);
// Loads the next record, applies the header and arms its write; at the end
// of the file it ends the operation.
void WriteCardFromFile(Session& session);
// Branch 7 of the receive dispatcher.
void WriteFromFileBranch(Session& session, std::string_view replyText, bool ok);
// The End action's part: the file closed and the set-up put back.
void EndWriteFromFile(Session& session);

} // namespace msrw
