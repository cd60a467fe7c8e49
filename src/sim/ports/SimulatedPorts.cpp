#include "sim/ports/SimulatedPorts.h"

#include "sim/CardOps.h"
#include "sim/ports/SimTransport.h"

namespace msrw::sim {
namespace {

// A track as the reader reads it in its current format, else as a pass book
// (which a pass-book write leaves), else unreadable.
TrackRead ReadForLabel(const Stripe& stripe, int bitsPerChar) {
    const TrackRead decoded = ReadDecoded(stripe, bitsPerChar);
    if (decoded.state != TrackRead::State::Failed)
        return decoded;
    return ReadPassBook(stripe);
}

std::string DescribeTracks(const VirtualCard& card, const DeviceSettings& settings) {
    if (card.isDamaged())
        return "damaged";
    std::string text;
    for (std::size_t i = 0; i < card.tracks.size(); ++i) {
        const TrackRead read = ReadForLabel(card.tracks[i], settings.bitsPerChar[i]);
        if (read.state == TrackRead::State::Blank)
            continue;
        text += text.empty() ? "T" : "  T";
        text += std::to_string(i + 1) + ' ';
        text += read.state == TrackRead::State::Data ? read.data : "unreadable";
    }
    return text.empty() ? "blank" : text;
}

} // namespace

SimulatedPorts::SimulatedPorts(PortDirectory& ports, int port, int autoSwipeMs,
                               std::optional<Deck> deck)
    : device_(std::make_shared<Device>()), fixture_(std::make_shared<Device>()),
      deck_(deck ? std::move(*deck) : Deck::AtHand()), port_(port) {
    for (const NamedCard& named : deck_.cards())
        handedOut_.push_back(named.card);
    ports.setInProcess(port, SimTransport::Factory(device_),
                       QStringLiteral("simulated reader/writer"));
    // This unit's head starts a little late, so that the fixture check has a
    // bias to correct.
    device_->settings().headLag = 0x23;
    fixture_->setBanner(kFixtureBanner);
    ports.setInProcess(port % 10 + 1, SimTransport::Factory(fixture_),
                       QStringLiteral("simulated lead-zero-bias fixture"));
    if (autoSwipeMs >= 0)
        swiper_ = std::make_unique<AutoSwiper>(*device_, deck_, autoSwipeMs);
}

bool SimulatedPorts::swipe(std::size_t index) {
    if (index >= deck_.size())
        return false;
    Device& target = !device_->isArmed() && fixture_->isArmed() ? *fixture_ : *device_;
    return target.swipe(deck_[index].card);
}

std::string SimulatedPorts::cardLabel(std::size_t index) const {
    const NamedCard& named = deck_.cards().at(index);
    const VirtualCard& before = handedOut_.at(index);
    if (named.card.tracks == before.tracks && named.card.coercivity == before.coercivity)
        return named.name;
    return DescribeTracks(named.card, device_->settings());
}

} // namespace msrw::sim
