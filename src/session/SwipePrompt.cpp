#include "session/SwipePrompt.h"

#include "session/CardView.h"
#include "session/MainControls.h"
#include "session/Session.h"

namespace msrw {

void PreparePrompt(PromptView& prompt, const std::string& caption, const std::string& text,
                   Colour background, Colour textColour) {
    prompt.caption = caption;
    prompt.label = text;
    prompt.labelFontSize = 12;
    prompt.background = background;
    prompt.labelColour = textColour;
    prompt.buttonCaption = "End";
    prompt.buttonEnabled = true;
}

void ShowPrompt(Session& session) {
    session.view.prompt.visible = true;
}
void HidePrompt(Session& session) {
    session.view.prompt.visible = false;
}

void RestoreTrackTitles(Session& session) {
    for (TrackFrame& frame : session.view.frames)
        frame.red = false;
    if (const auto captions = CurrentFrameCaptions(session))
        ShowFrameCaptions(session.view, *captions);
}

bool ReOpenPortOrStop(Session& session) {
    if (session.portManager.ReOpenPort())
        return true;
    EnaMainBtns(session.view, session.port.MsrwMode);
    return false;
}

} // namespace msrw
