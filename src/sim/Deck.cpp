#include "sim/Deck.h"

namespace msrw::sim {

namespace {

constexpr std::array<int, 3> kIsoBits{7, 5, 5};
constexpr std::array<int, 3> kAamvaBits{7, 5, 7};
constexpr std::array<int, 3> kSampleDensity{210, 75, 210};

std::size_t SampleLeadingZeros(int trackIndex) {
    return kSampleDensity[static_cast<std::size_t>(trackIndex)] == 75 ? 22 : 61;
}

} // namespace

VirtualCard RecordedCard(const std::array<std::string, 3>& texts,
                         const std::array<int, 3>& bitsPerChar) {
    VirtualCard card;
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const auto format = DeviceCharFormat(bitsPerChar[index]);
        if (texts[index].empty() || !format)
            continue;
        const auto bits =
            EncodeCharacters(StartSentinel(*format) + texts[index] + kEndSentinel, *format);
        if (bits)
            card.tracks[index].record(SampleLeadingZeros(i), *bits);
    }
    return card;
}

Deck::Deck(std::vector<NamedCard> cards) : cards_(std::move(cards)) {
    if (cards_.empty())
        cards_.push_back({"Blank card", VirtualCard{}});
}

Deck Deck::Samples() {
    const std::array<std::string, 3> iso{"B4111111111111111^SAMPLE/CARD^2812101",
                                         "4111111111111111=2812101", "0123456789"};
    VirtualCard damaged = RecordedCard(iso, kIsoBits);
    damaged.tracks[1].setDamaged(true);
    VirtualCard lowCo;
    lowCo.coercivity = Coercivity::Low;
    return Deck({
        {"Blank card", VirtualCard{}},
        {"ISO sample", RecordedCard(iso, kIsoBits)},
        {"AAMVA sample", RecordedCard({"CASPRINGFIELD^DOE$JANE$Q^742 EVERGREEN TER^",
                                       "6360231234567890=28121990010100", "!!12345  F510140BRNBLU"},
                                      kAamvaBits)},
        {"Damaged card (track 2)", damaged},
        {"Low-coercivity card", lowCo},
    });
}

Deck Deck::AtHand() {
    std::vector<NamedCard> cards = Samples().cards();
    for (NamedCard& named : cards) {
        const bool odd = named.name == "Low-coercivity card";
        if (odd) {
            // It holds data, as such cards are issued: it reads at either
            // coercivity, and only a low-coercivity write shows the mismatch.
            named.name = "High-coercivity card";
            named.card = RecordedCard(
                {"B5555555555554444^HIGH/COERCIVITY^2812101", "5555555555554444=2812101", ""},
                kIsoBits);
        }
        named.card.coercivity = odd ? Coercivity::High : Coercivity::Low;
    }
    return Deck(std::move(cards));
}

Deck Deck::Blank() {
    return Deck();
}

NamedCard& Deck::next() {
    current_ = next_;
    next_ = (next_ + 1) % cards_.size();
    return cards_[current_];
}

NamedCard& Deck::current() {
    return cards_[current_];
}

} // namespace msrw::sim
