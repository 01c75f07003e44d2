#pragma once
// Playing the strings of the fingering on display, read back from the dots.

#include <array>
#include <string>

namespace chordmoss {

struct Module1;
class FretboardState;
class StringPlayer;

/// Players of strings 1..6 (index 0 unused).
using PlayerSet = std::array<StringPlayer*, 7>;

/// Stops string s's player and starts the sample of the fret its dot stands
/// on; a dot on no fret column replays the player's last sample. A sample
/// missing where the sample directory says is taken from the program's own
/// sample folder.
void PlayString(const Module1& m, const FretboardState& board, const PlayerSet& players, int s);

/// Returns the file that will actually be played for `path`.
std::string ResolveSample(const std::string& path);

} // namespace chordmoss
