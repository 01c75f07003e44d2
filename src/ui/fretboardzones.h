#pragma once
// The parts of the guitar picture that answer a press, in twips from the
// picture's top-left corner. The picture tool draws the neck, the fret wires
// and the knob from these same numbers.

#include <array>

namespace chordmoss {

inline constexpr double kKnobLeft = 5650, kKnobRight = 5800, kKnobTop = 4150, kKnobBottom = 4380;
inline constexpr double kNeckLeft = 7410, kNeckRight = 11730, kNeckTop = 2445, kNeckBottom = 3235;

/// Left bound of the zone of frets 0..12; each zone reaches right to the
/// previous bound (fret 0 to kNeckRight). Widths shrink by 25 from 495.
inline constexpr std::array<double, 13> kFretZoneLeft = {
    11235, 10765, 10320, 9900, 9505, 9135, 8790, 8470, 8175, 7905, 7660, 7440, 7245};

/// Returns the fret whose zone holds X, for X on the neck (7410..11730).
inline int FretZoneAt(double x)
{
    for (int fret = 0; fret < 12; ++fret) {
        if (x >= kFretZoneLeft[fret])
            return fret;
    }
    return 12;
}

} // namespace chordmoss
