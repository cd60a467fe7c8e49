#include "support/SimProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace msrw::test {
namespace {

// Reads one line within the time given; empty on failure.
std::string ReadLine(int fd, int timeoutMs) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        char c;
        if (read(fd, &c, 1) != 1)
            return {};
        if (c == '\n')
            return line;
        line += c;
    }
    return {};
}

// Starts `program` with `args`, its standard input and output on the given
// descriptors (closing `closeInChild` in the child).
pid_t Spawn(const std::string& program, const std::vector<std::string>& args, int in, int out,
            int closeInChild) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    dup2(in, 0);
    dup2(out, 1);
    if (closeInChild >= 0)
        close(closeInChild);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

} // namespace

std::string SimProcess::binDir() {
    const char* dir = std::getenv("MSRW_BIN_DIR");
    return dir ? dir : ".";
}

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& args) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0)
        return;
    pid_ = Spawn(program, args, in[0], out[1], in[1]);
    close(in[0]);
    close(out[1]);
    stdinFd_ = in[1];
    stdoutFd_ = out[0];
    path_ = ReadLine(stdoutFd_, 5000);
}

int SimProcess::stop(long* peakKiB) {
    if (pid_ <= 0)
        return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid_, &status, 0, &usage);
    pid_ = -1;
    if (peakKiB)
        *peakKiB = usage.ru_maxrss;
    return status;
}

int SimProcess::closeInput(int timeoutMs) {
    if (pid_ <= 0)
        return -1;
    close(stdinFd_);
    stdinFd_ = -1;
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

int SimProcess::run(const std::string& program, const std::vector<std::string>& args,
                    long* peakKiB) {
    const int devnull = open("/dev/null", O_RDWR);
    const pid_t pid = Spawn(program, args, devnull, devnull, -1);
    close(devnull);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (peakKiB)
        *peakKiB = usage.ru_maxrss;
    return status;
}

SimProcess::~SimProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (stdinFd_ >= 0)
        close(stdinFd_);
    if (stdoutFd_ >= 0)
        close(stdoutFd_);
}

} // namespace msrw::test
