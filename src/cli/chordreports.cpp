#include "chordreports.h"

#include <algorithm>
#include <cstdio>

#include "chorddiagram.h"
#include "chordformulas.h"
#include "chordnames.h"
#include "chordsymbol.h"
#include "notespelling.h"
#include "jsontext.h"
#include "windowchord.h"

namespace chordmoss {

namespace {

using json::Quoted;

std::string padded(std::string text, std::size_t width)
{
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::string chordTitle(const ChordSheet& sheet)
{
    std::string t = sheet.root + ' ' + sheet.type + ", position " + std::to_string(sheet.position);
    if (sheet.fourFrets)
        t += ", four frets";
    if (sheet.alternate)
        t += ", alternate fingering";
    return t;
}

} // namespace

std::string ChordBoxText(const Frets& frets, bool leftHanded)
{
    const int first = FirstBoxFret(frets);
    const int rows = BoxFretRows(frets);
    auto rowOf = [&](auto cell) {
        std::string line = "  ";
        for (int i = 0; i < 6; ++i) {
            const int s = leftHanded ? 6 - i : i + 1;
            line += cell(frets[s - 1]);
            if (i < 5)
                line += ' ';
        }
        return line;
    };
    std::string out = rowOf([](int f) { return f < 0 ? 'x' : f == 0 ? 'o' : ' '; });
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    if (!out.empty()) // no string is open or muted
        out += '\n';
    out += "  " + std::string(11, first == 1 ? '=' : '-') + '\n';
    for (int r = 0; r < rows; ++r) {
        const int fret = first + r;
        out += rowOf([&](int f) { return f == fret ? '*' : '|'; }) + "  " + std::to_string(fret) + '\n';
    }
    return out;
}

std::string ChordText(const ChordSheet& sheet, bool leftHanded)
{
    std::string strings;
    for (const std::string& c : sheet.captions)
        strings += (strings.empty() ? "" : "  ") + (c.empty() ? std::string("x") : c);
    std::string listing;
    for (const std::string& e : sheet.listing)
        listing += (listing.empty() ? "" : "  ") + e;
    return chordTitle(sheet) + "\nfingering  " + FingeringText(sheet.frets) + "\nstrings    " + strings
           + "\nnotes      " + listing + "\n\n" + ChordBoxText(sheet.frets, leftHanded);
}

std::string ChordJson(const ChordSheet& sheet, bool leftHanded)
{
    // The listing's entries ("3-E", "7-C") as plain notes and intervals.
    std::vector<std::string> notes, intervals;
    for (const std::string& e : sheet.listing) {
        notes.push_back(e.substr(e.find('-') + 1));
        intervals.push_back(IntervalName(sheet.typeIndex, (ParseNoteName(notes.back()) - ParseNoteName(sheet.root) + 12) % 12));
    }
    const auto lowest = std::find_if(sheet.frets.begin(), sheet.frets.end(), [](int f) { return f >= 0; });
    const std::string bass = lowest == sheet.frets.end() ? "null" : Quoted(NoteOf(StringNote(int(lowest - sheet.frets.begin()) + 1, *lowest)));
    return "{\n  \"schema\": 1,\n  \"root\": " + Quoted(sheet.root) + ",\n  \"type\": " + Quoted(sheet.type)
           + ",\n  \"name\": " + Quoted(sheet.root + ' ' + sheet.type) + ",\n  \"symbol\": " + Quoted(sheet.symbol)
           + ",\n  \"position\": " + std::to_string(sheet.position)
           + ",\n  \"fourFrets\": " + json::Boolean(sheet.fourFrets) + ",\n  \"alternate\": " + json::Boolean(sheet.alternate)
           + ",\n  \"fingering\": " + Quoted(FingeringText(sheet.frets)) + ",\n  \"frets\": " + json::FretsArray(sheet.frets)
           + ",\n  \"bass\": " + bass + ",\n  \"captions\": "
           + json::Array(sheet.captions, [](const std::string& c) { return c.empty() ? std::string("null") : Quoted(c); })
           + ",\n  \"notes\": " + json::Array(notes, Quoted) + ",\n  \"intervals\": " + json::Array(intervals, Quoted)
           + ",\n  \"listing\": " + json::Array(sheet.listing, Quoted)
           + ",\n  \"box\": " + Quoted(ChordBoxText(sheet.frets, leftHanded)) + "\n}\n";
}

std::string FindText(const std::vector<FoundChord>& found)
{
    std::string out;
    for (const FoundChord& c : found)
        out += padded(Shown(RootListItem(c.root)), 3)
               + padded(Shown(TypeListItem(c.type)), 14) + FingeringText(c.frets) + '\n';
    return out;
}

std::string FindJson(const std::vector<std::string>& notes, int position, bool fourFrets, bool alternate,
                     const std::vector<FoundChord>& found)
{
    return "{\n  \"schema\": 1,\n  \"notes\": " + json::Array(notes, Quoted) + ",\n  \"position\": " + std::to_string(position)
           + ",\n  \"fourFrets\": " + json::Boolean(fourFrets) + ",\n  \"alternate\": " + json::Boolean(alternate)
           + ",\n  \"chords\": ["
           + [&] {
                 std::string out;
                 for (const FoundChord& c : found) {
                     const std::string root = Shown(RootListItem(c.root)), type = Shown(TypeListItem(c.type));
                     const std::vector<std::string> sounded = SoundedNotes(c.frets);
                     out += std::string(out.empty() ? "\n" : ",\n") + "    {\"root\": " + Quoted(root)
                            + ", \"type\": " + Quoted(type) + ", \"name\": " + Quoted(root + ' ' + type)
                            + ", \"symbol\": " + Quoted(SymbolText({c.root, c.type, -1, root, {}}))
                            + ", \"bass\": " + (sounded.empty() ? std::string("null") : Quoted(sounded.front()))
                            + ", \"fingering\": " + Quoted(FingeringText(c.frets)) + ", \"frets\": "
                            + json::FretsArray(c.frets) + '}';
                 }
                 return out + (out.empty() ? "" : "\n  ");
             }()
           + "]\n}\n";
}

std::vector<std::string> SoundedNotes(const Frets& frets)
{
    std::vector<std::string> notes;
    for (int s = 1; s <= 6; ++s) {
        if (frets[s - 1] < 0)
            continue;
        const std::string n = NoteOf(StringNote(s, frets[s - 1]));
        if (std::find(notes.begin(), notes.end(), n) == notes.end())
            notes.push_back(n);
    }
    return notes;
}

namespace {

/// The sounded notes spelled as the first name spells them (flats when there is none),
/// and their intervals in it.
std::pair<std::vector<std::string>, std::vector<std::string>> spelledSounds(const Frets& frets,
                                                                           const std::vector<ShapeName>& names)
{
    std::vector<std::string> notes = SoundedNotes(frets), intervals;
    if (names.empty())
        return {notes, intervals};
    const ChordSymbol chord = SpelledChord(names.front().root, names.front().type);
    for (std::string& n : notes) {
        const int above = (ParseNoteName(n) - chord.root + 12) % 12;
        n = SpellNote(chord, above);
        intervals.push_back(IntervalName(chord.type, above));
    }
    return {notes, intervals};
}

/// The names to list: the exact ones and as many includes as are shown.
std::vector<const ShapeName*> listed(const std::vector<ShapeName>& names, bool all)
{
    std::vector<const ShapeName*> out;
    std::size_t includes = 0;
    for (const ShapeName& n : names) {
        if (n.exact || all || includes++ < kIncludesShown)
            out.push_back(&n);
    }
    return out;
}

} // namespace

std::string NameText(const Frets& frets, const std::vector<ShapeName>& names, bool all)
{
    std::string notes;
    for (const std::string& n : spelledSounds(frets, names).first)
        notes += ' ' + n;
    std::string out = FingeringText(frets) + " sounds" + notes + '\n';
    const std::vector<const ShapeName*> shown = listed(names, all);
    for (const ShapeName* n : shown) {
        std::string line = (n->exact ? "exact     " : "includes  ") + padded(n->symbol, 13) + ' ' + n->name;
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + '\n';
    }
    if (shown.size() < names.size())
        out += "          (" + std::to_string(names.size() - shown.size()) + " more with --all)\n";
    return out;
}

std::string NameJson(const Frets& frets, const std::vector<ShapeName>& names, bool all)
{
    const std::vector<const ShapeName*> shown = listed(names, all);
    auto tier = [&](bool exact) {
        std::vector<const ShapeName*> picked;
        for (const ShapeName* n : shown) {
            if (n->exact == exact)
                picked.push_back(n);
        }
        return json::Array(picked, [&](const ShapeName* n) {
            const ChordSymbol c = SpelledChord(n->root, n->type, n->bass);
            unsigned chordNotes = TypeNotes(c.type);
            if (n->composed) { // the notes sounded, over the root
                chordNotes = 0;
                for (const std::string& note : SoundedNotes(frets))
                    chordNotes |= 1u << ((ParseNoteName(note) - n->root + 12) % 12);
            }
            std::vector<std::string> notes, intervals;
            for (int s = 0; s < 12; ++s) {
                if (chordNotes >> s & 1)
                    notes.push_back(SpellNote(c, s)), intervals.push_back(IntervalName(c.type, s));
            }
            const std::string none = "null";
            return "{\"root\": " + Quoted(c.rootName) + ", \"type\": " + (n->composed ? none : Quoted(Shown(TypeListItem(n->type))))
                   + ", \"symbol\": " + Quoted(n->symbol) + ", \"name\": " + (n->composed ? none : Quoted(n->name))
                   + ", \"bass\": " + Quoted(c.bass < 0 ? c.rootName : c.bassName) + ", \"notes\": " + json::Array(notes, Quoted)
                   + ", \"intervals\": " + json::Array(intervals, Quoted) + '}';
        });
    };
    const auto [notes, intervals] = spelledSounds(frets, names);
    return "{\n  \"schema\": 1,\n  \"fingering\": " + Quoted(FingeringText(frets)) + ",\n  \"frets\": " + json::FretsArray(frets)
           + ",\n  \"bass\": " + Quoted(notes.front()) + ",\n  \"notes\": " + json::Array(notes, Quoted)
           + ",\n  \"intervals\": " + json::Array(intervals, Quoted) + ",\n  \"exact\": " + tier(true)
           + ",\n  \"includes\": " + tier(false) + ",\n  \"more\": " + std::to_string(names.size() - shown.size())
           + "\n}\n";
}

} // namespace chordmoss
