#include "cards/CardDetails.h"

#include "cards/AamvaCard.h"
#include "cards/PaymentCard.h"
#include "cards/TrackAlphabet.h"
#include "cards/TrackFields.h"

#include <algorithm>

namespace msrw::details {
namespace {

constexpr std::size_t kShownLead = 6;
constexpr std::size_t kShownTail = 4;
constexpr const char* kMaskDot = "\xE2\x80\xA2"; // "•"

Layout Recognise(const std::array<std::string_view, 3>& b) {
    if (std::all_of(b.begin(), b.end(), [](std::string_view t) { return t.empty(); }))
        return Layout::None;
    if (IsPaymentTrack1(b[0]))
        return Layout::Payment;
    if (IsAamvaTrack1(b[0]) || IsAamvaTrack2(b[1]))
        return Layout::Aamva;
    if (IsPaymentTrack2(b[1]))
        return Layout::Payment;
    return Layout::Unrecognised;
}

// Which alphabet a track's characters keep to, for a track no layout explains.
std::string CharacterSet(std::string_view text) {
    const auto all = [&](bool (*in)(int)) {
        return std::all_of(text.begin(), text.end(),
                           [in](char c) { return in(static_cast<unsigned char>(c)); });
    };
    if (all(&InFourBitAlphabet))
        return "numeric (0-9 : ; < = > ?)";
    if (all(&InSixBitAlphabet))
        return "alphanumeric (space to _)";
    return "other (beyond the alphanumeric set)";
}

void AddTrackShapes(const std::array<std::string, 3>& tracks, bool skipDecoded, CardDetails& out) {
    for (std::size_t i = skipDecoded ? 2 : 0; i < 3; ++i) {
        const std::string& text = tracks[i];
        const int n = int(i) + 1;
        Field field{n, "contents", "Contents", "", FieldState::Empty};
        if (!text.empty()) {
            field.value = std::to_string(text.size()) + " characters, " + CharacterSet(text);
            field.state = FieldState::Present;
        }
        out.fields.push_back(std::move(field));
    }
}

} // namespace

CardDetails DecodeCardDetails(const std::array<std::string, 3>& tracks,
                              const DecodeOptions& options) {
    const std::array<std::string_view, 3> bodies{TrackBody(tracks[0]), TrackBody(tracks[1]),
                                                 TrackBody(tracks[2])};
    CardDetails out;
    out.layout = Recognise(bodies);
    switch (out.layout) {
    case Layout::Payment:
        DecodePayment(bodies, options, out);
        if (!tracks[2].empty())
            AddTrackShapes(tracks, true, out); // track 3 has no layout of its own here
        break;
    case Layout::Aamva:
        DecodeAamva(bodies, options.today, out);
        break;
    case Layout::Unrecognised:
        AddTrackShapes(tracks, false, out);
        break;
    case Layout::None:
        break;
    }
    return out;
}

const char* LayoutName(Layout layout) {
    switch (layout) {
    case Layout::Payment:
        return "Payment card (ISO/IEC 7813)";
    case Layout::Aamva:
        return "Driver licence or ID card (AAMVA)";
    case Layout::Unrecognised:
        return "not a recognised layout";
    case Layout::None:
        break;
    }
    return "no tracks";
}

const char* LayoutKey(Layout layout) {
    switch (layout) {
    case Layout::Payment:
        return "payment";
    case Layout::Aamva:
        return "aamva";
    case Layout::Unrecognised:
        return "unrecognised";
    case Layout::None:
        break;
    }
    return "none";
}

const char* FieldStateName(FieldState state) {
    switch (state) {
    case FieldState::Empty:
        return "empty";
    case FieldState::CutShort:
        return "cut short";
    case FieldState::Missing:
        return "missing";
    case FieldState::Present:
        break;
    }
    return "present";
}

std::string ShownValue(const Field& field) {
    switch (field.state) {
    case FieldState::Empty:
        return "(empty)";
    case FieldState::CutShort:
        return field.value.empty() ? "(cut short)" : field.value + " (cut short)";
    case FieldState::Missing:
        return "(not on the card)";
    case FieldState::Present:
        break;
    }
    return field.value;
}

std::string DetailsText(const CardDetails& details, const std::string& indent) {
    std::string text = indent + LayoutName(details.layout) + "\n";
    int section = 0;
    for (const Field& field : details.fields) {
        if (field.track != section) {
            section = field.track;
            text += indent + "  Track " + std::to_string(section) + ":\n";
        }
        text += indent + (section ? "    " : "  ") + field.label + ": " + ShownValue(field) + "\n";
    }
    for (const Check& check : details.checks)
        text += indent + "  " + (check.passed ? "PASS " : "FAIL ") + check.label + ": " +
                check.sentence + "\n";
    return text;
}

std::string MaskedNumber(std::string_view digits) {
    const std::size_t n = digits.size();
    // At least three hidden: a short number shows its last four at most.
    const std::size_t lead = n >= kShownLead + kShownTail + 3 ? kShownLead : 0;
    const std::size_t tail = n >= kShownTail + 3 ? kShownTail : 0;
    std::string out = Utf8(digits.substr(0, lead));
    for (std::size_t i = lead; i < n - tail; ++i)
        out += kMaskDot;
    out += Utf8(digits.substr(n - tail));
    return out;
}

} // namespace msrw::details
