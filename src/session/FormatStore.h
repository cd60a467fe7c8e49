#pragma once
// The operator's card format, held for the whole run: what the set-up
// dialog's lists, check boxes and text boxes show. Reading, card types, write
// composition and the file operations read it; the set-up dialog binds its
// widgets to it.

#include "cards/CardFormat.h"
#include "files/SettingsRecord.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace msrw {

// A drop-down list: its items and the selected position (-1: none).
struct ListControl {
    std::vector<std::string> items;
    int selected = -1;
    bool enabled = true;

    // The displayed text of the selected item ("" when none).
    std::string text() const;
    // Selects `position` when it names an item; false (and no change) otherwise.
    bool select(int position);
};

// The USER format of one track: bits per character ("7", "6", "5", "4"),
// parity ("None", "Odd", "Even"), start and end sentinel lists.
struct UserTrackControls {
    ListControl bpc, parity, ss, es;
};

// The Pass Book format of one track.
struct PassBookTrackControls {
    ListControl bpi, parity, syncZeros, ss, es;
};

// A leading-zero text box and the words that name it in messages.
struct LeadingZeroBox {
    const std::string& text;
    const char* name;
};

class FormatStore {
public:
    FormatStore(); // every list filled, every control at its default

    // Format frame (ISO, AAMVA, USER, RAW).
    std::array<ListControl, 3> bpi; // cboTk1bpi..cboTk3bpi: "210", "75"
    std::string txt210Leadz = "61";
    std::string txt75Leadz = "22";
    bool chkhico = false;

    // User Type frame.
    std::array<UserTrackControls, 3> user; // cboTk1Bpc.., cboTk1Parity.., cboTk1Ss.., cboTk1Es..

    // Pass Book frame.
    std::array<PassBookTrackControls, 3> passBook;
    std::string txt210Leadz_Pb = "111";
    bool chkReadDiff_Pb = false;

    // A click on a track's BPC list (track 1-3): parity coupling, sentinel
    // lists rebuilt, standard sentinel picks. A track or position that names
    // nothing changes nothing (so do the other track-taking members).
    void clickBpc(int track, int position);
    // A click on a track's parity list: 6 and 4 bits force "None"; 7 and 5
    // bits never keep "None".
    void clickParity(int track, int position);

    // The apply-settings step: record entries 4-28 into the controls, BPC
    // before parity and sentinels. Entries 2, 3 and 29 go to the leading-zero
    // boxes too. A position that names no item leaves its list as it was.
    void apply(const SettingsRecord& record);
    // Entries 2-29 of the record as the controls hold them now (entries 0 and
    // 1, the port and the card-type position, belong to the main window).
    void store(SettingsRecord& record) const;

    // The format of track 1-3 as the encoders use it; a "~" end sentinel
    // comes out as a space. Another track number, or a list without a
    // selection, gives the defaults of UserTrackFormat.
    UserTrackFormat userFormat(int track) const;
    // Pass Book tracks are 5 bits per character with the frame's parity.
    UserTrackFormat passBookFormat(int track) const;
    // All of the above, for the encoders, decoders and captions.
    CardFormat cardFormat() const;

    // txt210Leadz, txt75Leadz and txt210Leadz_Pb, in that order.
    std::array<LeadingZeroBox, 3> leadingZeroBoxes() const;

    // The list that holds record entry 4-6 or 8-28; null for the others.
    ListControl* listForEntry(std::size_t entry);
    const ListControl* listForEntry(std::size_t entry) const;
};

} // namespace msrw
