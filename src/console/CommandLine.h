#pragma once
// The command-line options of the card verbs, and their reading into what a
// card run is asked to do.

#include "console/CardRunOptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace msrw::console {

void AddCardRunOptions(QCommandLineParser& parser);
// The run the verb `args[0]` and the options ask for; nullopt, with the
// reason in `problem`, when they do not make one.
std::optional<CardRunOptions> CardRunOptionsFrom(const QCommandLineParser& parser,
                                                 const QStringList& args, QString& problem);

} // namespace msrw::console
