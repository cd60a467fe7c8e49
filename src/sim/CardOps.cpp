#include "sim/CardOps.h"

#include <algorithm>

namespace msrw::sim {

namespace {

constexpr std::string_view kPassBookEndSentinels = "<?";

TrackRead Failed() {
    return {TrackRead::State::Failed, {}};
}

template <typename ReadTrack> CardRead ReadEachTrack(const VirtualCard& card, ReadTrack read) {
    CardRead result;
    for (int i = 0; i < 3; ++i)
        result[static_cast<std::size_t>(i)] = read(card.tracks[static_cast<std::size_t>(i)], i);
    return result;
}

TrackRead DecodeStripe(const Stripe& stripe, const CharFormat& format,
                       std::string_view endSentinels) {
    if (stripe.damaged())
        return Failed();
    const auto first = stripe.firstOne();
    if (!first)
        return {};
    DecodedTrack decoded = DecodeCharacters(stripe.bits(), *first, format, endSentinels);
    if (!decoded.ok)
        return Failed();
    return {TrackRead::State::Data, std::move(decoded.chars)};
}

void AppendField(std::string& reply, const TrackRead& track, bool rawFields) {
    switch (track.state) {
    case TrackRead::State::Blank:
        reply += {kEsc, '+'};
        break;
    case TrackRead::State::Failed:
        reply += {kEsc, '*'};
        break;
    case TrackRead::State::Data:
        if (rawFields)
            reply.push_back(static_cast<char>(track.data.size()));
        reply += track.data;
        break;
    }
}

bool FitsOnTrack(const WritePlan& plan) {
    return std::all_of(plan.payloads.begin(), plan.payloads.end(), [](const auto& payload) {
        return !payload || payload->size() <= kMaxPayloadBits;
    });
}

WritePlan Checked(WritePlan plan) {
    if (!FitsOnTrack(plan))
        plan.valid = false;
    return plan;
}

} // namespace

std::size_t DeviceSettings::leadingZerosOf(int trackIndex) const {
    const int zeros =
        density[static_cast<std::size_t>(trackIndex)] == 75 ? leadingZeros75 : leadingZeros210;
    const int shift = static_cast<unsigned char>(leadZeroBias) - headLag;
    return static_cast<std::size_t>(std::max(zeros + shift, 0));
}

TrackRead ReadDecoded(const Stripe& stripe, int bitsPerChar) {
    const auto format = DeviceCharFormat(bitsPerChar);
    if (!format)
        return stripe.isBlank() && !stripe.damaged() ? TrackRead{} : Failed();
    return DecodeStripe(stripe, *format, std::string_view(&kEndSentinel, 1));
}

TrackRead ReadRaw(const Stripe& stripe) {
    if (stripe.damaged())
        return Failed();
    if (stripe.isBlank())
        return {};
    return {TrackRead::State::Data, stripe.rawBytes()};
}

TrackRead ReadPassBook(const Stripe& stripe) {
    return DecodeStripe(stripe, CharFormat{5, Parity::Odd}, kPassBookEndSentinels);
}

CardRead ReadCardDecoded(const VirtualCard& card, const DeviceSettings& settings) {
    return ReadEachTrack(card, [&](const Stripe& s, int i) {
        return ReadDecoded(s, settings.bitsPerChar[static_cast<std::size_t>(i)]);
    });
}

CardRead ReadCardRaw(const VirtualCard& card) {
    return ReadEachTrack(card, [](const Stripe& s, int) { return ReadRaw(s); });
}

CardRead ReadCardPassBook(const VirtualCard& card) {
    return ReadEachTrack(card, [](const Stripe& s, int) { return ReadPassBook(s); });
}

bool AnyTrackFailed(const CardRead& read) {
    return std::any_of(read.begin(), read.end(),
                       [](const TrackRead& t) { return t.state == TrackRead::State::Failed; });
}

std::string EscapeReadReply(const CardRead& read, bool rawFields) {
    std::string reply;
    int failedMask = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        reply += {kEsc, static_cast<char>(i + 1)};
        AppendField(reply, read[i], rawFields);
        if (read[i].state == TrackRead::State::Failed)
            failedMask |= 1 << i;
    }
    reply += {'?', '\x1C', kEsc, static_cast<char>('0' + failedMask)};
    return reply;
}

