#pragma once
// What the dialog windows share: where they appear, and the key codes their
// key filters take.

class QKeyEvent;
class QWidget;

namespace msrw {

// Shows `w` over the middle of its owner window when it appears, or hides it.
void ShowOrHideOver(QWidget* w, bool visible);

// The key as the key filters take it: the character's code, 13 for Enter,
// 8 for Backspace, 127 for Delete; 0 for a key that types nothing
// (navigation, modifiers).
int KeyAsciiOf(const QKeyEvent* key);

} // namespace msrw
