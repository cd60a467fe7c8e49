#include "operations/files/BatchRecordSource.h"

#include "batch/ConnectionText.h"
#include "operations/files/DatabaseApplication.h"
#include "operations/files/FilesCommon.h"
#include "session/Session.h"

#include <QFileInfo>

namespace msrw {

BatchRecordSource::BatchRecordSource(DatabaseSourceChoice choice) : choice_(std::move(choice)) {
    if (choice_.station.empty())
        choice_.station = batch::DefaultStationName();
    QObject::connect(&renewal_, &QTimer::timeout, [this] {
        if (session_)
            renewLease(*session_);
    });
}

BatchRecordSource::~BatchRecordSource() = default;

std::string BatchRecordSource::heldName() const {
    return "record no. " + std::to_string(held_ ? held_->number : 0) + " of batch " +
           std::to_string(batch_);
}

void BatchRecordSource::noteFailure(batch::BatchStore::Outcome outcome) {
    if (trouble_ != Trouble::None)
        return; // the first trouble is what stopped the run
    if (outcome == batch::BatchStore::Outcome::ClaimLost)
        trouble_ = Trouble::ClaimLost;
    else if (outcome == batch::BatchStore::Outcome::Failed)
        trouble_ = Trouble::Server;
}

std::optional<std::vector<std::string>> BatchRecordSource::usageLines(Session&, DatabaseRun& run,
                                                                      StartProblem& problem) {
    const batch::ParsedConnection parsed = batch::ParseConnectionText(choice_.connection);
    std::string error;
    if (parsed.settings)
        store_ = batch::BatchStore::Open(*parsed.settings, choice_.station, error);
    if (!store_) {
        problem = {parsed.settings ? error : "The connection text is not one: " + parsed.problem,
                   MessageIcon::Critical};
        if (parsed.settings)
            noteFailure(batch::BatchStore::Outcome::Failed);
        return std::nullopt;
    }
    if (choice_.leaseSeconds > 0)
        store_->setLeaseSeconds(choice_.leaseSeconds);
    const std::string name = QFileInfo(ChosenPath(run.usageFile)).fileName().toStdString();
    const std::optional<batch::BatchInfo> info = store_->findBatch(name, choice_.batch, error);
    if (!info) {
        // A batch that is not there leaves the connection open; a lost one is closed.
        if (!store_->connection().isOpen())
            noteFailure(batch::BatchStore::Outcome::Failed);
        problem = {error, MessageIcon::Critical};
        return std::nullopt;
    }
    batch_ = info->id;
    run.databaseFile = info->databaseFile + " (batch " + std::to_string(batch_) + ")";
    return usage::SplitLines(info->usageText);
}

std::optional<StartProblem> BatchRecordSource::open(Session&, DatabaseRun& run) {
    std::string error;
    const std::optional<batch::BatchStatus> status = store_->status(batch_, error);
    if (!status) {
        noteFailure(batch::BatchStore::Outcome::Failed);
        return StartProblem{error, MessageIcon::Critical};
    }
    const batch::StateCounts& c = status->total;
    run.recordCount = c.written + c.claimed + c.uncertain + c.open;
    return std::nullopt;
}

RecordSource::Next BatchRecordSource::next(Session&, DatabaseRun& run, bool) {
    if (!held_) {
        std::string error;
        const batch::BatchStore::Claim claim = store_->claim(batch_, error);
        if (claim.outcome == batch::BatchStore::Outcome::NoneLeft)
            return {Next::Kind::End, {}, {}};
        if (claim.outcome != batch::BatchStore::Outcome::Done) {
            noteFailure(batch::BatchStore::Outcome::Failed);
            return {Next::Kind::Failed,
                    {},
                    "No record of batch " + std::to_string(batch_) + " could be claimed: " + error};
        }
        held_ = claim.record;
    }
    run.RecordNo = held_->number;
    return {Next::Kind::Record, held_->fields, {}};
}

bool BatchRecordSource::written(Session& s, DatabaseRun&) {
    renewal_.stop();
    if (!held_)
        return false; // given up already (the operator was told)
    std::string error;
    const batch::BatchStore::Outcome outcome = store_->markWritten(batch_, held_->number, error);
    const std::string name = heldName();
    held_.reset();
    if (outcome == batch::BatchStore::Outcome::Done)
        return true;
    noteFailure(outcome);
    if (outcome == batch::BatchStore::Outcome::ClaimLost)
        s.dialogs.showMessage(error + "\nThe card just written holds " + name +
                                  ": the record is left as it is for an operator to check.",
                              MessageIcon::Critical);
    else
        s.dialogs.showMessage("The card holds " + name +
                                  ", but the batch server could not be told: " + error +
                                  "\nWhen its lease runs out the record is left uncertain.",
                              MessageIcon::Critical);
    return false;
}

void BatchRecordSource::awaitingCard(Session& s, DatabaseRun&) {
    session_ = &s;
    renewal_.start(store_->leaseSeconds() * 1000 / 3);
}

void BatchRecordSource::renewLease(Session& s) {
    if (!held_)
        return;
    std::string error;
    const batch::BatchStore::Outcome outcome = store_->renew(batch_, held_->number, error);
    if (outcome == batch::BatchStore::Outcome::Done)
        return;
    noteFailure(outcome);
    renewal_.stop();
    const std::string name = heldName();
    held_.reset();
    EndRunWithMessage(s,
                      "The lease on " + name + " could not be kept: " + error +
                          "\nThe run stops before its card is written.",
                      MessageIcon::Critical);
}

void BatchRecordSource::end(Session& s, DatabaseRun&) {
    renewal_.stop();
    if (!held_)
        return;
    std::string error;
    const std::string name = heldName();
    const batch::BatchStore::Outcome outcome = store_->release(batch_, held_->number, error);
    held_.reset();
    noteFailure(outcome);
    if (outcome != batch::BatchStore::Outcome::Done)
        s.dialogs.showMessage("The claim on " + name + " could not be given back: " + error,
                              MessageIcon::Warning);
}

} // namespace msrw
