#pragma once
// Lines of a file read one at a time, each whole however long it is: a line
// longer than the reader's limit comes back marked too long (its text
// dropped), so that the lines after it keep their numbers. A line ends at LF;
// a CR before it is not part of the line.

#include <QIODevice>
#include <cstdint>
#include <optional>
#include <string>

namespace msrw::files {

struct Line {
    std::int64_t number = 0; // from 1
    std::string text;        // without its line end; empty when too long
    bool tooLong = false;
};

class LineReader {
public:
    LineReader(QIODevice& device, std::size_t maxBytes) : device_(&device), maxBytes_(maxBytes) {}

    // The next line; nullopt at the end of the device or when it cannot be
    // read (failed() tells which).
    std::optional<Line> next();
    bool failed() const { return failed_; }
    // The number of lines read so far.
    std::int64_t linesRead() const { return number_; }
    // Counts from line 1 again (the caller has moved the device back to its start).
    void restart() {
        number_ = 0;
        failed_ = false;
    }

private:
    QIODevice* device_;
    std::size_t maxBytes_;
    std::int64_t number_ = 0;
    bool failed_ = false;
};

} // namespace msrw::files
