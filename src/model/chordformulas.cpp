#include "chordformulas.h"

#include "module1.h"

namespace chordmoss {

// Several names share a degree set, three leave out the root, and a few
// differ from textbook spellings ("Maj9+11 " has the minor seventh,
// "Maj13+11 " both the fourth and the sharp eleventh, "6Add9 " the sharp
// fifth). They are kept exactly so. "Min7\b3" alone has no trailing space.
const std::array<ChordFormula, 63> ChordFormulas = {{
    {"Maj ", {1, 5, 8}},
    {"Min ", {1, 4, 8}},
    {"Min6 ", {1, 4, 8, 10}},
    {"Min\\6 ", {1, 4, 8, 10}},
    {"Min6/9 ", {1, 3, 4, 8, 10}},
    {"Min6(9) ", {1, 3, 4, 8, 10}},
    {"Min7 ", {1, 4, 8, 11}},
    {"Min7\\b3", {1, 4, 8, 11}},
    {"Min7\\b7 ", {1, 4, 8, 11}},
    {"Min7b5 ", {1, 4, 7, 11}},
    {"Min7#5 ", {1, 4, 9, 11}},
    {"Min9 ", {1, 3, 4, 8, 11}},
    {"Min11 ", {1, 4, 6, 8, 11}},
    {"Min13 ", {1, 3, 4, 6, 10, 11}},
    {"MMaj7 ", {1, 4, 8, 12}},
    {"Maj7 ", {1, 5, 8, 12}},
    {"Maj7+5 ", {1, 5, 9, 12}},
    {"Maj7-5 ", {1, 5, 7, 12}},
    {"Maj9 ", {1, 3, 5, 8, 12}},
    {"Maj9+11 ", {1, 3, 5, 7, 11}},
    {"Maj11 ", {1, 3, 5, 6, 12}},
    {"Maj13 ", {1, 5, 10, 12}},
    {"Maj13+11 ", {1, 6, 7, 10, 12}},
    {"Maj(Sus9) ", {1, 3, 5, 8}},
    {"Dim ", {1, 4, 7}},
    {"Dim7 ", {1, 4, 7, 10}},
    {"Dim\\b7 ", {1, 4, 7, 11}},
    {"Aug5 ", {1, 5, 9}},
    {"Aug5(Sus4)\\2 ", {1, 3, 6, 9}},
    {"Aug5(Sus2)\\4 ", {1, 3, 6, 9}},
    {"-5 ", {1, 5, 7}},
    {"2 ", {1, 3, 5, 8}},
    {"6th ", {1, 5, 8, 10}},
    {"6/9 ", {1, 3, 5, 8, 10}},
    {"6(#11) ", {1, 5, 7, 8, 10}},
    {"7th ", {1, 5, 8, 11}},
    {"7b5 ", {1, 5, 7, 11}},
    {"7#5 ", {1, 5, 9, 11}},
    {"7b9 ", {1, 2, 5, 8, 11}},
    {"7#9 ", {1, 4, 5, 11}},
    {"7(b5,b9) ", {1, 2, 7, 11}},
    {"7(b5,#9) ", {1, 4, 7, 11}},
    {"7(#5,#9) ", {1, 4, 9, 11}},
    {"9th ", {1, 3, 5, 8, 11}},
    {"9b5 ", {1, 3, 5, 7, 11}},
    {"9#5 ", {1, 3, 5, 9, 12}},
    {"+9 ", {1, 4, 5, 8}},
    {"(5) ", {1, 8}},
    {"Add9 ", {1, 3, 5, 8}},
    {"6Add9 ", {1, 3, 5, 8, 9}},
    {"11 ", {3, 6, 8, 11}},
    {"11b9 ", {1, 2, 6, 11}},
    {"+11 ", {1, 5, 7, 8}},
    {"13th ", {3, 5, 10, 11}},
    {"13#11 ", {3, 7, 10, 11}},
    {"Sus ", {1, 6, 8}},
    {"Sus2Sus4 ", {1, 3, 6}},
    {"7Sus ", {1, 6, 8, 11}},
    {"Sus4 ", {1, 6, 8}},
    {"Sus9 ", {1, 3, 8}},
    {"Sus2 ", {1, 3, 8}},
    {"Sus4/9 ", {1, 3, 6}},
    {"Min7-5 ", {1, 4, 7, 11}},
}};

const ChordFormula* FindChordFormula(std::string_view typeText)
{
    for (const ChordFormula& f : ChordFormulas) {
        if (f.key == typeText)
            return &f;
    }
    return nullptr;
}

void LookupChordDegrees(Module1& m, std::string_view typeText)
{
    for (int k = 1; k <= 12; ++k)
        m.ChordDegrees[k] = 0;
    if (const ChordFormula* f = FindChordFormula(typeText)) {
        for (std::uint8_t k : f->degrees) {
            if (k != 0)
                m.ChordDegrees[k] = -1;
        }
    }
}

} // namespace chordmoss
