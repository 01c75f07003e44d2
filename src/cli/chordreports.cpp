#include "chordreports.h"

#include <algorithm>
#include <cstdio>

#include "chorddiagram.h"
#include "chordformulas.h"
#include "chordnames.h"
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
    return "{\n  \"root\": " + Quoted(sheet.root) + ",\n  \"type\": " + Quoted(sheet.type)
           + ",\n  \"name\": " + Quoted(sheet.root + ' ' + sheet.type)
           + ",\n  \"position\": " + std::to_string(sheet.position)
           + ",\n  \"fourFrets\": " + json::Boolean(sheet.fourFrets) + ",\n  \"alternate\": " + json::Boolean(sheet.alternate)
           + ",\n  \"fingering\": " + Quoted(FingeringText(sheet.frets)) + ",\n  \"frets\": " + json::FretsArray(sheet.frets)
           + ",\n  \"captions\": "
           + json::Array(sheet.captions, [](const std::string& c) { return c.empty() ? std::string("null") : Quoted(c); })
           + ",\n  \"notes\": " + json::Array(sheet.listing, Quoted)
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
    return "{\n  \"notes\": " + json::Array(notes, Quoted) + ",\n  \"position\": " + std::to_string(position)
           + ",\n  \"fourFrets\": " + json::Boolean(fourFrets) + ",\n  \"alternate\": " + json::Boolean(alternate)
           + ",\n  \"chords\": ["
           + [&] {
                 std::string out;
                 for (const FoundChord& c : found) {
                     const std::string root = Shown(RootListItem(c.root)), type = Shown(TypeListItem(c.type));
                     out += std::string(out.empty() ? "\n" : ",\n") + "    {\"root\": " + Quoted(root)
                            + ", \"type\": " + Quoted(type) + ", \"name\": " + Quoted(root + ' ' + type)
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

std::string NameText(const Frets& frets, const std::vector<ShapeName>& names)
{
    std::string notes;
    for (const std::string& n : SoundedNotes(frets))
        notes += ' ' + n;
    std::string out = FingeringText(frets) + " sounds" + notes + '\n';
    for (const ShapeName& n : names)
        out += (n.exact ? "exact     " : "includes  ") + n.name + '\n';
    return out;
}

std::string NameJson(const Frets& frets, const std::vector<ShapeName>& names)
{
    auto tier = [&](bool exact) {
        std::vector<const ShapeName*> picked;
        for (const ShapeName& n : names) {
            if (n.exact == exact)
                picked.push_back(&n);
        }
        return json::Array(picked, [](const ShapeName* n) {
            return "{\"root\": " + Quoted(Shown(RootListItem(n->root))) + ", \"type\": "
                   + Quoted(Shown(TypeListItem(n->type))) + ", \"name\": " + Quoted(n->name) + '}';
        });
    };
    return "{\n  \"fingering\": " + Quoted(FingeringText(frets)) + ",\n  \"frets\": " + json::FretsArray(frets)
           + ",\n  \"notes\": " + json::Array(SoundedNotes(frets), Quoted) + ",\n  \"exact\": " + tier(true)
           + ",\n  \"includes\": " + tier(false) + "\n}\n";
}

} // namespace chordmoss
