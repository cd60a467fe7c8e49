#include "cards/PassBookCodec.h"

namespace msrw {
namespace {

constexpr std::string_view kStartSentinels = ";=";
constexpr std::string_view kEndSentinels = "<?";

bool IsOneOf(char c, std::string_view set) {
    return set.find(c) != std::string_view::npos;
}

std::string Quoted(char c) {
    return std::string("\"") + c + "\"";
}

} // namespace

std::string SyncZeroFiller(int track, std::string_view syncZeros) {
    if (syncZeros == "25")
        return std::string(track == 1 ? 7 : 8, '0');
    if (syncZeros == "60")
        return std::string(16, '0');
    return {};
}

track::EncodedTrack EncodePassBookTrack(std::string_view text, int track,
                                        const CardFormat& format) {
    if (text.empty())
        return {};
    UserTrackFormat passBook = format.passBookFormat(track);
    std::string framed(text);
    if (IsOneOf(framed.front(), kStartSentinels))
        passBook.startSentinel = framed.front();
    else
        framed.insert(framed.begin(), passBook.startSentinel);
    if (IsOneOf(framed.back(), kEndSentinels))
        passBook.endSentinel = framed.back();
    else
        framed += passBook.endSentinel;

    const std::size_t firstEnd = framed.find_first_of(kEndSentinels);
    if (firstEnd + 1 != framed.size())
        return {{},
                "the end sentinel " + Quoted(framed[firstEnd]) + " may only end the track data"};

    track::EncodedTrack once = track::EncodeUserTrack(framed, passBook);
    if (!once.ok())
        return once;
    const std::string filler = SyncZeroFiller(track, format.syncZeros(track));
    if (filler.empty())
        return once;
    return {once.hexDigits + filler + once.hexDigits, {}};
}

} // namespace msrw
