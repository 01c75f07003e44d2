// The voicing finder: the shapes every guitarist knows come first, and every
// voicing of all 756 chords keeps the rules of notes, span and fingers.
#include <QtTest>

#include <algorithm>
#include <set>

#include "chordformulas.h"
#include "voicingfinder.h"

using namespace chordmoss;

namespace {

Frets shape(const QString& text) // "x32010" or "x-10-12-12-11-10"
{
    const QStringList parts = text.contains(u'-') ? text.split(u'-') : text.split(QString(), Qt::SkipEmptyParts);
    Frets f{};
    for (int s = 0; s < 6; ++s)
        f[s] = parts[s] == u"x" ? -1 : parts[s].toInt();
    return f;
}

QString fingers(const ChordVoicing& v)
{
    QString out;
    for (int s = 0; s < 6; ++s)
        out += v.frets[s] < 0 ? QChar(u'x') : QChar(u'0' + v.hand.fingers[s]);
    return out;
}

int typeIndex(std::string_view key)
{
    for (std::size_t i = 0; i < ChordFormulas.size(); ++i) {
        if (ChordFormulas[i].key == key)
            return int(i);
    }
    return -1;
}

} // namespace

class TestFingering : public QObject {
    Q_OBJECT
private slots:
    void standardShapesFirst_data()
    {
        // Root (semitones above A), type, the shape and its fingers, and the
        // region it must lead: "open" the voicings at or below fret 3, "all"
        // the first three of the whole list, "3" the shapes with no open
        // string whose lowest fret is 3.
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("frets");
        QTest::addColumn<QString>("fingers");
        QTest::addColumn<QString>("region");
        QTest::newRow("C") << 3 << "Maj " << "x32010" << "x32010" << "open";
        QTest::newRow("D") << 5 << "Maj " << "xx0232" << "xx0132" << "open";
        QTest::newRow("A") << 0 << "Maj " << "x02220" << "x01230" << "open";
        QTest::newRow("Am") << 0 << "Min " << "x02210" << "x02310" << "open";
        QTest::newRow("Dm") << 5 << "Min " << "xx0231" << "xx0231" << "open";
        QTest::newRow("G, the hand at fret 2") << 10 << "Maj " << "320003" << "210003" << "open";
        QTest::newRow("E") << 7 << "Maj " << "022100" << "023100" << "open";
        QTest::newRow("Em") << 7 << "Min " << "022000" << "023000" << "open";
        // The index barres all six strings; the little finger takes the D string.
        QTest::newRow("F barre") << 8 << "Maj " << "133211" << "134211" << "all";
        // The index barres five strings, the ring finger lies across three.
        QTest::newRow("C at 3") << 3 << "Maj " << "x35553" << "x13331" << "3";
    }

    void standardShapesFirst()
    {
        QFETCH(int, root);
        QFETCH(QString, type);
        QFETCH(QString, frets);
        QFETCH(QString, fingers);
        QFETCH(QString, region);
        const std::vector<ChordVoicing> all = FindVoicings({root, typeIndex(type.toStdString())});
        std::vector<const ChordVoicing*> ranked;
        for (const ChordVoicing& v : all) {
            const int highest = *std::max_element(v.frets.begin(), v.frets.end());
            const bool open = std::count(v.frets.begin(), v.frets.end(), 0) > 0;
            if (region == u"all" || (region == u"open" && highest <= 3)
                || (region == u"3" && v.lowestFret == 3 && !open))
                ranked.push_back(&v);
        }
        const auto at = std::find_if(ranked.begin(), ranked.end(), [&](const ChordVoicing* v) { return v->frets == shape(frets); });
        QVERIFY2(at != ranked.end(), "not found");
        QVERIFY2(at - ranked.begin() < (region == u"all" ? 3 : 1), qPrintable(QString::number(at - ranked.begin() + 1)));
        QCOMPARE(::fingers(**at), fingers);
    }

    void barres()
    {
        const auto find = [](int root, const char* frets) {
            for (const ChordVoicing& v : FindVoicings({root, 0}))
                if (v.frets == shape(QLatin1String(frets)))
                    return v.hand;
            return HandShape{};
        };
        const HandShape f = find(8, "133211");
        QCOMPARE(f.barreCount, 1);
        QCOMPARE(std::tuple(f.barres[0].fret, f.barres[0].lowString, f.barres[0].highString, f.barres[0].finger),
                 std::tuple(1, 1, 6, 1));
        const HandShape c = find(3, "x35553");
        QCOMPARE(c.barreCount, 2);
        QCOMPARE(std::tuple(c.barres[1].fret, c.barres[1].lowString, c.barres[1].highString, c.barres[1].finger),
                 std::tuple(5, 3, 5, 3));
        // Five fingers' work: the index can barre strings 6 to 2, no more.
        QVERIFY(!FingerShape(shape(u"123412"_qs)));
    }

