// The mixer's own rules: MP3 lengths from frame headers, which files are
// taken as samples, strings mixed into the right output channels and held
// below the limit (recorded through SDL's file output). Then the committed samples, decoded as the
// program decodes them: every file there, of sensible length and level,
// sounding its pitch within 5 cents, with a steel string's stiffness and
// enough partials to sound bright.
#include <QtTest>

#include <SDL.h>
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

/// n MPEG audio frames of `bytes` each: the sync byte, header bytes b1 and b2, zeros.
QByteArray frames(int b1, int b2, int bytes, int n = 3)
{
    QByteArray f(bytes, '\0');
    f[0] = char(0xff), f[1] = char(b1), f[2] = char(b2);
    return f.repeated(n);
}

/// A leading tag of `size` bytes after its 10-byte header (sizes are 7 bits a byte).
QByteArray tag(const char* mark = "ID3", int size = 300)
{
    const char head[] = {3, 0, 0, char(size >> 21 & 127), char(size >> 14 & 127), char(size >> 7 & 127), char(size & 127)};
    return QByteArray(mark, 3) + QByteArray(head, 7) + QByteArray(size, 'x');
}

QString write(const QTemporaryDir& dir, const QByteArray& bytes)
{
    static int n = 0;
    QFile f(dir.filePath(QString::number(++n)));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

} // namespace

class TestSamples : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Registered before the mixer exists, so this runs after it is gone.
        std::atexit([] {
            if (SDL_WasInit(SDL_INIT_AUDIO))
                fputs("FAIL: the mixer left SDL's audio up\n", stderr), _exit(1);
        });
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath(QStringLiteral("out.raw"))));
    }

    void mp3Seconds_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<double>("seconds");
        const QByteArray mpeg1 = frames(0xfb, 0x90, 417, 2) + frames(0xfb, 0x92, 418, 1); // 128 kbit/s, one padded
        const double three = 3 * 1152 / 44100.0;
        QTest::newRow("MPEG-1 44.1 kHz") << mpeg1 << three;
        QTest::newRow("MPEG-2 22.05 kHz") << frames(0xf3, 0x80, 208) << 3 * 576 / 22050.0;
        QTest::newRow("MPEG-2.5 11.025 kHz") << frames(0xe3, 0x80, 417) << 3 * 576 / 11025.0;
        QTest::newRow("after a tag") << tag() + mpeg1 << three;
        QTest::newRow("not a tag") << tag("xD3") + mpeg1 << 0.0;
        QTest::newRow("no frames") << QByteArray(5000, 'x') << 0.0;
        // Half a sync word, layer II, a reserved version, a reserved rate, a free and a bad bit rate end the frames.
        for (const int bad : {0x7b90, 0xfd90, 0xeb90, 0xfb9c, 0xfb00, 0xfbf0})
            QTest::addRow("then %x", bad) << mpeg1 + frames(bad >> 8, bad & 0xff, 417) + mpeg1 << three;
    }

    void mp3Seconds()
    {
        QFETCH(QByteArray, data);
        QFETCH(double, seconds);
        QCOMPARE(chordmoss::mp3Seconds(std::vector<unsigned char>(data.begin(), data.end())), seconds);
    }

    void readSample_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("taken");
        const QByteArray mp3 = frames(0xfb, 0x90, 417); // larger than 1 MiB only by its tag
        const int tagSize = int(SampleMixer::kMaxFileBytes) - 10 - mp3.size();
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("other data of 1 MiB") << QByteArray(1 << 20, 'x') << true;
        QTest::newRow("other data over 1 MiB") << QByteArray((1 << 20) + 1, 'x') << false;
        QTest::newRow("MP3 of the largest size") << tag("ID3", tagSize) + mp3 << true;
        QTest::newRow("MP3 over the largest size") << tag("ID3", tagSize + 1) + mp3 << false;
        QTest::newRow("MP3 of 19.98 s") << frames(0xfb, 0x90, 417, 765) << true;
        QTest::newRow("MP3 of 20.01 s") << frames(0xfb, 0x90, 417, 766) << false;
    }

    void readSample()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, taken);
        const auto read = chordmoss::readSample(write(m_dir, data).toStdString());
        QCOMPARE(read.has_value(), taken);
        QVERIFY(!read || read->size() == size_t(data.size()));
    }

    void preload() // the first use of the mixer: preloading opens the device itself
    {
        const std::string e6 = CHORDMOSS_ASSETS_DIR "/samples/E6.mp3";
        SampleMixer::instance().preload({e6});
        SampleMixer::instance().waitForPreload();
        QVERIFY(SampleMixer::instance().isCached(e6));
        // A file not preloaded is decoded when asked for, and handed back at
        // once, not held till the device closes: a sounding note keeps it open.
        SampleMixer::instance().start(0, e6, 0);
        const QString copy = m_dir.filePath(QStringLiteral("copy.mp3"));
        QVERIFY(QFile::copy(QString::fromStdString(e6), copy));
        QVERIFY(SampleMixer::instance().decoded(copy.toStdString()));
        QVERIFY(SampleMixer::instance().deviceOpen());
        SampleMixer::instance().halt(0);
    }

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

    void mixesAndLimits()
    {
        // A stereo note whose right is minus twice its left, which alternates.
        QByteArray wav("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\xec\x44\0\0", 44);
        QDataStream pcm(&wav, QIODevice::Append);
        pcm.setByteOrder(QDataStream::LittleEndian);
        const int frames = 4410;
        for (int i = 0; i < frames; ++i)
            pcm << qint16(i % 2 ? 1500 : 1000) << qint16(i % 2 ? -3000 : -2000);
        pcm << qint16(0) << qint16(-32000); // and a peak on the right alone, which the limiter takes down
        const std::string path = write(m_dir, wav).toStdString();
        SampleMixer& mixer = SampleMixer::instance();
        QTRY_VERIFY(!mixer.deviceOpen()); // left open by preload()'s note, closed after a silence
        mixer.start(0, path, 100);
        mixer.start(-1, path, 100); // no such channels: nothing happens
        mixer.start(SampleMixer::kChannels, path, 100);
        QVERIFY(!mixer.playing(-1) && !mixer.playing(SampleMixer::kChannels));
        QVERIFY(mixer.playing(0));
        QTRY_VERIFY(!mixer.playing(0));
        // The output so far: the note's frames, and any other sound.
        const auto played = [this] {
            QFile out(m_dir.filePath(QStringLiteral("out.raw")));
            out.open(QIODevice::ReadOnly);
            const QByteArray raw = out.readAll();
            const auto* pcm = reinterpret_cast<const qint16*>(raw.constData());
            std::pair<int, int> n{0, 0};
            for (qsizetype i = 0; i + 1 < raw.size() / 2; i += 2) {
                const bool note = (pcm[i] == 1000 || pcm[i] == 1500) && pcm[i + 1] == -2 * pcm[i];
                const bool peak = pcm[i] == 0 && qAbs(pcm[i + 1] + 29163) <= 1; // held at -1 dBFS
                if (pcm[i] || pcm[i + 1])
                    ++(note || peak ? n.first : n.second);
            }
            return n;
        };
        QTRY_COMPARE(played(), std::make_pair(frames + 1, 0));
    }

private:
    QTemporaryDir m_dir;
    std::vector<double> m_rms, m_stiffness;
};

QTEST_GUILESS_MAIN(TestSamples)
#include "test_samples.moc"
