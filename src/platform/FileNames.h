#pragma once
// Files the operator names, by name as the program holds it: on POSIX systems
// the bytes of the name as the system has them (a name that is not UTF-8
// stays openable); on Windows UTF-8, turned into the system's wide names.

#include "platform/System.h"

#include <string>

namespace msrw::platform {

// Whether names are held as UTF-8 (else as the system's own bytes).
inline constexpr bool kFileNamesAreUtf8 = kThisSystem == SystemKind::Windows;

// Whether a regular file (after links) has that name.
bool RegularFileExists(const std::string& name);

enum class FileAccess { Read, Append, Truncate };

// A C runtime file descriptor of the file opened for `access`, not inherited
// by child programs. A write makes a missing file with `newFileMode`, POSIX
// permission bits (0600: its owner reads and writes it); Windows keeps only
// whether the owner may write. -1 with the system's reason in `error` when it
// cannot be opened.
int OpenFileDescriptor(const std::string& name, FileAccess access, unsigned newFileMode,
                       std::string& error);

void CloseFileDescriptor(int fd);

bool RemoveFile(const std::string& name);

} // namespace msrw::platform
