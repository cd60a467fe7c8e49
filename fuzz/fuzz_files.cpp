// Fuzz target for the file formats the operator brings: card data files
// (header and record lines), database usage files, CSV records, history
// files, the Tarn set-up file and the line reader of card data and CSV files.
// The first byte chooses the parser.

#include "files/CardDataFile.h"
#include "files/CsvRecord.h"
#include "files/HistoryFile.h"
#include "files/LineReader.h"
#include "files/RecordTracks.h"
#include "files/TarnSetupFile.h"
#include "files/UsageFile.h"

#include <QBuffer>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace msrw;

namespace {

std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void CardData(std::string_view bytes) {
    const std::vector<std::string> lines = Lines(bytes);
    const cardfile::HeaderCheck check = cardfile::CheckHeader(lines);
    if (check.header) {
        for (int n = 1; n <= 3; ++n) {
            (void)cardfile::ParityPosition(*check.header, n);
            (void)cardfile::BitsPerCharacter(*check.header, n);
            (void)cardfile::SyncZeros(*check.header, n);
            (void)cardfile::BpiPosition(*check.header, n);
            for (auto which : {cardfile::Sentinel::Start, cardfile::Sentinel::End}) {
                const std::string value = cardfile::SentinelValue(*check.header, which, n);
                for (int bits = 4; bits <= 7; ++bits)
                    (void)cardfile::SentinelFromValue(value, cardfile::SentinelSet(which, bits, n),
                                                      bits);
            }
        }
    }
    for (const std::string& line : lines)
        if (cardfile::SplitFileLine(line).text.size() > line.size())
            __builtin_trap();
}

void Usage(std::string_view bytes) {
    const usage::Parsed parsed = usage::ParseUsage(usage::CollectLines(Lines(bytes)));
    if (!parsed.setup)
        return;
    const std::vector<std::string> fields{"1", "22", "", "333"};
    const usage::RecordTracks tracks = usage::TracksOfRecord(*parsed.setup, fields);
    if (tracks.texts.has_value() == !tracks.problem.empty())
        __builtin_trap();
}

// The line reader under a small limit: every line end makes one line, the
// numbers run from 1 without a gap, and no line is longer than the limit.
void LinesOf(std::string_view bytes) {
    if (bytes.empty())
        return;
    const std::size_t limit = static_cast<unsigned char>(bytes.front()) % 64;
    bytes.remove_prefix(1);
    QByteArray data(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return;
    files::LineReader reader(buffer, limit);
    std::int64_t count = 0;
    while (const auto line = reader.next()) {
        if (line->number != ++count || line->text.size() > limit ||
            (line->tooLong && !line->text.empty()))
            __builtin_trap();
    }
    const auto ends = std::count(bytes.begin(), bytes.end(), '\n');
    const bool open = !bytes.empty() && bytes.back() != '\n';
    if (reader.failed() || count != ends + (open ? 1 : 0))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 6) {
    case 0:
        CardData(rest);
        break;
    case 1:
        Usage(rest);
        break;
    case 2:
        if (csv::ParseRecord(rest).fields.size() > csv::kMaxFields)
            __builtin_trap();
        break;
    case 3:
        (void)history::ParseRecordNumber(rest);
        break;
    case 4: {
        for (const char* key : kTarnSetupKeys)
            (void)TarnFlagValue(TarnSettingOf(Lines(rest), key));
        const TarnSetupCheck check = CheckTarnSetupLines(Lines(rest));
        if (CheckTarnSetupLines(TarnSetupFileLines(check.values)).firstDamagedLine != 0)
            __builtin_trap(); // a repaired file reads back whole
        break;
    }
    case 5:
        LinesOf(rest);
        break;
    }
    return 0;
}
