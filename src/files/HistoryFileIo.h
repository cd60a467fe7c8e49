#pragma once
// The history file on disk: read whole, replaced whole.

#include <QString>
#include <optional>
#include <string>

namespace msrw::history {

// Reads the whole file; nullopt when it cannot be read (`error` set).
std::optional<std::string> ReadSmallFile(const QString& path, QString& error);
// Replaces the file in one step.
[[nodiscard]] bool WriteWholeFile(const QString& path, const std::string& bytes, QString& error);

} // namespace msrw::history
