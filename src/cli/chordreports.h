#pragma once
// What the command line prints: plain text for people, JSON for scripts,
// both holding the same fields.

#include <array>
#include <string>
#include <vector>

#include "chordfinder.h"
#include "shapenames.h"

namespace chordmoss {

/// A chord as the window shows it, ready to print.
struct ChordSheet {
    std::string root, type; // as the lists show them, without the trailing blank
    int position = 0;
    bool fourFrets = false, alternate = false;
    Frets frets{};
    std::array<std::string, 6> captions; // "3-E"; empty for a string that does not sound
    std::vector<std::string> listing;    // "1-C", "5-G", ...
    int typeIndex = 0;                   // for the intervals of the JSON
    std::string symbol;                  // "Cm7"
};

/// Returns a small chord box drawn with characters, one line per fret row.
std::string ChordBoxText(const Frets& frets, bool leftHanded);

std::string ChordText(const ChordSheet& sheet, bool leftHanded);
std::string ChordJson(const ChordSheet& sheet, bool leftHanded);

std::string FindText(const std::vector<FoundChord>& found);
std::string FindJson(const std::vector<std::string>& notes, int position, bool fourFrets, bool alternate,
                     const std::vector<FoundChord>& found);

/// Returns the sounded notes of a shape, each once, from the low string up.
std::vector<std::string> SoundedNotes(const Frets& frets);

/// The most "includes" names listed without --all.
inline constexpr std::size_t kIncludesShown = 5;

/// The names of a shape: every exact name, and the first kIncludesShown
/// includes unless `all`; the sounded notes spelled as the first name spells them.
std::string NameText(const Frets& frets, const std::vector<ShapeName>& names, bool all);
std::string NameJson(const Frets& frets, const std::vector<ShapeName>& names, bool all);

} // namespace chordmoss
