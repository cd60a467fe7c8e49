#include "files/ScriptLoad.h"

#include <QFile>

namespace msrw {

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
