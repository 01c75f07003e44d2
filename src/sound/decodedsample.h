#pragma once
// A string sample as the mixer keeps it in memory.
//
// A plucked string loses its highs within a fraction of a second: half a
// second in, nothing above 11 kHz is left, and a second after that nothing
// above 5 kHz. So only the start of a note is kept at the full rate; the
// rest is kept at a half and then at a quarter of it, low-passed before it
// is thinned so that nothing folds down, and read back by drawing a straight
// line between its points. That keeps 39 notes in about 40 % of the memory
// of their full-rate decode, all of them ready to start at once.

#include <cstdint>
#include <vector>

namespace chordmoss {

/// A decoded sample: mono, signed 16-bit, played at the mixer's rate from
/// frame `lead` of `pcm` on (what comes before is the encoder's near-silent
/// delay). After `pcm` come `half`'s points, one every 2 frames, then
/// `quarter`'s, one every 4; each thinned part's last point only ends the
/// line from the one before it.
struct DecodedSample {
    std::vector<std::int16_t> pcm;
    std::vector<std::int16_t> half, quarter;
    std::uint32_t lead = 0;

    /// The frames the note plays, counted from `lead`.
    std::uint32_t frames() const;
    /// Adds the note's frames [from, from + n) to `sum`, each times `gain`;
    /// `from + n` must not pass frames(). Runs on the mixing thread: no
    /// allocation, no lock.
    void addTo(float* sum, std::uint32_t from, std::uint32_t n, float gain) const;
};

/// Keeps a full-rate decode (a note from `lead` on) as the mixer does:
/// `fullSeconds` at the full rate, then the thinned parts, the quarter rate
/// from `halfUntil` seconds on. `rate` is the decode's frame rate.
DecodedSample compactSample(const std::vector<std::int16_t>& pcm, std::uint32_t lead, int rate,
                            double fullSeconds = 0.5, double halfUntil = 1.5);

} // namespace chordmoss
