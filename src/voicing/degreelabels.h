#pragma once
// The names of the twelve chord degrees: one set for the chord-tone listing,
// one for the string captions. Some depend on whether the chord type's name
// contains "9", "11" or "13".

#include <string_view>

namespace chordmoss {

std::string_view ListingLabel(int degree, std::string_view typeText);
std::string_view CaptionLabel(int degree, std::string_view typeText);

} // namespace chordmoss
