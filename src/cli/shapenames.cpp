#include "shapenames.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "chordformulas.h"
#include "chordnames.h"
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
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), fret);
    return ec == std::errc() && end == word.data() + word.size() && fret >= 0 && fret <= kHighestNamedFret;
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
        error = "a shape has six strings, from the low E string to the high E string; '";
        for (std::size_t i = 0; i < words.size(); ++i)
            error += (i ? " " : "") + words[i];
        error += "' gives " + std::to_string(tokens.size()) + " (e.g. x32010, x-10-12-12-11-10 or x 3 2 0 1 0)";
        return false;
    }
    for (int s = 0; s < 6; ++s) {
        if (!parseFret(tokens[s], frets[s])) {
            error = "string " + std::to_string(s + 1) + ": '" + tokens[s] + "' is neither a fret 0 to "
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
            unsigned notes = 0;
            for (int k : ChordFormulas[t].degrees) {
                if (k != 0)
                    notes |= 1u << ((r + k - 1) % 12);
            }
            if ((notes & sounded) != sounded)
                continue;
            std::string name = Shown(RootListItem(r)) + ' ' + Shown(ChordFormulas[t].key);
            if (bass != r)
                name += '/' + NoteOf(bass);
            names.push_back({r, t, bass, notes == sounded, std::move(name)});
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const ShapeName& a, const ShapeName& b) {
        auto key = [](const ShapeName& n) {
            int count = 0;
            for (int k : ChordFormulas[n.type].degrees)
                count += k != 0;
            return std::make_tuple(!n.exact, count, n.bass != n.root);
        };
        return key(a) < key(b);
    });
    return names;
}

} // namespace chordmoss
