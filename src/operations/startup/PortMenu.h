#pragma once
// The Port and File menus of the main window.

namespace msrw {

class Session;

// "Port&1" .. "Port&10": item index 0-9. `chooseCardType` runs the card-type
// set-up for the list selection that the refill makes.
void mnuPortN_Click(Session& session, int index, void (*chooseCardType)(Session&));
void mnuPortOpen_Click(Session& session, void (*chooseCardType)(Session&));
void mnuPortClose_Click(Session& session);
void mnuExit_Click(Session& session);

} // namespace msrw
