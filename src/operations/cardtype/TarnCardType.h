#pragma once
// Choosing a card type while the reader/writer speaks the single-byte (Tarn)
// family: the densities of the Tarn set-up go to the reader, the frames show
// them, and an AAMVA choice on a reader set for low coercivity reminds the
// operator which cards AAMVA needs.

namespace msrw {

class Session;

enum class TarnCardTypeResult {
    Done,
    Ended, // the run was ended during the pause; nothing was sent
};

// The Tarn family's part of cboCardType_Click for the session's card type
// (ISO, AAMVA or CUSTOM; other types send nothing). Leaves the main buttons
// as they are.
[[nodiscard]] TarnCardTypeResult SetUpTarnCardType(Session& session);

// Whether the coercivity byte read from the reader's set-up memory (two
// hexadecimal digits) is below that of high-coercivity cards; text that is
// no hexadecimal number counts as 0, so the reminder is shown.
bool TarnCoercivityIsLow(const Session& session);

} // namespace msrw
