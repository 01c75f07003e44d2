#include "voicingscommand.h"

#include <charconv>
#include <cstdio>

#include "chorddiagram.h"
#include "chordformulas.h"
#include "chordnames.h"
#include "degreelabels.h"
#include "jsontext.h"
#include "voicingfinder.h"
#include "windowchord.h"

namespace chordmoss {

namespace {

constexpr int kBoxesByDefault = 12;
constexpr int kBoxColumns = 4;

/// Reads a whole number from `low` to `high` for option `name`.
int wholeNumber(const Parsed& p, const std::string& name, int low, int high)
{
    const std::string text = p.value(name, "");
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n < low || n > high)
        throw UsageError{"--" + name + " '" + text + "' is not a whole number from " + std::to_string(low) + " to "
                         + std::to_string(high)};
    return n;
}

/// The interval of a note above the root, as the chord type names it ("3", "7b", "9").
std::string intervalName(int semitones, int type)
{
    std::string label(CaptionLabel((semitones % 12 + 12) % 12 + 1, ChordFormulas[std::size_t(type)].key));
    if (!label.empty() && label.back() == '-')
        label.pop_back();
    return label;
}

/// A voicing's fingers as one word: x muted, 0 open, 1 to 4 the finger.
std::string fingersText(const ChordVoicing& v)
{
    std::string out;
    for (int s = 0; s < 6; ++s)
        out += v.frets[s] < 0 ? 'x' : char('0' + v.hand.fingers[s]);
    return out;
}

/// Strings as guitarists number them: 6 is the low E.
int guitaristString(int s) { return 7 - s; }

std::string barreText(const Barre& b)
{
    return "fret " + std::to_string(b.fret) + " strings " + std::to_string(guitaristString(b.lowString)) + "-"
           + std::to_string(guitaristString(b.highString));
}

std::string decimal(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string padded(std::string text, std::size_t width)
{
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

struct Chord {
    int root, type, bass;
    std::string name;
    std::vector<std::string> notes, intervals;
};

std::string voicingsText(const Chord& c, const std::vector<ChordVoicing>& all, std::size_t shown)
{
    std::string notes;
    for (const std::string& n : c.notes)
        notes += ' ' + n;
    std::string out = c.name + ":" + notes + " - " + std::to_string(all.size()) + " voicings"
                      + (shown < all.size() ? ", the first " + std::to_string(shown) : std::string()) + '\n';
    for (std::size_t i = 0; i < shown; ++i) {
        const ChordVoicing& v = all[i];
        std::string barres;
        for (int b = 0; b < v.hand.barreCount; ++b)
            barres += (b ? ", " : "") + barreText(v.hand.barres[b]);
        std::string rank = std::to_string(i + 1);
        out += std::string(rank.size() < 4 ? 4 - rank.size() : 0, ' ') + rank + "  " + padded(FingeringText(v.frets), 18)
               + "fingers " + fingersText(v) + "  difficulty "
               + (barres.empty() ? decimal(v.difficulty) : padded(decimal(v.difficulty), 6) + "  barre " + barres) + '\n';
    }
    return out;
}

std::string voicingsJson(const Chord& c, const std::vector<ChordVoicing>& all, std::size_t shown)
{
    using json::Quoted;
    auto barreJson = [](const Barre& b) {
        return "{\"fret\": " + std::to_string(b.fret) + ", \"from\": " + std::to_string(guitaristString(b.lowString))
               + ", \"to\": " + std::to_string(guitaristString(b.highString)) + ", \"finger\": "
               + std::to_string(b.finger) + '}';
    };
    std::string list;
    for (std::size_t i = 0; i < shown; ++i) {
        const ChordVoicing& v = all[i];
        std::array<std::string, 6> fingers, notes, intervals;
        for (int s = 0; s < 6; ++s) {
            const bool sounds = v.frets[s] >= 0;
            const int note = sounds ? StringNote(s + 1, v.frets[s]) : 0;
            fingers[s] = sounds ? std::to_string(v.hand.fingers[s]) : "null";
            notes[s] = sounds ? Quoted(NoteOf(note)) : "null";
            intervals[s] = sounds ? Quoted(intervalName(note - c.root, c.type)) : "null";
        }
        auto raw = [](const std::string& t) { return t; };
        std::vector<Barre> barres(v.hand.barres.begin(), v.hand.barres.begin() + v.hand.barreCount);
        list += std::string(list.empty() ? "\n" : ",\n") + "    {\"rank\": " + std::to_string(i + 1)
                + ", \"fingering\": " + Quoted(FingeringText(v.frets)) + ", \"frets\": " + json::FretsArray(v.frets)
                + ", \"fingers\": " + json::Array(fingers, raw)
                + ", \"barre\": " + (barres.empty() ? std::string("null") : barreJson(barres.front()))
                + ", \"barres\": " + json::Array(barres, barreJson) + ", \"lowestFret\": " + std::to_string(v.lowestFret)
                + ", \"difficulty\": " + decimal(v.difficulty) + ", \"bass\": " + Quoted(NoteOf(v.bass))
                + ", \"notes\": " + json::Array(notes, raw) + ", \"intervals\": " + json::Array(intervals, raw) + '}';
    }
    return "{\n  \"schema\": 1,\n  \"root\": " + Quoted(NoteOf(c.root)) + ",\n  \"type\": "
           + Quoted(Shown(TypeListItem(c.type))) + ",\n  \"name\": " + Quoted(c.name) + ",\n  \"bass\": "
           + (c.bass >= 0 ? Quoted(NoteOf(c.bass)) : std::string("null")) + ",\n  \"notes\": "
           + json::Array(c.notes, Quoted) + ",\n  \"intervals\": " + json::Array(c.intervals, Quoted)
           + ",\n  \"count\": " + std::to_string(all.size()) + ",\n  \"voicings\": [" + list
           + (list.empty() ? "" : "\n  ") + "]\n}\n";
}

ChordDiagram voicingBox(const Chord& c, const ChordVoicing& v, const std::string& labels, bool leftHanded)
{
    std::array<std::string, 6> text;
    for (int s = 0; s < 6; ++s) {
        if (v.frets[s] < 0)
            continue;
        const int note = StringNote(s + 1, v.frets[s]);
        text[s] = labels == "note"       ? NoteOf(note)
                  : labels == "interval" ? intervalName(note - c.root, c.type)
                  : v.hand.fingers[s]    ? std::to_string(v.hand.fingers[s])
                                         : std::string();
    }
    return ChordDiagram(c.name + " " + FingeringText(v.frets), v.frets, text, leftHanded, &v.hand);
}

} // namespace

Result VoicingsCommand(const Parsed& p, PngPainter painter)
{
    if (p.positional.size() != 2)
        throw UsageError{p.positional.size() < 2 ? "'voicings' needs a ROOT and a TYPE, e.g. 'chordmoss voicings C Maj'"
                                                 : "'voicings' takes ROOT TYPE; '" + p.positional[2] + "' is one too many"};
    Chord c;
    c.root = ParseRoot(p.positional[0]);
    if (c.root < 0)
        throw UsageError{"unknown root '" + p.positional[0] + "'; closest: " + Joined(ClosestRoots(p.positional[0]))};
    c.type = ParseType(p.positional[1]);
    if (c.type < 0)
        throw UsageError{"unknown chord type '" + p.positional[1] + "'; closest: " + Joined(ClosestTypes(p.positional[1]))};
    c.bass = -1;
    if (p.has("bass")) {
        c.bass = ParseRoot(p.value("bass", ""));
        if (c.bass < 0)
            throw UsageError{"--bass '" + p.value("bass", "") + "' is not a note (A to G, with # or b)"};
    }
    const Presentation how = ReadPresentation(p, true, {"finger", "interval", "note"});
    const bool boxes = how.format == "svg" || how.format == "png";
    const int max = p.has("max") ? wholeNumber(p, "max", 1, 100000) : boxes ? kBoxesByDefault : 100000;
    VoicingRequest request{c.root, c.type, c.bass, p.has("near") ? wholeNumber(p, "near", 0, kHighestVoicingFret) : -1};
    const std::vector<ChordVoicing> all = FindVoicings(request);

    c.name = NoteOf(c.root) + ' ' + Shown(TypeListItem(c.type)) + (c.bass >= 0 ? '/' + NoteOf(c.bass) : "");
    for (int degree : ChordFormulas[std::size_t(c.type)].degrees) {
        if (degree == 0)
            continue;
        c.notes.push_back(NoteOf(c.root + degree - 1));
        c.intervals.push_back(intervalName(degree - 1, c.type));
    }
    const std::size_t shown = std::min(all.size(), std::size_t(max));
    Result r{{}};
    if (how.format == "text")
        r = Result{voicingsText(c, all, shown)};
    else if (how.format == "json")
        r = Result{voicingsJson(c, all, shown)};
    else if (shown > 0) {
        std::vector<ChordDiagram> grid;
        const std::string labels = p.has("labels") ? how.labels : "finger";
        for (std::size_t i = 0; i < shown; ++i)
            grid.push_back(voicingBox(c, all[i], labels, how.leftHanded));
        r = Drawing(how, ChordDiagram::Grid(grid, kBoxColumns), painter);
    }
    if (all.empty())
        r.code = 1, r.message = "no hand can hold " + c.name + " on frets 0 to " + std::to_string(kHighestVoicingFret);
    return r;
}

} // namespace chordmoss
