#pragma once
// The values of OpState: the card operation in progress and the reply it
// waits for. The set is fixed; a reply in a state with no branch is dropped.

#include <cstdint>

namespace msrw {

inline constexpr std::int32_t kOpIdle = 0;
inline constexpr std::int32_t kOpWrite = 1;      // write, "Ormond Mode" and "Velk Mode"
inline constexpr std::int32_t kOpDropReply = 2;  // no operation sets it; its branch idles
inline constexpr std::int32_t kOpRead = 3;       // read
inline constexpr std::int32_t kOpErase = 4;      // erase
inline constexpr std::int32_t kOpCompare = 5;    // compare, all modes
inline constexpr std::int32_t kOpReadToFile = 6; // read to file, "Velk Mode" and "Ormond Mode"
inline constexpr std::int32_t kOpWriteFromFile = 7;
inline constexpr std::int32_t kOpSequentialWrite = 8;
inline constexpr std::int32_t kOpQuellRead = 9;
inline constexpr std::int32_t kOpFixtureRead = 13;       // lead-zero bias: the fixture's reading
inline constexpr std::int32_t kOpBiasPatternVerify = 14; // lead-zero bias: pattern write verified
inline constexpr std::int32_t kOpDatabaseWrite = 15;
inline constexpr std::int32_t kOpBiasSecondCard = 16; // lead-zero bias: second card written
inline constexpr std::int32_t kOpBiasFirstCard = 17;  // lead-zero bias: first pattern card
inline constexpr std::int32_t kOpQuellWrite = 18;
inline constexpr std::int32_t kOpQuellReadToFile = 20;
inline constexpr std::int32_t kOpTestWrite = 21;     // test cycle, write phase
inline constexpr std::int32_t kOpTestRead = 22;      // test cycle, read phases
inline constexpr std::int32_t kOpPassBookWrite = 23; // pass-book write with verification

} // namespace msrw
