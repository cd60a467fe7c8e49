#pragma once
// The one way the program replaces a file it keeps (settings, port record,
// Tarn set-up, path files, history files): in one step, so that it is never
// left half-written, and only when what is there is a regular file.

#include <QByteArray>
#include <QString>

namespace msrw {

// Why `path` may not be replaced (it is, after following links, a folder, a
// device, a pipe or a socket); empty when it is a regular file or nothing.
QString NotReplaceable(const QString& path);

// Replaces the file at `path` with `bytes`; false with `error` set (naming the
// file) when it is not a regular file or cannot be written whole.
[[nodiscard]] bool ReplaceFile(const QString& path, const QByteArray& bytes, QString& error);

} // namespace msrw
