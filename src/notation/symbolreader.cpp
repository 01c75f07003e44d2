#include "symbolreader.h"

#include <initializer_list>

namespace chordmoss {

namespace {

constexpr unsigned bit(int semitones) { return 1u << semitones; }

/// A cursor over the suffix that takes a token when it comes next.
struct Cursor {
    std::string_view text;
    bool take(std::initializer_list<std::string_view> tokens)
    {
        for (std::string_view t : tokens) {
            if (text.starts_with(t)) {
                text.remove_prefix(t.size());
                return true;
            }
        }
        return false;
    }
};

} // namespace

std::string NormalisedSymbol(std::string_view text)
{
    static constexpr std::pair<std::string_view, std::string_view> kSame[] = {
        {"\u266F", "#"}, {"\u266D", "b"}, {"\u0394", "^"}, {"\u25B3", "^"},
        {"\u00B0", "o"}, {"\u00BA", "o"}, {"\u00F8", "h"}, {"\u00D8", "h"},
    };
    std::string out;
    while (!text.empty()) {
        bool replaced = false;
        for (const auto& [from, to] : kSame) {
            if (text.starts_with(from)) {
                out += to;
                text.remove_prefix(from.size());
                replaced = true;
                break;
            }
        }
        if (replaced)
            continue;
        const char c = text.front();
        text.remove_prefix(1);
        if (c != ' ' && c != '(' && c != ')' && c != ',')
            out += c;
    }
    return out;
}

bool SymbolNotes(std::string_view normalised, unsigned& notes)
{
    Cursor c{normalised};
    int third = 4, fifth = 7, seventh = -1;
    unsigned extra = 0;
    bool majorSeventh = false, diminished = false, quality = true, triangle = false;
    // The quality. The minor-major forms come before both of their halves.
    if (c.take({"mMaj", "mmaj", "minmaj", "mM", "-maj", "m^", "-^", "min^"})) {
        third = 3;
        majorSeventh = true;
    } else if (c.take({"major", "maj", "Maj", "MAJ", "ma", "M"})) {
        majorSeventh = true;
    } else if (c.take({"^"})) {
        majorSeventh = triangle = true;
    } else if (c.take({"minor", "min", "mi", "m", "-"})) {
        third = 3;
    } else if (c.take({"dim", "o"})) {
        third = 3, fifth = 6, diminished = true;
    } else if (c.take({"h"})) {
        third = 3, fifth = 6, seventh = 10; // half-diminished: ø is ø7
    } else if (c.take({"aug", "+"})) {
        fifth = 8;
        majorSeventh = c.take({"maj", "M", "^"});
    } else {
        quality = false;
    }
    int number = 0;
    for (const auto& [token, n] : {std::pair<std::string_view, int>{"13", 13}, {"11", 11}, {"6/9", 69}, {"69", 69},
                                   {"9", 9}, {"7", 7}, {"6", 6}, {"5", 5}}) {
        if (c.take({token})) {
            number = n;
            break;
        }
    }
    if (number == 5) { // C5, the power chord; aug5 is aug
        if (quality && fifth != 8)
            return false;
        if (!quality)
            third = -1;
    }
    if (number >= 7 && number <= 13)
        seventh = diminished && number == 7 ? 9 : majorSeventh ? 11 : 10;
    if (number == 9 || number == 11 || number == 13)
        extra |= bit(2);
    extra |= number == 11 ? bit(5) : number == 13 || number == 6 ? bit(9) : number == 69 ? bit(9) | bit(2) : 0;
    if (number == 0 && majorSeventh && (triangle || third == 3))
        seventh = 11; // CΔ and Cm(maj) are sevenths; Cmaj is the triad
    bool needsSeventh = false;
    while (!c.text.empty()) {
        if (c.take({"sus2"}))
            third = -1, extra |= bit(2);
        else if (c.take({"sus4", "sus"}))
            third = -1, extra |= bit(5);
        else if (c.take({"add9", "add2"}))
            extra |= bit(2);
        else if (c.take({"add11", "add4"}))
            extra |= bit(5);
        else if (c.take({"add13", "add6"}))
            extra |= bit(9);
        else if (c.take({"addb9"}))
            extra |= bit(1);
        else if (c.take({"add#9"}))
            extra |= bit(3);
        else if (c.take({"add#11", "add+11"}))
            extra |= bit(6);
        else if (c.take({"b5", "-5"}))
            fifth = 6;
        else if (c.take({"#5", "+5", "aug"}))
            fifth = 8;
        else if (c.take({"b9", "-9"}))
            extra = (extra & ~bit(2)) | bit(1), needsSeventh = true;
        else if (c.take({"#9", "+9"}))
            extra = (extra & ~bit(2)) | bit(3), needsSeventh = true;
        else if (c.take({"#11", "+11"}))
            extra = (extra & ~bit(5)) | bit(6), needsSeventh = true;
        else if (c.take({"b13", "-13"}))
            extra = (extra & ~bit(9)) | bit(8), needsSeventh = true;
        else if (c.take({"no3", "omit3"}))
            third = -1;
        else if (c.take({"no5", "omit5"}))
            fifth = -1;
        else
            return false;
    }
    if (needsSeventh && seventh < 0 && !(extra & bit(9)))
        seventh = 10;
    notes = bit(0) | extra;
    for (int n : {third, fifth, seventh}) {
        if (n >= 0)
            notes |= bit(n);
    }
    return true;
}

std::string SeventhChordSuffix(unsigned notes)
{
    auto has = [&](int s) { return (notes >> s & 1) != 0; };
    if (!has(0) || !(has(3) || has(4)) || has(10) == has(11))
        return {};
    const bool minor = !has(4);
    std::string out = minor ? (has(11) ? "m(maj" : "m") : has(11) ? "maj" : "";
    out += has(9) ? "13" : has(5) ? "11" : has(2) ? "9" : "7";
    if (minor && has(11))
        out += ')';
    if (!has(7))
        out += has(6) ? "b5" : has(8) ? "#5" : "";
    out += has(1) ? "b9" : !minor && has(3) ? "#9" : "";
    if (has(7))
        out += std::string(has(6) ? "#11" : "") + (has(8) ? "b13" : "");
    unsigned back = 0;
    return SymbolNotes(NormalisedSymbol(out), back) && back == notes ? out : std::string();
}

} // namespace chordmoss
