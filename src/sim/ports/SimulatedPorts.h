#pragma once
// A simulated reader/writer living in this program, with its deck of cards,
// put on one of the operator's ports.

#include "link/PortDirectory.h"
#include "sim/AutoSwiper.h"
#include "sim/Deck.h"
#include "sim/Device.h"

#include <memory>

namespace msrw::sim {

class SimulatedPorts {
public:
    // Puts a reader/writer holding the sample deck on `port`. With
    // `autoSwipeMs` > 0 the next card goes through that long after each card
    // command; otherwise cards are swiped by calling swipe().
    SimulatedPorts(PortDirectory& ports, int port, int autoSwipeMs = 0);

    Device& device() { return *device_; }
    Deck& deck() { return deck_; }
    int port() const { return port_; }
    // Swipes card `index` of the deck; false when the device waits for no card.
    bool swipe(std::size_t index);

private:
    std::shared_ptr<Device> device_;
    Deck deck_;
    int port_;
    std::unique_ptr<AutoSwiper> swiper_;
};

} // namespace msrw::sim
