#pragma once
// The status of a batch as an operator reads it, one line for the batch and
// one for each station. Pure.

#include "batch/BatchStore.h"

#include <string>

namespace msrw::batch {

// "batch 3 (members.txt): 120 written, 2 claimed, 1 uncertain, 877 still to write"
// then "  station host-12: 60 written, 1 claimed, 0 uncertain", a line each.
std::string StatusText(const BatchInfo& batch, const BatchStatus& status);

} // namespace msrw::batch
