#include "files/LineReader.h"

namespace msrw::files {

std::optional<Line> LineReader::next() {
    if (device_->atEnd())
        return std::nullopt;
    Line line;
    char buffer[4096];
    while (true) {
        const qint64 n = device_->readLine(buffer, sizeof buffer);
        if (n <= 0) {
            failed_ = true;
            return std::nullopt;
        }
        const bool ended = buffer[n - 1] == '\n';
        // One byte past the limit is kept for a CR that is not part of the line.
        if (!line.tooLong)
            line.text.append(buffer, std::size_t(n - (ended ? 1 : 0)));
        if (line.text.size() > maxBytes_ + 1) {
            line.tooLong = true;
            line.text.clear();
        }
        if (ended || device_->atEnd())
            break; // at the end of the device the last line has no line end
    }
    if (!line.text.empty() && line.text.back() == '\r')
        line.text.pop_back();
    if (line.text.size() > maxBytes_) {
        line.tooLong = true;
        line.text.clear();
    }
    line.number = ++number_;
    return line;
}

} // namespace msrw::files
