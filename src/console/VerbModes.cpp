#include "console/VerbModes.h"

#include "session/MainControls.h"
#include "session/MainView.h"

#include <vector>

namespace msrw::console {
namespace {

// The window's button of each verb: a mode whose window leaves it disabled
// does not offer the verb.
Control VerbButton(Verb verb) {
    switch (verb) {
    case Verb::Read:
        return Control::cmdRead;
    case Verb::Compare:
        return Control::cmdCompare;
    case Verb::Write:
        return Control::cmdWrite;
    case Verb::Erase:
        return Control::cmdErase;
    case Verb::Sequential:
        return Control::cmdSeqWrite;
    case Verb::ToFile:
        return Control::cmdToFile;
    case Verb::FromFile:
        return Control::cmdFromFile;
    case Verb::Database:
        break;
    }
    return Control::cmdDatabase;
}

bool ModeOffers(MsrwMode mode, Verb verb) {
    MainView view;
    view.enabled = AllControls(false);
    EnaMainBtns(view, mode);
    return view.isEnabled(VerbButton(verb));
}

} // namespace

std::string VerbNotOffered(MsrwMode mode, Verb verb) {
    if (ModeOffers(mode, verb))
        return "";
    std::vector<std::string> offering;
    for (const MsrwMode m : {MsrwMode::Velk, MsrwMode::Ormond, MsrwMode::Quell, MsrwMode::Pellam})
        if (ModeOffers(m, verb))
            offering.push_back(MsrwModeText(m));
    std::string listed;
    for (const std::string& m : offering)
        listed += (listed.empty() ? "" : ", ") + m;
    return std::string(VerbName(verb)) + " is not offered in " + MsrwModeText(mode) +
           (listed.empty() ? "." : "; it is offered in " + listed + ".");
}

} // namespace msrw::console
