#pragma once
// A simulated reader/writer living in this program, with its deck of cards,
// put on one of the operator's ports.

#include "link/PortDirectory.h"
#include "sim/AutoSwiper.h"
#include "sim/Deck.h"
#include "sim/Device.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace msrw::sim {

class SimulatedPorts {
public:
    // Puts a reader/writer holding the sample deck on `port`, and the
    // lead-zero-bias fixture on the port after it (port 1 after 10). With
    // `autoSwipeMs` >= 0 the next card goes through that long after each card
    // command; otherwise cards are swiped by calling swipe(). `deck` replaces
    // the cards at hand.
    SimulatedPorts(PortDirectory& ports, int port, int autoSwipeMs = kNoAutoSwipe,
                   std::optional<Deck> deck = std::nullopt);

    static constexpr int kNoAutoSwipe = -1;

    Device& device() { return *device_; }
    Device& fixture() { return *fixture_; }
    Deck& deck() { return deck_; }
    int port() const { return port_; }
    // Swipes card `index` of the deck through the reader/writer, or through
    // the fixture when only it waits for a card; false when neither does.
    bool swipe(std::size_t index);
    // How the list of cards at hand names card `index`: its deck name while
    // it holds what it was handed out with, else what it holds now, as the
    // reader/writer would read it ("T2 ;041?", "blank").
    std::string cardLabel(std::size_t index) const;

private:
    std::shared_ptr<Device> device_;
    std::shared_ptr<Device> fixture_;
    Deck deck_;
    std::vector<VirtualCard> handedOut_;
    int port_;
    std::unique_ptr<AutoSwiper> swiper_;
};

} // namespace msrw::sim
