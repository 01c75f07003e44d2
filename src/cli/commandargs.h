#pragma once
// What every subcommand shares: the option parser, the output settings of
// text, JSON and chord boxes, and the result handed back to the dispatcher.

#include <map>
#include <string>
#include <vector>

#include "chordsymbol.h"
#include "commandline.h"

namespace chordmoss {

/// A mistake in the arguments: reported on standard error with exit code 2.
struct UsageError {
    std::string message;
};

/// A PNG was asked for and this program cannot paint one.
struct NoPainter {};

/// The arguments of one subcommand, options apart from the rest.
struct Parsed {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string value(const std::string& name, const std::string& otherwise) const
    {
        const auto it = options.find(name);
        return it == options.end() ? otherwise : it->second;
    }
};

/// GNU-style: options anywhere, --name=value or --name value, unique
/// abbreviations, -o value, and "--" ending the options. Only the options
/// named in `allowed` are known to `command`.
Parsed ParseArguments(const std::string& command, const std::vector<std::string>& args, std::size_t from,
                      const std::vector<std::string>& allowed);

/// Returns the names joined by commas.
std::string Joined(const std::vector<std::string>& names);

/// The smallest and largest side of a drawn chord box, in pixels.
inline constexpr int kSmallestSide = 16;
inline constexpr int kLargestSide = 4096;

/// Returns the whole number `text` writes in digits alone if it is from `low`
/// to `high` (both at least 0), else -1.
int ReadWholeNumber(std::string_view text, int low, int high);

/// Reads option `name` as a whole number from `low` to `high`; UsageError
/// naming the range otherwise.
int WholeNumberOption(const Parsed& p, const std::string& name, int low, int high);

/// Reads a position 0 to 12, as the list shows it ("5 ") or as typed.
int ParsePosition(std::string_view text);

/// Reads the chord at the start of `words`: one symbol ("Cm7", "F#m7b5", "Bb/D") or ROOT TYPE
/// as two words ("C Min7", "C m7"), and sets `taken` to the words it used (1 or 2). A lone root
/// and a number read as ROOT TYPE when the number is a type ("C 7" is C7), else as the root's
/// major chord and a position. Throws UsageError when neither reads.
ChordSymbol ReadChord(const std::vector<std::string>& words, std::size_t& taken);

/// Output format and diagram settings.
struct Presentation {
    std::string format = "text";
    std::string labels = "interval";
    bool leftHanded = false;
    int width = 0, height = 0; // 0: the format's default
};

/// Reads --format, --labels, --left-handed and --size. `diagrams`: svg and
/// png are formats of this command; `labelKinds`: the --labels it takes.
/// An option the chosen format has no use for is refused: --labels and --size
/// draw chord boxes (svg, png), --left-handed mirrors a box (text, svg, png).
Presentation ReadPresentation(const Parsed& p, bool diagrams,
                              const std::vector<std::string>& labelKinds = {"interval", "note"});

/// The result of a command: the bytes to write, the exit code, and a note
/// for standard error.
struct Result {
    Result(std::string b, int c = 0, bool bin = false, std::string m = {})
        : bytes(std::move(b)), code(c), binary(bin), message(std::move(m))
    {
    }
    std::string bytes;
    int code;
    bool binary;
    std::string message;
};

/// Draws one chord box as SVG, or as PNG through `painter` (NoPainter when
/// there is none).
Result Drawing(const Presentation& how, const ChordDiagram& diagram, PngPainter painter);

} // namespace chordmoss
