#pragma once
// The database file read record by record from its file.

#include "files/CsvRecord.h"
#include "files/LineReader.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <optional>

namespace msrw::csv {

// The database file read forward, one record at a time, so that a run costs
// the same per record however long the file is. Asking again for the record
// last read gives it from memory (a failed card is written again).
class Reader {
public:
    Reader();

    // False with `error` set when the file cannot be opened.
    [[nodiscard]] bool open(const QString& path, QString& error);
    void close();

    enum class Status { Record, EndOfFile, Bad, ReadError };
    struct Result {
        Status status = Status::EndOfFile;
        Record record;
    };
    // Record `number` (from 1): line `number`, however long the lines before
    // it are. A line too long to be a record is Bad.
    Result record(std::int64_t number);

    // The number of lines, counted once (the progress shown as "record n of N").
    std::int64_t countLines();

private:
    bool rewind();

    QFile file_;
    files::LineReader lines_;
    std::int64_t lastNumber_ = 0;
    Result last_;
    std::optional<std::int64_t> lineCount_;
};

} // namespace msrw::csv
