#pragma once
// The Tarn family's frames (STX body ETX check, check = XOR of STX..ETX) and
// the stuffing of track data, which never lets 02, 03, 04 or 10 travel as
// data: such a byte goes as 10 followed by the byte XOR 40.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace msrw::sim::tarn {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
inline constexpr char kEot = '\x04'; // ends a track load and a track reply
inline constexpr char kDle = '\x10';
// STX, body, ETX and check together.
inline constexpr std::size_t kMaxFrameBytes = 201;

std::string Frame(std::string_view body);

struct FrameScan {
    enum class Status { NeedMore, Good, BadCheck, TooLong };
    Status status = Status::NeedMore;
    std::size_t length = 0; // bytes the frame takes, STX to check
    std::string_view body;
};
// Looks at the frame that `input` begins with (input[0] is STX).
FrameScan ScanFrame(std::string_view input);

std::string Stuff(std::string_view data);
// nullopt when a 10 has no byte after it, or is followed by one that is
// not a stuffed byte.
std::optional<std::string> Unstuff(std::string_view data);

} // namespace msrw::sim::tarn
