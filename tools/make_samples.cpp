// Synthesises the 39 string samples with a plucked-string model of our own
// and encodes them as MP3 with the `lame` program.
//
// The model is a stiff steel string as a sum of its partials, up to 20 kHz:
// each sounds at its stretched frequency (inharmonicity from the string's
// stiffness, larger on plain and on fretted strings), starts at a phase of
// its own (within half a cycle on the wound strings) with the amplitude a
// pick at 13% of the length gives it, swells in over the first periods, and
// dies in two stages (the string's two planes of motion), the higher
// partials sooner. Below the body's air mode little is radiated, so the low
// E's fundamental is weak. A pick tick, a short ring of the wood and two
// decaying body modes (105 and 200 Hz) are added. The fundamental is exactly
// the note's pitch. Fixed seeds make every run produce the same files.
//
//   make_samples <samples dir>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "samplenames.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kLowE = 82.4069; // pitch index 0

double pitchHz(int p) { return kLowE * std::pow(2.0, p / 12.0); }


/// The string a pitch is sampled on (1 = low E .. 6 = high E) and its fret:
/// the string whose first frets hold it, as the sample names tell.
std::pair<int, int> stringAndFret(int p)
{
    static const int bases[] = {0, 5, 10, 15, 19, 24};
    int s = 6;
    while (p < bases[s - 1])
        --s;
    return {s, p - bases[s - 1]};
}

/// A value that runs from `low` through `mid` to `high` over the registers
/// (geometrically between the middles of E2-C#3, D3-D#4 and E4-F#5), held
/// beyond them.
double across(int p, double low, double mid, double high)
{
    const double t = std::clamp(p <= 16 ? (p - 4.5) / 12.0 : 1 + (p - 16.5) / 14.5, 0.0, 2.0);
    return t <= 1 ? low * std::pow(mid / low, t) : mid * std::pow(high / mid, t - 1);
}

