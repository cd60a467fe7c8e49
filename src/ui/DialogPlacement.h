#pragma once
// Where the dialogs appear: over the middle of their owner, the main window.

class QWidget;

namespace msrw {

// Shows or hides `w` as its view says; a window that appears is put over
// the middle of its parent.
void ShowOrHide(QWidget* w, bool visible);

} // namespace msrw
