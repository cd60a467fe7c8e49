#pragma once
// The batch on the server that the database source names, followed from the
// window: Tools > "Batch Status..." shows the newest batches with their
// stations and uncertain records, and Tools > "Retry Uncertain Record..."
// makes one open again once the operator has checked that its card was not
// written. Batches are imported from the console (msrw-cli batch import).

namespace msrw {

class Session;

void mnuBatchStatus_Click(Session& session);
void mnuBatchRetry_Click(Session& session);

} // namespace msrw
