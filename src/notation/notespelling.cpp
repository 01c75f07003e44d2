#include "notespelling.h"

#include <cstdlib>

#include "chordformulas.h"

namespace chordmoss {

namespace {

// Letters from C, as degrees count them.
constexpr char kLetters[7] = {'C', 'D', 'E', 'F', 'G', 'A', 'B'};
constexpr int kNaturalFromA[7] = {3, 5, 7, 8, 10, 0, 2};
constexpr int kFifths[7] = {0, 2, 4, -1, 1, 3, 5}; // place on the circle of fifths, C = 0

struct Spelled {
    int letter;     // index into kLetters
    int accidental; // -1 flat, 1 sharp
};

Spelled read(const std::string& name)
{
    int letter = 0;
    while (letter < 6 && kLetters[letter] != name[0])
        ++letter;
    return {letter, name.size() < 2 ? 0 : name[1] == '#' ? 1 : -1};
}

std::string written(Spelled s) { return std::string(1, kLetters[s.letter]) + (s.accidental > 0 ? "#" : s.accidental < 0 ? "b" : ""); }

bool has(int type, std::string_view part) { return ChordFormulas[type].key.find(part) != std::string_view::npos; }

/// Semitones from the root to the tonic of the key that holds a chord of this type at home,
/// as fifths: 0 major, -3 minor (its relative major), -5 diminished (the key a semitone up).
int homeKey(int type)
{
    const unsigned notes = TypeNotes(type);
    if (notes & (1u << 4) || !(notes & (1u << 3)))
        return 0;
    return (notes & (1u << 6)) && !(notes & (1u << 7)) ? -5 : -3;
}

int keySignature(Spelled root, int type) { return kFifths[root.letter] + 7 * root.accidental + homeKey(type); }

/// The natural name of a pitch, else its sharp or flat one.
std::string plainName(int pitch, bool sharps)
{
    for (int l = 0; l < 7; ++l) {
        if (kNaturalFromA[l] == pitch)
            return written({l, 0});
    }
    for (int l = 0; l < 7; ++l) {
        if ((kNaturalFromA[l] + (sharps ? 1 : 11)) % 12 == pitch)
            return written({l, sharps ? 1 : -1});
    }
    return {};
}

} // namespace

std::string IntervalName(int type, int semitones)
{
    // Which name a semitone count takes follows the type's name: a 9, 11 or 13
    // in it makes a second a ninth, a fourth an eleventh, a sixth a thirteenth.
    const bool ninths = has(type, "9") || has(type, "11") || has(type, "13");
    switch (((semitones % 12) + 12) % 12) {
    case 0: return "1";
    case 1: return "b9";
    case 2: return ninths ? "9" : "2";
    case 3: return has(type, "#9") || has(type, "+9") ? "#9" : "b3";
    case 4: return "3";
    case 5: return has(type, "11") || has(type, "13") ? "11" : "4";
    case 6: return has(type, "#11") || has(type, "+11") ? "#11" : "b5";
    case 7: return "5";
    case 8: return "#5";
    case 9: return ChordFormulas[type].key == "Dim7 " ? "bb7" : has(type, "13") ? "13" : "6";
    case 10: return "b7";
    default: return "7";
    }
}

std::string SpellNote(const ChordSymbol& chord, int semitones)
{
    const Spelled root = read(chord.rootName.empty() ? SpellRoot(chord.root, chord.type) : chord.rootName);
    const std::string interval = IntervalName(chord.type, semitones);
    const int degree = std::atoi(interval.c_str() + interval.find_first_of("0123456789"));
    const int letter = (root.letter + degree - 1) % 7;
    const int pitch = ((chord.root + semitones) % 12 + 12) % 12;
    int accidental = (pitch - kNaturalFromA[letter] + 12) % 12;
    if (accidental > 6)
        accidental -= 12;
    if (std::abs(accidental) <= 1)
        return written({letter, accidental});
    const bool sharps = root.accidental != 0 ? root.accidental > 0 : keySignature(root, chord.type) > 0;
    return plainName(pitch, sharps);
}

std::string SpellRoot(int root, int type)
{
    root = ((root % 12) + 12) % 12;
    const std::string natural = plainName(root, true);
    if (natural.size() == 1)
        return natural;
    const Spelled sharp = read(natural), flat = read(plainName(root, false));
    return std::abs(keySignature(sharp, type)) <= std::abs(keySignature(flat, type)) ? written(sharp) : written(flat);
}

ChordSymbol SpelledChord(int root, int type, int bass)
{
    ChordSymbol c;
    c.root = root;
    c.type = type;
    c.rootName = SpellRoot(root, type);
    if (bass >= 0 && bass != root) {
        c.bass = bass;
        c.bassName = SpellNote(c, bass - root + 12);
    }
    return c;
}

} // namespace chordmoss
