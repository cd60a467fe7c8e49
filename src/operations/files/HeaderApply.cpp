#include "operations/files/HeaderApply.h"

#include "cards/CardTypeList.h"
#include "files/CardDataFile.h"
#include "session/DeviceFormat.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"

#include <algorithm>

namespace msrw {
namespace {

using cardfile::Sentinel;

constexpr int kPassBookBits = 5;

// The list entry that shows `c` ("~" for the blank).
bool SelectCharacter(ListControl& list, char c) {
    const std::string shown(1, c == ' ' ? '~' : c);
    const auto it = std::find(list.items.begin(), list.items.end(), shown);
    return it != list.items.end() && list.select(int(it - list.items.begin()));
}

bool ApplySentinel(const cardfile::Header& h, Sentinel which, int track, int bits,
                   const std::string& set, ListControl& list) {
    const auto c = cardfile::SentinelFromValue(cardfile::SentinelValue(h, which, track), set, bits);
    return c && SelectCharacter(list, *c);
}

HeaderRefusal Refusal(Sentinel which, int track) {
    return {"Please correct the Track " + std::to_string(track) +
                (which == Sentinel::Start ? " SS" : " ES") + " in USE file.",
            track};
}

void ApplyDensities(Session& s, const cardfile::Header& h) {
    if (!h.hasBpiLines())
        return;
    for (int n = 1; n <= 3; ++n)
        if (const auto position = cardfile::BpiPosition(h, n))
            s.format.bpi[std::size_t(n - 1)].select(*position);
    DeviceFormat device(s.link(), s.format, s.clock);
    // A density the reader/writer refuses shows in the write that follows.
    (void)device.SendTk1Bpi();
    (void)device.SendTk2Bpi();
    (void)device.SendTk3Bpi();
}

std::optional<HeaderRefusal> ApplyUserFormat(Session& s, const cardfile::Header& h) {
    for (int n = 1; n <= 3; ++n) {
        const std::size_t i = std::size_t(n - 1);
        if (const auto bits = cardfile::BitsPerCharacter(h, n))
            s.format.clickBpc(n, 7 - *bits);
        if (const auto parity = cardfile::ParityPosition(h, n))
            s.format.clickParity(n, *parity);
        const int bits = s.format.userFormat(n).bitsPerCharacter;
        UserTrackControls& t = s.format.user[i];
        for (Sentinel which : {Sentinel::Start, Sentinel::End}) {
            ListControl& list = which == Sentinel::Start ? t.ss : t.es;
            if (!ApplySentinel(h, which, n, bits, cardfile::SentinelSet(which, bits, n), list))
                return Refusal(which, n);
        }
    }
    return std::nullopt;
}

std::optional<HeaderRefusal> ApplyPassBookFormat(Session& s, const cardfile::Header& h) {
    for (int n = 1; n <= 3; ++n) {
        PassBookTrackControls& t = s.format.passBook[std::size_t(n - 1)];
        // The header records the entry's text ("25"), so it is found by text.
        if (const auto zeros = cardfile::SyncZeros(h, n)) {
            const auto it = std::find(t.syncZeros.items.begin(), t.syncZeros.items.end(), *zeros);
            if (it != t.syncZeros.items.end())
                t.syncZeros.select(int(it - t.syncZeros.items.begin()));
        }
        for (Sentinel which : {Sentinel::Start, Sentinel::End}) {
            ListControl& list = which == Sentinel::Start ? t.ss : t.es;
            if (!ApplySentinel(h, which, n, kPassBookBits, cardfile::PassBookSentinelSet(which),
                               list))
                return Refusal(which, n);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<HeaderRefusal> ApplyHeader(Session& s, const cardfile::Header& h) {
    const std::string& type = s.g.CardType;
    if (type == card::PASS_BOOK)
        return ApplyPassBookFormat(s, h);
    ApplyDensities(s, h);
    if (IsUserOrRaw(type)) {
        if (auto refusal = ApplyUserFormat(s, h))
            return refusal;
    }
    RestoreTrackTitles(s);
    return std::nullopt;
}

} // namespace msrw
