#pragma once
// What each string's controls show, and the chord-tone listing: the state of
// record of the voicing on display. No other table holds the fingering; every
// reader gets a string's fret back from its dot.

#include <array>
#include <string>
#include <string_view>

#include "module1.h"

namespace chordmoss {

/// The six controls of one string: note label, dot, leader line, ellipse and
/// the "<" / ">" buttons. Positions are twips as single-precision numbers,
/// never rounded to pixels.
struct StringGroup {
    std::string caption;
    float dotLeft = 0;
    bool dotVisible = false;
    float lineX2 = 0;
    bool lineVisible = false;
    bool labelVisible = true;
    bool ellipseVisible = false;
    bool lessVisible = true;
    bool moreVisible = true;
};

/// The fretboard display as a plain model. Starts in the window's design-time
/// state: dots, lines and ellipses hidden, labels and buttons shown.
class FretboardState {
public:
    FretboardState();

    /// Returns the group of string s (1..6).
    StringGroup& string(int s) { return m_strings[s - 1]; }
    const StringGroup& string(int s) const { return m_strings[s - 1]; }

    std::string text1;

    /// Hides every group and empties the listing; captions and positions stay.
    void clear();
    /// Shows string s with its dot at `left` and the given caption.
    void show(int s, double left, std::string caption);
    /// Appends a listing entry: two spaces, the label and the note name.
    void append(std::string_view label, std::string_view note);

private:
    std::array<StringGroup, 6> m_strings;
};

/// Returns the first fret 0..14 whose column equals string s's dot Left in
/// single precision, or -1 when none does. Visibility plays no part.
int DotFret(const Module1& m, const FretboardState& board, int s);

/// The narrower reading of the string buttons and note labels: the first
/// fret 0..12 whose column matches, or 13 when none does.
int ButtonFret(const Module1& m, const FretboardState& board, int s);

} // namespace chordmoss
