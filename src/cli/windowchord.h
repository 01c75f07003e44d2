#pragma once
// The chord the main window shows after a fresh start when the user ticks the
// options and then chooses a root, a type and a position from the lists. The
// command line answers from this, so it can never disagree with the window.

#include <array>
#include <string>

namespace chordmoss {

/// A chord as chosen from the window's lists: indices into the root and type
/// lists, and a position 0..12.
struct ChordRequest {
    int root = 3;     // "C "
    int type = 0;     // "Maj "
    int position = 0;
    bool fourFrets = false; // Check1
    bool alternate = false; // AltChords
};

/// What the window shows, string by string from the low E string.
struct WindowVoicing {
    std::array<int, 6> frets{};          // -1 for a string that does not sound
    std::array<std::string, 6> captions; // as on the note labels ("  3-E "); empty when muted
    std::string listing;                 // Text1, as the window writes it
};

/// Returns the root list item for a root index (0 = "A ").
std::string RootListItem(int root);
/// Returns the type list item for a type index (0 = "Maj ").
std::string TypeListItem(int type);

/// Drives the core through the window's handlers in the order a user would:
/// the load handler, a click on AltChords when it is ticked, the root choice
/// (a new root, which the window computes twice), the type choice, the position choice.
WindowVoicing ChordAsWindowShows(const ChordRequest& request);

} // namespace chordmoss
