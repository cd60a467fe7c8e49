#pragma once
// Starts the msrw-sim program on a pseudo-terminal and stops it again.

#include <string>
#include <sys/types.h>
#include <vector>

namespace msrw::test {

class SimProcess {
public:
    // Runs `program` with `args`; its first output line is the terminal's path.
    SimProcess(const std::string& program, const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool started() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    // SIGTERM and wait; the exit status, and the peak memory in KiB.
    int stop(long* peakKiB = nullptr);
    // Closes its standard input and waits; the exit status.
    int closeInput(int timeoutMs);

    // Runs a program to its end; its exit status, and its peak memory in KiB.
    static int run(const std::string& program, const std::vector<std::string>& args,
                   long* peakKiB = nullptr);

    // The directory of the built programs (MSRW_BIN_DIR, set by CTest).
    static std::string binDir();

private:
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    std::string path_;
};

} // namespace msrw::test
