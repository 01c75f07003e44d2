#include "shapenames.h"

#include <algorithm>
#include <bit>
#include <tuple>

#include "chordformulas.h"
#include "chordnames.h"
#include "chordsymbol.h"
#include "commandargs.h"
#include "notespelling.h"
#include "quotedtext.h"
#include "symbolreader.h"
#include "notetables.h"
#include "windowchord.h"

namespace chordmoss {

namespace {

bool parseFret(std::string_view word, int& fret)
{
    if (word == "x" || word == "X") {
        fret = -1;
        return true;
    }
    fret = ReadWholeNumber(word, 0, kHighestNamedFret);
    return fret >= 0;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == separator)
            out.emplace_back();
        else
            out.back().push_back(c);
    }
    return out;
}

} // namespace

bool ParseShape(const std::vector<std::string>& words, Frets& frets, std::string& error)
{
    std::vector<std::string> tokens = words;
    if (words.size() == 1) {
        const std::string& w = words.front();
        if (w.find('-') != std::string::npos) {
            tokens = split(w, '-');
        } else {
            // One character per string.
            tokens.clear();
            for (char c : w)
                tokens.emplace_back(1, c);
        }
    }
    if (tokens.size() != 6) {
        std::string given;
        for (std::size_t i = 0; i < words.size(); ++i)
            given += (i ? " " : "") + words[i];
        error = "a shape has six strings, from the low E string to the high E string; " + QuotedArgument(given) + " gives " + std::to_string(tokens.size()) + " (e.g. x32010, x-10-12-12-11-10 or x 3 2 0 1 0)";
        return false;
    }
    for (int s = 0; s < 6; ++s) {
        if (!parseFret(tokens[s], frets[s])) {
            error = "string " + std::to_string(s + 1) + ": " + QuotedArgument(tokens[s]) + " is neither a fret 0 to "
                    + std::to_string(kHighestNamedFret) + " nor x";
            return false;
        }
    }
    if (std::all_of(frets.begin(), frets.end(), [](int f) { return f < 0; })) {
        error = "no string sounds in this shape";
        return false;
    }
    return true;
}

std::string FingeringText(const Frets& frets)
{
    const bool wide = std::any_of(frets.begin(), frets.end(), [](int f) { return f >= 10; });
    std::string out;
    for (int f : frets) {
        if (wide && !out.empty())
            out += '-';
        out += f < 0 ? std::string("x") : std::to_string(f);
    }
    return out;
}

std::vector<ShapeName> NameShape(const Frets& frets)
{
    unsigned sounded = 0;
    int bass = -1;
    for (int s = 1; s <= 6; ++s) {
        if (frets[s - 1] < 0)
            continue;
        const int note = StringNote(s, frets[s - 1]);
        sounded |= 1u << note;
        if (bass < 0)
            bass = note;
    }
    std::vector<ShapeName> names;
    for (int r = 0; r < 12; ++r) {
        for (int t = 0; t < int(ChordFormulas.size()); ++t) {
            if (SpokenType(t) != t)
                continue;
            const unsigned relative = TypeNotes(t);
            const unsigned notes = ((relative << r) | (relative >> (12 - r))) & 0xfff;
            if ((notes & sounded) != sounded)
                continue;
            const ChordSymbol chord = SpelledChord(r, t, bass);
            std::string name = chord.rootName + ' ' + Shown(ChordFormulas[t].key);
            if (chord.bass >= 0)
                name += '/' + chord.bassName;
            names.push_back({r, t, bass, notes == sounded, std::move(name), SymbolText(chord), bool(sounded >> r & 1)});
        }
    }
    const unsigned overBass = ((sounded >> bass) | (sounded << (12 - bass))) & 0xfff;
    const std::string suffix = SeventhChordSuffix(overBass);
    const bool bassNamed = std::any_of(names.begin(), names.end(), [&](auto& n) { return n.exact && n.root == bass; });
    if (!suffix.empty() && !bassNamed) {
        // Spelled as the type the symbol reads as, or as a seventh or minor seventh.
        ChordSymbol read;
        std::string unread;
        const int type = ParseChordSymbol("C" + suffix, read, unread) ? read.type : overBass & (1u << 4) ? 35 : 6;
        const std::string root = SpellRoot(bass, type);
        names.push_back({bass, type, bass, true, {}, root + suffix, true, true});
    }
    // Plain: the triads, sixths and sevenths (C Cm Cm6 Cm7 Cm7b5 Cm(maj7) Cmaj7 Cdim Cdim7 Caug C6 C7 C5
    // C7sus4 Csus4 Csus2); the others add, extend or alter.
    static constexpr int kPlain[] = {0, 1, 2, 6, 9, 14, 15, 24, 25, 27, 32, 35, 47, 57, 58, 60};
    auto key = [](const ShapeName& n) {
        const unsigned notes = TypeNotes(n.type);
        int altered = 0;
        for (int s = 0; s < 12; ++s) {
            const std::string i = IntervalName(n.type, s);
            altered += (notes >> s & 1) && (i == "b5" || i == "#5" || i == "b9" || i == "#9" || i == "#11");
        }
        const bool plain = std::find(std::begin(kPlain), std::end(kPlain), n.type) != std::end(kPlain);
        if (n.composed)
            altered = int(std::count_if(n.symbol.begin() + 1, n.symbol.end(), [](char c) { return c == '#' || c == 'b'; }));
        return std::make_tuple(!n.exact, !n.rootSounds, n.bass != n.root, n.exact ? 0 : std::popcount(notes),
                               !plain || n.composed, altered, n.type);
    };
    std::stable_sort(names.begin(), names.end(), [&](const ShapeName& a, const ShapeName& b) { return key(a) < key(b); });
    return names;
}

} // namespace chordmoss
