#include "platform/FileNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace msrw::platform {
namespace {

int OpenFlags(FileAccess access) {
    switch (access) {
    case FileAccess::Read:
        return O_RDONLY;
    case FileAccess::Append:
        return O_WRONLY | O_CREAT | O_APPEND;
    case FileAccess::Truncate:
        break;
    }
    return O_WRONLY | O_CREAT | O_TRUNC;
}

} // namespace

bool RegularFileExists(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int OpenFileDescriptor(const std::string& name, FileAccess access, unsigned newFileMode,
                       std::string& error) {
    const int fd = ::open(name.c_str(), OpenFlags(access) | O_CLOEXEC, mode_t(newFileMode));
    if (fd < 0)
        error = std::strerror(errno);
    return fd;
}

void CloseFileDescriptor(int fd) {
    ::close(fd);
}

bool RemoveFile(const std::string& name) {
    return ::unlink(name.c_str()) == 0;
}

} // namespace msrw::platform
