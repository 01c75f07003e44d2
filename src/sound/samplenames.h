#pragma once
// Which sample file sounds a string at a fret, and where samples are found.

#include <array>
#include <string>
#include <string_view>
#include <vector>

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

/// The build tree, upper-cased, as SetSoundDir compares it; empty when the
/// program does not run from its build tree.
std::string DevDirectory();

/// The folders the program's own data is looked up in, in order, each with a
/// trailing slash: share/chordmoss beside the binary, then, only when the
/// binary runs from its build tree, the source tree's assets. Found once.
const std::vector<std::string>& DataFolders();
/// The path of data file `name` (a picture, an icon) in the first data folder
/// that holds it, or empty when none does.
std::string FindDataFile(const std::string& name);
/// The program's own sample folder, with a trailing slash: samples/ in the
/// first data folder that holds any sample, else in the first data folder.
std::string ProgramSampleDir();
/// One line for standard error naming the wanted data files, the picture
/// `pictures` (any one of them serves) and the samples, that no data folder
/// holds, and where they were looked for; empty when nothing is missing.
std::string MissingDataReport(const std::vector<std::string>& pictures);

} // namespace chordmoss