std::vector<double> pluck(int p)
{
    const double f0 = pitchHz(p);
    const auto [string, fret] = stringAndFret(p);
    const bool wound = string <= 4;
    // Stiffness: partial n sounds at n f0 sqrt(1 + B n^2) / sqrt(1 + B).
    // Plain strings are stiffer for their size than wound ones, and a shorter
    // (fretted) string is stiffer than the open one.
    static const double openB[] = {1.0e-5, 1.2e-5, 1.5e-5, 2.0e-5, 4.5e-5, 5.5e-5};
    const double b = openB[string - 1] * std::pow(2.0, fret / 12.0);
    // Two stages of decay, from the string's two planes of motion: across
    // the top it drives the bridge and dies fast; along the top it rings on,
    // 15 dB quieter, for the long tail.
    const double slowT60 = across(p, 16.0, 15.0, 4.6), fastT60 = across(p, 2.3, 3.5, 1.5);
    const double slowShare = std::pow(10.0, -15.0 / 20);
    // On top of that, losses that grow with frequency (air, the string's
    // inner friction, windings that rub): the highs of the pick die within
    // a few hundred milliseconds, sooner on wound strings.
    const double highLoss = wound ? 3.0 : 2.5; // dB a second at 1 kHz, growing with f^2
    // The string lets go of the pick over a few periods of its low partials,
    // and the body takes as long to answer: the note swells in over this.
    const double swell = across(p, 0.015, 0.05, 0.008);
    // How bright the pluck starts: the pick's width rounds off the partials
    // above `top`, which is lower on the thick wound strings. The pick's own
    // tick and the wood's ring after it, scaled so that they stand out as
    // much in every register.
    const double top = across(p, 2000, 5000, 14000);
    const double pickLevel = across(p, 0.7, 1.1, 0.2), ringLevel = across(p, 0.07, 0.2, 0.11);
    const double seconds = std::clamp(0.85 * slowT60 + 0.3, 3.5, 5.0);
    const int total = static_cast<int>(seconds * kRate);

    std::vector<double> out(total, 0.0);
    std::mt19937 rng(1000 + p);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double pickAt = 0.13;
    // Where the partials start in their cycles. Spread over the whole cycle
    // they never line up and the note is as smooth as noise; a plucked
    // string lets go of them nearly together, so on the wound strings, whose
    // many strong low partials set the peaks, their phases stay within half
    // a cycle and the start peaks as a recorded pluck does (12-15 dB above
    // its RMS).
    const double spread = across(p, 0.6, 0.5, 1.0);
    for (int n = 1;; ++n) {
        const double fn = n * f0 * std::sqrt((1 + b * n * n) / (1 + b));
        if (fn > 20000)
            break;
        // A pluck at 13% of the length, the pick's width rounding off the
        // top, partials up to the top of hearing; below the body's air mode (about 100 Hz) the top and the
        // sound hole cancel each other and little is radiated.
        const double radiation = -24.0 / (1 + std::pow(fn / 97.0, 16));
        const double amp = std::abs(std::sin(n * kPi * pickAt)) / std::pow(n, 0.8) / (1 + std::pow(fn / top, 2))
                           * std::pow(10.0, radiation / 20);
        const double phase = 2 * kPi * spread * unit(rng); // the partials do not start in step
        if (amp < 1e-5)
            continue;
        const double extra = highLoss * std::pow(fn / 1000.0, 2) / 8.686; // dB/s to nepers/s
        const int ramp = std::max(1, int(std::min(swell, 6.0 / fn) * kRate));
        for (int pol = 0; pol < 2; ++pol) {
            const double rate = 6.9078 / (pol ? slowT60 : fastT60) + extra;
            const double detune = pol ? 1.0 + 0.0004 / n : 1.0;
            const double a0 = amp * (pol ? slowShare : 1.0);
            const std::complex<double> step = std::polar(std::exp(-rate / kRate), 2 * kPi * fn * detune / kRate);
            std::complex<double> z = std::polar(a0, phase);
            const int last = std::min(total, int(std::log(a0 / 1e-7) / rate * kRate) + 1);
            for (int i = 0; i < last; ++i) {
                const double in = i < ramp ? 0.5 - 0.5 * std::cos(kPi * i / ramp) : 1.0;
                out[i] += z.imag() * in;
                z *= step;
            }
        }
    }
    // The pick's tick: a couple of milliseconds of bright noise as it
    // scrapes over and leaves the string (fixed seed per pitch).
    const int tick = kRate * 2 / 1000;
    double prev = 0;
    for (int i = 0; i < tick; ++i) {
        const double v = unit(rng) * 2 - 1;
        out[i] += pickLevel * (v - prev) * std::exp(-3.0 * i / tick);
        prev = v;
    }
    // The body's answer above its first modes: dense, many-moded, heard as
    // a short bright ring of the wood after the pick.
    double hp = 0, lp = 0, last = 0;
    const double hpA = std::exp(-2 * kPi * 400.0 / kRate), lpA = std::exp(-2 * kPi * 8000.0 / kRate);
    for (int i = 0; i < total; ++i) {
        const double v = unit(rng) * 2 - 1;
        hp = hpA * (hp + v - last);
        last = v;
        lp = lpA * lp + (1 - lpA) * hp;
        out[i] += ringLevel * lp * std::exp(-6.9078 * i / (0.7 * kRate));
    }
    // The body: its air mode near 105 Hz and the top's first mode near
    // 200 Hz, struck by the pluck and dying within a few tenths of a second.
    const struct { double hz, level; } modes[] = {{105, 0.04}, {200, 0.028}};
    for (const auto& m : modes) {
        const double rate = 6.9078 / 0.6;
        for (int i = 0; i < total; ++i) {
            const double t = double(i) / kRate;
            out[i] += m.level * std::exp(-rate * t) * std::sin(2 * kPi * m.hz * t) * (1 - std::exp(-t / 0.003));
        }
    }
    // A 150 ms fade to silence at the end: no click.
    const int release = kRate * 150 / 1000;
    for (int i = 0; i < release; ++i)
        out[total - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / release);
    return out;
}

/// Scales every note to the same loudness (RMS of its first half second),
/// with peaks kept below -1.4 dBFS.
void normalise(std::vector<double>& x)
{
    double sum = 0;
    const int n = std::min<int>(x.size(), kRate / 2);
    for (int i = 0; i < n; ++i)
        sum += x[i] * x[i];
    const double rms = std::sqrt(sum / n);
    double gain = 0.075 / rms;
    double peak = 0;
    for (double v : x)
        peak = std::max(peak, std::abs(v));
    gain = std::min(gain, 0.85 / peak);
    for (double& v : x)
        v *= gain;
}

bool writeWav(const std::string& path, const std::vector<double>& x)
{
    std::ofstream f(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t bytes = static_cast<std::uint32_t>(x.size() * 2);
    f.write("RIFF", 4);
    u32(36 + bytes);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    f.write("data", 4);
    u32(bytes);
    for (double v : x)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767))));
    return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <samples dir>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::filesystem::path wav = std::filesystem::temp_directory_path() / ("chordmoss-sample-" + std::to_string(getpid()) + ".wav");
    for (int p = 0; p < static_cast<int>(chordmoss::SampleNames.size()); ++p) {
        std::vector<double> x = pluck(p);
        normalise(x);
        if (!writeWav(wav.string(), x))
            return 1;
        const std::filesystem::path mp3 = dir / std::string(chordmoss::SampleNames[p]);
        const std::string cmd = "lame --quiet --noreplaygain -m m -V 2 '" + wav.string() + "' '" + mp3.string() + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "lame failed for %s\n", mp3.c_str());
            return 1;
        }
        std::printf("%-9s %7.2f Hz\n", std::string(chordmoss::SampleNames[p]).c_str(), pitchHz(p));
    }
    std::filesystem::remove(wav);
    return 0;
}
