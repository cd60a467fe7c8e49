#pragma once
// The dispatcher branches and End-action part of the file operations.

namespace msrw {

class DispatchTable;

void RegisterFilesBranches(DispatchTable& table);

} // namespace msrw
