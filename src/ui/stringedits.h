#pragma once
// Editing one string of the fingering by hand, without recomputing the chord:
// the "<" / ">" buttons and the presses on the note labels. They write the
// display, the state of record, so Hear and strumming play the edit; the next
// computation replaces it.

namespace chordmoss {

struct Module1;
class FretboardState;

/// "<" (towardBody) or ">" button of string s: moves the dot one fret, within
/// frets 0..12, rewriting caption and line; visibility is left alone.
void MoveStringButton(const Module1& m, FretboardState& board, int s, bool towardBody);

/// A press on string s's note label: the left or middle button turns the
/// string off or on; the right button moves it one fret, toward the body when
/// the press lies on the label's left edge (x <= 150 twips), and shows its
/// whole group.
void PressNoteLabel(const Module1& m, FretboardState& board, int s, int button, double x);

} // namespace chordmoss
