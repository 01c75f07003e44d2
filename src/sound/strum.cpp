#include "strum.h"

#include <algorithm>
#include <utility>

namespace chordmoss {

int StrumStringAt(double x, double y)
{
    if (!(x > kStrumLeft && x < kStrumRight))
        return 0;
    for (int s = 1; s <= 6; ++s) {
        if (y > StrumBands[s].top && y < StrumBands[s].bottom)
            return s;
    }
    return 0;
}

int StrumPath(double x0, double y0, double x1, double y1, std::array<int, 6>& out)
{
    const int startString = StrumStringAt(x0, y0);
    const int endString = StrumStringAt(x1, y1);
    std::array<std::pair<double, int>, 6> hits{};
    int n = 0;
    const double dx = x1 - x0, dy = y1 - y0;
    for (int s = 1; s <= 6; ++s) {
        if (s == startString && s != endString)
            continue;
        if (s == endString) {
            // Reached at the latest at the end point; earlier if entered before.
            hits[n++] = {1.0, s};
            continue;
        }
        // The part of the path (0 < t <= 1) inside the strip and the band.
        double lo = 0.0, hi = 1.0;
        auto clip = [&](double p0, double d, double minV, double maxV) {
            if (d == 0)
                return p0 > minV && p0 < maxV;
            double a = (minV - p0) / d, b = (maxV - p0) / d;
            if (a > b)
                std::swap(a, b);
            lo = std::max(lo, a);
            hi = std::min(hi, b);
            return lo < hi;
        };
        if (clip(x0, dx, kStrumLeft, kStrumRight) && clip(y0, dy, StrumBands[s].top, StrumBands[s].bottom))
            hits[n++] = {lo, s};
    }
    // In the order reached (at most six: a plain insertion sort).
    for (int i = 1; i < n; ++i)
        for (int j = i; j > 0 && hits[j] < hits[j - 1]; --j)
            std::swap(hits[j], hits[j - 1]);
    for (int i = 0; i < n; ++i)
        out[i] = hits[i].second;
    return n;
}

} // namespace chordmoss
