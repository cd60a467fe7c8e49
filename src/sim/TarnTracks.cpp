#include "sim/TarnTracks.h"

#include "sim/CardOps.h"
#include "sim/TarnFraming.h"

namespace msrw::sim::tarn {

namespace {

constexpr unsigned char kCharMark = 0x80;

Bits StartCharacter(int bitsPerChar) {
    Bits bits(static_cast<std::size_t>(bitsPerChar), false);
    bits[0] = true;
    return bits;
}

std::optional<Bits> EncodeIso(std::string_view chars, int bitsPerChar) {
    TrackTexts texts;
    texts[0] = std::string(chars);
    const WritePlan plan = PlanDecodedWrite(texts, {bitsPerChar, bitsPerChar, bitsPerChar});
    if (!plan.valid)
        return std::nullopt;
    return plan.payloads[0].value_or(Bits{});
}

std::optional<Bits> EncodeCustom(std::string_view bytes, int bitsPerChar) {
    std::size_t zeros = 0;
    while (zeros < bytes.size() && bytes[zeros] == '\0')
        ++zeros;
    if (zeros == bytes.size())
        return Bits{}; // no characters: nothing to record
    Bits bits(zeros * 8, false);
    const Bits start = StartCharacter(bitsPerChar);
    bits.insert(bits.end(), start.begin(), start.end());
    for (const char byte : bytes.substr(zeros)) {
        const auto code = static_cast<unsigned char>(byte);
        const unsigned value = code & ~kCharMark;
        if ((code & kCharMark) == 0 || value >= (1u << bitsPerChar))
            return std::nullopt;
        for (int i = 0; i < bitsPerChar; ++i)
            bits.push_back(((value >> i) & 1) != 0);
    }
    if (bits.size() > kMaxPayloadBits)
        return std::nullopt;
    return bits;
}

// The data as the style gives it: stuffed, and closed by 04 in Mode 1. In
// Mode 2 no data would be no reply at all: the track is blank.
std::string DataReply(std::string_view data, const ReplyStyle& style) {
    if (style.closedBy04)
        return Stuff(data) + kEot;
    return data.empty() ? "+" : Stuff(data);
}

std::string IsoData(const Stripe& stripe, int bitsPerChar, const ReplyStyle& style) {
    const TrackRead read = ReadDecoded(stripe, bitsPerChar);
    switch (read.state) {
    case TrackRead::State::Blank:
        return "+";
    case TrackRead::State::Failed:
        return "*";
    case TrackRead::State::Data:
        break;
    }
    const std::string_view chars = read.data;
    return DataReply(style.sentinels ? chars : chars.substr(1, chars.size() - 2), style);
}

// The characters after the start character, their bits in order, most
// significant first, eight a byte; the bits of an unfinished last byte are
// the fill of the last character.
std::string CustomData(const Stripe& stripe, int bitsPerChar, const ReplyStyle& style) {
    const auto first = stripe.firstOne();
    if (stripe.damaged())
        return "*";
    if (!first)
        return "+";
    const Bits& bits = stripe.bits();
    const auto width = static_cast<std::size_t>(bitsPerChar);
    if (*first + width > bits.size())
        return "*";
    for (std::size_t i = 1; i < width; ++i)
        if (bits[*first + i])
            return "*"; // no start character where the track begins
    std::string bytes;
    unsigned byte = 0;
    int filled = 0;
    for (std::size_t at = *first + width; at + width <= bits.size(); at += width) {
        for (std::size_t i = width; i-- > 0;) {
            byte = (byte << 1) | (bits[at + i] ? 1u : 0u);
            if (++filled == 8) {
                bytes += static_cast<char>(byte);
                byte = 0;
                filled = 0;
            }
        }
    }
    return DataReply(bytes, style);
}

} // namespace

std::optional<Bits> EncodeLoad(std::string_view data, const LoadForm& form) {
    return form.custom ? EncodeCustom(data, form.bitsPerChar) : EncodeIso(data, form.bitsPerChar);
}

std::string TrackReply(const Stripe& stripe, const LoadForm& form, const ReplyStyle& style) {
    return form.custom ? CustomData(stripe, form.bitsPerChar, style)
                       : IsoData(stripe, form.bitsPerChar, style);
}

} // namespace msrw::sim::tarn
