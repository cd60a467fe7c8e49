#pragma once
// What the dialog windows share: where they appear, and the key codes their
// key filters take.

#include <functional>
#include <string>
#include <vector>

class QBoxLayout;
class QComboBox;
class QPushButton;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace msrw {

// Moves `w` (a window) wholly inside the available area of its screen, frame
// included, shrinking it first when it is larger than that area. Every window
// of the program is placed through this.
void PlaceInsideScreen(QWidget* w);

// Shows `w` over the middle of its owner window when it appears, with the
// keyboard in `focus` (one of its widgets) if given; or hides it.
void ShowOrHideOver(QWidget* w, bool visible, QWidget* focus = nullptr);

// The key as the key filters take it: the character's code, 13 for Enter,
// 8 for Backspace, 127 for Delete; 0 for a key that types nothing
// (navigation, Tab, modifiers).
int KeyAsciiOf(const QKeyEvent* key);
// A paste (Ctrl+V, Shift+Insert) that would insert a character the field's
// key filter (`accepts`) refuses, or a control character: it is dropped whole.
bool PasteRefused(const QKeyEvent* key, const std::function<bool(int)>& accepts);

// Fills the list with `items` unless it shows them already (refilling would
// close an open drop-down), then selects `selected` (-1: none).
void ShowListItems(QComboBox* combo, const std::vector<std::string>& items, int selected);

// Sets the field's text unless it shows it already (which would move the caret).
void ShowFieldText(QLineEdit* field, const std::string& text);

// A dialog button: its object name, its caption, and what a click does.
struct DialogButton {
    const char* name;
    const char* caption;
    std::function<void()> onClick;
};
// Adds a right-aligned row of `buttons` to `layout` (none of them a default
// button) and returns them in order.
std::vector<QPushButton*> AddButtonRow(QWidget* parent, QBoxLayout* layout,
                                       std::vector<DialogButton> buttons);

} // namespace msrw
