#include "files/HistoryFileIo.h"

#include "link/ReplaceFile.h"

#include <QFile>

namespace msrw::history {
namespace {

// A history file is one short line; anything much longer is not one.
constexpr qint64 kMaxHistoryBytes = 4096;

} // namespace

std::optional<std::string> ReadSmallFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxHistoryBytes);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

bool WriteWholeFile(const QString& path, const std::string& bytes, QString& error) {
    return ReplaceFile(path, QByteArray(bytes.data(), qsizetype(bytes.size())), error);
}

} // namespace msrw::history
