#pragma once
// The voicing engine: from root, type, position and the two options it finds
// one fret or a mute per string and writes the display and the listing.

#include <string>

namespace chordmoss {

struct Module1;
class FretboardState;

/// The main window's four choices as RunIt reads them.
struct ChordChoice {
    std::string root = "C ";    // Combo1's text
    std::string type = "Maj ";  // Combo2's text
    std::string position = "0"; // Combo3's text
    int expandFourFrets = 0;    // Check1's Value
    int alternate = 0;          // AltChords' Value
};

/// Returns the fret window's lowest fret as read from the position text:
/// its leading number rounded half to even, kept within -1000..1000.
int PositionFret(const std::string& positionText);

/// Computes and shows the voicing. The listing step deliberately works on the
/// note circle and string notes the previous run left, so the first run after
/// a root change still lists the previous root's notes.
void RunIt(Module1& m, const ChordChoice& choice, FretboardState& board);

} // namespace chordmoss
