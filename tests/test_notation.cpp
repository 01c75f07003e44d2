// The notation core: chord symbols read onto the 63 types, refusals naming
// the nearest types by notes, and notes spelled by their interval.
#include <QTest>

using namespace Qt::StringLiterals;

#include "chordformulas.h"
#include "chordsymbol.h"
#include "notespelling.h"
#include "trimblanks.h"

using namespace chordmoss;

namespace {

/// The type's window name without its trailing blank.
QString typeName(int type) { return QString::fromLatin1(TrimBlanks(ChordFormulas[type].key)); }

/// The chord's notes spelled, from the root up.
QString spelled(const ChordSymbol& c)
{
    QStringList notes;
    for (int s = 0; s < 12; ++s) {
        if (TypeNotes(c.type) >> s & 1)
            notes << QString::fromStdString(SpellNote(c, s));
    }
    return notes.join(u' ');
}

} // namespace

class TestNotation : public QObject {
    Q_OBJECT
private slots:
    void symbols_data()
    {
        // The symbol; then its root, type and bass, or the start of the refusal.
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("expected");
        QTest::newRow("major: maj, ma, M, nothing") << "Cmaj Cma CM C Cmajor" << "C Maj";
        QTest::newRow("Δ is the major seventh") << "CΔ CΔ7 Cmaj7 CM7 C△" << "C Maj7";
        QTest::newRow("minor: m, min, -") << "Cm Cmin C- Cminor" << "C Min";
        QTest::newRow("7") << "C7 Cdom7 C7th" << "C 7th";
        QTest::newRow("m7") << "Cm7 Cmin7 C-7 CMIN7" << "C Min7";
        QTest::newRow("m7b5, ø") << "Cm7b5 Cø Cø7 Cm7(b5) Cmi7-5" << "C Min7b5";
        QTest::newRow("dim, °") << "Cdim C° Co" << "C Dim";
        QTest::newRow("dim7, °7") << "Cdim7 C°7 Co7" << "C Dim7";
        QTest::newRow("aug, +") << "Caug C+ C+5" << "C Aug5";
        QTest::newRow("sus is the window's Sus") << "Csus" << "C Sus";
        QTest::newRow("sus4, sus2") << "Csus4" << "C Sus4";
        QTest::newRow("sus2") << "Csus2" << "C Sus2";
        QTest::newRow("7sus4") << "C7sus4 C7sus" << "C 7Sus";
        QTest::newRow("add9") << "Cadd9 Cadd2" << "C Add9";
        QTest::newRow("6") << "C6 Cadd6" << "C 6th";
        QTest::newRow("m6") << "Cm6 C-6" << "C Min6";
        QTest::newRow("6/9") << "C6/9 C69" << "C 6/9";
        QTest::newRow("9") << "C9 Cdom9" << "C 9th";
        QTest::newRow("m9") << "Cm9 C-9" << "C Min9";
        QTest::newRow("maj9") << "Cmaj9 CΔ9" << "C Maj9";
        QTest::newRow("11: the window's, rootless") << "C11" << "C 11";
        QTest::newRow("13: the window's, rootless") << "C13" << "C 13th";
        QTest::newRow("7b9, 7#9") << "C7b9 C7(b9)" << "C 7b9";
        QTest::newRow("7#9") << "C7#9 C7+9" << "C 7#9";
        QTest::newRow("7#5") << "C7#5 C7+5 Caug7 C+7" << "C 7#5";
        QTest::newRow("window names, any case, brackets optional") << "C7(b5,b9) c7b5b9 C7B5B9" << "C 7(b5,b9)";
        QTest::newRow("minor with a major seventh, no 7 written") << "C-Δ CmM CmMaj" << "C MMaj7";
        QTest::newRow("notes of an earlier type: the first") << "Cm(maj7) CmM7 C-Δ7" << "C MMaj7";
        QTest::newRow("built from its parts") << "Cm7(#5) Cmin7+5" << "C Min7#5";
        QTest::newRow("slash") << "C/E" << "C Maj /E";
        QTest::newRow("slash over a symbol") << "Am7/G" << "A Min7 /G";
        QTest::newRow("sharps") << "F#m7b5 F♯m7♭5" << "F# Min7b5";
        QTest::newRow("flats") << "Bbmaj7/D" << "Bb Maj7 /D";
        QTest::newRow("lower case root") << "ebm" << "Eb Min";
        QTest::newRow("6/9 is no slash") << "Cm6/9" << "C Min6/9";
        QTest::newRow("nearest by notes") << "Cm7b9" << "'Cm7b9' is none of the 63 chord types; nearest by notes: Cm7 (C Eb G Bb)";
        QTest::newRow("maj9#11") << "Cmaj9#11 CΔ9#11" << "nearest by notes: Cmaj9 (C D E G B)";
        QTest::newRow("dim7 with more") << "Co7add11" << "nearest by notes: Cdim7 (C Eb Gb A)";
        QTest::newRow("no symbol") << "Cmja7" << "closest: Cmaj7";
        QTest::newRow("no root") << "H7" << "'H7' does not start with a root";
    }

