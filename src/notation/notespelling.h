#pragma once
// Spelling a chord's notes as musicians write them: each note by its interval
// above the written root, so that its letter follows from the interval's
// number (E major: E G# B, never Ab; Bb7: Bb D F Ab).
//
// A root known only as a pitch (a shape's lowest note, a list of flats) is
// written as in the key that holds the chord at home, with the fewer sharps
// or flats, a tie going to sharps: a major chord (or one with no third) as
// the tonic of its major key (F#, Db, Eb, Ab, Bb), a minor chord as the
// tonic of its minor key (C#m, D#m, F#m, G#m, Bbm), a diminished one as the
// leading note of the major key a semitone up (C#°, D#°, G#°, A#°). A note
// whose interval would need a double sharp or flat (Bbb in C°7) takes the
// nearest plain name instead: the natural, else a sharp in keys with sharps
// and a flat otherwise.

#include <string>

#include "chordsymbol.h"

namespace chordmoss {

/// The interval name of a note `semitones` (0..11) above the root in chord type `type`:
/// "1", "b3", "3", "5", "#5", "b7", "7", "9", "b9", "#9", "11", "#11", "13", "6" ...
std::string IntervalName(int type, int semitones);

/// The note `semitones` above the root, spelled by its interval from the written root
/// (E Maj: 4 -> "G#"; Bb 7th: 10 -> "Ab"; F# Min7: 3 -> "A"). Double accidentals are
/// replaced by the nearest plain name.
std::string SpellNote(const ChordSymbol& chord, int semitones);

/// Returns the root (semitones above A) of a chord of `type` written as the rule above says.
std::string SpellRoot(int root, int type);

/// Returns the chord with its root and bass written: the root by SpellRoot, the bass by
/// its interval above the root (D Maj over F#: "D/F#").
ChordSymbol SpelledChord(int root, int type, int bass = -1);

} // namespace chordmoss
