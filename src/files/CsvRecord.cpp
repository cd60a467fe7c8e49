#include "files/CsvRecord.h"

namespace msrw::csv {
namespace {

// A line longer than this is not a database record (100 fields of a card's
// worth of text each fit with room to spare); reading stops there.
constexpr qint64 kMaxLineBytes = 64 * 1024;

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
    linesRead_ = 0;
    lastNumber_ = 0;
    last_ = {};
    lineCount_.reset();
}

bool Reader::rewind() {
    linesRead_ = 0;
    lastNumber_ = 0;
    return file_.seek(0);
}

std::optional<std::string> Reader::nextLine() {
    if (file_.atEnd())
        return std::nullopt;
    QByteArray line = file_.readLine(kMaxLineBytes);
    if (line.isEmpty() && !file_.atEnd())
        return std::nullopt;
    ++linesRead_;
    if (line.endsWith('\n'))
        line.chop(1);
    else if (!file_.atEnd())
        return std::string(1, '\0'); // cut off: too long to be a record
    if (line.endsWith('\r'))
        line.chop(1);
    return std::string(line.constData(), std::size_t(line.size()));
}

Reader::Result Reader::record(std::int64_t number) {
    if (number == lastNumber_ && number > 0)
        return last_;
    if (number < 1 || !file_.isOpen())
        return {Status::EndOfFile, {}};
    if (number <= linesRead_ && !rewind())
        return {Status::ReadError, {}};
    std::optional<std::string> line;
    while (linesRead_ < number) {
        line = nextLine();
        if (!line)
            return {file_.error() == QFileDevice::NoError ? Status::EndOfFile : Status::ReadError,
                    {}};
    }
    Result result;
    if (line->find('\0') != std::string::npos) {
        result = {Status::Bad, {{}, "the line is too long or holds binary data"}};
    } else {
        result.record = ParseRecord(*line);
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
