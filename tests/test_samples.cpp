// The mixer's own rules: MP3 lengths from frame headers, which files are
// taken as samples, the decoder against what the previous one read from the
// committed samples, strings mixed at their volume from after their lead-in
// and held below the limit, a note that waited too long, a lost device
// (recorded through SDL's file output). Then the committed samples, decoded
// as the program decodes them: every file there, of sensible length and
// level, sounding its pitch within 5 cents, with a steel string's stiffness
// and enough partials to sound bright; and per register, the figures of a
// recorded steel-string guitar within stated tolerances.
#include <QtTest>

#include <SDL.h>

#include <cmath>
#include <vector>

#include "decodedsample.h"
#include "samplemixer.h"
#include "samplenames.h"
#include "soundfigures.h"

using namespace chordmoss;

namespace {

constexpr int kRate = SampleMixer::kRate;

/// A figure's bounds: the recorded guitar's value within a share of it, or
/// within so many dB of it.
std::pair<double, double> within(double recorded, double share) { return {recorded * (1 - share), recorded * (1 + share)}; }
std::pair<double, double> plusMinus(double recorded, double db) { return {recorded - db, recorded + db}; }

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

    // The decoder against what the previous decoder read from each committed
    // sample (decoded_samples.txt): the same frames, and the same samples but
    // for at most 8 in a file one step apart (the two round differently).
    void sameAsBefore_data()
    {
        QTest::addColumn<QList<qint64>>("before"); // frames, peak, sum, sum of squares
        QFile table(QFINDTESTDATA("decoded_samples.txt"));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        int rows = 0;
        while (!table.atEnd()) {
            const QList<QByteArray> f = table.readLine().simplified().split(' ');
            if (f.size() == 5 && !f[0].startsWith('#') && ++rows)
                QTest::newRow(f[0].constData()) << QList<qint64>{f[1].toLongLong(), f[2].toLongLong(), f[3].toLongLong(), f[4].toLongLong()};
        }
        QCOMPARE(rows, int(SampleNames.size()));
    }

    void sameAsBefore()
    {
        QFETCH(QList<qint64>, before);
        const auto data = chordmoss::readSample(CHORDMOSS_ASSETS_DIR "/samples/" + std::string(QTest::currentDataTag()));
        const auto pcm = data ? decodeMp3(*data) : std::nullopt;
        QVERIFY(pcm);
        qint64 peak = 0, sum = 0, squares = 0;
        for (const std::int16_t s : *pcm)
            peak = std::max<qint64>(peak, std::abs(s)), sum += s, squares += qint64(s) * s;
        QCOMPARE(qint64(pcm->size()), before[0]);
        QVERIFY(std::abs(peak - before[1]) <= 1);
        QVERIFY2(std::abs(sum - before[2]) <= 8, qPrintable(QString::number(sum - before[2])));
        QVERIFY2(std::abs(squares - before[3]) <= 8 * 65535, qPrintable(QString::number(squares - before[3])));
    }

    void preload() // decoding needs no device
    {
        const std::string e6 = CHORDMOSS_ASSETS_DIR "/samples/E6.mp3";
        SampleMixer::instance().preload({e6});
        SampleMixer::instance().waitForPreload();
        QVERIFY(SampleMixer::instance().isCached(e6));
        QVERIFY(!SampleMixer::instance().deviceOpen());
        // A file not preloaded is decoded when asked for.
        const QString copy = m_dir.filePath(QStringLiteral("copy.mp3"));
        QVERIFY(QFile::copy(QString::fromStdString(e6), copy));
        QVERIFY(SampleMixer::instance().decoded(copy.toStdString()));
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
        const DecodedSample* decoded = SampleMixer::instance().decoded(path);
        QVERIFY2(decoded, path.c_str());
        const int frames = int(decoded->frames());
        std::vector<float> played(frames); // as the mixer keeps and plays it
        decoded->addTo(played.data(), 0, decoded->frames(), 1.0f / 32768);
        std::vector<double> mono(played.begin(), played.end());
        // Kept in less memory than its decode, the note still sounds as
        // decoded: what the thinning loses lies far below the note.
        const auto data = chordmoss::readSample(path);
        const auto pcm = data ? decodeMp3(*data) : std::nullopt;
        QVERIFY(pcm && pcm->size() >= decoded->lead + decoded->frames());
        double lost = 0, kept = 0;
        for (int i = 0; i < frames; ++i) {
            const double x = (*pcm)[decoded->lead + i] / 32768.0;
            lost += (mono[i] - x) * (mono[i] - x), kept += x * x;
        }
        qInfo("lost %.1f dB", 10 * std::log10(lost / kept));
        QVERIFY2(10 * std::log10(lost / kept) < -50, qPrintable(QString::number(10 * std::log10(lost / kept))));
        double peakLevel = 0, rms = 0;
        for (int i = 0; i < frames; ++i) {
            peakLevel = std::max(peakLevel, std::abs(mono[i]));
            rms += i < kRate / 2 ? mono[i] * mono[i] : 0;
        }
        m_rms.push_back(std::sqrt(rms / (kRate / 2)));
        const double seconds = double(frames) / kRate;
        QVERIFY2(seconds >= 3.4 && seconds <= 5.1, qPrintable(QString::number(seconds)));
        QVERIFY2(peakLevel > 0.2 && peakLevel < 0.95, qPrintable(QString::number(peakLevel)));
        QVERIFY(std::abs(mono.back()) < 0.01); // silent at the end: no click on stop

        const double expected = soundfigures::pitchHz(pitch);
        const soundfigures::Partials partials = soundfigures::partials(mono, expected);
        const double cents = 1200 * std::log2(partials.f1 / expected);
        QVERIFY2(std::abs(cents) <= 5, qPrintable(QStringLiteral("%1 Hz, %2 cents").arg(partials.f1).arg(cents)));
        m_stiffness.push_back(partials.stiffness);
        QVERIFY2(partials.count >= 12, qPrintable(QString::number(partials.count)));
        QVERIFY2(partials.stiffness > 5e-6 && partials.stiffness < 2e-4, qPrintable(QString::number(partials.stiffness)));
        m_figures.push_back(soundfigures::measure(mono, expected));
    }

