#include "platform/ConsoleInterrupts.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace msrw::platform {
namespace {

using namespace std::chrono_literals;

// Waits (up to a second) until `count` reaches `expected`.
bool Reaches(const std::atomic<int>& count, int expected) {
    for (int i = 0; i < 1000 && count < expected; ++i)
        std::this_thread::sleep_for(1ms);
    return count == expected;
}

TEST(ConsoleInterrupts, EachSignalReachesTheFunctionOffTheSignalledThread) {
    std::atomic<int> calls = 0;
    std::atomic<bool> onThisThread = false;
    const auto self = std::this_thread::get_id();
    {
        const ConsoleInterrupts watch([&] {
            onThisThread = onThisThread || std::this_thread::get_id() == self;
            ++calls;
        });
        ASSERT_TRUE(watch.watching());
        for (int sig : {SIGINT, SIGTERM}) {
            const int before = calls;
            ASSERT_EQ(::kill(::getpid(), sig), 0);
            EXPECT_TRUE(Reaches(calls, before + 1)) << "signal " << sig;
        }
        // A reader that went away is a failed write, not the program's end.
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        ::close(pipe[0]);
        EXPECT_EQ(::write(pipe[1], "x", 1), -1);
        EXPECT_EQ(errno, EPIPE);
        ::close(pipe[1]);
    }
    EXPECT_FALSE(onThisThread);
}

TEST(ConsoleInterrupts, TheNewestWatchTakesThemAndTheOlderOneAfterIt) {
    std::signal(SIGINT, SIG_IGN);
    std::atomic<int> outer = 0;
    std::atomic<int> inner = 0;
    {
        const ConsoleInterrupts outerWatch([&] { ++outer; });
        {
            const ConsoleInterrupts innerWatch([&] { ++inner; });
            ASSERT_EQ(::kill(::getpid(), SIGINT), 0);
            EXPECT_TRUE(Reaches(inner, 1));
        }
        ASSERT_EQ(::kill(::getpid(), SIGINT), 0);
        EXPECT_TRUE(Reaches(outer, 1));
        EXPECT_EQ(inner, 1);
    }
    // What was there before the watches is back.
    struct sigaction now {};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    std::signal(SIGINT, SIG_DFL);
}

} // namespace
} // namespace msrw::platform
