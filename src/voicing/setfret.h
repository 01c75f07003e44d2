#pragma once

namespace chordmoss {

struct Module1;

/// Moves every string's note in PositionNotes up by Valx frets (rounded half
/// to even); zero or negative moves nothing. Shifts add up until the next Init.
void SetFret(Module1& m, double Valx);

/// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double x);

} // namespace chordmoss
