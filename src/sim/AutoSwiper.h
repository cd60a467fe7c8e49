#pragma once
// Swipes cards by itself: a set time after a card command arms the device,
// the next card of the deck goes through (the same card again when a
// pass-book write waits for its verifying swipe).

#include "sim/Deck.h"
#include "sim/Device.h"

#include <QObject>
#include <QTimer>

namespace msrw::sim {

class AutoSwiper : public QObject {
    Q_OBJECT
public:
    AutoSwiper(Device& device, Deck& deck, int delayMs, QObject* parent = nullptr);

signals:
    void swiped(const QString& cardName);

private:
    void swipeNow();

    Device& device_;
    Deck& deck_;
    QTimer timer_;
    unsigned armings_ = 0;
    unsigned swipedArming_ = 0;
};

} // namespace msrw::sim
