// frmSetup's tabs, Default, and the input rules of its lists and boxes.

#include "operations/settings/SetupDialog.h"

#include "files/SettingsFile.h"
#include "link/OperatorDialogs.h"
#include "operations/settings/WholeNumber.h"
#include "session/Session.h"

#include <optional>

namespace msrw {
namespace {

constexpr int kKeyBackspace = 8;
constexpr int kKeyDel = 127;
constexpr long long kMostLeadingZeros = 999;
constexpr long long kFewestAt210 = 60;
constexpr long long kFewestAt75 = 20;

constexpr const char* kTooManyLeadz = "Leading zero should less than 1000";
constexpr const char* kZeroLeadz = "Leading zero should not be 0";
constexpr const char* kCaution = "CAUTION: less than 20 lead zeros @ 75 BPI, 60 @ 210 BPI is not "
                                 "recommended for optimum read reliability";

constexpr int kTracks = 3;
constexpr std::size_t kBpcField = 0;
constexpr std::size_t kParityField = 1;
constexpr std::size_t kSsField = 2;
constexpr std::size_t kEsField = 3;

std::string& TextOf(FormatStore& format, LeadzBox box) {
    switch (box) {
    case LeadzBox::At210:
        return format.txt210Leadz;
    case LeadzBox::At75:
        return format.txt75Leadz;
    case LeadzBox::At210Pb:
        break;
    }
    return format.txt210Leadz_Pb;
}

std::size_t EntryOf(LeadzBox box) {
    switch (box) {
    case LeadzBox::At210:
        return kEntryLeadz210;
    case LeadzBox::At75:
        return kEntryLeadz75;
    case LeadzBox::At210Pb:
        break;
    }
    return kEntryLeadz210Pb;
}

std::string DefaultText(LeadzBox box) {
    return std::to_string(DefaultSettingsRecord()[EntryOf(box)]);
}

bool IsUserEntry(std::size_t entry) {
    return entry >= kEntryFirstUser && entry < kEntryFirstPassBook;
}

int TrackOfUserEntry(std::size_t entry) {
    return static_cast<int>((entry - kEntryFirstUser) / kUserFields) + 1;
}

std::size_t FieldOfUserEntry(std::size_t entry) {
    return (entry - kEntryFirstUser) % kUserFields;
}

void DefaultFormatTab(FormatStore& format, const SettingsRecord& defaults) {
    format.txt210Leadz = DefaultText(LeadzBox::At210);
    format.txt75Leadz = DefaultText(LeadzBox::At75);
    for (int track = 1; track <= kTracks; ++track)
        format.listForEntry(EntryBpi(track))->select(defaults[EntryBpi(track)]);
    format.chkhico = defaults[kEntryHiCo] == kHiCoHigh;
}

void DefaultUserTab(FormatStore& format, const SettingsRecord& defaults) {
    for (int track = 1; track <= kTracks; ++track) {
        // The BPC rebuilds the sentinel lists, so it goes first.
        format.clickBpc(track, defaults[EntryUser(track, kBpcField)]);
        format.clickParity(track, defaults[EntryUser(track, kParityField)]);
        for (std::size_t field : {kSsField, kEsField})
            format.listForEntry(EntryUser(track, field))->select(defaults[EntryUser(track, field)]);
    }
}

void DefaultPassBookTab(FormatStore& format, const SettingsRecord& defaults) {
    for (std::size_t entry = kEntryFirstPassBook; entry < kEntryLeadz210Pb; ++entry)
        format.listForEntry(entry)->select(defaults[entry]);
    format.txt210Leadz_Pb = DefaultText(LeadzBox::At210Pb);
}

} // namespace

namespace frmSetup {

void tbsSetup_Click(Session& s, SetupTab tab) {
    s.operationState<SetupView>().tab = tab;
}

void ChooseListItem(Session& s, std::size_t entry, int position) {
    if (IsUserEntry(entry) && FieldOfUserEntry(entry) == kBpcField)
        s.format.clickBpc(TrackOfUserEntry(entry), position);
    else if (IsUserEntry(entry) && FieldOfUserEntry(entry) == kParityField)
        s.format.clickParity(TrackOfUserEntry(entry), position);
    else if (ListControl* list = s.format.listForEntry(entry))
        list->select(position);
}

int cboList_KeyPress(Session& s, std::size_t entry, int) {
    ChooseListItem(s, entry, 0);
    return 0;
}

int txtLeadz_KeyPress(int keyAscii) {
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    return digit || keyAscii == kKeyBackspace || keyAscii == kKeyDel ? keyAscii : 0;
}

void txtLeadz_Change(Session& s, LeadzBox box, const std::string& text) {
    std::string& stored = TextOf(s.format, box);
    stored = text;
    const std::optional<long long> value = WholeNumberOf(text);
    if (value && *value > kMostLeadingZeros) {
        s.dialogs.showMessage(kTooManyLeadz);
        stored = DefaultText(box);
    }
}

void txtLeadz_LostFocus(Session& s, LeadzBox box) {
    if (box == LeadzBox::At210Pb)
        return;
    std::string& text = TextOf(s.format, box);
    if (WholeNumberOf(text).value_or(0) == 0) {
        s.dialogs.showMessage(kZeroLeadz);
        text = DefaultText(box);
    }
    const long long value = WholeNumberOf(text).value_or(0);
    if (box == LeadzBox::At210 && value < kFewestAt210)
        s.dialogs.showMessage(kCaution, MessageIcon::Critical);
    else if (box == LeadzBox::At75 && value < kFewestAt75)
        s.dialogs.showMessage(std::string("210 BPI 61 is standard. ") + kCaution);
}

void cmddefault_Click(Session& s) {
    const SettingsRecord defaults = DefaultSettingsRecord();
    switch (s.operationState<SetupView>().tab) {
    case SetupTab::Format:
        DefaultFormatTab(s.format, defaults);
        break;
    case SetupTab::UserType:
        DefaultUserTab(s.format, defaults);
        break;
    case SetupTab::PassBook:
        DefaultPassBookTab(s.format, defaults);
        break;
    }
}

} // namespace frmSetup

} // namespace msrw
