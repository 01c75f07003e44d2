#pragma once
// Deciding, before any Qt object exists, whether the program was started for
// its window or for the command line, and whether the window can open.

#include <string>

namespace chordmoss {

/// True when the arguments hold anything besides Qt's own options (-platform,
/// -style, ...): a subcommand, --help, --version, or a mistake to report.
bool WantsCommandLine(int argc, char** argv);

/// Returns why the window cannot open (no display for the chosen platform),
/// or an empty text when it can.
std::string WindowDisplayProblem(int argc, char** argv);

} // namespace chordmoss
