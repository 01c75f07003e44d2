#pragma once
// Chord symbols as musicians write them ("Cm7", "F#m7b5", "Bb/D", "C°7",
// "C6/9") and as the window names them ("C Min7"), read onto the 63 chord
// types. A symbol selects a type in three steps: a window type name (any
// case, brackets optional) selects that very type; then a spelling listed in
// TypeSymbols selects its type; else the symbol is built into notes as a
// musician reads it (symbolreader.h) and lands on the first type in list
// order with exactly those notes. Several types share their notes ("Min7",
// "Min7\b3", "Min7\b7"); a type's degrees are those of chordformulas.cpp,
// textbook or not.

#include <string>
#include <string_view>
#include <vector>

namespace chordmoss {

/// A chord as written: root and bass as semitones above A (the root list's index, 0 = A), the
/// type's index in ChordFormulas (0..62), and the letters as the user wrote them or as
/// a guitarist spells them when no accidental was given.
struct ChordSymbol {
    int root = 3;
    int type = 0;
    int bass = -1; // bass -1: no slash bass
    std::string rootName = "C", bassName; // "F#", "Bb", "C"
};

/// Reads "Cm7", "F#m7b5", "Bbmaj7", "C/E", "Am7/G", "Cø", "C°7", "CΔ", "C6/9", ... and the two-word
/// form's words joined ("C Min7" reads with ParseChordWords). On failure returns false and writes
/// a message that says the symbol names no type of the 63 and names the nearest types by notes.
bool ParseChordSymbol(std::string_view text, ChordSymbol& out, std::string& error);

/// ROOT TYPE as two words (the window's type names, any case, trailing blank optional),
/// or a symbol split in two ("C m7", "C m7/G"); same result and errors.
bool ParseChordWords(std::string_view root, std::string_view type, ChordSymbol& out, std::string& error);

/// The symbols that select each type, the first being the one to print ("m7", "min7", "-7"),
/// the window's name among them. A type that shares its notes with an earlier one has only
/// its window's name, or spellings of that name ("7#5#9" for "7(#5,#9)", "sus4" for "Sus4").
const std::vector<std::string>& TypeSymbols(int type);

/// Returns a type's notes as a bit set of semitones above the root (bit 0: the root).
unsigned TypeNotes(int type);

/// Returns the type a guitarist names these notes by: the first in list order with the
/// same notes that has a symbol besides its window name ("Add9" for "Maj(Sus9)"), else the first.
int SpokenType(int type);

/// Returns the pitch (semitones above A) of a whole note name such as "F#", "bb", "E♭" or
/// "B#", or -1; `written` receives it as printed ("F#", "Bb").
int ParseNoteName(std::string_view text, std::string* written = nullptr);

/// Returns the chord as one symbol: "Cm7", "D/F#", "F#m7b5".
std::string SymbolText(const ChordSymbol& chord);

} // namespace chordmoss
