#pragma once
// The records of the usage file's CSV file, one a line, with the record to
// resume from kept in the history file after every card written.

#include "files/CsvReader.h"
#include "operations/files/RecordSource.h"

#include <QLockFile>
#include <cstdint>
#include <memory>

namespace msrw {

class CsvRecordSource : public RecordSource {
public:
    std::optional<std::vector<std::string>> usageLines(Session& session, DatabaseRun& run,
                                                       StartProblem& problem) override;
    std::optional<StartProblem> open(Session& session, DatabaseRun& run) override;
    Next next(Session& session, DatabaseRun& run, bool first) override;
    bool written(Session& session, DatabaseRun& run) override;
    void end(Session& session, DatabaseRun& run) override;
    Trouble trouble() const override { return busy_ ? Trouble::Busy : Trouble::None; }

private:
    [[nodiscard]] bool writeHistory(Session& session, const DatabaseRun& run, std::int64_t number);
    [[nodiscard]] bool writeHistoryText(Session& session, const DatabaseRun& run,
                                        const std::string& text);
    std::int64_t lastRecordBefore(std::int64_t number);
    std::optional<std::int64_t> resumePoint(Session& session, DatabaseRun& run);
    // Holds the history for this run; the problem when another run holds it
    // or it cannot be held.
    std::optional<StartProblem> holdHistory(const DatabaseRun& run);

    csv::Reader reader_;
    std::int64_t historyHolds_ = 0;          // the number last written to the history file
    std::optional<std::string> historyRead_; // the history's text as the run found it
    std::unique_ptr<QLockFile> lock_;        // held while the run lasts: one run a usage file
    bool busy_ = false;
};

} // namespace msrw
