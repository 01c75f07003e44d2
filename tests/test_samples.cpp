// The committed samples, decoded as the program decodes them: every file
// there, of sensible length and level, sounding its pitch within 5 cents,
// with a steel string's stiffness and enough partials to sound bright.
#include <QtTest>

#include <SDL_mixer.h>

#include <cmath>
#include <complex>
#include <vector>

#include "samplemixer.h"
#include "samplenames.h"

using namespace chordmoss;

namespace {

constexpr int kRate = SampleMixer::kRate;
constexpr int kWindow = 1 << 15;

/// Magnitude spectrum in dB of a Hann-windowed stretch of x.
std::vector<double> spectrumDb(const std::vector<double>& x, int from)
{
    std::vector<std::complex<double>> a(kWindow);
    for (int i = 0; i < kWindow; ++i)
        a[i] = x[from + i] * (0.5 - 0.5 * std::cos(2 * M_PI * i / kWindow));
    for (int i = 1, j = 0; i < kWindow; ++i) { // in place, radix 2
        int bit = kWindow >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (int len = 2; len <= kWindow; len <<= 1)
        for (int i = 0; i < kWindow; i += len)
            for (int k = 0; k < len / 2; ++k) {
                const auto w = std::polar(1.0, -2 * M_PI * k / len) * a[i + k + len / 2];
                a[i + k + len / 2] = a[i + k] - w;
                a[i + k] += w;
            }
    std::vector<double> db(kWindow / 2);
    for (int i = 0; i < kWindow / 2; ++i)
        db[i] = 20 * std::log10(std::abs(a[i]) + 1e-12);
    return db;
}

/// The strongest peak between lo and hi Hz: its frequency (refined by a
/// parabola through the three bins) and level.
std::pair<double, double> peak(const std::vector<double>& db, double lo, double hi)
{
    const double bin = double(kRate) / kWindow;
    int best = int(lo / bin);
    for (int i = best; i <= int(hi / bin) && i + 1 < int(db.size()); ++i)
        if (db[i] > db[best])
            best = i;
    const double a = db[best - 1], b = db[best], c = db[best + 1];
    return {(best + 0.5 * (a - c) / (a - 2 * b + c)) * bin, b};
}

} // namespace

class TestSamples : public QObject {
    Q_OBJECT
private slots:
    void sample_data()
    {
        QTest::addColumn<int>("pitch");
        for (int p = 0; p < int(SampleNames.size()); ++p)
            QTest::newRow(std::string(SampleNames[p]).c_str()) << p;
    }

    void sample()
    {
        QFETCH(int, pitch);
        const std::string path = std::string(CHORDMOSS_ASSETS_DIR) + "/samples/" + std::string(SampleNames[pitch]);
        const Mix_Chunk* chunk = SampleMixer::instance().decoded(path);
        QVERIFY2(chunk, path.c_str());
        const auto* pcm = reinterpret_cast<const Sint16*>(chunk->abuf);
        const int frames = int(chunk->alen / 4);
        std::vector<double> mono(frames);
        double peakLevel = 0, rms = 0;
        for (int i = 0; i < frames; ++i) {
            mono[i] = (pcm[2 * i] + pcm[2 * i + 1]) / 65536.0;
            peakLevel = std::max(peakLevel, std::abs(mono[i]));
            rms += i < kRate / 2 ? mono[i] * mono[i] : 0;
        }
        m_rms.push_back(std::sqrt(rms / (kRate / 2)));
        const double seconds = double(frames) / kRate;
        QVERIFY2(seconds >= 2.4 && seconds <= 4.2, qPrintable(QString::number(seconds)));
        QVERIFY2(peakLevel > 0.2 && peakLevel < 0.95, qPrintable(QString::number(peakLevel)));
        QVERIFY(std::abs(mono.back()) < 0.01); // silent at the end: no click on stop

        // The fundamental is the strongest peak from an octave below the note
        // up, so a wrong octave shows.
        const std::vector<double> db = spectrumDb(mono, kRate / 50);
        const double top = peak(db, 40, 16000).second;
        const double expected = 82.4069 * std::pow(2.0, pitch / 12.0);
        const double f1 = peak(db, 0.45 * expected, 1.4 * expected).first;
        const double cents = 1200 * std::log2(f1 / expected);
        QVERIFY2(std::abs(cents) <= 5, qPrintable(QStringLiteral("%1 Hz, %2 cents").arg(f1).arg(cents)));

        // Partials: how many stand within 60 dB of the strongest, and how far
        // they are stretched: (f_n / (n f_1))^2 - 1 = B (n^2 - 1).
        int partials = 0;
        double num = 0, den = 0;
        for (int n = 1; n * f1 < 15000; ++n) {
            const auto [fn, level] = peak(db, (n - 0.3) * f1, (n + 0.3) * f1);
            partials += level > top - 60;
            if (n > 1 && level > top - 40) {
                num += (std::pow(fn / (n * f1), 2) - 1) * (n * n - 1);
                den += std::pow(n * n - 1, 2);
            }
        }
        const double b = num / den;
        m_stiffness.push_back(b);
        qInfo("%s: %+.2f cents, peak %.2f, %d partials, B %.2e", SampleNames[pitch].data(), cents, peakLevel, partials,
              b);
        QVERIFY2(partials >= 10, qPrintable(QString::number(partials)));
        QVERIFY2(b > 5e-6 && b < 2e-4, qPrintable(QString::number(b)));
    }

    void evenLoudnessAndStiffness()
    {
        QCOMPARE(int(m_rms.size()), int(SampleNames.size()));
        const auto [lo, hi] = std::minmax_element(m_rms.begin(), m_rms.end());
        QVERIFY2(20 * std::log10(*hi / *lo) < 4.0, qPrintable(QString::number(20 * std::log10(*hi / *lo))));
        // The plain strings (the B string's register up) are the stiffer ones.
        const auto wound = std::max_element(m_stiffness.begin(), m_stiffness.begin() + 19);
        QVERIFY(*std::min_element(m_stiffness.begin() + 19, m_stiffness.end()) > *wound);
    }

private:
    std::vector<double> m_rms, m_stiffness;
};

QTEST_GUILESS_MAIN(TestSamples)
#include "test_samples.moc"
