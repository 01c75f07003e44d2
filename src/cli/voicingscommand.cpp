#include "voicingscommand.h"

#include <cstdio>

#include "chorddiagram.h"
#include "chordformulas.h"
#include "chordnames.h"
#include "chordsymbol.h"
#include "jsontext.h"
#include "notespelling.h"
#include "quotedtext.h"
#include "voicingfinder.h"
#include "windowchord.h"

namespace chordmoss {

namespace {

constexpr int kBoxesByDefault = 12;
constexpr int kBoxColumns = 4;

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
    ChordSymbol symbol; // root, type, bass, as written
    std::string name;   // "C Maj/E", as the lists name the type
    std::vector<std::string> notes, intervals;

    std::string noteAt(int note) const { return SpellNote(symbol, ((note - symbol.root) % 12 + 12) % 12); }
    std::string intervalAt(int note) const { return IntervalName(symbol.type, ((note - symbol.root) % 12 + 12) % 12); }
};

std::string voicingsText(const Chord& c, const std::vector<ChordVoicing>& all, std::size_t shown)
{
    std::string notes;
    for (const std::string& n : c.notes)
        notes += ' ' + n;
    std::string out = SymbolText(c.symbol) + " (" + c.name + "):" + notes + " - " + std::to_string(all.size()) + " voicings"
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
            notes[s] = sounds ? Quoted(c.noteAt(note)) : "null";
            intervals[s] = sounds ? Quoted(c.intervalAt(note)) : "null";
        }
        auto raw = [](const std::string& t) { return t; };
        std::vector<Barre> barres(v.hand.barres.begin(), v.hand.barres.begin() + v.hand.barreCount);
        list += std::string(list.empty() ? "\n" : ",\n") + "    {\"rank\": " + std::to_string(i + 1)
                + ", \"fingering\": " + Quoted(FingeringText(v.frets)) + ", \"frets\": " + json::FretsArray(v.frets)
                + ", \"fingers\": " + json::Array(fingers, raw)
                + ", \"barre\": " + (barres.empty() ? std::string("null") : barreJson(barres.front()))
                + ", \"barres\": " + json::Array(barres, barreJson) + ", \"lowestFret\": " + std::to_string(v.lowestFret)
                + ", \"difficulty\": " + decimal(v.difficulty) + ", \"bass\": " + Quoted(c.noteAt(v.bass))
                + ", \"notes\": " + json::Array(notes, raw) + ", \"intervals\": " + json::Array(intervals, raw) + '}';
    }
    return "{\n  \"schema\": 1,\n  \"root\": " + Quoted(c.symbol.rootName) + ",\n  \"type\": "
           + Quoted(Shown(TypeListItem(c.symbol.type))) + ",\n  \"name\": " + Quoted(c.name)
           + ",\n  \"symbol\": " + Quoted(SymbolText(c.symbol)) + ",\n  \"bass\": "
           + (c.symbol.bass >= 0 ? Quoted(c.symbol.bassName) : std::string("null")) + ",\n  \"notes\": "
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
        text[s] = labels == "note"       ? c.noteAt(note)
                  : labels == "interval" ? c.intervalAt(note)
                  : v.hand.fingers[s]    ? std::to_string(v.hand.fingers[s])
                                         : std::string();
    }
    return ChordDiagram(SymbolText(c.symbol) + "  " + FingeringText(v.frets), v.frets, text, leftHanded, &v.hand);
}

} // namespace

Result VoicingsCommand(const Parsed& p, PngPainter painter)
{
    std::size_t taken = 0;
    Chord c;
    c.symbol = ReadChord(p.positional, taken);
    if (p.positional.size() > taken)
        throw UsageError{"'voicings' takes a CHORD (or ROOT TYPE); " + QuotedArgument(p.positional[taken]) + " is one too many"};
    if (p.has("bass")) {
        std::string written;
        c.symbol.bass = ParseNoteName(p.value("bass", ""), &written);
        if (c.symbol.bass < 0)
            throw UsageError{"--bass " + QuotedArgument(p.value("bass", "")) + " is not a note (A to G, with # or b)"};
        c.symbol.bassName = written;
    }
    const Presentation how = ReadPresentation(p, true, {"finger", "interval", "note"});
    const bool boxes = how.format == "svg" || how.format == "png";
    if (how.leftHanded && !boxes)
        throw UsageError{"--left-handed mirrors chord boxes (--format svg or png); the voicings list has none"};
    const int max = p.has("max") ? WholeNumberOption(p, "max", 1, 100000) : boxes ? kBoxesByDefault : 100000;
    const VoicingRequest request{c.symbol.root, c.symbol.type, c.symbol.bass,
                                 p.has("near") ? WholeNumberOption(p, "near", 0, kHighestVoicingFret) : -1};
    const std::vector<ChordVoicing> all = FindVoicings(request);

    c.name = c.symbol.rootName + ' ' + Shown(TypeListItem(c.symbol.type))
             + (c.symbol.bass >= 0 ? '/' + c.symbol.bassName : "");
    for (int degree : ChordFormulas[std::size_t(c.symbol.type)].degrees) {
        if (degree == 0)
            continue;
        c.notes.push_back(c.noteAt(c.symbol.root + degree - 1));
        c.intervals.push_back(c.intervalAt(c.symbol.root + degree - 1));
    }
    const std::size_t shown = std::min(all.size(), std::size_t(max));
    Result r{{}};
    if (how.format == "text")
        r = Result{voicingsText(c, all, shown)};
    else if (how.format == "json")
        r = Result{voicingsJson(c, all, shown)};
    else {
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
