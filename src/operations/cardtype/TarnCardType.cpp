#include "operations/cardtype/TarnCardType.h"

#include "cards/CardTypeList.h"
#include "link/OperatorDialogs.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "session/CardView.h"
#include "session/Session.h"
#include "session/TarnLink.h"

#include <charconv>

namespace msrw {
namespace {

constexpr int kStandardTypePauseMs = 300; // ISO and AAMVA, as in the escape-sequence family
constexpr int kHighCoercivityByte = 170;

void ShowTarnCaptions(Session& s) {
    if (const auto captions = TarnFrameCaptions(s))
        ShowFrameCaptions(s.view, *captions);
}

} // namespace

bool TarnCoercivityIsLow(const Session& s) {
    const std::string& text = s.g.tarnMemory.coercivity;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        value = 0;
    return value < kHighCoercivityByte;
}

TarnCardTypeResult SetUpTarnCardType(Session& s) {
    const std::string& type = s.g.CardType;
    const bool standard = type == card::ISO || type == card::AAMVA;
    if (!standard && type != card::CUSTOM)
        return TarnCardTypeResult::Done;
    if (standard && !s.Delay(kStandardTypePauseMs))
        return TarnCardTypeResult::Ended;
    SetTarnBpi(s);
    ShowTarnCaptions(s);
    if (type == card::AAMVA && TarnCoercivityIsLow(s))
        s.dialogs.showMessage(kHiCoReminder, MessageIcon::Information);
    return TarnCardTypeResult::Done;
}

} // namespace msrw
