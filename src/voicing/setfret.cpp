#include "setfret.h"

#include <cmath>

#include "module1.h"

namespace chordmoss {

double RoundHalfEven(double x)
{
    const double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5)
        return 2.0 * std::round(x / 2.0);
    return r;
}

void SetFret(Module1& m, double Valx)
{
    const double n = RoundHalfEven(Valx);
    if (!(n > 0)) // also NaN
        return;
    // Stepping n slots round the twelve-slot circle lands where n mod 12 steps
    // do, so even a huge shift costs no more than a small one.
    const long long steps = static_cast<long long>(std::fmod(n, 12.0));
    for (int s = 1; s <= 6; ++s) {
        int i = 13;
        for (int j = 1; j <= 12; ++j) {
            if (m.NoteNames[j] == m.PositionNotes[s]) {
                i = j;
                break;
            }
        }
        // A note missing from the circle (i = 13) steps to slot 1 first, as slot 12 does.
        const int from = (i == 13 ? 12 : i) - 1;
        m.PositionNotes[s] = m.NoteNames[(from + steps) % 12 + 1];
    }
}

} // namespace chordmoss
