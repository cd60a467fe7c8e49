#pragma once
// The program's folder for its files: the per-user application data folder,
// or the one named with --data-dir. File names keep their given form; a
// leading backslash means "inside the data folder".

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

// The largest file of lines the program reads (settings, path and port files).
inline constexpr std::size_t kMaxLineFileBytes = 1 << 20;

class DataFolder {
public:
    DataFolder(); // the per-user application data folder
    explicit DataFolder(const QString& root);

    const QString& root() const { return root_; }
    // "\tracksetting.bau" -> <root>/tracksetting.bau; backslashes become folders.
    QString path(std::string_view givenName) const;

    bool exists(std::string_view givenName) const;
    // The file's lines without their line ends; nullopt when it cannot be read
    // or holds more than kMaxLineFileBytes.
    std::optional<std::vector<std::string>> readLines(std::string_view givenName) const;
    // The first `count` lines of a file of any size, and whether anything
    // follows them; nullopt when it cannot be read. A line longer than
    // `maxLineBytes` comes back cut after maxLineBytes + 1 bytes, so that the
    // caller sees it is too long.
    struct Head {
        std::vector<std::string> lines;
        bool more = false;
    };
    std::optional<Head> readHead(std::string_view givenName, std::size_t count,
                                 std::size_t maxLineBytes) const;
    // Writes the lines, each ended by CR LF, replacing the file in one step so
    // that it is never left half-written. False with `error` set on failure.
    [[nodiscard]] bool writeLines(std::string_view givenName, const std::vector<std::string>& lines,
                                  QString& error) const;

private:
    QString root_;
};

} // namespace msrw
