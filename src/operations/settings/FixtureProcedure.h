#pragma once
// Setting the lead-zero bias with the fixture: the reader/writer writes its
// test pattern on two cards (states 17 and 16), the fixture measures the
// leading zeros on each track of both (state 13), and the verdict either
// confirms the bias or sets a corrected one, which one more card written
// (state 14) and measured verifies.

#include "protocol/CommandSet.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

class Session;

inline constexpr const char* kFixturePromptCaption = "Configurate Lead Zero Bias";
// A measured card this close to the expected leading zeros needs no new bias.
inline constexpr int kBiasToleranceBits = 1;
// Two cards written alike that the fixture finds further apart than this
// were not measured well; no bias is derived from them.
inline constexpr int kCardSpreadLimitBits = 4;
inline constexpr int kFixtureCards = 2;

// Leading zeros per track as the fixture measured one card (nullopt: no data).
using TrackZeros = std::array<std::optional<int>, 3>;

struct FixtureRun {
    // The six fixture readings: card 1 tracks 1-3, then card 2 tracks 1-3.
    std::array<std::optional<int>, 6> readings;
    int cardsMeasured = 0;
    bool verifying = false;   // measuring the card written with a new bias
    bool fixtureUsed = false; // the fixture's port was opened
    int bias = 0;             // the bias the measured cards were written with
    cmd::TrackModel model = cmd::TrackModel::Tracks1To3;
};

struct BiasVerdict {
    enum class Kind { Good, Adjust, Unsteady, NoData, OutOfRange };
    Kind kind = Kind::NoData;
    int deviation = 0; // measured minus expected leading zeros, rounded mean
    int newBias = 0;
    int track = 0; // the track a NoData or Unsteady verdict is about
};

// The tracks the pattern of `model` writes (1-based).
std::vector<int> PatternTracks(cmd::TrackModel model);

// Judges `cards` measured cards of `readings` against the leading zeros the
// reader/writer was set to write on each track.
BiasVerdict JudgeBias(const std::array<std::optional<int>, 6>& readings, int cards,
                      const std::array<int, 3>& expectedZeros, const std::vector<int>& tracks,
                      int bias);

// The fixture's reply to a read: the leading zeros of each track in the read
// reply's fields, as decimal digits; nullopt when it is no such reply.
std::optional<TrackZeros> ParseFixtureReading(std::string_view replyText);

// The fixture button of the maintenance dialog, after the operator agreed.
void StartFixtureProcedure(Session& session);

// The dispatcher's branches of the procedure.
void BiasFirstCardBranch(Session& session, std::string_view replyText, bool ok);   // 17
void BiasSecondCardBranch(Session& session, std::string_view replyText, bool ok);  // 16
void FixtureReadBranch(Session& session, std::string_view replyText, bool ok);     // 13
void BiasVerifyWriteBranch(Session& session, std::string_view replyText, bool ok); // 14
// The procedure's part of the End action: the reader is found again when
// the fixture's port was opened, and the six readings are cleared.
void FixtureOnCancel(Session& session, FixtureRun& run);

} // namespace msrw
