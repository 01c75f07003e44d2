#pragma once
// The chord search as the window's "Search" and "Next" buttons run it, one
// press after another until "Not Found", collected into a list.

#include <string>
#include <vector>

#include "fretboardstate.h"
#include "module1.h"
#include "runit.h"
#include "searchwalk.h"
#include "shapenames.h"

namespace chordmoss {

/// The window's combo boxes as the search walk selects them, on the core: a
/// new root runs the computation twice, a type choice once. It starts as the
/// window does after its load handler.
class CoreSearchHost : public SearchHost {
public:
    Module1 m;
    FretboardState board;
    ChordChoice choice;

    CoreSearchHost();
    void selectRoot(int r) override;
    void selectType(int t) override;
    std::string_view notesText() const override { return board.text1; }
};

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
