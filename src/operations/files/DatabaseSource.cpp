#include "operations/files/DatabaseSource.h"

#include "batch/ConnectionText.h"
#include "operations/files/BatchRecordSource.h"
#include "operations/files/CsvRecordSource.h"
#include "session/Session.h"

namespace msrw {
namespace {

std::string Trimmed(const std::string& text) {
    const std::size_t from = text.find_first_not_of(" \t\r\n");
    if (from == std::string::npos)
        return {};
    return text.substr(from, text.find_last_not_of(" \t\r\n") - from + 1);
}

} // namespace

DatabaseSourceChoice& DatabaseSourceOf(Session& s) {
    return s.operationState<DatabaseSourceChoice>();
}

bool SetDatabaseSource(Session& s, DatabaseSourceChoice choice, std::string& problem) {
    choice.connection = Trimmed(choice.connection);
    if (!choice.connection.empty()) {
        const batch::ParsedConnection parsed = batch::ParseConnectionText(choice.connection);
        if (!parsed.settings) {
            problem = "The connection text is not one: " + parsed.problem;
            return false;
        }
    }
    DatabaseSourceOf(s) = std::move(choice);
    return true;
}

void mnuDatabaseSource_Click(Session& s) {
    const std::optional<std::string> text = s.dialogs.askText(
        "Batch server (host=... dbname=... user=..., or postgresql://user@host/dbname);\n"
        "leave it empty to write the usage file's CSV file.",
        "Database Source");
    if (!text)
        return;
    DatabaseSourceChoice choice = DatabaseSourceOf(s);
    choice.connection = *text;
    std::string problem;
    if (!SetDatabaseSource(s, std::move(choice), problem))
        s.dialogs.showMessage(problem, MessageIcon::Critical);
}

std::unique_ptr<RecordSource> MakeRecordSource(Session& s) {
    const DatabaseSourceChoice& choice = DatabaseSourceOf(s);
    if (choice.connection.empty())
        return std::make_unique<CsvRecordSource>();
    return std::make_unique<BatchRecordSource>(choice);
}

} // namespace msrw
