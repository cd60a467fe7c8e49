#pragma once
// What the device does for the maintenance dialog beyond plain settings: the
// low-coercivity lock, and the lead-zero-bias fixture's measurement.

#include "sim/CardOps.h"
#include "sim/TarnMemory.h"

#include <string>

namespace msrw::sim {

// The fixture's answer to a read: the read reply's layout, each track field
// the number of zero bits before the track's data as decimal digits, or
// ESC "+" for a track without data.
std::string FixtureMeasureReply(const VirtualCard& card);

} // namespace msrw::sim
