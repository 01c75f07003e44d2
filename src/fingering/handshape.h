#pragma once
// How one hand holds a shape: which finger presses each fretted string, and
// where a finger lies across several strings. The fretting hand is modelled
// as guitar teachers describe it: four fingers over four neighbouring frets,
// the index on the lowest; the index may barre every string from one of its
// strings to another when none of them sounds lower, and another finger may
// lie flat across two or three neighbouring strings at one fret.

#include <array>
#include <optional>

namespace chordmoss {

/// Frets of strings 1 (low E) to 6 (high E); -1 for a string that does not sound.
using Frets = std::array<int, 6>;

/// Returns the note string s (1..6) sounds at `fret`, in semitones above A.
int StringNote(int s, int fret);

/// One finger across several strings at one fret.
struct Barre {
    int fret = 0;
    int lowString = 0, highString = 0; // 1 (low E) .. 6 (high E), inclusive
    int finger = 0;
};

/// The fingers of a shape and what holding it costs.
struct HandShape {
    std::array<int, 6> fingers{}; // 1 index .. 4 little finger; 0 for open and muted strings
    std::array<Barre, 3> barres{}; // six strings hold at most three
    int barreCount = 0;
    int fingersUsed = 0;
    double cost = 0; // stretch, barres and the little finger; see FingerShape
};

/// Returns the cheapest way to hold `frets`, or nothing when one hand cannot.
///
/// Fingers go up the neck in order: a higher finger never stands on a lower
/// fret, at one fret the higher finger takes the higher string, and two
/// fingers in use are at most one fret further apart than their numbers.
/// The hand sits with the index at the lowest fretted fret, or in first
/// position for a chord with open strings that stays below fret 5, whichever
/// is easier (first position on a tie); a finger that stands k frets above
/// its place costs 1.5 k, k frets below it 0.5 k. The index's barre costs
/// 1.2 and 0.1 a string, another finger's 2.5, the little finger 0.75. A
/// finger laid flat has no lower finger beyond its tip (but an index barre).
std::optional<HandShape> FingerShape(const Frets& frets);

} // namespace chordmoss
