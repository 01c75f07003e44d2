#pragma once
// Constant tables of the music model: the chromatic circle, the open strings,
// the note names along each string and the fret columns of the guitar picture.
// The asset tools read these same constants, so the picture cannot drift.

#include <array>
#include <string_view>

namespace chordmoss {

inline constexpr int kStringCount = 6;
inline constexpr int kLastFret = 14;

/// The twelve note names from A, flats only, each with its trailing space.
inline constexpr std::array<std::string_view, 12> kChromaticFromA = {
    "A ", "Bb ", "B ", "C ", "Db ", "D ", "Eb ", "E ", "F ", "Gb ", "G ", "Ab "};

/// Open note of strings 1 (low E) to 6 (high E); index 0 unused.
inline constexpr std::array<std::string_view, 7> kOpenNotes = {"", "E ", "A ", "D ", "G ", "B ", "E "};

/// Left edge, in twips, of a finger dot standing at fret 0 (the nut) to 14.
inline constexpr std::array<double, 15> kFretLeft = {
    11400, 11040, 10560, 10200, 9840, 9440, 9070, 8760, 8450, 8160, 7870, 7600, 7370, 7120, 6920};

/// Semitones above the open low E of each open string (index 0 unused).
inline constexpr std::array<int, 7> kStringSemitones = {0, 0, 5, 10, 15, 19, 24};

} // namespace chordmoss
