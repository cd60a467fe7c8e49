#include "cards/PaymentCard.h"

#include "cards/TrackFields.h"

#include <optional>

namespace msrw::details {
namespace {

constexpr std::size_t kMostNumberDigits = 19;
constexpr std::size_t kMostNameCharacters = 26;

// A range of leading digits: numbers whose first `digits` digits lie
// from `low` to `high`.
struct NetworkRange {
    int digits;
    int low;
    int high;
    std::string_view network;
};

// The ranges the networks publish; the longer prefixes first.
constexpr NetworkRange kNetworks[] = {
    {4, 2221, 2720, "Mastercard"},   {4, 3528, 3589, "JCB"},
    {4, 6011, 6011, "Discover"},     {4, 5018, 5018, "Maestro"},
    {4, 5020, 5020, "Maestro"},      {4, 5038, 5038, "Maestro"},
    {4, 5893, 5893, "Maestro"},      {4, 6304, 6304, "Maestro"},
    {4, 6759, 6759, "Maestro"},      {4, 6761, 6763, "Maestro"},
    {3, 300, 305, "Diners Club"},    {3, 644, 649, "Discover"},
    {2, 34, 34, "American Express"}, {2, 37, 37, "American Express"},
    {2, 36, 36, "Diners Club"},      {2, 38, 39, "Diners Club"},
    {2, 51, 55, "Mastercard"},       {2, 62, 62, "UnionPay"},
    {2, 65, 65, "Discover"},         {1, 4, 4, "Visa"},
};

// Each position's meanings by digit, "" where the standard reserves it.
constexpr std::string_view kServiceCode[3][10] = {
    {"", "International interchange", "International interchange; use the chip where feasible", "",
     "", "National interchange only, except under bilateral agreement",
     "National interchange only, except under bilateral agreement; use the chip where feasible",
     "No interchange, except under bilateral agreement (closed loop)", "", "Test card"},
    {"Normal authorisation", "", "Authorised online by the issuer", "",
     "Authorised online by the issuer, except under bilateral agreement", "", "", "", "", ""},
    {"No restrictions; PIN required", "No restrictions", "Goods and services only (no cash)",
     "ATM only; PIN required", "Cash only", "Goods and services only (no cash); PIN required",
     "No restrictions; PIN where feasible", "Goods and services only (no cash); PIN where feasible",
     "", ""},
};
constexpr std::string_view kServiceCodeKeys[3] = {"interchange", "authorisation", "services"};
constexpr std::string_view kServiceCodeLabels[3] = {"Interchange and technology",
                                                    "Authorisation processing", "Services and PIN"};

// One payment track cut into its fields.
struct PaymentTrack {
    Piece number, name, expiry, serviceCode, discretionary;
};

// Expiry and service code may each be left out, a separator in their place.
void CutExpiryAndServiceCode(FieldCutter& cut, char separator, PaymentTrack& t) {
    t.expiry = cut.skip(separator) ? Piece{{}, FieldState::Empty} : cut.fixed(4);
    t.serviceCode = cut.skip(separator) ? Piece{{}, FieldState::Empty} : cut.fixed(3);
    t.discretionary = cut.rest();
}

PaymentTrack CutTrack1(std::string_view body) {
    FieldCutter cut(body.substr(1)); // after the format code
    PaymentTrack t;
    t.number = cut.until('^', kMostNumberDigits);
    t.name = cut.until('^', kMostNameCharacters);
    CutExpiryAndServiceCode(cut, '^', t);
    return t;
}

PaymentTrack CutTrack2(std::string_view body) {
    FieldCutter cut(body);
    PaymentTrack t;
    t.number = cut.until('=', kMostNumberDigits);
    CutExpiryAndServiceCode(cut, '=', t);
    return t;
}

// The last day of a YYMM expiry; nullopt when it is no year and month.
std::optional<Date> ExpiryDate(const Piece& expiry) {
    if (expiry.state != FieldState::Present || expiry.text.size() != 4 || !AllDigits(expiry.text))
        return std::nullopt;
    const int year = 2000 + Number(expiry.text.substr(0, 2));
    const int month = Number(expiry.text.substr(2, 2));
    if (month < 1 || month > 12)
        return std::nullopt;
    return Date{year, month, DaysInMonth(year, month)};
}

std::string ShownNumber(std::string_view number, bool unmask) {
    return unmask ? Utf8(number) : MaskedNumber(number);
}

// Surname "/" given names, a title after a ".": split where the name has a "/".
void AddNameParts(const Piece& name, CardDetails& out) {
    const std::size_t slash = name.text.find('/');
    if (name.state != FieldState::Present || slash == std::string_view::npos)
        return;
    const std::string_view given = name.text.substr(slash + 1);
    const std::size_t dot = given.find('.');
    const auto part = [&](const char* key, const char* label, std::string_view text) {
        out.fields.push_back(MakeField(1, key, label, {text, FieldState::Present}));
    };
    part("surname", "Surname", name.text.substr(0, slash));
    part("given_names", "Given names", given.substr(0, dot));
    if (dot != std::string_view::npos)
        part("title", "Title", given.substr(dot + 1));
}

void AddTrackFields(int track, const PaymentTrack& t, const DecodeOptions& options,
                    CardDetails& out) {
    Field number = MakeField(track, "number", "Card number", t.number);
    number.value = ShownNumber(t.number.text, options.unmask);
    out.fields.push_back(std::move(number));
    if (track == 1) {
        out.fields.push_back(MakeField(track, "name", "Name", t.name));
        AddNameParts(t.name, out);
    }
    Field expiry = MakeField(track, "expiry", "Expiry (YYMM)", t.expiry);
    if (const std::optional<Date> last = ExpiryDate(t.expiry))
        expiry.value += " (" + MonthYear(last->month, last->year) + ")";
    out.fields.push_back(std::move(expiry));
    out.fields.push_back(MakeField(track, "service_code", "Service code", t.serviceCode));
    out.fields.push_back(MakeField(track, "discretionary", "Discretionary data", t.discretionary));
}

void AddServiceCodeWords(const Piece& code, CardDetails& out) {
    if (code.state != FieldState::Present || code.text.size() != 3 || !AllDigits(code.text)) {
        if (code.state != FieldState::Empty && code.state != FieldState::Missing)
            out.checks.push_back(
                {"service_code", "Service code", false, "The service code is not three digits."});
        return;
    }
    int reserved = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string_view words = ServiceCodeMeaning(i + 1, code.text[std::size_t(i)]);
        out.fields.push_back(
            {0, std::string(kServiceCodeKeys[i]), std::string(kServiceCodeLabels[i]),
             words.empty() ? "reserved" : std::string(words), FieldState::Present});
        if (words.empty() && reserved == 0)
            reserved = i + 1;
    }
    if (reserved == 0)
        out.checks.push_back({"service_code", "Service code", true,
                              "Each digit of the service code has a meaning."});
    else
        out.checks.push_back({"service_code", "Service code", false,
                              "Digit " + std::to_string(reserved) + " of the service code (" +
                                  code.text[std::size_t(reserved - 1)] +
                                  ") is reserved: no card should carry it."});
}

Check LuhnCheck(std::string_view number) {
    if (!AllDigits(number) || number.size() < 2)
        return {"luhn", "Check digit", false,
                "The number is not all digits, so it has no check digit to match."};
    if (!LuhnValid(number))
        return {"luhn", "Check digit", false,
                "The check digit does not match: the number was read or written wrong."};
    return {"luhn", "Check digit", true, "The check digit matches the number."};
}

Check ExpiryOf(const Piece& expiry, const Date& today) {
    const std::optional<Date> last = ExpiryDate(expiry);
    if (!last) {
        const std::string what =
            expiry.state == FieldState::Present
                ? "The expiry \"" + Utf8(expiry.text) + "\" is no year and month."
                : std::string("The card gives no expiry date.");
        return {"expiry", "Expiry", false, what};
    }
    return ExpiryCheck(*last, MonthYear(last->month, last->year), today);
}

Check Agreement(const PaymentTrack& one, const PaymentTrack& two) {
    const bool number = one.number.text == two.number.text;
    const bool expiry = one.expiry.text == two.expiry.text;
    if (number && expiry)
        return {"tracks_agree", "Tracks agree", true,
                "Tracks 1 and 2 agree on the number and the expiry date."};
    const std::string on = !number && !expiry ? "the number and the expiry date"
                           : !number          ? "the number"
                                              : "the expiry date";
    return {"tracks_agree", "Tracks agree", false, "Tracks 1 and 2 disagree on " + on + "."};
}

} // namespace

