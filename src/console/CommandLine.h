#pragma once
// The command-line options of the card verbs, and their reading into what a
// card run is asked to do.

#include "console/CardRunOptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace msrw::console {

void AddCardRunOptions(QCommandLineParser& parser);

// Keeps the program's arguments as the system gave them (main calls it once),
// since Qt's decoding changes a file name that is not UTF-8.
void KeepArgumentBytes(int argc, const char* const* argv);
// The bytes of the argument that Qt decoded as `decoded`; its UTF-8 when none
// was kept, and always where file names are held as UTF-8 (Windows).
std::string ArgumentBytes(const QString& decoded);

// The run the verb `args[0]` and the options ask for; nullopt, with the
// reason in `problem`, when they do not make one.
std::optional<CardRunOptions> CardRunOptionsFrom(const QCommandLineParser& parser,
                                                 const QStringList& args, QString& problem);

} // namespace msrw::console
