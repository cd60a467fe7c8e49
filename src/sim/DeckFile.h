#pragma once
// A deck read from a card data file: a [SETUP] header naming the card type and
// the track formats, then [DATA] records of one card each (lines of a track
// byte 01-03 and the track's text, closed by an empty line).

#include "sim/Deck.h"

#include <QString>
#include <optional>
#include <string_view>

namespace msrw::sim {

// The file's cards as they would lie on the stripe, or nullopt with `error`
// naming the file's fault (and its line, when one is to blame).
std::optional<Deck> ParseDeck(std::string_view content, QString& error);
std::optional<Deck> LoadDeckFile(const QString& path, QString& error);

} // namespace msrw::sim