std::string TextReadReply(const CardRead& read, bool rawAsHex) {
    if (AnyTrackFailed(read))
        return "Err\r";
    std::string reply;
    for (std::size_t i = 0; i < read.size(); ++i) {
        reply += "T" + std::to_string(i + 1) + ":\r";
        reply += rawAsHex ? HexDigitsOf(read[i].data) : read[i].data;
        reply += '\r';
    }
    return reply;
}

WritePlan PlanDecodedWrite(const TrackTexts& texts, const std::array<int, 3>& bitsPerChar) {
    WritePlan plan;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!texts[i] || texts[i]->empty())
            continue;
        const auto format = DeviceCharFormat(bitsPerChar[i]);
        if (!format || texts[i]->find(kEndSentinel) != std::string::npos) {
            plan.valid = false;
            continue;
        }
        plan.payloads[i] =
            EncodeCharacters(StartSentinel(*format) + *texts[i] + kEndSentinel, *format);
        if (!plan.payloads[i])
            plan.valid = false;
    }
    return Checked(std::move(plan));
}

WritePlan PlanRawWrite(const TrackTexts& blocks) {
    WritePlan plan;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (!blocks[i] || blocks[i]->empty())
            continue;
        std::string_view data = *blocks[i];
        if (data.back() == '\0')
            data.remove_suffix(1);
        plan.payloads[i] = BitsOfBytesLsbFirst(data);
    }
    return Checked(std::move(plan));
}

WritePlan PlanHexWrite(const TrackTexts& hexDigits) {
    WritePlan plan;
    for (std::size_t i = 0; i < hexDigits.size(); ++i) {
        if (!hexDigits[i] || hexDigits[i]->empty())
            continue;
        plan.payloads[i] = BitsOfHexDigits(*hexDigits[i]);
        if (!plan.payloads[i])
            plan.valid = false;
    }
    return Checked(std::move(plan));
}

bool CanWrite(const VirtualCard& card, const DeviceSettings& settings) {
    // A high-coercivity head records on either kind of stripe; a low one is too
    // weak for a high-coercivity stripe.
    return !card.isDamaged() &&
           (settings.coercivity == Coercivity::High || card.coercivity == Coercivity::Low);
}

bool ApplyWrite(VirtualCard& card, const WritePlan& plan, const DeviceSettings& settings) {
    if (!plan.valid || !CanWrite(card, settings))
        return false;
    for (int i = 0; i < 3; ++i) {
        const auto& payload = plan.payloads[static_cast<std::size_t>(i)];
        if (payload)
            card.tracks[static_cast<std::size_t>(i)].record(settings.leadingZerosOf(i), *payload);
    }
    return true;
}

bool EraseTracks(VirtualCard& card, int mask, const DeviceSettings& settings) {
    if (mask < 1 || mask > 7 || !CanWrite(card, settings))
        return false;
    for (std::size_t i = 0; i < card.tracks.size(); ++i)
        if ((mask >> i) & 1)
            card.tracks[i].erase();
    return true;
}

WrittenTracks TracksWrittenBy(const VirtualCard& card, const WritePlan& plan) {
    WrittenTracks written;
    for (std::size_t i = 0; i < written.size(); ++i)
        if (plan.payloads[i])
            written[i] = card.tracks[i].bits();
    return written;
}

bool Holds(const VirtualCard& card, const WrittenTracks& written) {
    for (std::size_t i = 0; i < written.size(); ++i) {
        const Stripe& actual = card.tracks[i];
        if (written[i] && (actual.damaged() || actual.bits() != *written[i]))
            return false;
    }
    return true;
}

} // namespace msrw::sim
