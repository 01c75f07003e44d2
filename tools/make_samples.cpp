// Synthesises the 39 string samples with a plucked-string model of our own
// and encodes them as MP3 with the `lame` program.
//
// The model is an extended Karplus-Strong string: a noise burst shaped by the
// pick position and a softening low-pass excites a delay line whose loop holds
// a one-pole damping filter (higher notes lose more per pass, as steel strings
// do) and an all-pass that tunes the loop to the exact pitch. The string's
// output then passes a small bank of body resonances. Fixed seeds make every
// run produce the same files.
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
#include <vector>

#include "samplenames.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kLowE = 82.4069; // pitch index 0

double pitchHz(int p) { return kLowE * std::pow(2.0, p / 12.0); }

/// Phase delay in samples of the all-pass (c + z^-1) / (1 + c z^-1) at w.
double allpassDelay(double c, double w)
{
    const std::complex<double> z1 = std::polar(1.0, -w);
    return -std::arg((c + z1) / (1.0 + c * z1)) / w;
}

/// Phase delay of the damping filter g * ((1 - s) + s z^-1) at w.
double dampingDelay(double s, double w)
{
    const std::complex<double> h = (1.0 - s) + s * std::polar(1.0, -w);
    return -std::arg(h) / w;
}

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

std::vector<double> pluck(int p)
{
    const double f0 = pitchHz(p);
    const double w0 = 2 * kPi * f0 / kRate;
    const double period = kRate / f0;
    // Seconds until the note has fallen by 60 dB: about 4.5 s on the low E,
    // 1.6 s at the top of the range.
    const double t60 = 4.5 * std::pow(1.6 / 4.5, p / 38.0);
    const double seconds = std::clamp(2.5 + 1.5 * (1.0 - p / 38.0), 2.5, 4.0);

    // Damping: brighter strings lose their highs faster.
    const double s = 0.30 + 0.15 * (p / 38.0);
    const double loopGain = std::pow(10.0, -3.0 * period / (t60 * kRate)) / std::abs((1 - s) + s * std::polar(1.0, -w0));

    // Tuning: integer delay plus an all-pass delay so the loop's phase delay
    // at f0 is exactly one period.
    const double rest = period - dampingDelay(s, w0);
    int n = static_cast<int>(std::floor(rest - 0.2));
    double want = rest - n; // between 0.2 and 1.2 samples
    double lo = -0.99, hi = 0.99;
    for (int i = 0; i < 60; ++i) { // the delay falls as c rises
        const double mid = (lo + hi) / 2;
        (allpassDelay(mid, w0) > want ? lo : hi) = mid;
    }
    const double c = (lo + hi) / 2;

    // Excitation: a burst of noise one period long, fixed seed per pitch,
    // combed by the pick position and softened.
    std::mt19937 rng(1000 + p);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<double> line(n, 0.0); // a delay of exactly n samples
    const int pick = std::max(1, static_cast<int>(std::lround(n * 0.13)));
    std::vector<double> burst(n);
    for (double& v : burst)
        v = noise(rng);
    double soft = 0;
    for (int i = 0; i < n; ++i) {
        const double combed = burst[i] - (i >= pick ? burst[i - pick] : 0.0);
        soft += 0.45 * (combed - soft);
        line[i] = soft;
    }

    std::vector<Biquad> body = {Biquad::peak(98, 4, 6), Biquad::peak(196, 5, 4), Biquad::peak(410, 3, 3),
                                Biquad::peak(2600, 1.2, -4)};
    const int total = static_cast<int>(seconds * kRate);
    std::vector<double> out(total);
    int pos = 0;
    double lpPrev = 0, apPrevIn = 0, apPrevOut = 0;
    for (int i = 0; i < total; ++i) {
        const double x = line[pos];
        // Loop: damping filter, then the tuning all-pass.
        const double lp = loopGain * ((1 - s) * x + s * lpPrev);
        lpPrev = x;
        const double ap = c * lp + apPrevIn - c * apPrevOut;
        apPrevIn = lp;
        apPrevOut = ap;
        line[pos] = ap;
        pos = (pos + 1) % static_cast<int>(line.size());
        double y = x;
        for (Biquad& b : body)
            y = b(y);
        out[i] = y;
    }
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
