#pragma once
// The Tarn family's set-up memory, as the Setup and maintenance dialogs read
// and write it while the reader speaks that family. Every command goes out
// whole, with its operands, in one exchange: the reader answers only once a
// command is complete, so a lone command byte would wait out the link's
// reply time-out.

#include <string>

namespace msrw {

class MsrwDLL;

// Address 10 holds "5A" on a reader that writes low coercivity only.
inline constexpr const char* kLowCoOnlyAddress = "10";
inline constexpr const char* kLowCoOnlyValue = "5A";
inline constexpr const char* kLowCoFreeValue = "00";

// Opens the memory on construction and closes it again when it goes.
class SetupMemory {
public:
    explicit SetupMemory(MsrwDLL& link);
    ~SetupMemory();
    SetupMemory(const SetupMemory&) = delete;
    SetupMemory& operator=(const SetupMemory&) = delete;

    // The byte at `address` (two hexadecimal digits) as two hexadecimal
    // digits; empty when the reader did not answer.
    std::string read(const std::string& address);
    // Stores `value` (two hexadecimal digits) at `address`; false when the
    // reader did not take it.
    [[nodiscard]] bool write(const std::string& address, const std::string& value);

private:
    std::string exchange(const std::string& command);

    MsrwDLL& link_;
};

// Whether the reader's set-up memory says it writes low coercivity only.
bool ReadsLowCoOnly(SetupMemory& memory);

} // namespace msrw
