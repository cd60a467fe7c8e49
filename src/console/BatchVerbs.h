#pragma once
// The batch verbs of msrw-cli, for the operator of a batch on a batch server:
//   batch import USAGE.txt --db CONNECTION     a new batch of the usage file's records
//   batch status --db CONNECTION [--batch N]   per batch and per station, what is done
//   batch retry BATCH RECORD --db CONNECTION   an uncertain record offered again
// They open no port. --db and --batch are among the card-run options
// (AddCardRunOptions).

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace msrw::console {

inline constexpr const char* kBatchVerb = "batch";

// Runs `batch ...` (`args[0]` is "batch"); the exit status.
int RunBatchVerb(const QCommandLineParser& parser, const QStringList& args);

} // namespace msrw::console
