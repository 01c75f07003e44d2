#include "chordfinder.h"

#include "windowchord.h"

namespace chordmoss {

CoreSearchHost::CoreSearchHost()
{
    Init(m, choice.root);
    RunIt(m, choice, board);
}

void CoreSearchHost::selectRoot(int r)
{
    choice.root = RootListItem(r);
    RunIt(m, choice, board);
    RunIt(m, choice, board);
}

void CoreSearchHost::selectType(int t)
{
    choice.type = TypeListItem(t);
    RunIt(m, choice, board);
}

std::vector<FoundChord> FindChords(const SearchBoxes& boxes, int position, bool fourFrets, bool alternate)
{
    CoreSearchHost host;
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
