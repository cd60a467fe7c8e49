#include "files/CsvRecord.h"

namespace msrw::csv {
namespace {

// A line longer than this is not a database record (100 fields of a card's
// worth of text each fit with room to spare).
constexpr std::size_t kMaxLineBytes = 64 * 1024;

} // namespace

Record ParseRecord(std::string_view line) {
    Record out;
    std::size_t i = 0;
    while (true) {
        std::string field;
        if (i < line.size() && line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += line[i++];
            }
            if (!closed)
                return {{}, "a field in double quotes has no closing quote"};
            // Text between the closing quote and the next comma belongs to the field.
            while (i < line.size() && line[i] != ',')
                field += line[i++];
        } else {
            while (i < line.size() && line[i] != ',')
                field += line[i++];
        }
        if (out.fields.size() == kMaxFields)
            return {{}, "the record has more than " + std::to_string(kMaxFields) + " fields"};
        out.fields.push_back(std::move(field));
        if (i >= line.size())
            break;
        ++i; // the comma
    }
    return out;
}

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
