#pragma once
// The command line: look up a chord as the window shows it, find the chords
// that hold some notes, name a shape, and draw chord boxes. Results go to
// standard output (or --output), mistakes to standard error with exit code 2
// and nothing on standard output.

#include <iosfwd>
#include <string>
#include <vector>

namespace chordmoss {

class ChordDiagram;

/// Paints a chord box into PNG bytes. Only the full program links one: the
/// GUI libraries it needs cost more to load than a chord costs to compute.
using PngPainter = std::string (*)(const ChordDiagram& diagram, int width, int height);

/// Paints a page-shaped drawing onto one page of `paper` ("a4" or "letter")
/// and returns the PDF file's bytes (empty on failure).
using PdfPainter = std::string (*)(const ChordDiagram& page, const std::string& paper);

/// The exit code RunCommandLine returns, having written nothing, when a PNG
/// is asked for and no painter was given.
inline constexpr int kNeedsPngPainter = -1;

/// Runs the subcommand in `args` (the arguments after the program name) and
/// returns the exit code: 0 done, 1 nothing found or a file not written,
/// 2 a mistake in the arguments.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   PngPainter painter = nullptr, PdfPainter pdf = nullptr);

/// The same on the process's own arguments and streams.
int RunCommandLine(int argc, char** argv, PngPainter painter, PdfPainter pdf = nullptr);

} // namespace chordmoss
