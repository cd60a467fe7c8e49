#include "batch/BatchImport.h"

#include "files/CsvReader.h"
#include "files/HistoryFile.h"
#include "files/RecordTracks.h"
#include "files/UsageFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace msrw::batch {
namespace {

constexpr std::size_t kRowsPerInsert = 1000;
// A usage file is a page of text; more than this is not one.
constexpr qint64 kMaxUsageBytes = 1024 * 1024;

std::string At(const std::string& file, long long line, const std::string& why) {
    return file + ", line " + std::to_string(line) + ": " + why;
}

bool IsUtf8Text(const std::string& bytes) {
    if (bytes.find('\0') != std::string::npos)
        return false;
    const QByteArray raw = QByteArray::fromStdString(bytes);
    return QString::fromUtf8(raw).toUtf8() == raw;
}

struct Usage {
    std::string text;
    usage::Setup setup;
};

std::optional<Usage> ReadUsage(const QString& path, std::string& error) {
    const std::string name = path.toStdString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "The usage file " + name + " cannot be read: " + file.errorString().toStdString();
        return std::nullopt;
    }
    if (file.size() > kMaxUsageBytes) {
        error = "The usage file " + name + " is too long for a usage file.";
        return std::nullopt;
    }
    Usage u{file.readAll().toStdString(), {}};
    const std::vector<std::string> lines = usage::SplitLines(u.text);
    if (lines.empty() || !IsUtf8Text(u.text)) {
        error = "The usage file " + name + (lines.empty() ? " is empty." : " is not UTF-8 text.");
        return std::nullopt;
    }
    const usage::Parsed parsed = usage::ParseUsage(usage::CollectLines(lines));
    if (!parsed.setup) {
        error = parsed.problem.message + "\n" +
                At(name, parsed.problem.fileLine, parsed.problem.detail);
        return std::nullopt;
    }
    u.setup = *parsed.setup;
    return u;
}

// Why a record cannot be written onto a card; empty when it can.
std::string RecordProblem(const csv::Record& record, const usage::Setup& setup) {
    for (const std::string& field : record.fields)
        if (!IsUtf8Text(field))
            return "the line is not UTF-8 text";
    // What a station would refuse when it comes to the record.
    return usage::TracksOfRecord(setup, record.fields).problem;
}

// The records of one batch, sent a block of rows at a time.
class RowSender {
public:
    RowSender(QSqlDatabase db, std::int64_t batch, const ImportProgress& progress)
        : db_(db), batch_(QString::number(batch)), progress_(progress) {}

    bool add(std::int64_t number, const std::vector<std::string>& fields, std::string& error) {
        rows_.append(QString("(%1,%2,%3::text[])")
                         .arg(batch_, QString::number(static_cast<qlonglong>(number)),
                              SqlText(db_, ArrayLiteral(fields))));
        return ++count_ % kRowsPerInsert != 0 || flush(error);
    }
    bool flush(std::string& error) {
        if (rows_.isEmpty())
            return true;
        QSqlQuery q(db_);
        const bool sent =
            Run(q, "INSERT INTO msrw_records (batch, record_no, fields) VALUES " + rows_.join(','),
                error);
        rows_.clear();
        if (sent && progress_ && !progress_(std::int64_t(count_))) {
            error = kImportStopped;
            return false;
        }
        return sent;
    }

private:
    QSqlDatabase db_;
    QString batch_;
    QStringList rows_;
    std::size_t count_ = 0;
    const ImportProgress& progress_;
};

std::optional<std::int64_t> InsertBatch(QSqlDatabase db, const QString& usagePath, const Usage& u,
                                        const std::string& csvName, std::string& error) {
    QSqlQuery q(db);
    if (!Run(q,
             "INSERT INTO msrw_batches (name, usage_text, database_file) VALUES (" +
                 SqlText(db, QFileInfo(usagePath).fileName().toStdString()) + "," +
                 SqlText(db, u.text) + "," + SqlText(db, csvName) + ") RETURNING id",
             error) ||
        !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

// Every record up to the end of the records (the end of the file, or a line
// whose first field is empty, as the database application stops there).
std::optional<std::int64_t> SendRecords(RowSender& sender, csv::Reader& reader,
                                        const std::string& csvName, const usage::Setup& setup,
                                        std::string& error) {
    for (std::int64_t n = 1;; ++n) {
        const csv::Reader::Result r = reader.record(n);
        if (r.status == csv::Reader::Status::Bad || r.status == csv::Reader::Status::ReadError) {
            error = usage::kWrongFormat + std::string("\n") +
                    At(csvName, n,
                       r.record.problem.empty() ? "the line cannot be read" : r.record.problem);
            return std::nullopt;
        }
        if (r.status == csv::Reader::Status::EndOfFile || r.record.fields.empty() ||
            r.record.fields[0].empty())
            return sender.flush(error) ? std::optional<std::int64_t>(n - 1) : std::nullopt;
        if (const std::string problem = RecordProblem(r.record, setup); !problem.empty()) {
            error = usage::kWrongFormat + std::string("\n") + At(csvName, n, problem);
            return std::nullopt;
        }
        if (!sender.add(n, r.record.fields, error))
            return std::nullopt;
    }
}

std::optional<ImportedBatch> ImportInTransaction(QSqlDatabase db, const QString& usagePath,
                                                 std::string& error,
                                                 const ImportProgress& progress) {
    const std::optional<Usage> u = ReadUsage(usagePath, error);
    if (!u)
        return std::nullopt;
    const std::string csvName = history::DatabaseFileName(usagePath.toStdString());
    csv::Reader reader;
    QString openError;
    if (!reader.open(QString::fromStdString(csvName), openError)) {
        error = "The database file " + csvName + " cannot be read: " + openError.toStdString();
        return std::nullopt;
    }
    const std::optional<std::int64_t> batch =
        InsertBatch(db, usagePath, *u,
                    QFileInfo(QString::fromStdString(csvName)).fileName().toStdString(), error);
    if (!batch)
        return std::nullopt;
    RowSender sender(db, *batch, progress);
    const std::optional<std::int64_t> count = SendRecords(sender, reader, csvName, u->setup, error);
    if (!count)
        return std::nullopt;
    if (*count == 0) {
        error = "The database file " + csvName + " holds no record.";
        return std::nullopt;
    }
    return ImportedBatch{*batch, *count};
}

} // namespace

std::string ArrayLiteral(const std::vector<std::string>& fields) {
    std::string out = "{";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out += i == 0 ? "\"" : ",\"";
        for (char c : fields[i]) {
            if (c == '"' || c == '\\')
                out += '\\';
            out += c;
        }
        out += '"';
    }
    return out + "}";
}

std::optional<ImportedBatch> ImportBatch(BatchStore& store, const QString& usagePath,
                                         std::string& error, const ImportProgress& progress) {
    if (!store.connection().open(error))
        return std::nullopt;
    QSqlDatabase db = store.connection().database();
    if (!db.transaction()) {
        Failed(db.lastError(), error);
        return std::nullopt;
    }
    const std::optional<ImportedBatch> imported =
        ImportInTransaction(db, usagePath, error, progress);
    if (!imported) {
        db.rollback();
        return std::nullopt;
    }
    if (!db.commit()) {
        Failed(db.lastError(), error);
        return std::nullopt;
    }
    return imported;
}

} // namespace msrw::batch
