#include "sim/SimulatedPorts.h"

#include "sim/SimTransport.h"

namespace msrw::sim {

SimulatedPorts::SimulatedPorts(PortDirectory& ports, int port, int autoSwipeMs)
    : device_(std::make_shared<Device>()), deck_(Deck::Samples()), port_(port) {
    ports.setInProcess(port, SimTransport::Factory(device_),
                       QStringLiteral("simulated reader/writer"));
    if (autoSwipeMs > 0)
        swiper_ = std::make_unique<AutoSwiper>(*device_, deck_, autoSwipeMs);
}

bool SimulatedPorts::swipe(std::size_t index) {
    if (index >= deck_.size())
        return false;
    return device_->swipe(deck_[index].card);
}

} // namespace msrw::sim
