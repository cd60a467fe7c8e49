#pragma once
// The cards at hand for swiping: a list of named virtual cards, taken in turn.

#include "sim/Stripe.h"

#include <QString>
#include <string>
#include <vector>

namespace msrw::sim {

struct NamedCard {
    std::string name;
    VirtualCard card;
};

// A card recorded as a writer at 210/75/210 BPI with the usual leading zeros
// would leave it: each text (sentinels added) in its track's format.
VirtualCard RecordedCard(const std::array<std::string, 3>& texts,
                         const std::array<int, 3>& bitsPerChar);

class Deck {
public:
    // A deck is never empty: without cards it holds one blank card.
    Deck() : Deck(std::vector<NamedCard>{}) {}
    explicit Deck(std::vector<NamedCard> cards);

    // Blank, ISO sample, AAMVA sample, damaged on track 2, low coercivity.
    static Deck Samples();
    // The samples as a newcomer has them at hand: of the low coercivity the
    // utility starts with, so that writes succeed, but for one
    // "High-coercivity card" (holding data) that shows what a low-coercivity
    // write onto it does.
    static Deck AtHand();
    // One blank card.
    static Deck Blank();

    std::size_t size() const { return cards_.size(); }
    NamedCard& operator[](std::size_t i) { return cards_[i]; }
    const std::vector<NamedCard>& cards() const { return cards_; }

    // The next card in turn, starting over after the last.
    NamedCard& next();
    // The card handed out last (the first one before any).
    NamedCard& current();

private:
    std::vector<NamedCard> cards_;
    std::size_t next_ = 0;
    std::size_t current_ = 0;
};

} // namespace msrw::sim
