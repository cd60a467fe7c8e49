#include "session/FormatStore.h"

#include "files/SettingsFile.h"

#include <optional>
#include <utility>

namespace msrw {
namespace {

constexpr int kTracks = 3;
constexpr int kTrack2 = 2;

// Positions in the BPC list ("7", "6", "5", "4") and the parity list.
constexpr int kBpc7 = 0;
constexpr int kParityNone = 0;
constexpr int kParityOdd = 1;

// The standard sentinel picks: "%" and "?" on 7/6-bit lists, ";" and "?" on 5/4-bit ones.
constexpr int kWideSsPick = 2;
constexpr int kWideEsPick = 31;
constexpr int kNarrowSsPick = 5;
constexpr int kNarrowEsPick = 15;

std::optional<std::size_t> TrackIndex(int track) {
    if (track < 1 || track > kTracks)
        return std::nullopt;
    return static_cast<std::size_t>(track - 1);
}

// The characters from `first` to `last` in code order, every `step`-th one.
std::vector<std::string> CharacterRange(char first, char last, int step) {
    std::vector<std::string> items;
    for (int c = first; c <= last; c += step)
        items.emplace_back(1, static_cast<char>(c));
    return items;
}

// Start sentinels have odd codes so that a raw read finds their first 1 bit.
std::vector<std::string> WideStartSentinels() {
    return CharacterRange('!', '_', 2);
}

std::vector<std::string> WideEndSentinels() {
    std::vector<std::string> items = CharacterRange(' ', '_', 1);
    items.front()[0] = '~'; // a space would be invisible in the list
    return items;
}

// Track 2 also offers "<", which sits in code order between ";" and "=".
std::vector<std::string> NarrowStartSentinels(int track) {
    std::vector<std::string> items = CharacterRange('1', '?', 2);
    if (track == kTrack2)
        items.insert(items.begin() + 6, "<");
    return items;
}

std::vector<std::string> NarrowEndSentinels() {
    return CharacterRange('0', '?', 1);
}

bool IsWide(int bitsPerCharacter) {
    return bitsPerCharacter == 7 || bitsPerCharacter == 6;
}
bool CarriesParity(int bitsPerCharacter) {
    return bitsPerCharacter == 7 || bitsPerCharacter == 5;
}

std::optional<int> BitsOf(const ListControl& bpc) {
    const std::optional<int> bits = ParseSettingLine(bpc.text());
    if (bits && (*bits >= 4 && *bits <= 7))
        return bits;
    return std::nullopt;
}

ListControl MakeList(std::vector<std::string> items, int selected, bool enabled = true) {
    ListControl list;
    list.items = std::move(items);
    list.selected = selected;
    list.enabled = enabled;
    return list;
}

void FillUserTrack(UserTrackControls& t) {
    t.bpc = MakeList({"7", "6", "5", "4"}, -1);
    t.parity = MakeList({"None", "Odd", "Even"}, kParityOdd);
}

void FillPassBookTrack(PassBookTrackControls& t) {
    t.bpi = MakeList({"210", "75"}, 0, false);
    t.parity = MakeList({"None", "Odd", "Even"}, kParityOdd, false);
    t.syncZeros = MakeList({"0", "25", "60"}, 1);
    t.ss = MakeList({";", "="}, 0);
    t.es = MakeList({"<", "?"}, 0);
}

// Sets the parity rule of a BPC: 6 and 4 bits carry none, 7 and 5 always one.
void EnforceParityRule(ListControl& parity, int bitsPerCharacter) {
    if (!CarriesParity(bitsPerCharacter))
        parity.select(kParityNone);
    else if (parity.selected <= kParityNone)
        parity.select(kParityOdd);
}

void RebuildSentinels(UserTrackControls& t, int track, int bitsPerCharacter) {
    if (IsWide(bitsPerCharacter)) {
        t.ss = MakeList(WideStartSentinels(), kWideSsPick);
        t.es = MakeList(WideEndSentinels(), kWideEsPick);
    } else {
        t.ss = MakeList(NarrowStartSentinels(track), kNarrowSsPick);
        t.es = MakeList(NarrowEndSentinels(), kNarrowEsPick);
    }
}

char FirstCharOr(const ListControl& list, char fallback) {
    const std::string text = list.text();
    if (text.empty())
        return fallback;
    return text == "~" ? ' ' : text.front();
}

} // namespace

std::string ListControl::text() const {
    if (selected < 0 || static_cast<std::size_t>(selected) >= items.size())
        return {};
    return items[static_cast<std::size_t>(selected)];
}

bool ListControl::select(int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= items.size())
        return false;
    selected = position;
    return true;
}

FormatStore::FormatStore() {
    for (ListControl& list : bpi)
        list = MakeList({"210", "75"}, 0);
    for (UserTrackControls& t : user)
        FillUserTrack(t);
    for (PassBookTrackControls& t : passBook)
        FillPassBookTrack(t);
    apply(DefaultSettingsRecord());
}

void FormatStore::clickBpc(int track, int position) {
    const std::optional<std::size_t> i = TrackIndex(track);
    if (!i || !user[*i].bpc.select(position))
        return;
    UserTrackControls& t = user[*i];
    if (const std::optional<int> bits = BitsOf(t.bpc)) {
        EnforceParityRule(t.parity, *bits);
        RebuildSentinels(t, track, *bits);
    }
}

