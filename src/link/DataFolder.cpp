#include "link/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace msrw {

DataFolder::DataFolder()
    : DataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)) {}

DataFolder::DataFolder(const QString& root) : root_(root) {}

QString DataFolder::path(std::string_view givenName) const {
    QString name = QString::fromLatin1(givenName.data(), qsizetype(givenName.size()));
    name.replace('\\', '/');
    while (name.startsWith('/'))
        name.remove(0, 1);
    return QDir(root_).filePath(name);
}

bool DataFolder::exists(std::string_view givenName) const {
    if (givenName.empty() || givenName.back() == '\\' || givenName.back() == '/')
        return false;
    return QFileInfo(path(givenName)).isFile();
}

std::optional<std::vector<std::string>> DataFolder::readLines(std::string_view givenName) const {
    QFile file(path(givenName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::vector<std::string> lines;
    // Read with a bound: a device file (or a runaway file) is no line file.
    const QByteArray all = file.read(qint64(kMaxLineFileBytes) + 1);
    if (all.size() > qsizetype(kMaxLineFileBytes))
        return std::nullopt;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\n', start);
        if (end < 0)
            end = all.size();
        QByteArray line = all.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.emplace_back(line.constData(), std::size_t(line.size()));
        start = end + 1;
    }
    return lines;
}

bool DataFolder::writeLines(std::string_view givenName, const std::vector<std::string>& lines,
                            QString& error) const {
    QByteArray bytes;
    for (const std::string& line : lines) {
        bytes.append(line.data(), qsizetype(line.size()));
        bytes.append("\r\n", 2);
    }
    const QString target = path(givenName);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile file(target);
    // Unbuffered, so that a short write (a full disk) is seen here rather than
    // lost in a flush that commit() does not report.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = QStringLiteral("Could not write %1: %2").arg(target, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        error = QStringLiteral("Could not write %1 completely (is the disk full?).").arg(target);
        return false;
    }
    if (!file.commit()) {
        error = QStringLiteral("Could not write %1: %2").arg(target, file.errorString());
        return false;
    }
    return true;
}

} // namespace msrw
