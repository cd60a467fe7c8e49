#include "files/UsageFile.h"

#include <algorithm>

namespace msrw::usage {
namespace {

constexpr std::array<const char*, 18> kCommentedKeys{
    "//BPI1=",  "//BPI2=",  "//BPI3=",  "//PARITY1=", "//PARITY2=", "//PARITY3=",
    "//SS1=",   "//SS2=",   "//SS3=",   "//ES1=",     "//ES2=",     "//ES3=",
    "//SYNC1=", "//SYNC2=", "//SYNC3=", "//BPC1=",    "//BPC2=",    "//BPC3="};
constexpr std::size_t kPassBookKeysFrom = 12; // SYNC for a pass book, else BPC
constexpr std::size_t kUserKeysFrom = 15;
constexpr int kMaxDataLine = 20;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsCommentedKey(std::string_view line, bool passBook) {
    for (std::size_t i = 0; i < kCommentedKeys.size(); ++i) {
        const bool wanted =
            i < kPassBookKeysFrom || (passBook ? i < kUserKeysFrom : i >= kUserKeysFrom);
        if (wanted && StartsWith(line, kCommentedKeys[i]))
            return true;
    }
    return false;
}

std::string_view WithoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::string T(int n) {
    return std::to_string(n);
}

// Reads the counted lines by position; the first refusal is kept.
class Reader {
public:
    explicit Reader(const CountedLines& c) : c_(c) {}

    bool failed() const { return problem_.has_value(); }
    Problem problem() const { return *problem_; }

    // Counted line `n` (from 1); "" past the end.
    std::string_view line(int n) const {
        return n >= 1 && std::size_t(n) <= c_.lines.size()
                   ? std::string_view(c_.lines[std::size_t(n - 1)])
                   : std::string_view();
    }
    int fileLine(int n) const {
        return n >= 1 && std::size_t(n) <= c_.fileLine.size() ? c_.fileLine[std::size_t(n - 1)] : 0;
    }
    void refuse(int n, std::string detail, std::string message = kWrongFormat) {
        if (!problem_)
            problem_ = Problem{std::move(message), fileLine(n), std::move(detail)};
    }

    // Line `n` must be one of `forms` (key + value) or the commented key,
    // which stands for `commented` whatever follows it; returns the value's index.
    int choice(int n, const std::string& key, const std::vector<std::string>& values,
               int commented) {
        const std::string_view text = line(n);
        if (StartsWith(text, "//" + key))
            return commented;
        for (std::size_t i = 0; i < values.size(); ++i)
            if (text == key + values[i])
                return int(i);
        std::string expected;
        for (const std::string& v : values)
            expected += (expected.empty() ? "\"" : " or \"") + key + v + "\"";
        refuse(n, "expected " + expected);
        return commented;
    }

    // "SS1=" + one character; the commented key, whatever follows it, gives
    // `commented`.
    char character(int n, const std::string& key, char commented) {
        const std::string_view text = line(n);
        if (StartsWith(text, "//" + key))
            return commented;
        if (StartsWith(text, key) && text.size() == key.size() + 1)
            return text.back();
        refuse(n, "expected \"" + key + "\" and one character");
        return commented;
    }

