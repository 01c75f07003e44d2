#include "soundfigures.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numeric>

namespace soundfigures {

namespace {

constexpr double kPi = 3.14159265358979323846;

/// Power spectrum of x[from, from + len) under a Hann window (or none),
/// zero-padded to `size` (a power of two); bin k is k * kRate / size Hz.
std::vector<double> power(const std::vector<double>& x, long from, long len, int size, bool hann = true)
{
    std::vector<std::complex<double>> a(size);
    for (long i = 0; i < std::min<long>(len, size); ++i) {
        const long j = from + i;
        const double w = hann ? 0.5 - 0.5 * std::cos(2 * kPi * (i + 0.5) / len) : 1.0;
        a[i] = j >= 0 && j < long(x.size()) ? x[j] * w : 0.0;
    }
    for (int i = 1, j = 0; i < size; ++i) { // in place, radix 2
        int bit = size >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (int len2 = 2; len2 <= size; len2 <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * kPi / len2);
        for (int i = 0; i < size; i += len2) {
            std::complex<double> w = 1;
            for (int k = 0; k < len2 / 2; ++k, w *= step) {
                const auto t = w * a[i + k + len2 / 2];
                a[i + k + len2 / 2] = a[i + k] - t;
                a[i + k] += t;
            }
        }
    }
    std::vector<double> p(size / 2);
    for (int i = 0; i < size / 2; ++i)
        p[i] = std::norm(a[i]);
    return p;
}

double bandSum(const std::vector<double>& p, int size, double lo, double hi)
{
    double sum = 0;
    for (int k = std::max(1, int(std::ceil(lo * size / kRate))); k < int(p.size()) && k * double(kRate) / size < hi; ++k)
        sum += p[k];
    return sum;
}

double db(double ratio) { return 10 * std::log10(std::max(ratio, 1e-30)); }

/// Magnitude-weighted mean frequency, 20 Hz to 20 kHz, of a 2048-sample
/// stretch centred on `at`.
double centroid(const std::vector<double>& x, long at)
{
    const int n = 2048;
    const std::vector<double> p = power(x, at - n / 2, n, n);
    double num = 0, den = 0;
    for (int k = 1; k < n / 2; ++k) {
        const double f = k * double(kRate) / n;
        if (f >= 20 && f <= 20000)
            num += f * std::sqrt(p[k]), den += std::sqrt(p[k]);
    }
    return den > 0 ? num / den : 0;
}

/// Seconds from a level track's peak until it has fallen `drop` dB, read
/// between frames; past the track's end, extrapolated from the slope of its
/// last 1.5 s.
double fall(const std::vector<double>& level, double hop, double drop)
{
    const long top = std::max_element(level.begin(), level.end()) - level.begin();
    const double target = level[top] - drop;
    for (long k = top + 1; k < long(level.size()); ++k)
        if (level[k] <= target)
            return (k - top - (target - level[k]) / (level[k - 1] - level[k])) * hop;
    const long last = long(level.size()) - 1, first = std::max(top, last - long(1.5 / hop));
    if (last - first < 3)
        return 120;
    double st = 0, sl = 0, stt = 0, stl = 0;
    const double n = double(last - first + 1);
    for (long k = first; k <= last; ++k)
        st += k * hop, sl += level[k], stt += k * hop * k * hop, stl += k * hop * level[k];
    const double slope = (n * stl - st * sl) / (n * stt - st * st), at = (sl - slope * st) / n + slope * last * hop;
    if (slope > -0.5)
        return 120;
    return std::min(120.0, (last - top) * hop + (at - target) / -slope);
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
}

Figures fromValues(const std::vector<double>& v)
{
    Figures f;
    f.fall60 = v[0], f.fall20 = v[1], f.centroid50 = v[2], f.centroid300 = v[3], f.centroid1000 = v[4];
    f.above2k = v[5], f.pick = v[6], f.attack_ms = v[7], f.body = v[8], f.bodyLater = v[9];
    f.fundamental = v[10], f.crest = v[11], f.lead_ms = v[12];
    return f;
}

} // namespace

const std::vector<std::string>& names()
{
    static const std::vector<std::string> n = {
        "fall 60 dB (s)",   "first 20 dB (s)",        "centroid 50 ms (Hz)", "centroid 300 ms (Hz)",
        "centroid 1 s (Hz)", "energy above 2 kHz (%)", "pick > 4 kHz (%)",    "attack 10-90 (ms)",
        "body 70-300 Hz (dB)", "body 0.3 s later (dB)", "fundamental (dB)",  "crest factor (dB)",
        "lead-in (ms)"};
    return n;
}

std::vector<double> values(const Figures& f)
{
    return {f.fall60,      f.fall20, f.centroid50, f.centroid300, f.centroid1000, f.above2k, f.pick,
            f.attack_ms,   f.body,   f.bodyLater,  f.fundamental, f.crest,        f.lead_ms};
}

double pitchHz(int p) { return 82.4069 * std::pow(2.0, p / 12.0); }
int registerOf(int p) { return p < 10 ? 0 : p < 24 ? 1 : 2; }

/// Returns where a note starts: its first sample at 1 % of its peak.
long onsetOf(const std::vector<double>& x)
{
    double peak = 0;
    for (double v : x)
        peak = std::max(peak, std::abs(v));
    long onset = 0;
    while (onset < long(x.size()) && std::abs(x[onset]) < 0.01 * peak)
        ++onset;
    return onset;
}

Figures measure(const std::vector<double>& x, double f0)
{
    Figures f;
    const long onset = onsetOf(x);
    f.lead_ms = 1000.0 * onset / kRate;
    const auto at = [&](double seconds) { return onset + long(seconds * kRate); };

    // The fundamental's level, 186 ms frames every 50 ms, to 0.3 s before
    // the end (where a sample may fade out).
    const int n = 8192;
    const double hop = 0.05;
    std::vector<double> level;
    for (long from = onset; from + n < long(x.size()) - at(0.3) + onset; from += long(hop * kRate)) {
        std::complex<double> sum = 0;
        for (int i = 0; i < n; ++i)
            sum += x[from + i] * (0.5 - 0.5 * std::cos(2 * kPi * (i + 0.5) / n)) * std::polar(1.0, -2 * kPi * f0 * i / kRate);
        level.push_back(20 * std::log10(std::abs(sum) + 1e-12));
    }
    if (level.size() > 4) {
        f.fall60 = fall(level, hop, 60);
        f.fall20 = fall(level, hop, 20);
    }
    f.centroid50 = centroid(x, at(0.05));
    f.centroid300 = centroid(x, at(0.3));
    f.centroid1000 = centroid(x, at(1.0));

    double high = 0, all = 0;
    for (long from = onset; from < long(x.size()); from += 2048) {
        const std::vector<double> p = power(x, from, 4096, 4096);
        high += bandSum(p, 4096, 2000, kRate), all += bandSum(p, 4096, 0, kRate);
    }
    f.above2k = 100 * high / all;
    const std::vector<double> first = power(x, onset, kRate / 100, 2048, false);
    f.pick = 100 * bandSum(first, 2048, 4000, kRate) / bandSum(first, 2048, 0, kRate);

    // A 5 ms RMS envelope over the first half second.
    const int w = kRate / 200;
    std::vector<double> env;
    double sq = 0;
    for (long i = onset; i < std::min<long>(x.size(), at(0.5)); ++i) {
        sq += x[i] * x[i] - (i - w >= onset ? x[i - w] * x[i - w] : 0);
        env.push_back(std::sqrt(std::max(sq, 0.0) / w));
    }
    const double top = *std::max_element(env.begin(), env.end());
    const long t10 = std::find_if(env.begin(), env.end(), [&](double e) { return e >= 0.1 * top; }) - env.begin();
    const long t90 = std::find_if(env.begin(), env.end(), [&](double e) { return e >= 0.9 * top; }) - env.begin();
    f.attack_ms = 1000.0 * (t90 - t10) / kRate;

    const int m = 16384, span = kRate / 5;
    const std::vector<double> early = power(x, at(0.02), span, m), late = power(x, at(0.32), span, m);
    f.body = db(bandSum(early, m, 70, 300) / bandSum(early, m, 0, kRate));
    f.bodyLater = db(bandSum(late, m, 70, 300) / bandSum(early, m, 70, 300));

    const std::vector<double> s = power(x, at(0.05), m, m);
    double strongest = 0, first1 = 0;
    for (int k = 1; k <= 20; ++k) {
        double p = 0;
        for (int b = int((k - 0.3) * f0 * m / kRate); b <= int((k + 0.3) * f0 * m / kRate) && b < m / 2; ++b)
            p = std::max(p, s[b]);
        strongest = std::max(strongest, p);
        if (k == 1)
            first1 = p;
    }
    f.fundamental = db(first1 / strongest);

    double sum = 0, crestPeak = 0;
    const long end = std::min<long>(x.size(), at(0.5));
    for (long i = onset; i < end; ++i)
        sum += x[i] * x[i], crestPeak = std::max(crestPeak, std::abs(x[i]));
    f.crest = 20 * std::log10(crestPeak / std::sqrt(sum / std::max(1L, end - onset)));
    return f;
}

Partials partials(const std::vector<double>& x, double f0)
{
    const int n = 1 << 15;
    std::vector<double> level = power(x, kRate / 50, n, n);
    for (double& v : level)
        v = db(v);
    const double bin = double(kRate) / n;
    // The strongest bin between lo and hi Hz: its frequency, refined by a
    // parabola through its neighbours, and its level.
    const auto peak = [&](double lo, double hi) {
        int best = int(lo / bin);
        for (int i = best; i <= int(hi / bin) && i + 1 < n / 2; ++i)
            if (level[i] > level[best])
                best = i;
        const double a = level[best - 1], b = level[best], c = level[best + 1];
        return std::pair{(best + 0.5 * (a - c) / (a - 2 * b + c)) * bin, b};
    };
    Partials out;
    const double top = peak(40, 16000).second;
    out.f1 = peak(0.45 * f0, 1.4 * f0).first;
    double num = 0, den = 0;
    for (int k = 1; k * out.f1 < 15000; ++k) {
        const auto [fk, l] = peak((k - 0.3) * out.f1, (k + 0.3) * out.f1);
        out.count += l > top - 60;
        if (k > 1 && l > top - 40) {
            num += (std::pow(fk / (k * out.f1), 2) - 1) * (k * k - 1);
            den += std::pow(k * k - 1, 2);
        }
    }
    out.stiffness = den > 0 ? num / den : 0;
    return out;
}

std::array<Figures, 3> registerMedians(const std::vector<Figures>& notes)
{
    std::array<Figures, 3> out;
    for (int r = 0; r < 3; ++r) {
        std::vector<double> med;
        for (size_t i = 0; i < names().size(); ++i) {
            std::vector<double> v;
            for (int p = 0; p < int(notes.size()); ++p)
                if (registerOf(p) == r)
                    v.push_back(values(notes[p])[i]);
            med.push_back(median(v));
        }
        out[r] = fromValues(med);
    }
    return out;
}

double lowestFundamental(const std::vector<Figures>& notes)
{
    std::vector<double> v;
    for (int p = 0; p < 4 && p < int(notes.size()); ++p)
        v.push_back(notes[p].fundamental);
    return median(v);
}

std::vector<double> strum(const std::vector<std::vector<double>>& notes, double seconds)
{
    std::vector<double> out(long(seconds * kRate), 0.0);
    const int chord[] = {0, 7, 12, 16, 19, 24}; // E B E G# B E
    for (int s = 0; s < 6; ++s) {
        const long start = long(s * 0.03 * kRate);
        const std::vector<double>& x = notes.at(chord[s]);
        for (long i = 0; i < long(x.size()) && start + i < long(out.size()); ++i)
            out[start + i] += x[i];
    }
    return out;
}

double spectrogramDistance(const std::vector<double>& a, const std::vector<double>& b)
{
    const int n = 4096, hop = 1024;
    const auto grid = [&](const std::vector<double>& x) {
        const long onset = onsetOf(x);
        std::vector<double> cells;
        for (long from = onset - n / 2; from + n <= long(x.size()); from += hop) {
            const std::vector<double> p = power(x, from, n, n);
            for (int k = -13; k <= 12; ++k) { // 50 Hz to 16 kHz
                const double fc = 1000 * std::pow(2.0, k / 3.0);
                double e = bandSum(p, n, fc * std::pow(2.0, -1.0 / 6), fc * std::pow(2.0, 1.0 / 6));
                if (e == 0)
                    e = p[std::lround(fc * n / kRate)];
                cells.push_back(e);
            }
        }
        const double total = std::accumulate(cells.begin(), cells.end(), 0.0);
        const double floor = db(*std::max_element(cells.begin(), cells.end()) / total) - 60;
        for (double& c : cells)
            c = std::max(db(c / total), floor);
        return cells;
    };
    const std::vector<double> ga = grid(a), gb = grid(b);
    const size_t cells = std::min(ga.size(), gb.size());
    double sum = 0;
    for (size_t i = 0; i < cells; ++i)
        sum += (ga[i] - gb[i]) * (ga[i] - gb[i]);
    return std::sqrt(sum / std::max<size_t>(cells, 1));
}

} // namespace soundfigures
