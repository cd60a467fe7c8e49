#include "link/ReplaceFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace msrw {

QString NotReplaceable(const QString& path) {
    // QFileInfo follows links: a link to a device is judged as the device,
    // which a save would otherwise replace with a regular file.
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {}; // nothing there (or a dangling link): the save makes the file
    const QString what = info.isDir() ? QStringLiteral("a folder")
                                      : QStringLiteral("not a regular file (a device, a pipe or "
                                                       "a socket)");
    return QStringLiteral("%1 is %2; it is left as it is and not replaced.")
        .arg(QDir::toNativeSeparators(path), what);
}

bool ReplaceFile(const QString& path, const QByteArray& bytes, QString& error) {
    if (const QString refusal = NotReplaceable(path); !refusal.isEmpty()) {
        error = refusal;
        return false;
    }
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) is seen here rather than
    // lost in a flush that commit() does not report.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = QStringLiteral("Could not write %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        error = QStringLiteral("Could not write %1 completely (is the disk full?).").arg(path);
        return false;
    }
    if (!file.commit()) {
        error = QStringLiteral("Could not write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace msrw
