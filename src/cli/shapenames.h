#pragma once
// Naming a fingering: which of the 12 roots times 63 chord types hold the
// notes a shape sounds, the exact ones first, then those that include them.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "handshape.h"

namespace chordmoss {

inline constexpr int kHighestNamedFret = 24;

/// Reads a shape given as one word ("x32010", "x-10-12-12-11-10") or as six
/// words ("x 3 2 0 1 0"). On failure returns false and says what is wrong.
bool ParseShape(const std::vector<std::string>& words, Frets& frets, std::string& error);

/// Writes a fingering as one word: a character per string while every fret is
/// below 10, else hyphenated so that two-digit frets stay readable.
std::string FingeringText(const Frets& frets);

/// One name of a shape.
struct ShapeName {
    int root;   // root list index
    int type;   // type list index
    int bass;   // lowest sounding note, semitones above A
    bool exact; // the chord's notes are exactly the sounded notes
    std::string name; // "C Maj", "C Maj/E"
};

/// Every root and type whose notes equal the sounded notes, then those whose
/// notes include them; within each, chords with fewer notes first, then root
/// position before a slash bass, then list order.
std::vector<ShapeName> NameShape(const Frets& frets);

} // namespace chordmoss
