#pragma once
// Root and chord type names as a guitarist types them on the command line:
// matched against the window's lists without regard to case or the trailing
// blank, sharps read as the flats the lists show. Unknown names get the
// closest list entries as suggestions.

#include <string>
#include <string_view>
#include <vector>

namespace chordmoss {

/// Returns the root list index (0 = "A ") of a note name such as "c", "Db",
/// "C#" or "E#", or -1.
int ParseRoot(std::string_view text);

/// Returns the type list index of a chord type name such as "maj7" or
/// "Min7\b3 ", or -1.
int ParseType(std::string_view text);

/// Returns the note name of a semitone count above A, without the blank ("Bb").
std::string NoteOf(int semitonesAboveA);

/// Returns a list entry without its trailing blank, as the command line shows it.
std::string Shown(std::string_view listItem);

/// Returns the few names of the list closest in spelling to `text`, best first.
std::vector<std::string> ClosestRoots(std::string_view text);
std::vector<std::string> ClosestTypes(std::string_view text);

} // namespace chordmoss
