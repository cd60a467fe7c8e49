#pragma once
// Which kind of system this build runs on, for the few choices that are
// data rather than code (how ports are named, how file names are held).

namespace msrw::platform {

enum class SystemKind { Posix, Windows };

#ifdef _WIN32
inline constexpr SystemKind kThisSystem = SystemKind::Windows;
#else
inline constexpr SystemKind kThisSystem = SystemKind::Posix;
#endif

} // namespace msrw::platform
