#include "decodedsample.h"

#include <algorithm>
#include <cmath>

namespace chordmoss {

namespace {

constexpr double kPi = 3.14159265358979323846;

/// Frames covered by a part with a point every `step` frames.
std::uint32_t span(const std::vector<std::int16_t>& part, std::uint32_t step)
{
    return part.size() > 1 ? std::uint32_t(part.size() - 1) * step : 0;
}

/// Adds frames [from, from + n) of a part thinned to one point every
/// 2^`shift` frames, on straight lines between the points.
void addThinned(const std::vector<std::int16_t>& part, int shift, float*& sum, std::uint32_t& from,
                std::uint32_t& n, float gain)
{
    const std::uint32_t step = 1u << shift, end = span(part, step);
    const float scale = gain / float(step);
    for (; n > 0 && from < end; --n, ++from) {
        const std::uint32_t k = from >> shift, r = from & (step - 1);
        *sum++ += float(part[k] * std::int32_t(step - r) + part[k + 1] * std::int32_t(r)) * scale;
    }
    from -= std::min(from, end);
}

/// Every `step`-th frame of x[begin, end] (end included, so the last line
/// has its end point), low-passed below the thinned rate's half first: a
/// windowed sinc over `taps` frames each side.
std::vector<std::int16_t> thin(const std::vector<std::int16_t>& x, std::size_t begin, std::size_t end, int step)
{
    std::vector<std::int16_t> out;
    if (end <= begin || end >= x.size())
        return out;
    const int taps = 8 * step;
    const double cutoff = 0.42 / step; // of the full rate: a little under the thinned rate's half
    std::vector<double> h(2 * taps + 1);
    double total = 0;
    for (int i = -taps; i <= taps; ++i) {
        const double sinc = i == 0 ? 2 * cutoff : std::sin(2 * kPi * cutoff * i) / (kPi * i);
        const double window = 0.42 + 0.5 * std::cos(kPi * i / taps) + 0.08 * std::cos(2 * kPi * i / taps);
        total += h[std::size_t(i + taps)] = sinc * window;
    }
    out.reserve((end - begin) / std::size_t(step) + 1);
    for (std::size_t c = begin; c <= end; c += std::size_t(step)) {
        double acc = 0;
        if (c >= std::size_t(taps) && c + std::size_t(taps) < x.size()) {
            const std::int16_t* at = x.data() + c - taps;
            for (std::size_t i = 0; i < h.size(); ++i)
                acc += h[i] * at[i];
        } else {
            for (int i = -taps; i <= taps; ++i) // the decode's edges stand for themselves beyond it
                acc += h[std::size_t(i + taps)] * x[std::size_t(std::clamp(long(c) + i, 0L, long(x.size()) - 1))];
        }
        out.push_back(std::int16_t(std::clamp(std::lround(acc / total), -32768L, 32767L)));
    }
    return out;
}

/// The frames of the full-rate part after the lead-in.
std::uint32_t fullFrames(const DecodedSample& s)
{
    return std::uint32_t(s.pcm.size()) - std::min(s.lead, std::uint32_t(s.pcm.size()));
}

} // namespace

std::uint32_t DecodedSample::frames() const { return fullFrames(*this) + span(half, 2) + span(quarter, 4); }

void DecodedSample::addTo(float* sum, std::uint32_t from, std::uint32_t n, float gain) const
{
    const std::uint32_t full = fullFrames(*this);
    const std::int16_t* start = pcm.data() + (pcm.size() - full);
    for (; n > 0 && from < full; --n, ++from)
        *sum++ += start[from] * gain;
    from -= std::min(from, full);
    addThinned(half, 1, sum, from, n, gain);
    addThinned(quarter, 2, sum, from, n, gain);
}

DecodedSample compactSample(const std::vector<std::int16_t>& pcm, std::uint32_t lead, int rate, double fullSeconds,
                            double halfUntil)
{
    DecodedSample s;
    s.lead = std::min(lead, std::uint32_t(pcm.size()));
    const std::size_t total = pcm.size();
    // Whole steps of 4 from the half part's start keep both parts' points
    // on the frames of the decode.
    const std::size_t fullEnd = std::min(total, s.lead + std::size_t(fullSeconds * rate));
    std::size_t halfEnd = fullEnd + (std::size_t(std::max(0.0, halfUntil - fullSeconds) * rate) / 4) * 4;
    if (total - fullEnd < 8) { // too short to thin: kept whole
        s.pcm = pcm;
        return s;
    }
    halfEnd = std::min(halfEnd, fullEnd + ((total - 1 - fullEnd) / 4) * 4);
    s.pcm.assign(pcm.begin(), pcm.begin() + long(fullEnd));
    s.half = thin(pcm, fullEnd, halfEnd, 2);
    const std::size_t quarterEnd = halfEnd + ((total - 1 - halfEnd) / 4) * 4;
    s.quarter = thin(pcm, halfEnd, quarterEnd, 4);
    return s;
}

} // namespace chordmoss
