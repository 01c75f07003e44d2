#pragma once
// Where the pictured strings beside the pickup lie, in twips of the picture,
// and which strips a pointer path crosses.

#include <array>

namespace chordmoss {

inline constexpr double kStrumLeft = 3315;
inline constexpr double kStrumRight = 5400;

struct StrumBand {
    double top, bottom; // exclusive bounds
};

/// Strips of strings 1..6 (index 0 unused).
inline constexpr std::array<StrumBand, 7> StrumBands = {{
    {0, 0}, {2525, 2575}, {2660, 2710}, {2780, 2830}, {2900, 2950}, {3050, 3100}, {3185, 3235}}};

/// Returns the string whose strip holds the point, or 0.
int StrumStringAt(double x, double y);

/// Strings to try for a pointer moving from (x0, y0) to (x1, y1), in the
/// order the path reaches them: every strip the path enters inside the band,
/// and the strip of the end point. A strip holding the start point is not
/// entered again unless the end point lies in it too. Returns the count.
int StrumPath(double x0, double y0, double x1, double y1, std::array<int, 6>& out);

} // namespace chordmoss
