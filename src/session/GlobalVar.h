#pragma once
// The program-wide state of card operations.

#include <array>
#include <cstdint>
#include <string>

namespace msrw {

struct GlobalVar {
    std::int32_t OpState = 0;      // the card operation in progress (OpStates.h), 0 none
    std::int32_t OpCount = 0;      // the card number shown in result lines
    std::int16_t ActiveTracks = 2; // 0 track 2 only, 1 tracks 1 and 2, 2 all three
    bool ProtocolIsTarn = false;
    bool TarnUnframed = false;
    bool TarnAwaitStart = false;
    // Set when a Tarn track load failed and ended the operation (its prompt
    // is closed): the caller then does not show the prompt, and clears it.
    bool PromptClosed = false;
    // What start-up and the Tarn set-up read from the device's set-up memory:
    // the bytes at 00, 01, 02, 03 and 1C as two hexadecimal digits, and the
    // protocol-and-mode value (the low two bits of 04).
    struct TarnMemoryValues {
        std::string address00, leadingZero75, leadingZero210, serialFormat, coercivity;
        int protocolAndMode = 1;
        bool modeOne = false; // "Mode 1 - Hex 04 byte termination"
    } tarnMemory;
    bool FirstLoadDone = false;
    bool DatabaseRun = false;
    std::uint8_t EraseMask = 7;
    std::string CardType;
    // The track data last prepared for writing (spaces real, sentinels and
    // line breaks removed), and the last write command composed from it.
    std::array<std::string, 3> TrackData;
    std::string WriteCommand;
    // Held by the main window for the operations: the reference card of a
    // compare, and the phase of the test cycle.
    std::array<std::string, 3> compareReference;
    int testPhase = 1;
    // Counts ended operations: a branch that paused checks it to learn that
    // "End" was pressed meanwhile and must not carry on.
    std::uint64_t operationEnds = 0;
};

} // namespace msrw
