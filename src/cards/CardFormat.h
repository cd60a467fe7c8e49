#pragma once
// The card format as the encoders, decoders and frame captions read it: per
// track its density, and the USER and Pass Book character formats. The format
// store fills it from the set-up dialog's controls.

#include <array>
#include <cstddef>
#include <string>

namespace msrw {

// One track's USER format as the decoders and encoders use it.
struct UserTrackFormat {
    int bitsPerCharacter = 7;   // 7, 6, 5 or 4
    std::string parity = "Odd"; // "None", "Odd" or "Even"
    char startSentinel = '%';
    char endSentinel = '?'; // a "~" in the list stands for a space
};

// Pass Book tracks are 5 bits per character between ";" and "<" unless the
// Pass Book frame says otherwise.
inline UserTrackFormat DefaultPassBookFormat() {
    UserTrackFormat format;
    format.bitsPerCharacter = 5;
    format.startSentinel = ';';
    format.endSentinel = '<';
    return format;
}

struct CardFormat {
    std::array<std::string, 3> bpi;               // "210" or "75" per track; "" none chosen
    std::array<std::string, 3> userBpc;           // the USER bits per character as listed
    std::array<UserTrackFormat, 3> user;          // USER tracks
    std::array<UserTrackFormat, 3> passBook;      // Pass Book tracks
    std::array<std::string, 3> passBookSyncZeros; // "25", "60" or "0"

    // Track 1-3; another track number gives the defaults.
    UserTrackFormat userFormat(int track) const {
        return valid(track) ? user[index(track)] : UserTrackFormat{};
    }
    UserTrackFormat passBookFormat(int track) const {
        return valid(track) ? passBook[index(track)] : DefaultPassBookFormat();
    }
    std::string syncZeros(int track) const {
        return valid(track) ? passBookSyncZeros[index(track)] : std::string();
    }

private:
    static bool valid(int track) { return track >= 1 && track <= 3; }
    static std::size_t index(int track) { return static_cast<std::size_t>(track - 1); }
};

} // namespace msrw
