#pragma once
// Files the operator names (card data files), by their names as given: on
// POSIX systems the bytes of the system's file-name encoding (a name that is
// not UTF-8 would not survive a QString, so these files are found and opened
// by their bytes); on Windows UTF-8, opened by the system's wide names.

#include <QFile>
#include <QString>
#include <memory>
#include <string>

namespace msrw {

// Whether a regular file (after links) has that name.
bool NamedFileExists(const std::string& name);

// The file of that name opened in `mode` (ReadOnly, or WriteOnly with
// Append); a file made new gets `newPermissions`. nullptr with the system's
// reason in `error` when it cannot be opened.
std::unique_ptr<QFile> OpenNamedFile(const std::string& name, QIODevice::OpenMode mode,
                                     QFile::Permissions newPermissions, QString& error);

bool RemoveNamedFile(const std::string& name);

} // namespace msrw
