// Fuzz target for the batch server's connection text (keyword/value pairs or
// a URI), for the turning of a driver's message into the operator's line, and
// for the batch and record numbers an operator types.
// A text that parses must give options that parse back to the same values.

#include "batch/BatchReport.h"
#include "batch/ConnectionText.h"
#include "batch/ServerProblem.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace msrw::batch;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedConnection parsed = ParseConnectionText(text);
    if (parsed.settings.has_value() == !parsed.problem.empty())
        __builtin_trap();
    const ConnectionDefaults defaults{"localhost", "5432", "u", "d"};
    const std::string told =
        DescribeConnectFailure(parsed.settings.value_or(ConnectionSettings{}), defaults, text);
    (void)IsConnectionLoss(text.substr(0, 5), text);
    if (const auto ref = ParseRecordRef(text); ref && (ref->batch < 1 || ref->record < 1))
        __builtin_trap();
    if (told.empty())
        __builtin_trap();
    if (!parsed.settings || parsed.settings->options.empty())
        return 0;
    std::string options = ConnectOptionsText(*parsed.settings);
    for (char& c : options)
        if (c == ';')
            c = ' '; // as the Qt driver hands them to libpq
    const ParsedConnection back = ParseConnectionText(options);
    if (!back.settings)
        __builtin_trap();
    auto expected = parsed.settings->options;
    if (back.settings->options.size() != expected.size())
        __builtin_trap();
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (back.settings->options[i] != expected[i])
            __builtin_trap();
    return 0;
}
