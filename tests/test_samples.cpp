// The committed samples, decoded as the program decodes them: every file
// there, of sensible length and level, sounding its pitch within 5 cents.
#include <QtTest>

#include <SDL_mixer.h>

#include <cmath>
#include <vector>

#include "samplemixer.h"
#include "samplenames.h"

using namespace chordmoss;

namespace {

/// Fundamental frequency by the cumulative mean normalised difference
/// function: the first dip below the threshold, refined by a parabola. Finds
/// the true period whatever pitch was expected, so a wrong octave shows.
double fundamental(const std::vector<double>& x, int rate)
{
    const int window = 2048, minLag = rate / 1000, maxLag = rate / 60;
    std::vector<double> d(maxLag + 2, 0.0);
    for (int lag = 1; lag <= maxLag + 1; ++lag) {
        double sum = 0;
        for (int i = 0; i < window; ++i) {
            const double diff = x[i] - x[i + lag];
            sum += diff * diff;
        }
        d[lag] = sum;
    }
    std::vector<double> cmnd(d.size(), 1.0);
    double running = 0;
    for (int lag = 1; lag < int(d.size()); ++lag) {
        running += d[lag];
        cmnd[lag] = d[lag] * lag / running;
    }
    int best = -1;
    for (int lag = minLag; lag <= maxLag; ++lag) {
        if (cmnd[lag] < 0.15) {
            while (lag + 1 <= maxLag && cmnd[lag + 1] < cmnd[lag])
                ++lag;
            best = lag;
            break;
        }
    }
    if (best < 0)
        return 0;
    const double a = cmnd[best - 1], b = cmnd[best], c = cmnd[best + 1];
    const double shift = (a - c) / (2 * (a - 2 * b + c));
    return rate / (best + shift);
}

} // namespace

class TestSamples : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sample_data();
    void sample();
    void evenLoudness();

private:
    int m_rate = 0, m_channels = 0;
    std::vector<double> m_rms;
};

void TestSamples::initTestCase()
{
    QVERIFY(SampleMixer::instance().isOpen());
    Uint16 format = 0;
    QVERIFY(Mix_QuerySpec(&m_rate, &format, &m_channels) != 0);
    QCOMPARE(format, Uint16(AUDIO_S16SYS));
}

void TestSamples::sample_data()
{
    QTest::addColumn<int>("pitch");
    for (int p = 0; p < int(SampleNames.size()); ++p)
        QTest::newRow(std::string(SampleNames[p]).c_str()) << p;
}

void TestSamples::sample()
{
    QFETCH(int, pitch);
    const std::string path = std::string(CHORDMOSS_ASSETS_DIR) + "/samples/" + std::string(SampleNames[pitch]);
    Mix_Chunk* chunk = SampleMixer::instance().chunk(path);
    QVERIFY2(chunk, path.c_str());

    const auto* pcm = reinterpret_cast<const Sint16*>(chunk->abuf);
    const int frames = int(chunk->alen / (2 * m_channels));
    std::vector<double> mono(frames);
    double peak = 0;
    for (int i = 0; i < frames; ++i) {
        double sum = 0;
        for (int c = 0; c < m_channels; ++c)
            sum += pcm[i * m_channels + c];
        mono[i] = sum / m_channels / 32768.0;
        peak = std::max(peak, std::abs(mono[i]));
    }
    const double seconds = double(frames) / m_rate;
    QVERIFY2(seconds >= 2.4 && seconds <= 4.2, qPrintable(QString::number(seconds)));
    QVERIFY2(peak > 0.2 && peak < 0.95, qPrintable(QString::number(peak)));

    // The sustained part, past the attack.
    const std::vector<double> sustained(mono.begin() + m_rate / 4, mono.begin() + m_rate / 4 + 4096);
    const double expected = 82.4069 * std::pow(2.0, pitch / 12.0);
    const double measured = fundamental(sustained, m_rate);
    const double cents = 1200 * std::log2(measured / expected);
    QVERIFY2(std::abs(cents) <= 5, qPrintable(QStringLiteral("%1 Hz measured, %2 Hz expected, %3 cents")
                                                  .arg(measured).arg(expected).arg(cents)));

    qInfo("%s: %.2f Hz, %+.2f cents, peak %.2f", SampleNames[pitch].data(), measured, cents, peak);

    // Silent at both ends: no click on start or stop.
    QVERIFY(std::abs(mono.back()) < 0.01);
    double rms = 0;
    for (int i = 0; i < m_rate / 2; ++i)
        rms += mono[i] * mono[i];
    m_rms.push_back(std::sqrt(rms / (m_rate / 2)));
}

void TestSamples::evenLoudness()
{
    QCOMPARE(int(m_rms.size()), int(SampleNames.size()));
    const auto [lo, hi] = std::minmax_element(m_rms.begin(), m_rms.end());
    QVERIFY2(20 * std::log10(*hi / *lo) < 4.0, qPrintable(QString::number(20 * std::log10(*hi / *lo))));
}

QTEST_GUILESS_MAIN(TestSamples)
#include "test_samples.moc"