void FormatStore::clickParity(int track, int position) {
    const std::optional<std::size_t> i = TrackIndex(track);
    if (!i || !user[*i].parity.select(position))
        return;
    if (user[*i].bpc.selected < 0)
        clickBpc(track, kBpc7);
    if (const std::optional<int> bits = BitsOf(user[*i].bpc))
        EnforceParityRule(user[*i].parity, *bits);
}

std::array<LeadingZeroBox, 3> FormatStore::leadingZeroBoxes() const {
    return {{{txt210Leadz, "210 BPI"},
             {txt75Leadz, "75 BPI"},
             {txt210Leadz_Pb, "210 BPI (Pass Book)"}}};
}

ListControl* FormatStore::listForEntry(std::size_t entry) {
    return const_cast<ListControl*>(std::as_const(*this).listForEntry(entry));
}

const ListControl* FormatStore::listForEntry(std::size_t entry) const {
    if (entry >= kEntryFirstBpi && entry < kEntryHiCo)
        return &bpi[entry - kEntryFirstBpi];
    if (entry >= kEntryFirstUser && entry < kEntryFirstPassBook) {
        const UserTrackControls& t = user[(entry - kEntryFirstUser) / kUserFields];
        const std::array<const ListControl*, kUserFields> lists{&t.bpc, &t.parity, &t.ss, &t.es};
        return lists[(entry - kEntryFirstUser) % kUserFields];
    }
    if (entry >= kEntryFirstPassBook && entry < kEntryLeadz210Pb) {
        const PassBookTrackControls& t = passBook[(entry - kEntryFirstPassBook) / kPassBookFields];
        const std::array<const ListControl*, kPassBookFields> lists{&t.syncZeros, &t.ss, &t.es};
        return lists[(entry - kEntryFirstPassBook) % kPassBookFields];
    }
    return nullptr;
}

void FormatStore::apply(const SettingsRecord& record) {
    const auto selectEntry = [&](std::size_t entry) { listForEntry(entry)->select(record[entry]); };
    txt210Leadz = std::to_string(record[kEntryLeadz210]);
    txt75Leadz = std::to_string(record[kEntryLeadz75]);
    txt210Leadz_Pb = std::to_string(record[kEntryLeadz210Pb]);
    for (std::size_t entry = kEntryFirstBpi; entry < kEntryHiCo; ++entry)
        selectEntry(entry);
    chkhico = record[kEntryHiCo] == kHiCoHigh;
    // A BPC rebuilds its track's sentinel lists, so it goes before the picks.
    for (int track = 1; track <= kTracks; ++track)
        clickBpc(track, record[EntryUser(track, 0)]);
    for (int track = 1; track <= kTracks; ++track)
        clickParity(track, record[EntryUser(track, 1)]);
    for (int track = 1; track <= kTracks; ++track) {
        selectEntry(EntryUser(track, 2));
        selectEntry(EntryUser(track, 3));
    }
    for (std::size_t entry = kEntryFirstPassBook; entry < kEntryLeadz210Pb; ++entry)
        selectEntry(entry);
}

void FormatStore::store(SettingsRecord& record) const {
    const auto storeText = [&](std::size_t entry, const std::string& text) {
        if (const std::optional<int> value = ParseSettingLine(text))
            record[entry] = *value;
    };
    storeText(kEntryLeadz210, txt210Leadz);
    storeText(kEntryLeadz75, txt75Leadz);
    storeText(kEntryLeadz210Pb, txt210Leadz_Pb);
    record[kEntryHiCo] = chkhico ? 1 : 0;
    for (std::size_t entry = kEntryFirstBpi; entry < kEntryLeadz210Pb; ++entry)
        if (const ListControl* list = listForEntry(entry))
            record[entry] = list->selected;
}

UserTrackFormat FormatStore::userFormat(int track) const {
    UserTrackFormat format;
    const std::optional<std::size_t> i = TrackIndex(track);
    if (!i)
        return format;
    const UserTrackControls& t = user[*i];
    format.bitsPerCharacter = BitsOf(t.bpc).value_or(format.bitsPerCharacter);
    if (!t.parity.text().empty())
        format.parity = t.parity.text();
    format.startSentinel = FirstCharOr(t.ss, format.startSentinel);
    format.endSentinel = FirstCharOr(t.es, format.endSentinel);
    return format;
}

UserTrackFormat FormatStore::passBookFormat(int track) const {
    UserTrackFormat format = DefaultPassBookFormat();
    const std::optional<std::size_t> i = TrackIndex(track);
    if (!i)
        return format;
    const PassBookTrackControls& t = passBook[*i];
    if (!t.parity.text().empty())
        format.parity = t.parity.text();
    format.startSentinel = FirstCharOr(t.ss, format.startSentinel);
    format.endSentinel = FirstCharOr(t.es, format.endSentinel);
    return format;
}

CardFormat FormatStore::cardFormat() const {
    CardFormat format;
    for (int track = 1; track <= 3; ++track) {
        const auto i = static_cast<std::size_t>(track - 1);
        format.bpi[i] = bpi[i].text();
        format.userBpc[i] = user[i].bpc.text();
        format.user[i] = userFormat(track);
        format.passBook[i] = passBookFormat(track);
        format.passBookSyncZeros[i] = passBook[i].syncZeros.text();
    }
    return format;
}

} // namespace msrw