    // Every voicing of every chord: only the chord's notes, all the required
    // ones, frets 0 to 15 within four frets, four fingers that rise with the
    // frets, barres over strings that sound at or above them, ranked by the
    // documented score.
    void everyChordKeepsTheRules()
    {
        long total = 0, innerMuted = 0;
        for (int root = 0; root < 12; ++root) {
            for (int type = 0; type < int(ChordFormulas.size()); ++type) {
                const ChordNotes notes = NotesToVoice(root, type);
                const std::vector<ChordVoicing> all = FindVoicings({root, type});
                QVERIFY2(!all.empty(), ChordFormulas[type].key.data());
                total += long(all.size());
                std::set<Frets> seen;
                double previous = -1e9;
                for (const ChordVoicing& v : all) {
                    unsigned sounded = 0;
                    int lowest = 99, highest = 0, playing = 0;
                    std::array<int, 5> fretOfFinger{};
                    for (int s = 1; s <= 6; ++s) {
                        const int f = v.frets[s - 1];
                        QVERIFY(f >= -1 && f <= kHighestVoicingFret);
                        QCOMPARE(v.hand.fingers[s - 1] > 0, f > 0);
                        if (f < 0)
                            continue;
                        ++playing;
                        sounded |= 1u << StringNote(s, f);
                        if (f == 0)
                            continue;
                        lowest = std::min(lowest, f), highest = std::max(highest, f);
                        int& at = fretOfFinger[v.hand.fingers[s - 1]];
                        QVERIFY(at == 0 || at == f); // one finger, one fret
                        at = f;
                    }
                    for (int a = 1; a <= 4; ++a)
                        for (int b = a + 1; b <= 4; ++b)
                            QVERIFY(!fretOfFinger[a] || !fretOfFinger[b] || fretOfFinger[a] <= fretOfFinger[b]);
                    QVERIFY(playing >= notes.minStrings);
                    const auto first = std::find_if(v.frets.begin(), v.frets.end(), [](int f) { return f >= 0; });
                    const auto last = std::find_if(v.frets.rbegin(), v.frets.rend(), [](int f) { return f >= 0; }).base();
                    const long inner = std::count(first, last, -1);
                    QVERIFY(inner <= 1);
                    innerMuted += inner;
                    const HandShape alone = *FingerShape(v.frets); // the same hand, however it was found
                    QVERIFY(v.hand.cost == alone.cost && v.hand.fingers == alone.fingers);
                    QCOMPARE(sounded & ~notes.allowed, 0u);
                    QCOMPARE(sounded & notes.required, notes.required);
                    QVERIFY(highest == 0 || highest - lowest + 1 <= kLongestSpan);
                    for (int b = 0; b < v.hand.barreCount; ++b) {
                        const Barre& barre = v.hand.barres[b];
                        for (int s = barre.lowString; s <= barre.highString; ++s)
                            QVERIFY(v.frets[s - 1] >= barre.fret);
                    }
                    QVERIFY(seen.insert(v.frets).second);
                    QCOMPARE(v.difficulty,
                             Difficulty(v.frets, v.hand, notes, {root, type}) + (v.shortened ? kShortenedVoicing : 0));
                    QVERIFY(v.difficulty >= previous);
                    previous = v.difficulty;
                }
            }
        }
        QVERIFY(innerMuted > 0);
        qInfo("%ld voicings", total);
    }

    void notesToVoice_data()
    {
        // Root C (3 above A): which notes may be left out.
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("leftOut"); // bits of semitones above C
        QTest::newRow("a triad: the fifth") << "Maj " << (1 << 7);
        QTest::newRow("a power chord: nothing") << "(5) " << 0;
        QTest::newRow("Min13: fifth-less, the 9th and 11th") << "Min13 " << ((1 << 2) | (1 << 5));
        QTest::newRow("Maj11, no fifth: the 9th") << "Maj11 " << (1 << 2);
        QTest::newRow("6/9 names its ninth") << "6/9 " << (1 << 7);
        QTest::newRow("rootless 11: the fifth") << "11 " << (1 << 7);
    }

    void notesToVoice()
    {
        QFETCH(QString, type);
        QFETCH(int, leftOut);
        const ChordNotes n = NotesToVoice(3, typeIndex(type.toStdString()));
        int aboveC = 0;
        for (int k = 0; k < 12; ++k)
            aboveC |= ((n.allowed & ~n.required) >> ((3 + k) % 12) & 1u) << k;
        QCOMPARE(aboveC, leftOut);
    }

    void bassAndNear()
    {
        // C/E: every voicing has E (7 above A) lowest, and none is charged for it.
        const std::vector<ChordVoicing> slash = FindVoicings({3, 0, 7});
        QVERIFY(!slash.empty());
        QVERIFY(std::all_of(slash.begin(), slash.end(), [](const ChordVoicing& v) { return v.bass == 7; }));
        QCOMPARE(slash.front().frets, shape(u"032010"_qs));
        // C/A: a bass from outside the chord (A is 0 above A).
        const std::vector<ChordVoicing> foreign = FindVoicings({3, 0, 0});
        QVERIFY(!foreign.empty());
        QVERIFY(std::all_of(foreign.begin(), foreign.end(), [](const ChordVoicing& v) { return v.bass == 0; }));
        // 02210x is 022100 with its open top string left out, and is charged for it.
        const std::vector<ChordVoicing> e = FindVoicings({7, 0});
        QVERIFY(std::find_if(e.begin(), e.end(), [](const ChordVoicing& v) { return v.frets == shape(u"02210x"_qs); })->shortened);
        QVERIFY(FindVoicings({3, -1}).empty() && FindVoicings({3, 63}).empty()); // no such type
    }
};

QTEST_GUILESS_MAIN(TestFingering)
#include "test_fingering.moc"
