#include "cards/AamvaCard.h"

#include "cards/TrackFields.h"

#include <optional>

namespace msrw::details {
namespace {

constexpr std::size_t kMostCity = 13;
constexpr std::size_t kMostName = 35;
constexpr std::size_t kMostNumber = 13;
// Expiry months that are no month: the card never expires, expires at the
// end of the birth month, or on the birthday, of the year given.
constexpr int kNeverExpires = 77;
constexpr int kEndOfBirthMonth = 88;
constexpr int kOnBirthday = 99;

struct FixedSpec {
    std::size_t width;
    const char* key;
    const char* label;
    bool technical; // not listed when the track ends before it
};

constexpr FixedSpec kTrack3[] = {
    {1, "template_version", "Template version", false},
    {1, "security_version", "Security version", false},
    {11, "postal_code", "Postal code", false},
    {2, "class", "Class", false},
    {10, "restrictions", "Restrictions", false},
    {4, "endorsements", "Endorsements", false},
    {1, "sex", "Sex", false},
    {3, "height", "Height", false},
    {3, "weight", "Weight", false},
    {3, "hair_colour", "Hair colour", false},
    {3, "eye_colour", "Eye colour", false},
    {10, "id_number", "ID number", true},
    {16, "reserved", "Reserved space", true},
    {6, "error_correction", "Error correction", true},
    {5, "security", "Security", true},
};

bool IsLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

void AddEmptyTrack(int track, CardDetails& out) {
    out.fields.push_back({track, "contents", "Contents", "", FieldState::Empty});
}

// Family, given and middle names, "$" between them. Parts the name does not
// reach are empty, or missing where the track ended inside the name.
void AddNameParts(const Piece& name, CardDetails& out) {
    if (name.state == FieldState::Missing)
        return;
    static constexpr std::pair<const char*, const char*> kParts[] = {
        {"family_name", "Family name"},
        {"given_name", "Given name"},
        {"middle_names", "Middle names"}};
    FieldCutter cut(name.text);
    for (std::size_t i = 0; i < 3; ++i) {
        Piece part = cut.atEnd() ? Piece{{}, FieldState::Missing}
                     : i < 2     ? cut.until('$')
                                 : cut.rest();
        if (part.state == FieldState::CutShort)
            part.state =
                name.state == FieldState::CutShort ? FieldState::CutShort : FieldState::Present;
        if (part.state == FieldState::Missing && name.state != FieldState::CutShort)
            part.state = FieldState::Empty;
        out.fields.push_back(MakeField(1, kParts[i].first, kParts[i].second, part));
    }
}

void DecodeTrack1(std::string_view body, CardDetails& out) {
    FieldCutter cut(body);
    out.fields.push_back(MakeField(1, "jurisdiction", "Jurisdiction", cut.fixed(2)));
    out.fields.push_back(MakeField(1, "city", "City", cut.until('^', kMostCity)));
    const Piece name = cut.until('^', kMostName);
    out.fields.push_back(MakeField(1, "name", "Name", name));
    AddNameParts(name, out);
    // The address is the last field: the track may end it without a separator.
    Piece address = cut.until('^');
    if (address.state == FieldState::CutShort)
        address.state = FieldState::Present;
    Field shown = MakeField(1, "address", "Address", address);
    for (char& c : shown.value)
        c = c == '$' ? ',' : c; // "$" parts address lines
    out.fields.push_back(std::move(shown));
    if (const Piece more = cut.rest(); more.state == FieldState::Present)
        out.fields.push_back(MakeField(1, "further", "Further data", more));
}

std::optional<Date> BirthDate(const Piece& birth) {
    if (birth.state != FieldState::Present || !AllDigits(birth.text))
        return std::nullopt;
    const Date d{Number(birth.text.substr(0, 4)), Number(birth.text.substr(4, 2)),
                 Number(birth.text.substr(6, 2))};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > DaysInMonth(d.year, d.month))
        return std::nullopt;
    return d;
}

Check BirthCheck(const Piece& birth, const std::optional<Date>& born, const Date& today) {
    if (!born)
        return {"birth_date", "Date of birth", false,
                "The date of birth \"" + Utf8(birth.text) + "\" is no date (CCYYMMDD)."};
    if (After(*born, today))
        return {"birth_date", "Date of birth", false, "The date of birth lies in the future."};
    return {"birth_date", "Date of birth", true, "The date of birth is a real date."};
}

Check ExpiryOf(const Piece& expiry, const std::optional<Date>& born, const Date& today) {
    const Check unknown{"expiry", "Expiry", false,
                        "The expiry \"" + Utf8(expiry.text) + "\" is no year and month."};
    if (expiry.state != FieldState::Present || !AllDigits(expiry.text))
        return unknown;
    const int year = 2000 + Number(expiry.text.substr(0, 2));
    const int month = Number(expiry.text.substr(2, 2));
    if (month == kNeverExpires)
        return {"expiry", "Expiry", true, "The card never expires."};
    if (month == kEndOfBirthMonth || month == kOnBirthday) {
        if (!born)
            return {"expiry", "Expiry", false,
                    "The card expires by the date of birth, which is no date."};
        const int day = month == kOnBirthday ? std::min(born->day, DaysInMonth(year, born->month))
                                             : DaysInMonth(year, born->month);
        const Date last{year, born->month, day};
        return ExpiryCheck(
            last, (day < 10 ? "0" : "") + std::to_string(day) + "/" + MonthYear(born->month, year),
            today);
    }
    if (month < 1 || month > 12)
        return unknown;
    return ExpiryCheck({year, month, DaysInMonth(year, month)}, MonthYear(month, year), today);
}

void DecodeTrack2(std::string_view body, const Date& today, CardDetails& out) {
    FieldCutter cut(body);
    out.fields.push_back(MakeField(2, "issuer", "Issuer (IIN)", cut.fixed(6)));
    out.fields.push_back(MakeField(2, "number", "Licence/ID number", cut.until('=', kMostNumber)));
    (void)cut.skip('='); // after a number that fills its room
    const Piece expiry = cut.fixed(4);
    const Piece birth = cut.fixed(8);
    Piece overflow = cut.rest();
    if (overflow.text == "=") // the separator stands for no overflow
        overflow = {{}, FieldState::Empty};
    out.fields.push_back(MakeField(2, "expiry", "Expiry (YYMM)", expiry));
    out.fields.push_back(MakeField(2, "birth_date", "Date of birth (CCYYMMDD)", birth));
    out.fields.push_back(MakeField(2, "number_overflow", "Number overflow", overflow));
    const std::optional<Date> born = BirthDate(birth);
    out.checks.push_back(ExpiryOf(expiry, born, today));
    out.checks.push_back(BirthCheck(birth, born, today));
}

void DecodeTrack3(std::string_view body, CardDetails& out) {
    FieldCutter cut(body);
    for (const FixedSpec& spec : kTrack3) {
        const Piece piece = cut.fixed(spec.width);
        if (spec.technical && piece.state == FieldState::Missing)
            continue;
        Field field = MakeField(3, spec.key, spec.label, piece);
        if (spec.key == std::string_view("sex") && piece.state == FieldState::Present)
            field.value += piece.text == "1" ? " (male)" : piece.text == "2" ? " (female)" : "";
        out.fields.push_back(std::move(field));
    }
}

} // namespace

bool IsAamvaTrack1(std::string_view body) {
    return body.size() >= 3 && IsLetter(body[0]) && IsLetter(body[1]) &&
           body.find('^') != std::string_view::npos;
}

bool IsAamvaTrack2(std::string_view body) {
    return body.size() >= 7 && body.substr(0, 3) == "636" && AllDigits(body.substr(0, 6)) &&
           body.find('=') != std::string_view::npos;
}

void DecodeAamva(const std::array<std::string_view, 3>& bodies, const Date& today,
                 CardDetails& out) {
    if (bodies[0].empty())
        AddEmptyTrack(1, out);
    else
        DecodeTrack1(bodies[0], out);
    if (bodies[1].empty())
        AddEmptyTrack(2, out);
    else
        DecodeTrack2(bodies[1], today, out);
    if (bodies[2].empty())
        AddEmptyTrack(3, out);
    else
        DecodeTrack3(bodies[2], out);
}

} // namespace msrw::details
