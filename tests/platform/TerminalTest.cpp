#include "platform/Terminal.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace msrw::platform {
namespace {

// Each stream in turn on a pseudo-terminal, the other two on a pipe: only
// that one is a terminal.
TEST(Terminal, OnlyTheStreamOnATerminalIsOne) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    int pipe[2];
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::pipe(pipe), 0);
    const StandardStream streams[] = {StandardStream::Input, StandardStream::Output,
                                      StandardStream::Error};
    const int kept[] = {::dup(0), ::dup(1), ::dup(2)};
    bool seen[3][3] = {};
    std::fflush(stdout);
    std::fflush(stderr);
    for (int onTerminal = 0; onTerminal < 3; ++onTerminal) {
        for (int fd = 0; fd < 3; ++fd)
            ::dup2(fd == onTerminal ? terminal : pipe[fd == 0 ? 0 : 1], fd);
        for (int s = 0; s < 3; ++s)
            seen[onTerminal][s] = IsTerminal(streams[s]);
    }
    for (int fd = 0; fd < 3; ++fd) {
        ::dup2(kept[fd], fd);
        ::close(kept[fd]);
    }
    for (int fd : {master, terminal, pipe[0], pipe[1]})
        ::close(fd);
    for (int onTerminal = 0; onTerminal < 3; ++onTerminal)
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(seen[onTerminal][s], s == onTerminal)
                << "stream " << s << " with fd " << onTerminal << " on the terminal";
}

} // namespace
} // namespace msrw::platform
