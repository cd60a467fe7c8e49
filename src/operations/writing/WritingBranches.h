#pragma once
// The writing subsystem's part of the receive dispatcher.

namespace msrw {

class DispatchTable;

// Write, pass-book write, erase, sequential write and the test cycle's write
// phase, and the end of a sequential run.
void RegisterWritingBranches(DispatchTable& table);

} // namespace msrw
