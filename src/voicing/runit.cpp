#include "runit.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "chordformulas.h"
#include "degreelabels.h"
#include "fretboardstate.h"
#include "leadingnumber.h"
#include "module1.h"
#include "notetables.h"
#include "setfret.h"

namespace chordmoss {

int PositionFret(const std::string& positionText)
{
    const double value = LeadingNumber(positionText);
    if (std::isnan(value))
        return 0;
    return static_cast<int>(RoundHalfEven(std::clamp(value, -1000.0, 1000.0)));
}

void RunIt(Module1& m, const ChordChoice& choice, FretboardState& board)
{
    const int span = choice.expandFourFrets == 1 ? 3 : 2;

    LookupChordDegrees(m, choice.type);
    // The flagged degrees in ascending order; the flags stay fixed for the run.
    std::array<int, 12> degrees{};
    int degreeCount = 0;
    for (int k = 1; k <= 12; ++k) {
        if (m.ChordDegrees[k] == -1)
            degrees[degreeCount++] = k;
    }

    board.clear();

    // Chord-tone listing, on the tables as the previous run left them.
    for (int i = 1; i <= 12; ++i) {
        SetFret(m, i);
        for (int v = 1; v <= 6; ++v) {
            for (int d = 0; d < degreeCount; ++d) {
                const int k = degrees[d];
                if (m.NoteNames[k] == m.PositionNotes[v] && board.text1.find(m.NoteNames[k].view()) == std::string::npos)
                    board.append(ListingLabel(k, choice.type), m.PositionNotes[v].view());
            }
        }
    }

    const bool ascending = choice.alternate == 1;
    const int p0 = PositionFret(choice.position);
    for (int step = 0; step <= span; ++step) {
        // Frets outside the table are clamped onto its ends.
        const int p = std::clamp(ascending ? p0 + step : p0 + span - step, 0, kLastFret);
        Init(m, choice.root);
        SetFret(m, p);
        for (int v = 1; v <= 6; ++v) {
            for (int d = 0; d < degreeCount; ++d) {
                const int k = degrees[d];
                if (m.NoteNames[k] == m.PositionNotes[v]) {
                    std::string caption = "  ";
                    caption.append(CaptionLabel(k, choice.type)).append(m.PositionNotes[v].view());
                    board.show(v, m.FretX[p], std::move(caption));
                }
            }
        }
    }
}

} // namespace chordmoss
