// Fuzz target for the card details: any three tracks (the input cut at its
// first two line feeds) decoded masked and whole, and the input as the lines
// of a card data file whose records are decoded. A masked number never shows
// more than ten of its digits.

#include "cards/CardDetails.h"
#include "files/CardRecords.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace msrw;

namespace {

void Decode(const std::array<std::string, 3>& tracks) {
    for (const bool unmask : {false, true}) {
        const details::CardDetails d = details::DecodeCardDetails(tracks, {{2026, 12, 7}, unmask});
        (void)details::DetailsText(d, "  ");
        if (unmask || d.layout != details::Layout::Payment)
            continue;
        for (const details::Field& f : d.fields) {
            if (f.key == "number" && std::count_if(f.value.begin(), f.value.end(), [](char c) {
                                         return c >= '0' && c <= '9';
                                     }) > 10)
                __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::array<std::string, 3> tracks;
    std::size_t start = 0;
    for (std::size_t i = 0; i < 3 && start <= bytes.size(); ++i) {
        const std::size_t end =
            i < 2 ? std::min(bytes.find('\n', start), bytes.size()) : bytes.size();
        tracks[i] = std::string(bytes.substr(start, end - start));
        start = end + 1;
    }
    Decode(tracks);
    cardfile::RecordReader records;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        if (const auto record = records.take(bytes.substr(at, end + 1 - at)))
            Decode(*record);
        at = end + 1;
    }
    if (const auto record = records.finish())
        Decode(*record);
    return 0;
}