bool LuhnValid(std::string_view digits) {
    if (digits.size() < 2 || !AllDigits(digits))
        return false;
    int sum = 0;
    bool twice = false;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        int d = *it - '0';
        if (twice)
            d = d * 2 > 9 ? d * 2 - 9 : d * 2;
        sum += d;
        twice = !twice;
    }
    return sum % 10 == 0;
}

std::string_view NetworkOf(std::string_view digits) {
    for (const NetworkRange& r : kNetworks) {
        const std::string_view lead = digits.substr(0, std::size_t(r.digits));
        if (lead.size() != std::size_t(r.digits) || !AllDigits(lead))
            continue;
        const int value = Number(lead);
        if (value >= r.low && value <= r.high)
            return r.network;
    }
    return "unknown";
}

std::string_view ServiceCodeMeaning(int position, char digit) {
    if (position < 1 || position > 3 || digit < '0' || digit > '9')
        return {};
    return kServiceCode[position - 1][digit - '0'];
}

bool IsPaymentTrack1(std::string_view body) {
    return body.size() >= 2 && body[0] == 'B' && body[1] >= '0' && body[1] <= '9';
}

bool IsPaymentTrack2(std::string_view body) {
    const std::size_t at = body.find('=');
    return at != std::string_view::npos && at <= kMostNumberDigits && AllDigits(body.substr(0, at));
}

void DecodePayment(const std::array<std::string_view, 3>& bodies, const DecodeOptions& options,
                   CardDetails& out) {
    const bool has1 = IsPaymentTrack1(bodies[0]);
    const bool has2 = !bodies[1].empty();
    if (!has1 && !has2)
        return;
    const std::optional<PaymentTrack> one =
        has1 ? std::optional<PaymentTrack>(CutTrack1(bodies[0])) : std::nullopt;
    const std::optional<PaymentTrack> two =
        has2 ? std::optional<PaymentTrack>(CutTrack2(bodies[1])) : std::nullopt;
    const PaymentTrack& primary = one ? *one : *two;
    out.fields.push_back({0, "network", "Network", std::string(NetworkOf(primary.number.text)),
                          FieldState::Present});
    AddServiceCodeWords(primary.serviceCode, out);
    out.checks.insert(out.checks.begin(),
                      {LuhnCheck(primary.number.text), ExpiryOf(primary.expiry, options.today)});
    if (one && two)
        out.checks.push_back(Agreement(*one, *two));
    if (one)
        AddTrackFields(1, *one, options, out);
    if (two)
        AddTrackFields(2, *two, options, out);
}

} // namespace msrw::details
