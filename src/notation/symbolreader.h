#pragma once
// Reading the part of a chord symbol after the root ("m7b5", "maj9", "7sus4",
// "add9") into the notes it asks for, the way a musician builds a chord from
// its symbol: a quality (m, maj, dim, aug, ...), an optional number (6, 7, 9,
// 11, 13, 6/9) that brings the seventh and the extensions under it, then any
// sus, add, altered fifth or ninth, and omissions. It knows nothing of the 63
// types: matching the notes onto one of them is the caller's business.

#include <string>
#include <string_view>

namespace chordmoss {

/// Returns the text with the spellings that mean the same made equal: no
/// blanks, brackets or commas, ♯ ♭ as # b, Δ △ as ^, ° º as o, ø as h.
std::string NormalisedSymbol(std::string_view text);

/// Reads a normalised suffix; on success sets `notes` to a bit set of
/// semitones above the root (bit 0 the root) and returns true.
bool SymbolNotes(std::string_view normalised, unsigned& notes);

/// Returns the suffix a musician writes for a seventh chord with these notes (a bit set above
/// the root, root included): a third, one seventh, extensions and altered notes, "7#5#9",
/// "m9", "maj7#11", "13b9"; or an empty text when they are no such chord or the suffix
/// would not read back as exactly these notes.
std::string SeventhChordSuffix(unsigned notes);

} // namespace chordmoss
