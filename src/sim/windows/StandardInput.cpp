// The simulator's server needs a POSIX system (see PtyServer), so no swipes
// are taken from standard input elsewhere.
#include "sim/StandardInput.h"

namespace msrw::sim {

void WatchStandardInput(QObject&, std::function<void(const QByteArray&)>, std::function<void()>) {}

} // namespace msrw::sim
