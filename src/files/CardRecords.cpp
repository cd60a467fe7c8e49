#include "files/CardRecords.h"

#include "files/CardDataFile.h"

#include <utility>

namespace msrw::cardfile {

std::optional<RecordTracksText> RecordReader::take(std::string_view line) {
    const FileLine split = SplitFileLine(line);
    if (part_ == Part::Start)
        part_ = split.text == kSetupLine ? Part::Header : Part::Records;
    if (part_ == Part::Header) {
        if (split.text == kDataLine)
            part_ = Part::Records;
        return std::nullopt;
    }
    if (split.track == 0)
        return close();
    tracks_[std::size_t(split.track - 1)] = split.text;
    holdsTrack_ = true;
    return std::nullopt;
}

std::optional<RecordTracksText> RecordReader::finish() {
    return part_ == Part::Header ? std::nullopt : close();
}

std::optional<RecordTracksText> RecordReader::close() {
    if (!holdsTrack_)
        return std::nullopt;
    holdsTrack_ = false;
    return std::exchange(tracks_, {});
}

} // namespace msrw::cardfile
