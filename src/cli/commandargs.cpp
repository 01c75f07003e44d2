#include "commandargs.h"

#include <algorithm>
#include <charconv>

#include "chorddiagram.h"
#include "quotedtext.h"
#include "trimblanks.h"

namespace chordmoss {

namespace {

struct OptionSpec {
    const char* name;
    char shortName;
    bool takesValue;
};

constexpr OptionSpec kOptions[] = {
    {"four-frets", 0, false}, {"alternate", 0, false}, {"position", 0, true}, {"format", 'f', true},
    {"output", 'o', true},    {"labels", 0, true},     {"size", 0, true},     {"left-handed", 0, false},
    {"help", 'h', false},     {"bass", 0, true},       {"max", 0, true},      {"near", 0, true},
    {"all", 0, false},        {"columns", 0, true},    {"title", 0, true},    {"paper", 0, true},
};

bool looksLikeNumber(const std::string& arg) { return arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9'; }

} // namespace

Parsed ParseArguments(const std::string& command, const std::vector<std::string>& args, std::size_t from,
                      const std::vector<std::string>& allowed)
{
    Parsed p;
    bool optionsEnded = false;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || looksLikeNumber(arg)) {
            p.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool isLong = arg[1] == '-';
        const std::string name = isLong ? arg.substr(2, arg.find('=') - 2) : arg.substr(1, 1);
        std::vector<const OptionSpec*> matches;
        for (const OptionSpec& o : kOptions) {
            if (std::find(allowed.begin(), allowed.end(), o.name) == allowed.end())
                continue;
            if (isLong ? std::string(o.name) == name : o.shortName == name[0]) {
                matches = {&o};
                break;
            }
            if (isLong && std::string(o.name).starts_with(name))
                matches.push_back(&o);
        }
        if (matches.size() != 1)
            throw UsageError{(matches.empty() ? "unknown option " : "ambiguous option ") + QuotedArgument(arg) + " for '"
                             + command + "'"};
        const OptionSpec& o = *matches.front();
        std::string value;
        const bool inlineValue = isLong ? arg.find('=') != std::string::npos : arg.size() > 2;
        if (o.takesValue) {
            if (inlineValue)
                value = isLong ? arg.substr(arg.find('=') + 1) : arg.substr(2);
            else if (i + 1 < args.size())
                value = args[++i];
            else
                throw UsageError{"option '--" + std::string(o.name) + "' needs a value"};
        } else if (inlineValue) {
            throw UsageError{"option '--" + std::string(o.name) + "' takes no value"};
        }
        p.options[o.name] = value;
    }
    return p;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

int ReadWholeNumber(std::string_view text, int low, int high)
{
    // Digits only: a sign, a blank or a trailing letter is no number here, and
    // from_chars reports a value past int instead of wrapping it.
    int n = 0;
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return digits && ec == std::errc() && end == text.data() + text.size() && n >= low && n <= high ? n : -1;
}

int WholeNumberOption(const Parsed& p, const std::string& name, int low, int high)
{
    const std::string text = p.value(name, "");
    const int n = ReadWholeNumber(text, low, high);
    if (n < 0)
        throw UsageError{"--" + name + ' ' + QuotedArgument(text) + " is not a whole number from " + std::to_string(low)
                         + " to " + std::to_string(high)};
    return n;
}

int ParsePosition(std::string_view text)
{
    // As the list shows it ("5 ") or as typed.
    const int n = ReadWholeNumber(TrimBlanks(text), 0, 12);
    if (n < 0)
        throw UsageError{"position " + QuotedArgument(text) + " is not one of the list's positions 0 to 12"};
    return n;
}

ChordSymbol ReadChord(const std::vector<std::string>& words, std::size_t& taken)
{
    ChordSymbol chord;
    std::string error;
    if (words.empty())
        throw UsageError{"a chord is needed, e.g. 'Cm7' or 'C Min7'"};
    if (words.size() >= 2 && ParseNoteName(words[0]) >= 0) {
        taken = 2;
        if (ParseChordWords(words[0], words[1], chord, error))
            return chord;
        const bool number = words[1].find_first_not_of("0123456789") == std::string::npos;
        if (!number)
            throw UsageError{error};
    }
    taken = 1;
    if (!ParseChordSymbol(words[0], chord, error))
        throw UsageError{error};
    return chord;
}

Presentation ReadPresentation(const Parsed& p, bool diagrams, const std::vector<std::string>& labelKinds)
{
    Presentation r;
    r.format = p.value("format", "text");
    const bool known = r.format == "text" || r.format == "json" || (diagrams && (r.format == "svg" || r.format == "png"));
    if (!known)
        throw UsageError{"format " + QuotedArgument(r.format) + " is not one of " + (diagrams ? "text, json, svg, png" : "text, json")};
    r.labels = p.value("labels", "interval");
    if (std::find(labelKinds.begin(), labelKinds.end(), r.labels) == labelKinds.end())
        throw UsageError{"labels " + QuotedArgument(r.labels) + " is not one of " + Joined(labelKinds)};
    r.leftHanded = p.has("left-handed");
    const bool box = r.format == "svg" || r.format == "png";
    for (const char* option : {"labels", "size"}) {
        if (p.has(option) && !box)
            throw UsageError{"--" + std::string(option) + " is for chord boxes (--format svg or png), not " + r.format};
    }
    if (p.has("left-handed") && r.format == "json")
        throw UsageError{"--left-handed mirrors the chord box of text, svg and png; json draws none"};
    if (p.has("size")) {
        // WIDTH or WIDTHxHEIGHT, digits only: "300x", "x200" and "+300" are refused.
        const std::string s = p.value("size", "");
        const std::size_t x = s.find('x');
        r.width = ReadWholeNumber(std::string_view(s).substr(0, x), kSmallestSide, kLargestSide);
        r.height = x == std::string::npos ? 0 : ReadWholeNumber(std::string_view(s).substr(x + 1), kSmallestSide, kLargestSide);
        if (r.width < 0 || r.height < 0)
            throw UsageError{"size " + QuotedArgument(s) + " is not WIDTH or WIDTHxHEIGHT, each "
                             + std::to_string(kSmallestSide) + " to " + std::to_string(kLargestSide) + " pixels"};
    }
    return r;
}

Result Drawing(const Presentation& how, const ChordDiagram& diagram, PngPainter painter)
{
    // A PNG is drawn at twice the drawing's own size unless a size is given.
    const int drawn = int(diagram.width());
    const int width = how.width ? how.width : how.format == "png" ? 2 * drawn : drawn;
    const int height = how.height ? how.height : diagram.heightFor(width);
    if (height > kLargestSide || height < kSmallestSide) {
        // The height follows from the width: say which widths keep it in bounds.
        int widest = kLargestSide;
        while (widest > kSmallestSide && diagram.heightFor(widest) > kLargestSide)
            --widest;
        int narrowest = kSmallestSide;
        while (narrowest < widest && diagram.heightFor(narrowest) < kSmallestSide)
            ++narrowest;
        throw UsageError{"the drawing would be " + std::to_string(width) + 'x' + std::to_string(height)
                         + " pixels; each side is " + std::to_string(kSmallestSide) + " to " + std::to_string(kLargestSide)
                         + ", which a width of " + std::to_string(narrowest) + " to " + std::to_string(widest)
                         + " (--size) keeps"};
    }
    if (how.format == "svg")
        return {diagram.svg(width, height)};
    if (!painter)
        throw NoPainter{};
    std::string png = painter(diagram, width, height);
    if (png.empty())
        return {{}, 1, false, "the PNG could not be painted"};
    return {std::move(png), 0, true};
}

} // namespace chordmoss
