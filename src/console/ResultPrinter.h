#pragma once
// Prints each card's result as the window shows it: the result line, and
// after a read the tracks in use; or, for programs, one JSON object a line.

#include "session/CardResult.h"

#include <cstdio>
#include <string>

namespace msrw::console {

// The JSON line of a result: {"line":..., "ok":..., "card":..., "tracks":[...]}
// ("tracks" after a read only). Bytes above 0x7F are taken as Latin-1.
std::string ResultJson(const CardResult& result);
// The text lines of a result: the line, then "  Track N: ..." for each track
// in use after a read. `activeTracks` is the start-up choice (0, 1 or 2).
std::string ResultText(const CardResult& result, int activeTracks);

class ResultPrinter {
public:
    ResultPrinter(std::FILE* out, bool json) : out_(out), json_(json) {}
    // False when the output no longer takes it (a closed pipe: SIGPIPE is
    // ignored by the program, so the write fails instead).
    [[nodiscard]] bool print(const CardResult& result, int activeTracks);

private:
    std::FILE* out_;
    bool json_;
};

} // namespace msrw::console
