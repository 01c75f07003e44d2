#include "commandargs.h"

#include <algorithm>

#include "chorddiagram.h"

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
            throw UsageError{(matches.empty() ? "unknown option '" : "ambiguous option '") + arg + "' for '"
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

int ParsePosition(std::string text)
{
    // As the list shows it ("5 ") or as typed.
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    int n = -1;
    const bool digits = !text.empty() && text.size() <= 2
                        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits)
        n = std::stoi(text);
    if (n < 0 || n > 12)
        throw UsageError{"position '" + text + "' is not one of the list's positions 0 to 12"};
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
        throw UsageError{"format '" + r.format + "' is not one of " + (diagrams ? "text, json, svg, png" : "text, json")};
    r.labels = p.value("labels", "interval");
    if (std::find(labelKinds.begin(), labelKinds.end(), r.labels) == labelKinds.end())
        throw UsageError{"labels '" + r.labels + "' is not one of " + Joined(labelKinds)};
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
        auto pixels = [](const std::string& digits) {
            const bool ok = !digits.empty() && digits.size() <= 4 && digits.find_first_not_of("0123456789") == std::string::npos;
            const int v = ok ? std::stoi(digits) : 0;
            return v >= 16 && v <= 4096 ? v : -1;
        };
        r.width = pixels(s.substr(0, x));
        r.height = x == std::string::npos ? 0 : pixels(s.substr(x + 1));
        if (r.width < 0 || r.height < 0)
            throw UsageError{"size '" + s + "' is not WIDTH or WIDTHxHEIGHT, each 16 to 4096 pixels"};
    }
    return r;
}

Result Drawing(const Presentation& how, const ChordDiagram& diagram, PngPainter painter)
{
    // A PNG is drawn at twice the drawing's own size unless a size is given.
    const int drawn = int(diagram.width());
    const int width = how.width ? how.width : how.format == "png" ? 2 * drawn : drawn;
    const int height = how.height ? how.height : diagram.heightFor(width);
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
