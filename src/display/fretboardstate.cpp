#include "fretboardstate.h"

#include "boardlayout.h"

namespace chordmoss {

namespace {

int firstMatchingFret(const Module1& m, float left, int lastFret)
{
    for (int f = 0; f <= lastFret; ++f) {
        if (static_cast<float>(m.FretX[f]) == left)
            return f;
    }
    return -1;
}

} // namespace

FretboardState::FretboardState()
{
    for (int s = 1; s <= 6; ++s) {
        const StringControls& c = stringControls(s);
        StringGroup& g = string(s);
        g.caption = "Label2";
        g.dotLeft = static_cast<float>(c.dotLeft);
        g.lineX2 = static_cast<float>(c.lineX2);
    }
}

void FretboardState::clear()
{
    for (StringGroup& g : m_strings) {
        g.dotVisible = false;
        g.ellipseVisible = false;
        g.lineVisible = false;
        g.labelVisible = false;
        g.lessVisible = false;
        g.moreVisible = false;
    }
    text1.clear();
}

void FretboardState::show(int s, double left, std::string caption)
{
    StringGroup& g = string(s);
    g.caption = std::move(caption);
    g.dotLeft = static_cast<float>(left);
    g.dotVisible = true;
    g.lineVisible = true;
    g.lineX2 = static_cast<float>(left + kLineEndOffset);
    g.labelVisible = true;
    g.ellipseVisible = true;
    g.lessVisible = true;
    g.moreVisible = true;
}

void FretboardState::append(std::string_view label, std::string_view note)
{
    text1.append("  ").append(label).append(note);
}

int DotFret(const Module1& m, const FretboardState& board, int s)
{
    return firstMatchingFret(m, board.string(s).dotLeft, 14);
}

int ButtonFret(const Module1& m, const FretboardState& board, int s)
{
    const int f = firstMatchingFret(m, board.string(s).dotLeft, 12);
    return f < 0 ? 13 : f;
}

} // namespace chordmoss
