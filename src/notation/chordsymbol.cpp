#include "chordsymbol.h"

#include <algorithm>
#include <array>
#include <bit>

#include "chordformulas.h"
#include "notespelling.h"
#include "quotedtext.h"
#include "symbolreader.h"
#include "trimblanks.h"

namespace chordmoss {

namespace {

// The spellings of each type besides its window name, in list order, the one
// to print first. Types that share their notes with an earlier type get none,
// unless the spelling is their window name's own ("7#5#9" for "7(#5,#9)"),
// so that a symbol means one type.
const std::array<std::vector<std::string>, 63> kSpellings = {{
    {"", "M", "maj", "major"},                                            // Maj
    {"m", "min", "-", "minor", "mi"},                                     // Min
    {"m6", "min6", "-6"},                                                 // Min6
    {},                                                                   // Min\6
    {"m6/9", "m69", "min6/9", "-6/9", "m6add9"},                          // Min6/9
    {},                                                                   // Min6(9)
    {"m7", "min7", "-7", "mi7"},                                          // Min7
    {},                                                                   // Min7\b3
    {},                                                                   // Min7\b7
    {"m7b5", "\u00F8", "\u00F87", "min7b5", "-7b5", "m7-5", "mi7b5"},     // Min7b5
    {"m7#5", "min7#5", "-7#5", "m7+5"},                                   // Min7#5
    {"m9", "min9", "-9"},                                                 // Min9
    {"m11", "min11", "-11"},                                              // Min11
    {"m13", "min13", "-13"},                                              // Min13
    {"m(maj7)", "mMaj7", "mM7", "minmaj7", "-maj7", "m\u03947", "-\u03947", "m\u0394"}, // MMaj7
    {"maj7", "M7", "\u0394", "\u03947", "ma7"},                           // Maj7
    {"maj7#5", "M7#5", "\u0394#5", "\u03947#5", "+maj7", "augmaj7", "+M7"}, // Maj7+5
    {"maj7b5", "M7b5", "\u0394b5", "\u03947b5"},                          // Maj7-5
    {"maj9", "M9", "\u03949"},                                            // Maj9
    {"9#11", "9+11"},                                                     // Maj9+11: it has the minor seventh
    {"maj11", "M11", "\u039411"},                                         // Maj11
    {"maj13", "M13", "\u039413"},                                         // Maj13
    {"maj13#11", "M13#11", "\u039413#11"},                                // Maj13+11
    {},                                                                   // Maj(Sus9)
    {"dim", "\u00B0", "o"},                                               // Dim
    {"dim7", "\u00B07", "o7"},                                            // Dim7
    {},                                                                   // Dim\b7
    {"aug", "+", "+5"},                                                   // Aug5 (not "#5": C#5 is C sharp five)
    {},                                                                   // Aug5(Sus4)\2
    {},                                                                   // Aug5(Sus2)\4
    {"(b5)"},                                                             // -5 (not "b5": Cb5 is C flat five)
    {},                                                                   // 2
    {"6", "maj6", "M6", "add6"},                                          // 6th
    {"6/9", "69", "M6/9", "maj6/9"},                                      // 6/9
    {"6(#11)", "6#11"},                                                   // 6(#11)
    {"7", "dom7"},                                                        // 7th
    {"7b5", "7-5"},                                                       // 7b5
    {"7#5", "7+5", "aug7", "+7", "7aug"},                                 // 7#5
    {"7b9", "7-9"},                                                       // 7b9
    {"7#9", "7+9"},                                                       // 7#9
    {"7b5b9", "7b9b5"},                                                   // 7(b5,b9)
    {"7b5#9", "7#9b5"},                                                   // 7(b5,#9)
    {"7#5#9", "7#9#5"},                                                   // 7(#5,#9)
    {"9", "dom9"},                                                        // 9th
    {"9b5", "9-5"},                                                       // 9b5
    {"maj9#5", "M9#5", "\u03949#5"},                                      // 9#5: it has the major seventh
    {"add#9"},                                                            // +9
    {"5", "no3"},                                                         // (5)
    {"add9", "add2"},                                                     // Add9
    {},                                                                   // 6Add9
    {"11"},                                                               // 11
    {},                                                                   // 11b9
    {"add#11"},                                                           // +11
    {"13"},                                                               // 13th
    {},                                                                   // 13#11
    {},                                                                   // Sus
    {"sus2sus4", "sus24"},                                                // Sus2Sus4
    {"7sus4", "7sus"},                                                    // 7Sus
    {"sus4"},                                                             // Sus4
    {},                                                                   // Sus9
    {"sus2"},                                                             // Sus2
    {},                                                                   // Sus4/9
    {},                                                                   // Min7-5
}};

std::string folded(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return out;
}

/// The lookups of step one (window names, any case) and step two (spellings, exact).
struct SymbolIndex {
    std::vector<std::pair<std::string, int>> windowNames, spellings;
    std::array<std::vector<std::string>, 63> symbols;
    SymbolIndex()
    {
        for (int t = 0; t < 63; ++t) {
            const std::string name(TrimBlanks(ChordFormulas[t].key));
            windowNames.emplace_back(folded(NormalisedSymbol(name)), t);
            symbols[t] = kSpellings[t];
            for (const std::string& s : kSpellings[t])
                spellings.emplace_back(NormalisedSymbol(s), t);
            if (std::none_of(symbols[t].begin(), symbols[t].end(), [&](auto& s) { return folded(s) == folded(name); }))
                symbols[t].push_back(name);
        }
    }
};

const SymbolIndex& index()
{
    static const SymbolIndex i;
    return i;
}

int editDistance(const std::string& a, const std::string& b)
{
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = int(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

/// The chord written with its notes: "Cm7 (C Eb G Bb)".
std::string withNotes(const ChordSymbol& c)
{
    std::string notes;
    for (int s = 0; s < 12; ++s) {
        if (TypeNotes(c.type) >> s & 1)
            notes += (notes.empty() ? "" : " ") + SpellNote(c, s);
    }
    return SymbolText(c) + " (" + notes + ')';
}

/// The message for a suffix that selects no type: the nearest types by notes
/// when it reads as notes, else the closest spellings.
std::string refusal(std::string_view written, const ChordSymbol& root, std::string_view suffix)
{
    unsigned wanted = 0;
    std::vector<std::pair<int, int>> scored; // distance, type
    const bool read = SymbolNotes(NormalisedSymbol(suffix), wanted);
    for (int t = 0; t < 63; ++t) {
        if (read && SpokenType(t) == t)
            scored.emplace_back(std::popcount(wanted ^ TypeNotes(t)), t);
        if (!read) {
            const std::string f = folded(suffix);
            for (const std::string& s : TypeSymbols(t)) {
                const std::string g = folded(s);
                scored.emplace_back(f.empty() || !g.starts_with(f) ? editDistance(f, g) : 1, t);
            }
        }
    }
    std::stable_sort(scored.begin(), scored.end());
    std::string nearest;
    std::vector<int> named;
    for (const auto& [d, t] : scored) {
        if (named.size() == 4 || (!read && d > scored.front().first))
            break;
        if (std::find(named.begin(), named.end(), t) != named.end())
            continue;
        named.push_back(t);
        ChordSymbol c = root;
        c.type = t;
        nearest += (nearest.empty() ? "" : ", ") + (read ? withNotes(c) : SymbolText(c));
    }
    if (read)
        return QuotedArgument(written) + " is none of the 63 chord types; nearest by notes: " + nearest;
    return QuotedArgument(written) + " is no chord symbol ('chordmoss types' lists them); closest: " + nearest;
}

/// Reads a suffix and an optional slash bass onto `out`, whose root is set.
bool readSuffix(std::string_view written, std::string_view suffix, ChordSymbol& out, std::string& error)
{
    suffix = TrimBlanks(suffix);
    out.bass = -1;
    out.bassName.clear();
    if (const auto slash = suffix.rfind('/'); slash != std::string_view::npos) {
        std::string name;
        const int bass = ParseNoteName(TrimBlanks(suffix.substr(slash + 1)), &name);
        if (bass >= 0) {
            if (bass != out.root)
                out.bass = bass, out.bassName = name;
            suffix = TrimBlanks(suffix.substr(0, slash));
        }
    }
    const SymbolIndex& i = index();
    const std::string normal = NormalisedSymbol(suffix), fold = folded(normal);
    for (const auto& table : {&i.windowNames, &i.spellings}) {
        for (const auto& [s, t] : *table) {
            if (table == &i.windowNames ? s == fold : s == normal) {
                out.type = t;
                return true;
            }
        }
    }
    unsigned notes = 0;
    if (SymbolNotes(normal, notes)) {
        for (int t = 0; t < 63; ++t) {
            if (TypeNotes(t) == notes) {
                out.type = t;
                return true;
            }
        }
    }
    error = refusal(written, out, suffix);
    return false;
}

/// The length of the note name at the start of `text` (letter and accidental), or 0.
std::size_t noteLength(std::string_view text)
{
    if (text.empty() || (text[0] | 0x20) < 'a' || (text[0] | 0x20) > 'g')
        return 0;
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b'))
        return 2;
    if (text.substr(1).starts_with("\u266F") || text.substr(1).starts_with("\u266D"))
        return 4;
    return 1;
}

} // namespace

int ParseNoteName(std::string_view text, std::string* written)
{
    if (text.empty() || noteLength(text) != text.size())
        return -1;
    static constexpr int kFromA[7] = {0, 2, 3, 5, 7, 8, 10}; // a b c d e f g
    const char letter = char(text[0] & ~0x20);
    int pitch = kFromA[letter - 'A'];
    std::string name(1, letter);
    if (text.size() > 1) {
        const bool sharp = text[1] == '#' || text.substr(1) == "\u266F";
        pitch += sharp ? 1 : 11;
        name += sharp ? '#' : 'b';
    }
    if (written)
        *written = name;
    return pitch % 12;
}

bool ParseChordSymbol(std::string_view text, ChordSymbol& out, std::string& error)
{
    const std::string_view t = TrimBlanks(text);
    const std::size_t n = noteLength(t);
    ChordSymbol c;
    if (n == 0 || (c.root = ParseNoteName(t.substr(0, n), &c.rootName)) < 0) {
        error = QuotedArgument(t) + " does not start with a root: a letter A to G, then # or b";
        return false;
    }
    if (!readSuffix(t, t.substr(n), c, error))
        return false;
    out = c;
    return true;
}

bool ParseChordWords(std::string_view root, std::string_view type, ChordSymbol& out, std::string& error)
{
    ChordSymbol c;
    c.root = ParseNoteName(TrimBlanks(root), &c.rootName);
    if (c.root < 0) {
        error = "unknown root " + QuotedArgument(TrimBlanks(root)) + ": a root is a letter A to G, then # or b";
        return false;
    }
    if (!readSuffix(std::string(TrimBlanks(root)) + ' ' + std::string(TrimBlanks(type)), type, c, error))
        return false;
    out = c;
    return true;
}

const std::vector<std::string>& TypeSymbols(int type) { return index().symbols[type]; }

unsigned TypeNotes(int type)
{
    unsigned notes = 0;
    for (int k : ChordFormulas[type].degrees) {
        if (k != 0)
            notes |= 1u << (k - 1);
    }
    return notes;
}

int SpokenType(int type)
{
    int first = -1;
    for (int t = 0; t < 63; ++t) {
        if (TypeNotes(t) != TypeNotes(type))
            continue;
        if (first < 0)
            first = t;
        if (!kSpellings[t].empty())
            return t;
    }
    return first;
}

std::string SymbolText(const ChordSymbol& chord)
{
    std::string s = chord.rootName + TypeSymbols(chord.type).front();
    if (chord.bass >= 0)
        s += '/' + chord.bassName;
    return s;
}

} // namespace chordmoss
