#include "link/DataFolder.h"

#include "link/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

std::optional<DataFolder::Head> DataFolder::readHead(std::string_view givenName, std::size_t count,
                                                     std::size_t maxLineBytes) const {
    QFile file(path(givenName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Head head;
    char c = 0;
    while (head.lines.size() < count && file.getChar(&c)) {
        std::string line;
        // A line is a line however long: the rest of a long one is skipped,
        // never taken as the next line.
        for (bool more = true; more && c != '\n'; more = file.getChar(&c))
            if (line.size() <= maxLineBytes)
                line += c;
        if (!line.empty() && line.back() == '\r' && line.size() <= maxLineBytes)
            line.pop_back();
        head.lines.push_back(std::move(line));
    }
    head.more = file.getChar(&c);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return head;
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
    return ReplaceFile(target, bytes, error);
}

} // namespace msrw
