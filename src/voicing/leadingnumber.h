#pragma once

#include <string_view>

namespace chordmoss {

/// Returns the value of the number a text starts with, as a guitarist types a
/// position: blanks are skipped, a sign, digits, a decimal point and an
/// exponent are read; 0 when the text starts with no number. Never overflows:
/// a number too large for a double reads as infinity.
double LeadingNumber(std::string_view text);

} // namespace chordmoss
