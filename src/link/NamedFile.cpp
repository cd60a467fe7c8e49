#include "link/NamedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace msrw {
namespace {

mode_t ModeBits(QFile::Permissions p) {
    const std::pair<QFile::Permission, mode_t> bits[] = {
        {QFile::ReadOwner, S_IRUSR}, {QFile::WriteOwner, S_IWUSR}, {QFile::ExeOwner, S_IXUSR},
        {QFile::ReadGroup, S_IRGRP}, {QFile::WriteGroup, S_IWGRP}, {QFile::ExeGroup, S_IXGRP},
        {QFile::ReadOther, S_IROTH}, {QFile::WriteOther, S_IWOTH}, {QFile::ExeOther, S_IXOTH}};
    mode_t mode = 0;
    for (const auto& [permission, bit] : bits)
        if (p.testFlag(permission))
            mode |= bit;
    return mode;
}

int OpenFlags(QIODevice::OpenMode mode) {
    if (!mode.testFlag(QIODevice::WriteOnly))
        return O_RDONLY;
    return O_WRONLY | O_CREAT | (mode.testFlag(QIODevice::Append) ? O_APPEND : O_TRUNC);
}

} // namespace

bool NamedFileExists(const std::string& name) {
    struct stat st {};
    return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::unique_ptr<QFile> OpenNamedFile(const std::string& name, QIODevice::OpenMode mode,
                                     QFile::Permissions newPermissions, QString& error) {
    const int fd = ::open(name.c_str(), OpenFlags(mode) | O_CLOEXEC, ModeBits(newPermissions));
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, mode, QFileDevice::AutoCloseHandle)) {
        error = file->errorString();
        ::close(fd);
        return nullptr;
    }
    return file;
}

bool RemoveNamedFile(const std::string& name) {
    return ::unlink(name.c_str()) == 0;
}

} // namespace msrw
