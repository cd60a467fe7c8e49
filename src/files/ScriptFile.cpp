#include "files/ScriptFile.h"

#include <QFile>

namespace msrw {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The next line of `text` from `start`, and where the one after it begins.
std::string_view NextLine(std::string_view text, std::size_t& start) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end;
    if (start < text.size() && text[start] == '\r')
        ++start;
    if (start < text.size() && text[start] == '\n')
        ++start;
    return line;
}

} // namespace

std::vector<ScriptStep> ParseScript(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::vector<ScriptStep> steps;
    std::string pendingComment;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::string_view line = NextLine(text, start);
        if (line.substr(0, 5) == "//end")
            break;
        if (line.substr(0, 2) == "//") {
            pendingComment = std::string(line.substr(2));
        } else if (!line.empty() && line[0] == '\\') {
            steps.push_back({std::string(line), pendingComment});
            pendingComment.clear();
        }
    }
    return steps;
}

ScriptLoad LoadScriptFile(const QString& path) {
    const QString& name = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                QString("The script %1 cannot be read: %2.")
                    .arg(name, file.errorString())
                    .toStdString()};
    // One byte past the bound tells a file at the bound from a larger one.
    const QByteArray text = file.read(qint64(kMaxScriptBytes) + 1);
    if (text.size() > qsizetype(kMaxScriptBytes))
        return {{},
                QString("The script %1 is larger than %2 KB; it is not a script.")
                    .arg(name)
                    .arg(kMaxScriptBytes / 1024)
                    .toStdString()};
    ScriptLoad load{ParseScript(std::string_view(text.constData(), std::size_t(text.size()))), {}};
    if (load.steps.empty())
        load.error = QString("The script %1 holds no command (a command line begins with \"\\\").")
                         .arg(name)
                         .toStdString();
    return load;
}

} // namespace msrw