    void levelToTheLastFrame()
    {
        // A level signal kept as the mixer keeps it plays back level to its
        // end: the filter before the thinning reads no frame past the decode.
        // Without a half-rate part, none is kept. The lead-in ends at the
        // first frame at the level heard.
        QCOMPARE(leadIn({0, 7, -7, -8, 100}), 3u);
        for (const double halfUntil : {1.5, 0.5}) {
            const DecodedSample kept = compactSample(std::vector<std::int16_t>(300, 1000), 0, 100, 0.5, halfUntil);
            std::vector<float> played(kept.frames());
            kept.addTo(played.data(), 0, kept.frames(), 1.0f);
            QVERIFY(kept.frames() >= 290 && !kept.quarter.empty() && kept.half.empty() == (halfUntil == 0.5));
            for (const float v : played)
                QVERIFY2(std::abs(v - 1000) < 0.01f, qPrintable(QString::number(v)));
        }
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

    // Medians over each register (E2-C#3, D3-D#4, E4-F#5) against a
    // recorded steel-string guitar: times within 30%, centroids within 25%,
    // levels within a few dB.
    void recordedGuitar_data()
    {
        QTest::addColumn<int>("figure"); // index into soundfigures::values()
        QTest::addColumn<int>("reg");    // 0 to 2, or 3 for the low E to G
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        const struct {
            int figure;
            double recorded[3];
            std::pair<double, double> (*bounds)(double, double);
            double tolerance;
        } rows[] = {
            {0, {11.5, 10.1, 3.3}, within, 0.3},      // the fundamental's fall of 60 dB, s
            {1, {1.4, 1.7, 0.66}, within, 0.3},       // its first 20 dB, s
            {2, {1700, 2900, 3300}, within, 0.25},    // centroid 50 ms in, Hz
            {3, {800, 1400, 2100}, within, 0.25},     // 300 ms in
            {4, {580, 760, 1140}, within, 0.25},      // 1 s in
            {5, {0.7, 3.0, 12.7}, within, 0.3},       // energy above 2 kHz, %
            {6, {10, 10, 10}, plusMinus, 3},           // the pick: % above 4 kHz in the first 10 ms (9-11)
            {7, {17, 15, 6}, within, 0.3},            // attack, 10% to 90%, ms
            {8, {NAN, NAN, -32}, plusMinus, 4},        // the body: 70-300 Hz under the high notes, dB
            {9, {NAN, NAN, -36}, plusMinus, 24},       // ... dying within about 0.3 s: down 12 dB or more
            {10, {-5, NAN, NAN}, plusMinus, 4},        // the fundamental re the strongest partial, dB
            {11, {13.5, 13.5, 13.5}, plusMinus, 1.5},  // crest factor, dB (12-15)
            {12, {0, 0, 0}, plusMinus, 1},             // lead-in, ms
        };
        for (const auto& row : rows)
            for (int r = 0; r < 3; ++r)
                if (!std::isnan(row.recorded[r])) {
                    const auto [lo, hi] = row.bounds(row.recorded[r], row.tolerance);
                    QTest::addRow("%s, register %d", soundfigures::names()[row.figure].c_str(), r) << row.figure << r << lo << hi;
                }
        QTest::newRow("fundamental of E2-G2 (dB)") << 10 << 3 << -25.0 << -15.0;
    }

    void recordedGuitar()
    {
        QFETCH(int, figure);
        QFETCH(int, reg);
        QFETCH(double, low);
        QFETCH(double, high);
        QCOMPARE(int(m_figures.size()), int(SampleNames.size()));
        const double value = reg == 3 ? soundfigures::lowestFundamental(m_figures)
                                      : soundfigures::values(soundfigures::registerMedians(m_figures)[reg])[figure];
        qInfo("%.3g (%.3g to %.3g)", value, low, high);
        QVERIFY(value >= low && value <= high);
    }

    void mixesAndLimits_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("peak"); // the peak as played
        QTest::newRow("full volume: the peak limited") << 100 << -29163; // -1 dBFS
        QTest::newRow("volume 40: under the limit") << 40 << -12800;
    }

