#include "operations/files/CsvRecordSource.h"

#include "files/HistoryFile.h"
#include "files/HistoryFileIo.h"
#include "link/Notation.h"
#include "operations/files/DatabaseApplication.h"
#include "operations/files/FilesCommon.h"
#include "session/Session.h"

#include <QFile>

namespace msrw {
namespace {

// A usage file is a page of text; more than this is not one.
constexpr qint64 kMaxUsageBytes = 1024 * 1024;

std::optional<std::vector<std::string>> ReadUsageLines(const QString& path, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return std::nullopt;
    }
    std::vector<std::string> lines;
    while (!file.atEnd() && file.pos() < kMaxUsageBytes) {
        QByteArray line = file.readLine(kMaxUsageBytes);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines.emplace_back(line.constData(), std::size_t(line.size()));
    }
    return lines;
}

} // namespace

std::optional<std::vector<std::string>> CsvRecordSource::usageLines(Session&, DatabaseRun& run,
                                                                    StartProblem& problem) {
    run.databaseFile = history::DatabaseFileName(run.usageFile);
    run.historyFile = history::HistoryFileName(run.usageFile);
    std::string error;
    auto lines = ReadUsageLines(ChosenPath(run.usageFile), error);
    if (!lines)
        problem = {"The usage file " + run.usageFile + " cannot be read: " + error,
                   MessageIcon::Critical};
    return lines;
}

std::optional<StartProblem> CsvRecordSource::holdHistory(const DatabaseRun& run) {
    lock_ = std::make_unique<QLockFile>(ChosenPath(run.historyFile + ".lock"));
    lock_->setStaleLockTime(0); // a live run holds it however long it lasts
    if (lock_->tryLock(0))
        return std::nullopt;
    qint64 pid = 0;
    QString host;
    QString program;
    const bool other = lock_->error() == QLockFile::LockFailedError;
    const bool named = other && lock_->getLockInfo(&pid, &host, &program);
    lock_.reset();
    if (!other)
        return StartProblem{"The resume point cannot be kept in " + run.historyFile +
                                ": its lock file cannot be made there.",
                            MessageIcon::Critical};
    busy_ = true;
    return StartProblem{
        "The records of " + run.usageFile + " are being written by another run" +
            (named ? " (process " + std::to_string(pid) + " on " + host.toStdString() + ")"
                   : std::string()) +
            "; one run at a time writes them.",
        MessageIcon::Critical};
}

std::optional<StartProblem> CsvRecordSource::open(Session& s, DatabaseRun& run) {
    QString csvError;
    if (!reader_.open(ChosenPath(run.databaseFile), csvError))
        return StartProblem{"Database file (.csv) not found!", MessageIcon::Critical};
    if (auto problem = holdHistory(run))
        return problem;
    historyRead_.reset();
    const std::optional<std::int64_t> first = resumePoint(s, run);
    // Written once before the first card is armed (with the text it holds),
    // so that a history that cannot be written stops the run before any card
    // is written. A new one has been written already.
    if (!first || (historyRead_ && !writeHistoryText(s, run, *historyRead_))) {
        lock_.reset();
        return StartProblem{};
    }
    run.RecordNo = *first;
    run.recordCount = reader_.countLines();
    return std::nullopt;
}

bool CsvRecordSource::writeHistory(Session& s, const DatabaseRun& run, std::int64_t number) {
    if (historyHolds_ == number)
        return true;
    if (!writeHistoryText(s, run, history::RecordNumberText(number)))
        return false;
    historyHolds_ = number;
    return true;
}

bool CsvRecordSource::writeHistoryText(Session& s, const DatabaseRun& run,
                                       const std::string& text) {
    QString error;
    if (history::WriteWholeFile(ChosenPath(run.historyFile), text, error))
        return true;
    s.dialogs.showMessage("The resume point cannot be kept in " + run.historyFile + ": " +
                              error.toStdString(),
                          MessageIcon::Critical);
    return false;
}

// The record to begin with: the history's, when the operator resumes. nullopt
// (the operator told) when the history file cannot be used.
std::optional<std::int64_t> CsvRecordSource::resumePoint(Session& s, DatabaseRun& run) {
    const QString path = ChosenPath(run.historyFile);
    if (!QFile::exists(path)) {
        if (!writeHistory(s, run, 1))
            return std::nullopt;
        return 1;
    }
    QString error;
    const auto text = history::ReadSmallFile(path, error);
    historyRead_ = text;
    const auto number = text ? history::ParseRecordNumber(*text) : std::nullopt;
    if (!number) {
        // In the notation: a line end or a NUL byte of a damaged file would
        // break the message or cut it short.
        s.dialogs.showMessage(WithPlace("The resume point cannot be read.", run.historyFile, 1,
                                        text ? "\"" + ToCommandText(text->substr(0, 40)) +
                                                   "\" is not a record number; correct "
                                                   "or delete the file to start from "
                                                   "record no. 1."
                                             : error.toStdString()),
                              MessageIcon::Critical);
        return std::nullopt;
    }
    historyHolds_ = *number;
    if (*number == 1)
        return 1;
    const std::string question = "Last record no. is:     " + std::to_string(*number) +
                                 "\n\rOK         -     Resume.\n\rCANCEL -    Restart from "
                                 "record no. 1.";
    return s.dialogs.askOkCancel(question, MessageIcon::Information) ? *number : 1;
}

// The last record before `number`: the line before the first that ends the
// records (an empty first field, or the end of the file).
std::int64_t CsvRecordSource::lastRecordBefore(std::int64_t number) {
    for (std::int64_t n = 1; n < number; ++n) {
        const csv::Reader::Result r = reader_.record(n);
        if (r.status == csv::Reader::Status::EndOfFile ||
            (r.status == csv::Reader::Status::Record &&
             (r.record.fields.empty() || r.record.fields[0].empty())))
            return n - 1;
    }
    return number - 1;
}

RecordSource::Next CsvRecordSource::next(Session&, DatabaseRun& run, bool first) {
    const csv::Reader::Result result = reader_.record(run.RecordNo);
    if (result.status == csv::Reader::Status::Bad ||
        result.status == csv::Reader::Status::ReadError)
        return {Next::Kind::Refused,
                {},
                result.record.problem.empty() ? "the line cannot be read" : result.record.problem};
    const bool ended = result.status == csv::Reader::Status::EndOfFile ||
                       result.record.fields.empty() || result.record.fields[0].empty();
    if (ended && first && run.RecordNo > 1) {
        // A resume point past the records: nothing is written, nothing changed.
        const std::int64_t last = lastRecordBefore(run.RecordNo);
        return {Next::Kind::Failed,
                {},
                WithPlace("The resume point lies past the end of the records.", run.historyFile, 1,
                          "record no. " + std::to_string(run.RecordNo) + ", but " +
                              (last == 0 ? run.databaseFile + " holds no records"
                                         : "the records of " + run.databaseFile + " end at line " +
                                               std::to_string(last)))};
    }
    if (ended) {
        run.RecordNo = 1;
        return {Next::Kind::End, {}, {}};
    }
    return {Next::Kind::Record, result.record.fields, {}};
}

bool CsvRecordSource::written(Session& s, DatabaseRun& run) {
    ++run.RecordNo;
    // Kept at once: after a crash or a power cut the run resumes here.
    return writeHistory(s, run, run.RecordNo);
}

void CsvRecordSource::end(Session& s, DatabaseRun& run) {
    reader_.close();
    // Told to the operator already when it fails; the set-up goes back anyway.
    (void)writeHistory(s, run, run.RecordNo);
    lock_.reset();
}

} // namespace msrw
