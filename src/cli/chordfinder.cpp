#include "chordfinder.h"

#include "fretboardstate.h"
#include "module1.h"
#include "runit.h"
#include "windowchord.h"

namespace chordmoss {

namespace {

/// The window's combo boxes as the search walk selects them: a new root
/// runs the computation twice, a type choice once.
class CoreSearchHost : public SearchHost {
public:
    Module1 m;
    FretboardState board;
    ChordChoice choice;

    void selectRoot(int r) override
    {
        choice.root = RootListItem(r);
        RunIt(m, choice, board);
        RunIt(m, choice, board);
    }
    void selectType(int t) override
    {
        choice.type = TypeListItem(t);
        RunIt(m, choice, board);
    }
    std::string_view notesText() const override { return board.text1; }
};

} // namespace

std::vector<FoundChord> FindChords(const SearchBoxes& boxes, int position, bool fourFrets, bool alternate)
{
    CoreSearchHost host;
    Init(host.m, host.choice.root);
    RunIt(host.m, host.choice, host.board);
    host.choice.expandFourFrets = fourFrets ? 1 : 0;
    if (alternate) {
        host.choice.alternate = 1;
        RunIt(host.m, host.choice, host.board);
    }
    host.choice.position = std::to_string(position) + ' ';
    RunIt(host.m, host.choice, host.board);

    std::vector<FoundChord> found;
    SearchCursorTable cursor{}; // "Search" starts from 0, 0, 0; each "Next" from where the last stopped
    while (SearchWalk(cursor, boxes, host)) {
        FoundChord c{cursor[1], cursor[2], {}};
        for (int s = 1; s <= 6; ++s)
            c.frets[s - 1] = host.board.string(s).dotVisible ? DotFret(host.m, host.board, s) : -1;
        found.push_back(c);
    }
    return found;
}

} // namespace chordmoss
