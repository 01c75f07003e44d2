#pragma once
// The 63 chord types: their names, in the order of the type list and of the
// chord search, and the degrees each contains.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace chordmoss {

struct Module1;

/// One chord type. Degree k (1..12) is the note k-1 semitones above the root;
/// unused trailing entries of `degrees` are 0.
struct ChordFormula {
    std::string_view key;
    std::array<std::uint8_t, 6> degrees;
};

extern const std::array<ChordFormula, 63> ChordFormulas;

/// Returns the formula whose key equals typeText exactly (no trimming, no
/// case folding), or nullptr.
const ChordFormula* FindChordFormula(std::string_view typeText);

/// Clears ChordDegrees 1..12 and flags the degrees of the type named by
/// typeText; an unknown name leaves every flag clear.
void LookupChordDegrees(Module1& m, std::string_view typeText);

} // namespace chordmoss
