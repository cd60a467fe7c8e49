#include "link/NamedFile.h"

#include "platform/FileNames.h"

namespace msrw {
namespace {

// The POSIX permission bits of `p` (0600 for owner read and write).
unsigned ModeBits(QFile::Permissions p) {
    const std::pair<QFile::Permission, unsigned> bits[] = {
        {QFile::ReadOwner, 0400}, {QFile::WriteOwner, 0200}, {QFile::ExeOwner, 0100},
        {QFile::ReadGroup, 0040}, {QFile::WriteGroup, 0020}, {QFile::ExeGroup, 0010},
        {QFile::ReadOther, 0004}, {QFile::WriteOther, 0002}, {QFile::ExeOther, 0001}};
    unsigned mode = 0;
    for (const auto& [permission, bit] : bits)
        if (p.testFlag(permission))
            mode |= bit;
    return mode;
}

platform::FileAccess AccessFor(QIODevice::OpenMode mode) {
    if (!mode.testFlag(QIODevice::WriteOnly))
        return platform::FileAccess::Read;
    return mode.testFlag(QIODevice::Append) ? platform::FileAccess::Append
                                            : platform::FileAccess::Truncate;
}

} // namespace

bool NamedFileExists(const std::string& name) {
    return platform::RegularFileExists(name);
}

std::unique_ptr<QFile> OpenNamedFile(const std::string& name, QIODevice::OpenMode mode,
                                     QFile::Permissions newPermissions, QString& error) {
    std::string reason;
    const int fd =
        platform::OpenFileDescriptor(name, AccessFor(mode), ModeBits(newPermissions), reason);
    if (fd < 0) {
        error = QString::fromLocal8Bit(reason);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, mode, QFileDevice::AutoCloseHandle)) {
        error = file->errorString();
        platform::CloseFileDescriptor(fd);
        return nullptr;
    }
    return file;
}

bool RemoveNamedFile(const std::string& name) {
    return platform::RemoveFile(name);
}

} // namespace msrw
