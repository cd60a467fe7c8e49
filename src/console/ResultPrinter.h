#pragma once
// Prints each card's result as the window shows it: the result line, and
// after a read the tracks in use; or, for programs, one JSON object a line.

#include "console/CardRunOptions.h"
#include "console/DetailsOutput.h"
#include "session/CardResult.h"

#include <cstdio>
#include <string>

namespace msrw::console {

// The JSON line of a result: {"line":..., "ok":..., "card":..., "tracks":[...]}
// ("tracks" after a read only), and "details" when given. Bytes above 0x7F
// are taken as Latin-1.
std::string ResultJson(const CardResult& result, const details::CardDetails* cardDetails = nullptr);
// The text lines of a result: the line, then "  Track N: ..." for each track
// in use after a read, then the details when given. `activeTracks` is the
// start-up choice (0, 1 or 2).
std::string ResultText(const CardResult& result, int activeTracks,
                       const details::CardDetails* cardDetails = nullptr);

class ResultPrinter {
public:
    ResultPrinter(std::FILE* out, bool json) : out_(out), json_(json) {}
    // As the run's options ask: JSON or text, with or without the details.
    ResultPrinter(std::FILE* out, const CardRunOptions& options)
        : out_(out), json_(options.json), details_(options.details) {}
    // False when the output no longer takes it (a closed pipe: SIGPIPE is
    // ignored by the program, so the write fails instead).
    [[nodiscard]] bool print(const CardResult& result, int activeTracks);

private:
    std::FILE* out_;
    bool json_;
    DetailsChoice details_;
};

} // namespace msrw::console
