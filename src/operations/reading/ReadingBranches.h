#pragma once
// The reading subsystem's part of the receive dispatcher.

namespace msrw {

class DispatchTable;

// Read, compare and the test cycle's read phases, and the end of a compare.
void RegisterReadingBranches(DispatchTable& table);

} // namespace msrw
