#include "sim/AutoSwiper.h"

namespace msrw::sim {

AutoSwiper::AutoSwiper(Device& device, Deck& deck, int delayMs, QObject* parent)
    : QObject(parent), device_(device), deck_(deck) {
    timer_.setSingleShot(true);
    timer_.setInterval(delayMs);
    connect(&timer_, &QTimer::timeout, this, &AutoSwiper::swipeNow);
    connect(&device_, &Device::armed, this, [this] {
        ++armings_;
        timer_.start();
    });
}

void AutoSwiper::swipeNow() {
    // One card for each time a card command arms the device, and none when
    // nothing waits for one.
    if (!device_.isArmed() || swipedArming_ == armings_)
        return;
    swipedArming_ = armings_;
    NamedCard& card = device_.awaitsVerification() ? deck_.current() : deck_.next();
    device_.swipe(card.card);
    emit swiped(QString::fromStdString(card.name));
}

} // namespace msrw::sim
