#pragma once
// The rules for a note typed into a search box: what is rejected while
// typing, and the written form an entry takes when the box is left.

#include <string>
#include <string_view>

namespace chordmoss {

/// True when the upper-cased first character is a letter A to G.
bool StartsWithNoteLetter(std::string_view text);

/// Upper-cases and trims the entry, lower-cases its second character and adds
/// one trailing space; an entry of blanks becomes empty. Idempotent.
std::string NormaliseEntry(std::string_view text);

} // namespace chordmoss
