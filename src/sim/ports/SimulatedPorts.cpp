#include "sim/ports/SimulatedPorts.h"

#include "sim/ports/SimTransport.h"

namespace msrw::sim {
namespace {

// The program starts out selecting low coercivity: the cards at hand match
// it, so that a newcomer's writes and erases succeed, and one card of the
// other coercivity shows what a mismatch does.
Deck DeckMatchingTheDefaults() {
    Deck deck = Deck::Samples();
    std::vector<NamedCard> cards = deck.cards();
    for (NamedCard& named : cards) {
        const bool odd = named.name == "Low-coercivity card";
        named.card.coercivity = odd ? Coercivity::High : Coercivity::Low;
        if (odd)
            named.name = "High-coercivity card";
    }
    return Deck(std::move(cards));
}

} // namespace

SimulatedPorts::SimulatedPorts(PortDirectory& ports, int port, int autoSwipeMs)
    : device_(std::make_shared<Device>()), fixture_(std::make_shared<Device>()),
      deck_(DeckMatchingTheDefaults()), port_(port) {
    ports.setInProcess(port, SimTransport::Factory(device_),
                       QStringLiteral("simulated reader/writer"));
    // This unit's head starts a little late, so that the fixture check has a
    // bias to correct.
    device_->settings().headLag = 0x23;
    fixture_->setBanner(kFixtureBanner);
    ports.setInProcess(port % 10 + 1, SimTransport::Factory(fixture_),
                       QStringLiteral("simulated lead-zero-bias fixture"));
    if (autoSwipeMs > 0)
        swiper_ = std::make_unique<AutoSwiper>(*device_, deck_, autoSwipeMs);
}

bool SimulatedPorts::swipe(std::size_t index) {
    if (index >= deck_.size())
        return false;
    Device& target = !device_->isArmed() && fixture_->isArmed() ? *fixture_ : *device_;
    return target.swipe(deck_[index].card);
}

} // namespace msrw::sim
