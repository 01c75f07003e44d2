#include "windowchord.h"

#include "chordformulas.h"
#include "fretboardstate.h"
#include "module1.h"
#include "notetables.h"
#include "runit.h"

namespace chordmoss {

std::string RootListItem(int root) { return std::string(kChromaticFromA[root]); }
std::string TypeListItem(int type) { return std::string(ChordFormulas[type].key); }

WindowVoicing ChordAsWindowShows(const ChordRequest& request)
{
    Module1 m;
    FretboardState board;
    ChordChoice choice; // the window's initial texts: "C ", "Maj ", "0"

    // Form_Load.
    Init(m, choice.root);
    RunIt(m, choice, board);
    // Ticking Check1 runs nothing; a click on AltChords runs the computation.
    choice.expandFourFrets = request.fourFrets ? 1 : 0;
    if (request.alternate) {
        choice.alternate = 1;
        RunIt(m, choice, board);
    }
    // The window computes a new root twice: the first run's listing still names the old root.
    choice.root = RootListItem(request.root);
    RunIt(m, choice, board);
    RunIt(m, choice, board);
    choice.type = TypeListItem(request.type);
    RunIt(m, choice, board);
    choice.position = std::to_string(request.position) + ' ';
    RunIt(m, choice, board);

    WindowVoicing v;
    for (int s = 1; s <= 6; ++s) {
        const StringGroup& g = board.string(s);
        v.frets[s - 1] = g.dotVisible ? DotFret(m, board, s) : -1;
        if (g.dotVisible)
            v.captions[s - 1] = g.caption;
    }
    v.listing = board.text1;
    return v;
}

} // namespace chordmoss
