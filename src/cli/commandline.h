#pragma once
// The command line: look up a chord as the window shows it, find the chords
// that hold some notes, name a shape, and draw chord boxes. Results go to
// standard output (or --output), mistakes to standard error with exit code 2
// and nothing on standard output.

#include <iosfwd>
#include <string>
#include <vector>

namespace chordmoss {

/// Runs the subcommand in `args` (the arguments after the program name) and
/// returns the exit code: 0 done, 1 nothing found or a file not written,
/// 2 a mistake in the arguments.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// The same on the process's own arguments and streams.
int RunCommandLine(int argc, char** argv);

} // namespace chordmoss
