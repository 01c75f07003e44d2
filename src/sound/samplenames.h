#pragma once
// Which sample file sounds a string at a fret, and where samples are found.

#include <array>
#include <string>
#include <string_view>

namespace chordmoss {

struct Module1;

/// The 39 sample files by pitch index (0 = open low E, 38 = high E fret 14).
extern const std::array<std::string_view, 39> SampleNames;

/// Pitch index of string s (1..6) played open.
int SampleBase(int s);

/// Sets InDevDir and SoundDir from the current directory: inside the build
/// tree samples come from the source tree, elsewhere by bare name.
void SetSoundDir(Module1& m);

/// SoundDir followed by the sample name of string s at fret f (0..14).
std::string SampleFile(const Module1& m, int s, int f);

/// True when `directory`, trimmed of spaces and upper-cased, is the build tree.
bool IsDevDirectory(const std::string& directory);

/// The build tree, upper-cased, as SetSoundDir compares it.
std::string DevDirectory();
/// The program's data folder, with a trailing slash: share/chordmoss beside
/// an installed binary, else the source tree's assets.
std::string ProgramDataDir();
/// The program's own sample folder, with a trailing slash.
std::string ProgramSampleDir();

} // namespace chordmoss
