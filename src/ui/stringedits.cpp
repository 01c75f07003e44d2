#include "stringedits.h"

#include "boardlayout.h"
#include "fretboardstate.h"
#include "module1.h"
#include "mousebutton.h"

namespace chordmoss {

namespace {

constexpr double kLeftEdge = 150;

void moveTo(const Module1& m, StringGroup& g, int n, std::string_view spaces, std::string_view note)
{
    g.caption.assign(spaces).append(note);
    g.dotLeft = static_cast<float>(m.FretX[n]);
    g.lineX2 = static_cast<float>(m.FretX[n] + kLineEndOffset);
}

} // namespace

void MoveStringButton(const Module1& m, FretboardState& board, int s, bool towardBody)
{
    const int c = ButtonFret(m, board, s);
    StringGroup& g = board.string(s);
    const NoteTable& notes = m.stringNotes(s);
    if (towardBody && c < 12)
        moveTo(m, g, c + 1, "  ", notes[c + 1].view());
    else if (!towardBody && c > 0)
        moveTo(m, g, c - 1, "   ", notes[c - 1].view());
}

void PressNoteLabel(const Module1& m, FretboardState& board, int s, int button, double x)
{
    if (button == LeftButton || button == MiddleButton) {
        StringGroup& g = board.string(s);
        g.dotVisible = !g.dotVisible;
        g.lineVisible = g.dotVisible;
        return;
    }
    if (button != RightButton)
        return;
    const int f = ButtonFret(m, board, s);
    int n;
    if (x <= kLeftEdge) {
        if (f >= 12)
            return;
        n = f + 1;
    } else {
        if (f == 0)
            return;
        n = f - 1;
    }
    // The low E string's label alone writes three spaces on a move toward the nut.
    const bool threeSpaces = s == 1 && x > kLeftEdge;
    std::string caption(threeSpaces ? "   " : "  ");
    caption.append(m.stringNotes(s)[n].view());
    // The same writes as a computed string's: caption, dot, line, whole group shown.
    board.show(s, m.FretX[n], std::move(caption));
}

} // namespace chordmoss
