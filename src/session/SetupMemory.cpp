#include "session/SetupMemory.h"

#include "link/MsrwDLL.h"

namespace msrw {
namespace {

constexpr const char* kOpen = "\\09\\09\\09";
constexpr const char* kRead = "\\51";
constexpr const char* kWrite = "\\41";
constexpr const char* kClose = "\\40";
// What the reader answers a command it has taken.
constexpr const char* kTaken = "^";

} // namespace

SetupMemory::SetupMemory(MsrwDLL& link) : link_(link) {
    (void)exchange(kOpen); // a reader that did not open it answers nothing below
}

SetupMemory::~SetupMemory() {
    (void)exchange(kClose); // nothing is left to do when it is not answered
}

std::string SetupMemory::exchange(const std::string& command) {
    std::string reply;
    // An unanswered exchange leaves the reply empty, which callers judge.
    (void)link_.TarnExchange(command, reply);
    return reply;
}

std::string SetupMemory::read(const std::string& address) {
    return exchange(kRead + address);
}

bool SetupMemory::write(const std::string& address, const std::string& value) {
    return exchange(kWrite + address + value) == kTaken;
}

bool ReadsLowCoOnly(SetupMemory& memory) {
    return memory.read(kLowCoOnlyAddress) == kLowCoOnlyValue;
}

} // namespace msrw
