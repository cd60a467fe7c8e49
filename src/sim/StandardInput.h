#pragma once
// Standard input taken line by line from the event loop, for the swipes
// typed at the simulator's console.

#include <QByteArray>
#include <QObject>
#include <functional>

namespace msrw::sim {

// `onLine` for each line (without its end) and `onEnd` once when the input
// closes, both on `owner`'s thread while it lives.
void WatchStandardInput(QObject& owner, std::function<void(const QByteArray&)> onLine,
                        std::function<void()> onEnd);

} // namespace msrw::sim
