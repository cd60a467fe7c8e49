#pragma once
// The swipe prompt frmMessage as card operations set it up.

#include "session/MainView.h"

#include <string>

namespace msrw {

class Session;

// Prepares the prompt for an operation: caption, text (font size 12), colours,
// and the "End" button enabled. It is shown by ShowPrompt, never modal.
void PreparePrompt(PromptView& prompt, const std::string& caption, const std::string& text,
                   Colour background, Colour textColour);
void ShowPrompt(Session& session);
void HidePrompt(Session& session);

// Reopens the port for an operation that is starting. False when no reader
// answered: the operator has been told and the main buttons are enabled again,
// so the operation must not start.
[[nodiscard]] bool ReOpenPortOrStop(Session& session);

// RestoreTrackTitles: the frame captions of the current card type, in the
// normal colour.
void RestoreTrackTitles(Session& session);

} // namespace msrw
