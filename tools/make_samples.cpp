// Synthesises the 39 string samples with a plucked-string model of our own
// and encodes them as MP3 with the `lame` program.
//
// The model is a stiff steel string as a sum of its partials: each sounds
// at its stretched frequency (inharmonicity from the string's stiffness,
// larger on plain and on fretted strings), starts with the amplitude a pick
// at 13% of the length gives it, and decays at its own rate (faster the
// higher it is, faster on wound strings), in two polarisations a hair apart.
// A short pick scrape starts the note; a small bank of body resonances
// colours it. The fundamental is exactly the note's pitch. Fixed seeds make
// every run produce the same files.
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

#include "samplenames.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kLowE = 82.4069; // pitch index 0

double pitchHz(int p) { return kLowE * std::pow(2.0, p / 12.0); }

struct Biquad {
    double b0, b1, b2, a1, a2, z1 = 0, z2 = 0;
    static Biquad peak(double f, double q, double gainDb)
    {
        const double a = std::pow(10.0, gainDb / 40), w = 2 * kPi * f / kRate, alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha / a;
        return {(1 + alpha * a) / a0, -2 * std::cos(w) / a0, (1 - alpha * a) / a0, -2 * std::cos(w) / a0,
                (1 - alpha / a) / a0};
    }
    double operator()(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

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
    // Decay: the fundamental falls 60 dB in about 4.5 s on the low E and
    // 1.6 s at the top; higher partials die sooner, on wound strings sooner
    // still (their windings rub).
    const double t60 = 4.5 * std::pow(1.6 / 4.5, p / 38.0);
    const double cornerHz = wound ? 2000.0 : 4000.0;
    const double seconds = std::clamp(2.5 + 1.5 * (1.0 - p / 38.0), 2.5, 4.0);
    const int total = static_cast<int>(seconds * kRate);

    // Partials of an ideal pluck at 13% of the string from the bridge, with
    // the pick's width rounding off the highest, as two polarisations a hair
    // apart in pitch and decay: the slow beat and two-stage fall of a real
    // string.
    std::vector<double> out(total, 0.0);
    const double pickAt = 0.13;
    for (int n = 1;; ++n) {
        const double fn = n * f0 * std::sqrt((1 + b * n * n) / (1 + b));
        if (fn > 12000)
            break;
        const double amp = std::abs(std::sin(n * kPi * pickAt)) / n / (1 + std::pow(fn / 8000.0, 2));
        if (amp < 1e-4)
            continue;
        const double rate = 6.9078 / t60 * (1 + std::pow(fn / cornerHz, 2)); // ln(1000) / T60
        for (int pol = 0; pol < 2; ++pol) {
            const double detune = pol ? 1.0 + 0.0004 / n : 1.0;
            const double r = std::exp(-rate * (pol ? 1.3 : 1.0) / kRate);
            const std::complex<double> step = std::polar(r, 2 * kPi * fn * detune / kRate);
            std::complex<double> z(0, amp * (pol ? 0.4 : 0.6));
            for (int i = 0; i < total; ++i) {
                out[i] += z.imag();
                z *= step;
            }
        }
    }
    // The pick's scrape: a few milliseconds of noise, fixed seed per pitch.
    std::mt19937 rng(1000 + p);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    const int scrape = kRate * 4 / 1000;
    double soft = 0;
    for (int i = 0; i < scrape; ++i) {
        soft += 0.5 * (noise(rng) - soft);
        out[i] += 0.05 * soft * (1.0 - double(i) / scrape);
    }

    std::vector<Biquad> body = {Biquad::peak(98, 4, 6), Biquad::peak(196, 5, 4), Biquad::peak(410, 3, 3),
                                Biquad::peak(2600, 1.2, -4)};
    for (double& y : out)
        for (Biquad& f : body)
            y = f(y);
    // A soft 3 ms attack and a 150 ms fade to silence: no clicks.
    const int attack = kRate * 3 / 1000, release = kRate * 150 / 1000;
    for (int i = 0; i < attack; ++i)
        out[i] *= 0.5 - 0.5 * std::cos(kPi * i / attack);
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
    const std::filesystem::path wav = std::filesystem::temp_directory_path() / "chordmoss-sample.wav";
    for (int p = 0; p < static_cast<int>(chordmoss::SampleNames.size()); ++p) {
        std::vector<double> x = pluck(p);
        normalise(x);
        if (!writeWav(wav.string(), x))
            return 1;
        const std::filesystem::path mp3 = dir / std::string(chordmoss::SampleNames[p]);
        const std::string cmd = "lame --quiet --noreplaygain -m m -b 128 '" + wav.string() + "' '" + mp3.string() + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "lame failed for %s\n", mp3.c_str());
            return 1;
        }
        std::printf("%-9s %7.2f Hz\n", std::string(chordmoss::SampleNames[p]).c_str(), pitchHz(p));
    }
    std::filesystem::remove(wav);
    return 0;
}
