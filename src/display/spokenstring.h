#pragma once
// What each string does, in the words a guitarist would use, for screen
// readers: the fingering as text.

#include <string>

#include "fretboardstate.h"

namespace chordmoss {

/// Returns how string s (the program's 1..6, low E first) sounds now, numbered
/// as guitarists number strings: "string 6, low E: fret 3, G, root",
/// "string 1, high E: open, E, third", "string 5, A: muted". Flats are
/// spoken ("B flat"); a string moved by hand names no interval, as its
/// caption names none.
std::string SpokenString(const Module1& m, const FretboardState& board, int s);

/// Returns the six strings' descriptions, low E first, joined by "; ".
std::string SpokenFingering(const Module1& m, const FretboardState& board);

} // namespace chordmoss
