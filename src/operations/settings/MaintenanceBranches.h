#pragma once
// The maintenance dialog's part of the receive dispatcher: the lead-zero-bias
// procedure with the fixture.

namespace msrw {

class DispatchTable;

void RegisterMaintenanceBranches(DispatchTable& table);

} // namespace msrw
