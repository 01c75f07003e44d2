#pragma once
// The chord search as the window's "Search" and "Next" buttons run it, one
// press after another until "Not Found", collected into a list.

#include <string>
#include <vector>

#include "searchwalk.h"
#include "shapenames.h"

namespace chordmoss {

/// One chord the search stops at, with the fingering the window then shows.
struct FoundChord {
    int root; // root list index
    int type; // type list index
    Frets frets;
};

/// Presses "Search" once and "Next" until "Not Found" on a fresh window with
/// the options ticked and the position chosen; the boxes hold the entries
/// already normalised as a box leaves them. Box 0 must not be empty.
std::vector<FoundChord> FindChords(const SearchBoxes& boxes, int position, bool fourFrets, bool alternate);

} // namespace chordmoss
