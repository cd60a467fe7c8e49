#pragma once
// The records of a batch on a batch server, claimed one at a time by this
// station: the record claimed is written again after a failed write (the
// claim kept), marked written only after the device's OK, and given back when
// the run ends. While its card waits for the swipe, a timer renews the lease.

#include "batch/BatchStore.h"
#include "operations/files/DatabaseSource.h"
#include "operations/files/RecordSource.h"

#include <QTimer>
#include <memory>
#include <optional>

namespace msrw {

class BatchRecordSource : public RecordSource {
public:
    explicit BatchRecordSource(DatabaseSourceChoice choice);
    ~BatchRecordSource() override;

    std::optional<std::vector<std::string>> usageLines(Session& session, DatabaseRun& run,
                                                       StartProblem& problem) override;
    std::optional<StartProblem> open(Session& session, DatabaseRun& run) override;
    Next next(Session& session, DatabaseRun& run, bool first) override;
    bool written(Session& session, DatabaseRun& run) override;
    void awaitingCard(Session& session, DatabaseRun& run) override;
    void end(Session& session, DatabaseRun& run) override;
    Trouble trouble() const override { return trouble_; }

private:
    void renewLease(Session& session);
    std::string heldName() const;
    // Notes what a failed step of the store means for the run.
    void noteFailure(batch::BatchStore::Outcome outcome);

    DatabaseSourceChoice choice_;
    std::unique_ptr<batch::BatchStore> store_;
    std::int64_t batch_ = 0;
    std::optional<batch::ClaimedRecord> held_;
    QTimer renewal_;
    Session* session_ = nullptr; // of the card that awaits its swipe
    Trouble trouble_ = Trouble::None;
};

} // namespace msrw