    std::string templ(int n, int track) {
        const std::string key = "Trk" + T(track) + ":";
        const std::string_view text = line(n);
        if (!StartsWith(text, key)) {
            refuse(n, "expected \"" + key + "\" and the track " + T(track) + " template");
            return {};
        }
        const std::string body(text.substr(key.size()));
        if (!TemplateWellFormed(body))
            refuse(n, "every \"f\" of a template is followed by a small letter a to z");
        return body;
    }

private:
    const CountedLines& c_;
    std::optional<Problem> problem_;
};

const std::vector<std::string> kBpi{"210", "75"};
const std::vector<std::string> kParity{"NONE", "ODD", "EVEN"};
const std::vector<std::string> kBpc{"7", "6", "5", "4"};
const std::vector<std::string> kSync{"", "25", "60"}; // positions 1 and 2 only

std::string WideStart() {
    return "!#%')+-/13579;=?ACEGIKMOQSUWY[]_";
}
std::string WideEnd() {
    std::string out = "~";
    for (char c = '!'; c <= '_'; ++c)
        out += c == '\'' ? '`' : c;
    return out;
}
std::string NarrowStart(int track) {
    return track == 2 ? "13579;<=?" : "13579;=?";
}
std::string NarrowEnd() {
    return "0123456789:;<=>?";
}

void ReadBpi(Reader& r, Setup& s, int firstLine) {
    for (int n = 1; n <= 3; ++n)
        s.bpi[std::size_t(n - 1)] = r.choice(firstLine + n - 1, "BPI" + T(n) + "=", kBpi, 0);
}

void ReadTemplates(Reader& r, Setup& s, int firstLine) {
    for (int n = 1; n <= 3; ++n)
        s.templates[std::size_t(n - 1)] = r.templ(firstLine + n - 1, n);
}

void ReadUserSentinels(Reader& r, Setup& s) {
    for (int n = 1; n <= 3; ++n) {
        const std::size_t i = std::size_t(n - 1);
        const bool wide = s.bpc[i] <= 1;
        const std::string starts = wide ? WideStart() : NarrowStart(n);
        const std::string ends = wide ? WideEnd() : NarrowEnd();
        const char ss = r.character(10 + n, "SS" + T(n) + "=", starts.front());
        const char es = r.character(13 + n, "ES" + T(n) + "=", ends.front());
        if (starts.find(ss) == std::string::npos)
            r.refuse(10 + n, "the start sentinel is not one of " + starts);
        if (ends.find(es) == std::string::npos)
            r.refuse(13 + n, "the end sentinel is not one of " + ends);
        s.startSentinel[i] = ss;
        s.endSentinel[i] = es == '`' ? '\'' : es;
    }
}

void ReadUserParity(Reader& r, Setup& s) {
    for (int n = 1; n <= 3; ++n) {
        const std::size_t i = std::size_t(n - 1);
        s.parity[i] = r.choice(7 + n, "PARITY" + T(n) + "=", kParity, 1);
        const bool carriesParity = s.bpc[i] == 0 || s.bpc[i] == 2;
        if (!carriesParity)
            s.parity[i] = 0;
        else if (s.parity[i] == 0)
            r.refuse(7 + n, "a track of 7 or 5 bits carries a parity bit",
                     "Wrong parity setting for track " + T(n) + ".");
    }
}

void ReadPassBookSentinels(Reader& r, Setup& s) {
    for (int n = 1; n <= 3; ++n) {
        const std::size_t i = std::size_t(n - 1);
        s.parity[i] = r.choice(7 + n, "PARITY" + T(n) + "=", kParity, 1);
        s.passBookStart[i] = r.choice(10 + n, "SS" + T(n) + "=", {";", "="}, 0);
        s.passBookEnd[i] = r.choice(13 + n, "ES" + T(n) + "=", {"<", "?"}, 0);
    }
}

void ReadLayoutOfSeventeen(Reader& r, Setup& s) {
    ReadBpi(r, s, 2);
    for (int n = 1; n <= 3; ++n) {
        const std::size_t i = std::size_t(n - 1);
        if (s.kind == CardKind::PassBook) {
            s.syncZeros[i] = r.choice(4 + n, "SYNC" + T(n) + "=", kSync, 1);
            if (s.syncZeros[i] == 0)
                r.refuse(4 + n, "expected \"SYNC" + T(n) + "=25\" or \"SYNC" + T(n) + "=60\"");
        } else {
            s.bpc[i] = r.choice(4 + n, "BPC" + T(n) + "=", kBpc, 0);
        }
    }
    if (s.kind == CardKind::PassBook) {
        ReadPassBookSentinels(r, s);
    } else {
        ReadUserParity(r, s);
        ReadUserSentinels(r, s);
    }
    if (r.line(17) != "[DATA]")
        r.refuse(17, "expected \"[DATA]\"");
    ReadTemplates(r, s, 18);
}

void ReadAamva(Reader& r, Setup& s) {
    ReadBpi(r, s, 2);
    for (int n = 5; n <= kMaxDataLine; ++n) {
        if (r.line(n) == "[DATA]") {
            ReadTemplates(r, s, n + 1);
            return;
        }
    }
    r.refuse(1, "\"[DATA]\" is not among the first " + T(kMaxDataLine) + " lines");
}

} // namespace

CountedLines CollectLines(const std::vector<std::string>& fileLines) {
    CountedLines out;
    out.passBook = std::any_of(fileLines.begin(), fileLines.end(), [](const std::string& l) {
        return WithoutCr(l) == "CARDTYPE=PASS BOOK";
    });
    for (std::size_t i = 0; i < fileLines.size() && out.lines.size() < kMaxCountedLines; ++i) {
        const std::string_view line = WithoutCr(fileLines[i]);
        if (StartsWith(line, "//end"))
            break;
        const bool comment = StartsWith(line, "//") || StartsWith(line, "[S");
        if (comment && !IsCommentedKey(line, out.passBook))
            continue;
        out.lines.emplace_back(line);
        out.fileLine.push_back(int(i + 1));
    }
    return out;
}

int CardTypePosition(CardKind kind) {
    switch (kind) {
    case CardKind::Iso:
        return 0;
    case CardKind::Aamva:
        return 1;
    case CardKind::User:
        return 2;
    case CardKind::PassBook:
        return 4;
    }
    return 0;
}

const char* CardTypeName(CardKind kind) {
    switch (kind) {
    case CardKind::Iso:
        return "ISO";
    case CardKind::Aamva:
        return "AAMVA";
    case CardKind::User:
        return "USER";
    case CardKind::PassBook:
        return "PASS BOOK";
    }
    return "ISO";
}

Parsed ParseUsage(const CountedLines& counted) {
    Reader r(counted);
    if (!StartsWith(r.line(1), "CARDTYPE") && r.line(16) != "[DATA]") {
        r.refuse(1, "the first line is the \"CARDTYPE=\" line");
        return {std::nullopt, r.problem()};
    }
    Setup s;
    const std::string_view type = r.line(1);
    if (type == "CARDTYPE=USER") {
        s.kind = CardKind::User;
        ReadLayoutOfSeventeen(r, s);
    } else if (counted.passBook || type == "CARDTYPE=PASS BOOK") {
        s.kind = CardKind::PassBook;
        ReadLayoutOfSeventeen(r, s);
    } else if (type == "CARDTYPE=AAMVA") {
        s.kind = CardKind::Aamva;
        ReadAamva(r, s);
    } else {
        s.kind = CardKind::Iso;
        ReadBpi(r, s, 2);
        ReadTemplates(r, s, 5);
    }
    if (r.failed())
        return {std::nullopt, r.problem()};
    return {s, {}};
}

bool TemplateWellFormed(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != 'f')
            continue;
        if (i + 1 >= text.size() || text[i + 1] < 'a' || text[i + 1] > 'z')
            return false;
        ++i;
    }
    return true;
}

std::optional<std::string> FillTemplate(std::string_view text,
                                        const std::vector<std::string>& fields, int& missingField) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != 'f') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size() || text[i + 1] < 'a' || text[i + 1] > 'z') {
            missingField = 0;
            return std::nullopt;
        }
        const std::size_t field = std::size_t(text[++i] - 'a');
        if (field >= fields.size() || fields[field].empty()) {
            missingField = int(field + 1);
            return std::nullopt;
        }
        out += fields[field];
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

} // namespace msrw::usage