    void mixesAndLimits()
    {
        QFETCH(int, volume);
        QFETCH(int, peak);
        // A lead-in at 7, a tenth of a second at 1000, a peak, then half a
        // second at 1000 again, over which the limiter lets go.
        DecodedSample note;
        note.lead = 100;
        note.pcm.assign(note.lead, 7);
        note.pcm.resize(note.lead + 4410, 1000);
        note.pcm.push_back(-32000);
        note.pcm.resize(note.pcm.size() + 22050, 1000);
        const std::string path = m_dir.filePath(QStringLiteral("note")).toStdString();
        SampleMixer& mixer = SampleMixer::instance();
        mixer.put(path, note);
        QTRY_VERIFY_WITH_TIMEOUT(!mixer.deviceOpen(), 8000); // the output file starts afresh at the next open
        mixer.start(0, path, volume);
        QVERIFY(mixer.playing(0));
        QTRY_VERIFY(!mixer.playing(0));
        QFile out(m_dir.filePath(QStringLiteral("out.raw")));
        QTRY_VERIFY(out.size() >= qint64(4 * note.pcm.size()));
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray raw = out.readAll();
        const auto* pcm = reinterpret_cast<const qint16*>(raw.constData());
        QList<qint16> played; // both channels alike, silence left out
        for (qsizetype i = 0; i + 1 < raw.size() / 2; i += 2) {
            QCOMPARE(pcm[i], pcm[i + 1]);
            if (pcm[i])
                played << pcm[i];
        }
        const qint16 level = qint16(std::lrint(1000 * volume / 100.0));
        QCOMPARE(played.size(), qsizetype(note.frames())); // none of the lead-in
        QCOMPARE(played.mid(0, 4410), QList<qint16>(4410, level));
        QCOMPARE(played[4410], qint16(peak));
        QVERIFY(volume == 100 ? played[4411] < level : played[4411] == level); // held down after the peak
        QCOMPARE(played.back(), level);                                        // and recovered
    }

    void staleNoteDropped_data()
    {
        QTest::addColumn<int>("waited"); // ms before the start reached the mixer
        QTest::addColumn<bool>("heard");
        QTest::newRow("100 ms") << 100 << true;
        QTest::newRow("300 ms") << 300 << false;
    }

    void staleNoteDropped()
    {
        QFETCH(int, waited);
        QFETCH(bool, heard);
        SampleMixer& mixer = SampleMixer::instance();
        QTRY_VERIFY_WITH_TIMEOUT(!mixer.deviceOpen(), 8000); // so the note waits for the device
        // Closed for silence, not lost: SDL's audio stays up for the next note.
        QVERIFY(mixer.opens() == 0 || SDL_WasInit(SDL_INIT_AUDIO));
        const std::string e6 = CHORDMOSS_ASSETS_DIR "/samples/E6.mp3";
        mixer.start(1, e6, 0, std::chrono::steady_clock::now() - std::chrono::milliseconds(waited));
        QTRY_VERIFY(mixer.deviceOpen());
        mixer.waitForPreload();
        QCOMPARE(mixer.playing(1), heard);
        mixer.halt(1);
    }

    void lostDeviceReopens()
    {
        SampleMixer& mixer = SampleMixer::instance();
        const std::string e6 = CHORDMOSS_ASSETS_DIR "/samples/E6.mp3";
        mixer.start(2, e6, 0);
        QTRY_VERIFY(mixer.deviceOpen() && mixer.playing(2));
        const int opens = mixer.opens();
        SDL_Event removed{};
        removed.adevice.type = SDL_AUDIODEVICEREMOVED;
        QVERIFY(SDL_PushEvent(&removed) == 1);
        QTRY_VERIFY(!mixer.deviceOpen() && !mixer.playing(2)); // closed, and its note lost
        mixer.start(2, e6, 0);
        QTRY_VERIFY(mixer.deviceOpen() && mixer.playing(2)); // the next note opens it again
        QCOMPARE(mixer.opens(), opens + 1);
        mixer.halt(2);
    }

private:
    QTemporaryDir m_dir;
    std::vector<double> m_rms, m_stiffness;
    std::vector<soundfigures::Figures> m_figures;
};

QTEST_GUILESS_MAIN(TestSamples)
#include "test_samples.moc"
