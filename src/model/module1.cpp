#include "module1.h"

#include "notetables.h"
#include "trimblanks.h"

#include <algorithm>

namespace chordmoss {

namespace {

// Init runs several times per computation, so the constant contents are built
// once and copied in.
NoteTable alongString(int openIndexFromA)
{
    NoteTable table;
    for (int f = 0; f <= kLastFret; ++f)
        table[f] = kChromaticFromA[(openIndexFromA + f) % 12];
    return table;
}

struct Filled {
    NoteTable e = alongString(7), a = alongString(0), d = alongString(5), g = alongString(10), b = alongString(2);
    std::array<std::array<NoteName, 13>, 12> circles; // [turns][slot 1..12]
    std::array<NoteName, 7> open;
    Filled()
    {
        for (int t = 0; t < 12; ++t)
            for (int j = 1; j <= 12; ++j)
                circles[t][j] = kChromaticFromA[(j - 1 + t) % 12];
        for (int s = 1; s <= kStringCount; ++s)
            open[s] = kOpenNotes[s];
    }
};

const Filled& filled()
{
    static const Filled f;
    return f;
}

} // namespace

const NoteTable& Module1::stringNotes(int s) const
{
    switch (s) {
    case 2: return ANotes;
    case 3: return DNotes;
    case 4: return GNotes;
    case 5: return BNotes;
    default: return ENotes;
    }
}

void Init(Module1& m, const std::string& combo1Text)
{
    const Filled& c = filled();
    std::copy(c.circles[0].begin() + 1, c.circles[0].end(), m.NoteNames.begin() + 1);
    m.ENotes = c.e;
    m.ANotes = c.a;
    m.DNotes = c.d;
    m.GNotes = c.g;
    m.BNotes = c.b;

    std::copy(kFretLeft.begin(), kFretLeft.end(), m.FretX.begin());

    // The root A needs no turn, and slot 0 then keeps what it held.
    if (TrimBlanks(combo1Text) != TrimBlanks(m.NoteNames[1].view())) {
        int i = 13;
        for (int j = 1; j <= 12; ++j) {
            if (m.NoteNames[j] == std::string_view(combo1Text)) {
                i = j;
                break;
            }
        }
        // i-1 left turns of the circle; twelve turns (no match) bring it back to A.
        const auto& turned = c.circles[(i - 1) % 12];
        std::copy(turned.begin() + 1, turned.end(), m.NoteNames.begin() + 1);
        m.NoteNames[0] = m.NoteNames[12];
    }

    std::copy(c.open.begin() + 1, c.open.end(), m.PositionNotes.begin() + 1);
}

} // namespace chordmoss
