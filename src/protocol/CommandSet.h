#pragma once
// The commands the program sends to the reader/writer, as command texts
// ("\1Br" is ESC 'r'). One function per command, named for what it does.
//
// Numbers inside commands travel as single bytes ("\D2" for 210). A builder
// whose parameter does not fit its byte refuses with std::nullopt rather than
// sending a command the device would misread.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace msrw::cmd {

enum class Track { One = 1, Two = 2, Three = 3 };

// Tracks the reader/writer handles; the value is the digit the device uses
// both in "\1Bs" and in its answer to "\1Bt".
enum class TrackModel : char {
    Track2 = '1',
    Tracks2And3 = '2',
    Tracks1To3 = '3',
    Tracks1And2 = '5',
};

// "Track 2", "Track 2 and Track 3", "Track 1, 2 and 3", "Track 1 and Track 2".
std::string_view TrackModelName(TrackModel model);
std::optional<TrackModel> TrackModelFromName(std::string_view name);
std::optional<TrackModel> TrackModelFromDigit(char digit);

// Bits per character of tracks 1, 2 and 3.
using BitsPerCharacter = std::array<int, 3>;

// --- Escape-sequence commands -------------------------------------------

std::string Idle();              // "\1Ba"
std::string CommunicationTest(); // "\1Be", answered "\1By"
std::string ReadDecoded();       // "\1Br"
std::string ReadRaw();           // "\1B\6D"
// "\1BR1" when only tracks that differ are to be sent, "\1BR0" otherwise.
std::string ReadPassBook(bool onlyWhenDifferent);

// Write framing around already prepared blocks.
std::string DecodedTrackBlock(Track track, std::string_view characters);
std::string DecodedWrite(std::span<const std::string> blocks);  // "\1Bw\1Bs" ... "?\1C"
std::string RawWrite(std::span<const std::string> blocks);      // "\1Bn\1Bs" ... "\3F\1C"
std::string PassBookWrite(std::span<const std::string> blocks); // "\1BW\1Bs" ... "\3F\1C"

// Erase the tracks of a mask (bit 0 track 1, bit 1 track 2, bit 2 track 3);
// only 1-7 name tracks.
std::optional<std::string> Erase(int trackMask);

std::optional<std::string> SetBitsPerCharacter(const BitsPerCharacter& bits);
// The fixed bits per character of a card type: ISO 7-5-5, AAMVA 7-5-7,
// USER, RAW and PASS BOOK 8-8-8; none for the others.
std::optional<BitsPerCharacter> StandardBitsPerCharacter(std::string_view cardType);

std::optional<std::string> SetDensity(Track track, int bitsPerInch);
std::optional<std::string> SetLeadingZeros(int at210Bpi, int at75Bpi);

std::string SelectHighCoercivity(); // "\1Bx"
std::string SelectLowCoercivity();  // "\1By"
std::string AskCoercivity();        // "\1Bd", answered "\1BH" or "\1BL"

std::optional<std::string> SetLeadZeroBias(int value);
// The operator types the bias as two hexadecimal digits (either case).
std::optional<std::uint8_t> ParseLeadZeroBiasInput(std::string_view text);
std::string AskLeadZeroBias(); // "\1Bi"

std::string AskTrackModel(); // "\1Bt"
std::string SetTrackModel(TrackModel model);

std::string EnterBootLoader(); // "\1B\4A\46\4B"
std::string SwitchToTarn();    // "\1BToTARN"
std::string SwitchToVelk();    // "ToVELK", understood while the device speaks Tarn
std::string Probe();           // "\39"

// The fixed write patterns of the lead-zero-bias check, one per track model
// that has one (tracks 1 to 3, tracks 1 and 2).
std::optional<std::string> LeadZeroBiasTestPattern(TrackModel model);
bool IsLeadZeroBiasTestPattern(std::string_view command);

// --- Card commands by card type ------------------------------------------

// The read command in "Ormond Mode"; none for a type that cannot be read there.
std::optional<std::string> OrmondReadCommand(std::string_view cardType, bool passBookOnlyDifferent);

// --- "Velk Mode" text commands --------------------------------------------

std::string VelkReadUser(); // "RU 0\0D"
std::string VelkReadRaw();  // "RR\0D"
std::optional<std::string> VelkErase(int trackMask);
std::optional<std::string> VelkReadCommand(std::string_view cardType);
// "WI ", "WA ", "WC ", "WU " or "WR " for ISO, AAMVA, CDL, USER, RAW.
std::optional<std::string> VelkWritePrefix(std::string_view cardType);

} // namespace msrw::cmd
