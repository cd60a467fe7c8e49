#pragma once
// What frmTarnSetup's opening and its OK share: the set-up file's lines as
// the dialog holds them, and the number boxes brought to values they keep.

#include "files/TarnSetupFile.h"

namespace msrw {

class Session;
struct TarnSetupView;

// The ten lines of the set-up file for what the dialog shows; "p" is "1"
// for protocol 0.
TarnSetupLines SetupLinesOf(const TarnSetupView& view);
// TarnWriteSetting with these lines; false (the operator told) on failure.
bool WriteTarnSetupFile(Session& session, const TarnSetupLines& lines);
// Every number box that is empty or out of range takes its default.
void KeepBoxValues(TarnSetupView& view);

} // namespace msrw