    void symbols()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, expected);
        for (const QString& s : symbol.split(u' ')) {
            ChordSymbol c;
            std::string error;
            const bool read = ParseChordSymbol(s.toStdString(), c, error);
            const QString got = read ? QString::fromStdString(c.rootName) + u' ' + typeName(c.type)
                                           + (c.bass < 0 ? QString() : " /"_L1 + QString::fromStdString(c.bassName))
                                     : QString::fromStdString(error);
            QVERIFY2(read ? got == expected : got.contains(expected), qPrintable(s + ": "_L1 + got));
        }
    }

    void everySpellingAndChord()
    {
        // Every spelling selects its type, in either form; every one of the 756 chords,
        // written as a symbol, reads back as its root and notes, each note spelled at its pitch.
        ChordSymbol c;
        std::string error;
        for (int t = 0; t < 63; ++t) {
            for (const std::string& s : TypeSymbols(t)) {
                QVERIFY2(ParseChordSymbol("G" + s, c, error) && c.type == t && c.root == 10, qPrintable(typeName(t)));
                QVERIFY(ParseChordWords("G", s + ' ', c, error) && c.type == t);
            }
            QVERIFY(ParseChordWords("g", typeName(t).toUpper().toStdString(), c, error) && c.type == t);
            QCOMPARE(TypeNotes(SpokenType(t)), TypeNotes(t));
            for (int r = 0; r < 12; ++r) {
                const ChordSymbol written = SpelledChord(r, t);
                QVERIFY(ParseChordSymbol(SymbolText(written), c, error) && c.root == r && TypeNotes(c.type) == TypeNotes(t));
                for (int s = 0; s < 12; ++s)
                    QCOMPARE(ParseNoteName(SpellNote(written, s)), (r + s) % 12);
            }
        }
    }

    void spelling_data()
    {
        QTest::addColumn<QString>("chord");
        QTest::addColumn<QString>("notes");
        QTest::newRow("E") << "E" << "E G# B";
        QTest::newRow("B") << "B" << "B D# F#";
        QTest::newRow("F#m7") << "F#m7" << "F# A C# E";
        QTest::newRow("Bb7") << "Bb7" << "Bb D F Ab";
        QTest::newRow("Db Maj7") << "Dbmaj7" << "Db F Ab C";
        QTest::newRow("C#m") << "C#m" << "C# E G#";
        QTest::newRow("Ab7") << "Ab7" << "Ab C Eb Gb";
        QTest::newRow("G#dim") << "G#dim" << "G# B D";
        QTest::newRow("C°7: A, the nearest plain name for Bbb") << "C°7" << "C Eb Gb A";
        QTest::newRow("the #9 of E, F##, as G") << "E7#9" << "E G G# D";
        QTest::newRow("a #5") << "Eaug" << "E G# B#";
    }

    void spelling()
    {
        QFETCH(QString, chord);
        QFETCH(QString, notes);
        ChordSymbol c;
        std::string error;
        QVERIFY(ParseChordSymbol(chord.toStdString(), c, error));
        QCOMPARE(spelled(c), notes);
    }

    void rootsFromPitches_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("roots"); // the twelve pitches from A
        QTest::newRow("major: Db Eb F# Ab Bb") << 0 << "A Bb B C Db D Eb E F F# G Ab";
        QTest::newRow("minor: C#m D#m F#m G#m Bbm") << 1 << "A Bb B C C# D D# E F F# G G#";
        QTest::newRow("diminished: leading notes") << 24 << "A A# B C C# D D# E F F# G G#";
    }

    void rootsFromPitches()
    {
        QFETCH(int, type);
        QFETCH(QString, roots);
        QStringList got;
        for (int r = 0; r < 12; ++r)
            got << QString::fromStdString(SpellRoot(r, type));
        QCOMPARE(got.join(u' '), roots);
        QCOMPARE(QString::fromStdString(SymbolText(SpelledChord(5, 0, 9))), QStringLiteral("D/F#"));
    }

    void intervals()
    {
        QStringList got;
        for (int t : {9, 19, 25, 39, 53})
            for (int s = 0; s < 12; ++s)
                if (TypeNotes(t) >> s & 1)
                    got << QString::fromStdString(IntervalName(t, s));
        QCOMPARE(got.join(u' '), QStringLiteral("1 b3 b5 b7 1 9 3 #11 b7 1 b3 b5 bb7 1 #9 3 b7 9 3 13 b7"));
    }
};

QTEST_GUILESS_MAIN(TestNotation)
#include "test_notation.moc"
