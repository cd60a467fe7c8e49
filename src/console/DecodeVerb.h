#pragma once
// msrw-cli decode: what the tracks of cards mean, with no device: the tracks
// given with --track1/2/3, or each record of a card data file.

#include <QCommandLineParser>
#include <QStringList>

namespace msrw::console {

inline constexpr const char* kDecodeVerb = "decode";

// The exit status: 0 decoded, 1 some check failed, 2 bad usage or an
// unusable file.
int RunDecodeVerb(const QCommandLineParser& options, const QStringList& args);

} // namespace msrw::console
