#pragma once
// Writing in "Quell Mode": the tracks are loaded into the reader/writer one
// by one through single-byte (Tarn) exchanges, each load answered, and then
// the write is started; the swipe's result comes through the dispatcher.

#include <string>
#include <string_view>

namespace msrw {

class Session;

// The selector that sends the next data load to `track` (1..3) of an ISO or
// AAMVA card: "\41", "\42", "\43"; AAMVA's track 3 is 7-bit, "\63\31".
// Empty for another card type.
std::string TarnTrackSelector(std::string_view cardType, int track);

// LoadTarnCustomTrack: loads one CUSTOM track (`hexDigits`, the field's text
// without line breaks) with the character size and leading zero bytes of the
// Tarn set-up; a value the set-up file does not hold well takes its default.
// Returns the reply of the last exchange: "^" (or its frame) when the track
// was taken; "" when nothing could be loaded (digits that are no whole
// bytes, or an exchange whose reply did not check).
std::string LoadTarnCustomTrack(Session& session, const std::string& hexDigits, int track);

// How the message of a track load the device did not take begins.
inline constexpr const char* kLoadRefusedLead = "Failed to load Track ";

// SendWriteStr's "Quell Mode" part, after the fields are prepared: OpState :=
// `kind`; the reset, the framing from the set-up file, "\4B", the densities;
// each track with data loaded; then the write started. A load that is not
// taken tells the operator "Failed to load Track N data!", ends the
// operation through the prompt's Cancel action and sets PromptClosed.
// Returns whether the write was started.
[[nodiscard]] bool SendTarnWriteStr(Session& session, int kind);

} // namespace msrw
