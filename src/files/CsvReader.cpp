#include "files/CsvReader.h"

namespace msrw::csv {
namespace {

// A line longer than this is not a database record (100 fields of a card's
// worth of text each fit with room to spare).
constexpr std::size_t kMaxLineBytes = 64 * 1024;

} // namespace

Reader::Reader() : lines_(file_, kMaxLineBytes) {}

bool Reader::open(const QString& path, QString& error) {
    close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        error = file_.errorString();
        return false;
    }
    return true;
}

void Reader::close() {
    file_.close();
    lines_.restart();
    lastNumber_ = 0;
    last_ = {};
    lineCount_.reset();
}

bool Reader::rewind() {
    lines_.restart();
    lastNumber_ = 0;
    return file_.seek(0);
}

Reader::Result Reader::record(std::int64_t number) {
    if (number == lastNumber_ && number > 0)
        return last_;
    if (number < 1 || !file_.isOpen())
        return {Status::EndOfFile, {}};
    if (number <= lines_.linesRead() && !rewind())
        return {Status::ReadError, {}};
    std::optional<files::Line> line;
    while (lines_.linesRead() < number) {
        line = lines_.next();
        if (!line)
            return {lines_.failed() ? Status::ReadError : Status::EndOfFile, {}};
    }
    Result result;
    if (line->tooLong) {
        result = {Status::Bad,
                  {{}, "the line is longer than " + std::to_string(kMaxLineBytes) + " bytes"}};
    } else if (line->text.find('\0') != std::string::npos) {
        result = {Status::Bad, {{}, "the line holds binary data"}};
    } else {
        result.record = ParseRecord(line->text);
        result.status = result.record.problem.empty() ? Status::Record : Status::Bad;
    }
    lastNumber_ = number;
    last_ = result;
    return result;
}

std::int64_t Reader::countLines() {
    if (lineCount_)
        return *lineCount_;
    const qint64 position = file_.pos();
    std::int64_t count = 0;
    bool open = false; // bytes after the last line end make one more line
    if (file_.seek(0)) {
        char buffer[64 * 1024];
        qint64 n = 0;
        while ((n = file_.read(buffer, sizeof buffer)) > 0) {
            for (qint64 i = 0; i < n; ++i)
                count += buffer[i] == '\n' ? 1 : 0;
            open = buffer[n - 1] != '\n';
        }
    }
    (void)file_.seek(position); // back where the records are read; a failure shows there
    lineCount_ = count + (open ? 1 : 0);
    return *lineCount_;
}

} // namespace msrw::csv
