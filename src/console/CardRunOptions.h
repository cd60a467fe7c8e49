#pragma once
// What a console card run is asked to do: the verb, the start-up choices, the
// card type and mode, the track texts, and the answers to the questions the
// operation may ask. Read from the command line; checked before any port is
// opened, so that a bad option sends nothing.

#include "console/DetailsOutput.h"
#include "operations/files/DatabaseSource.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace msrw::console {

enum class Verb { Read, Compare, Write, Erase, Sequential, ToFile, FromFile, Database };

// The verb named `name`; nullopt for a name that is no card verb.
std::optional<Verb> CardVerbNamed(const std::string& name);
const char* VerbName(Verb verb);

struct CardRunOptions {
    Verb verb = Verb::Read;
    // Cards to do before the run ends; 0: until the operation ends by itself
    // or is interrupted.
    std::int64_t cards = 1;
    // The start-up choice of tracks in use: 0 (track 2), 1 (tracks 1 and 2)
    // or 2 (all three); nullopt: as last chosen.
    std::optional<int> trackSelect;
    std::optional<std::string> mode;     // "Ormond Mode", "Velk Mode", "Quell Mode"
    std::optional<std::string> cardType; // as the card-type list names it
    std::array<std::optional<std::string>, 3> tracks;
    std::array<bool, 3> eraseTracks{true, true, true};
    std::int64_t sequenceStart = 0;
    std::int64_t sequenceCount = 0;
    std::string file;           // to-file, from-file, database
    std::optional<bool> resume; // the database's resume question
    // database: the records of a batch on a batch server instead of the CSV file.
    std::optional<DatabaseSourceChoice> batchSource;
    bool json = false;
    bool stats = false;
    // read, compare, to-file: what each card's tracks mean (--json, --details, --unmask).
    DetailsChoice details;
};

// The start-up choice of "2", "12" or "123"; nullopt for anything else.
std::optional<int> TrackSelectNamed(const std::string& text);
// "1,2,3" and the like: each of 1-3 at most once, at least one.
std::optional<std::array<bool, 3>> TrackListNamed(const std::string& text);
// The mode as the configuration dialog names it, from "ormond", "Velk Mode",
// "QUELL" and the like.
std::optional<std::string> ModeNamed(const std::string& text);
// Whether `a` and `b` are the same but for the case of their letters.
bool SameIgnoringCase(const std::string& a, const std::string& b);
// A whole number from `least` to `most`, digits only.
std::optional<std::int64_t> CountNamed(const std::string& text, std::int64_t least,
                                       std::int64_t most);

} // namespace msrw::console
