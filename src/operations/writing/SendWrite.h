#pragma once
// Turning the track fields into the write command of the mode and card type,
// and sending it.

namespace msrw {

class Session;

// Strips the card type's sentinels from the fields and fills the prepared
// track data (spaces back from "~"). 1 when any prepared track has data, else 0.
//
// The fields themselves are left as shown: preparing again (every write arms
// the next card with the same data) must give the same data, which would not
// hold if a field lost a sentinel-like character at each preparation. Line
// breaks of the wrapped fields are not data and are left out.
int PrepareTrackData(Session& session);

// Prepares the fields, composes the write command for the mode and card type,
// sets OpState to `kind` and sends it; WriteCommand keeps what was sent.
// Returns whether a command went out. When the data cannot be written the
// operator is told why ("Data Error: ...") and the operation is ended through
// the prompt's Cancel action (so the caller must not show the prompt: it can
// tell by the ended-operation count). "Quell Mode" loads the tracks and
// starts the write through the Tarn exchanges (TarnWrite.h); a track the
// device does not take ends the operation the same way and sets
// PromptClosed. "Pellam Mode" sends nothing and leaves OpState alone.
[[nodiscard]] bool SendWriteStr(Session& session, int kind);

} // namespace msrw
