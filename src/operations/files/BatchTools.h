#pragma once
// The batches on the server that the database source names, from the window:
// Tools > "Import Batch..." loads a usage file's records into a new batch,
// and Tools > "Batch Status..." shows the newest batches with their stations
// and uncertain records. Both run on a thread of their own (the progress of
// an import in the message line, the main buttons disabled meanwhile); any of
// them chosen while an import runs offers to stop it. Tools > "Retry
// Uncertain Record..." makes one open again once the operator has checked
// that its card was not written.

namespace msrw {

class Session;

void mnuImportBatch_Click(Session& session);
void mnuBatchStatus_Click(Session& session);
void mnuBatchRetry_Click(Session& session);

} // namespace msrw
