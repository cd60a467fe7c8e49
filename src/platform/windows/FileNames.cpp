#include "platform/FileNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace msrw::platform {
namespace {

// The wide name of a UTF-8 name; empty when it is not UTF-8.
std::wstring Wide(const std::string& name) {
    if (name.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(),
                                        int(name.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), int(name.size()),
                              wide.data(), n);
    return wide;
}

int OpenFlags(FileAccess access) {
    switch (access) {
    case FileAccess::Read:
        return _O_RDONLY;
    case FileAccess::Append:
        return _O_WRONLY | _O_CREAT | _O_APPEND;
    case FileAccess::Truncate:
        break;
    }
    return _O_WRONLY | _O_CREAT | _O_TRUNC;
}

} // namespace

bool RegularFileExists(const std::string& name) {
    const std::wstring wide = Wide(name);
    const DWORD attributes =
        wide.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int OpenFileDescriptor(const std::string& name, FileAccess access, unsigned newFileMode,
                       std::string& error) {
    const std::wstring wide = Wide(name);
    if (wide.empty()) {
        error = "the name is not valid UTF-8";
        return -1;
    }
    // Binary: the files' own line ends (CR LF) pass as they are.
    const int permission = (newFileMode & 0200) != 0 ? _S_IREAD | _S_IWRITE : _S_IREAD;
    const int fd = ::_wopen(wide.c_str(), OpenFlags(access) | _O_BINARY | _O_NOINHERIT, permission);
    if (fd < 0)
        error = std::strerror(errno);
    return fd;
}

void CloseFileDescriptor(int fd) {
    ::_close(fd);
}

bool RemoveFile(const std::string& name) {
    const std::wstring wide = Wide(name);
    return !wide.empty() && ::DeleteFileW(wide.c_str()) != 0;
}

} // namespace msrw::platform
