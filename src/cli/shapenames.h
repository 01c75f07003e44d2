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
    int type;   // type list index: the type a guitarist names these notes by (SpokenType)
    int bass;   // lowest sounding note, semitones above A
    bool exact; // the chord's notes are exactly the sounded notes
    std::string name;   // as the window names it, spelled: "C Maj", "D Maj/F#"
    std::string symbol; // as musicians write it: "C", "D/F#", "Bm7#5/D"
    bool rootSounds = true;
    bool composed = false; // a seventh chord none of the 63 types is; `type` then only spells it
};

/// Every root and type whose notes equal the sounded notes, then those whose
/// notes include them, one type for each set of notes; when no type names the
/// notes over the bass and they make a seventh chord with its extensions and
/// alterations (E G# D G C: E7#5#9), that chord's symbol too. Within each, the names
/// a guitarist says first: the root sounding before a rootless name, root
/// position before an inversion, fewer notes first, plain triads and sevenths
/// before the others, fewer altered notes (b5 #5 b9 #9 #11) first, list order.
std::vector<ShapeName> NameShape(const Frets& frets);

} // namespace chordmoss
