// The core the window runs on: the note circle and tables Init fills, the
// chord formula lookup, SetFret, the position reader, RunIt, the display it
// writes and reads back, the hand edits of one string, and the chord search
// walk with the rules for a typed search note.
#include <QtTest>

#include "chordfinder.h"
#include "chordformulas.h"
#include "fretboardstate.h"
#include "leadingnumber.h"
#include "module1.h"
#include "mousebutton.h"
#include "noteentry.h"
#include "runit.h"
#include "searchwalk.h"
#include "setfret.h"
#include "stringedits.h"

using namespace chordmoss;
using namespace Qt::StringLiterals;

namespace {

// A model and display as the window has them after its load handler.
struct Fresh {
    Module1 m;
    FretboardState board;
    explicit Fresh(const ChordChoice& c)
    {
        Init(m, c.root);
        RunIt(m, c, board);
    }
    /// Per string: its fret ("x" muted), or with `captions` its shown caption.
    QString strings(bool captions = false) const
    {
        QStringList out;
        for (int s = 1; s <= 6; ++s) {
            const StringGroup& g = board.string(s);
            out << (captions ? (g.labelVisible ? QString::fromStdString(g.caption) : QString())
                             : (g.dotVisible ? QString::number(DotFret(m, board, s)) : QStringLiteral("x")));
        }
        return out.join(QLatin1String(captions ? "|" : " "));
    }
};

QString notes(const Module1& m)
{
    QString out;
    for (int s = 1; s <= 6; ++s)
        out += QString::fromStdString(m.PositionNotes[s].str());
    return out;
}

/// The table's items `from` to `to`, trimmed, joined by blanks.
template <typename Table>
QString joined(const Table& t, int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::fromStdString(t[i].str()).trimmed();
    return out.join(QLatin1Char(' '));
}

/// Texts separated by "|".
QStringList list(const char* texts) { return QString::fromLatin1(texts).split(QLatin1Char('|')); }

} // namespace

class TestVoicing : public QObject {
    Q_OBJECT
private slots:
    void initTurnsCircle_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("circle");
        QTest::addColumn<QString>("slot0");
        const QString fromA = QStringLiteral("A Bb B C Db D Eb E F Gb G Ab");
        QTest::newRow("C") << "C " << "C Db D Eb E F Gb G Ab A Bb B" << "B";
        QTest::newRow("Ab: eleven turns") << "Ab " << "Ab A Bb B C Db D Eb E F Gb G" << "G";
        QTest::newRow("Bb: one turn") << "Bb " << "Bb B C Db D Eb E F Gb G Ab A" << "A";
        QTest::newRow("A: no turn, slot 0 kept") << "A " << fromA << "B";
        QTest::newRow("A without space") << "A" << fromA << "B";
        QTest::newRow("padded A") << "  A  " << fromA << "B";
        QTest::newRow("blank root: twelve turns") << "  " << fromA << "Ab";
        QTest::newRow("Bb without space") << "Bb" << fromA << "Ab";
        QTest::newRow("lower case") << "c " << fromA << "Ab";
        QTest::newRow("sharp") << "C# " << fromA << "Ab";
    }

    void initTurnsCircle()
    {
        QFETCH(QString, root);
        QFETCH(QString, circle);
        QFETCH(QString, slot0);
        Module1 m;
        Init(m, "C "); // leaves B in the working slot
        Init(m, root.toStdString());
        QCOMPARE(joined(m.NoteNames, 1, 12), circle);
        QCOMPARE(QString::fromStdString(m.NoteNames[0].str()).trimmed(), slot0);
        QVERIFY(m.NoteNames[13].empty());
    }

    void initResetsStringsAndTables()
    {
        Module1 m;
        Init(m, "C ");
        m.PositionNotes[3] = "Ab ";
        Init(m, "Eb ");
        QCOMPARE(joined(m.PositionNotes, 1, 6), QStringLiteral("E A D G B E"));
        // Along each string, fret by fret, the notes from its open note up.
        const QString twice = QStringLiteral("A Bb B C Db D Eb E F Gb G Ab ").repeated(3);
        for (int s = 1; s <= 6; ++s) {
            const QString open = QString(QLatin1Char("EADGBE"[s - 1])) + u' ';
            QCOMPARE(joined(m.stringNotes(s), 0, 14) + u' ', twice.mid(twice.indexOf(open)).section(u' ', 0, 14) + u' ');
        }
        QCOMPARE(&m.stringNotes(6), &m.ENotes);
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QList<int>>("degrees");
        QTest::newRow("Maj") << "Maj " << QList<int>{1, 5, 8};
        QTest::newRow("Min7\\b3 without space") << "Min7\\b3" << QList<int>{1, 4, 8, 11};
        QTest::newRow("Min7\\b3 with space") << "Min7\\b3 " << QList<int>{};
        QTest::newRow("lower-case maj") << "maj " << QList<int>{};
        QTest::newRow("untrimmed") << " Maj " << QList<int>{};
        QTest::newRow("11 has no root") << "11 " << QList<int>{3, 6, 8, 11};
        QTest::newRow("13th has no root") << "13th " << QList<int>{3, 5, 10, 11};
        QTest::newRow("Maj9+11 minor seventh") << "Maj9+11 " << QList<int>{1, 3, 5, 7, 11};
        QTest::newRow("Maj13+11 fourth and sharp eleventh") << "Maj13+11 " << QList<int>{1, 6, 7, 10, 12};
        QTest::newRow("6Add9 sharp fifth") << "6Add9 " << QList<int>{1, 3, 5, 8, 9};
        QTest::newRow("(5)") << "(5) " << QList<int>{1, 8};
        QTest::newRow("last type") << "Min7-5 " << QList<int>{1, 4, 7, 11};
    }

    void lookup()
    {
        QFETCH(QString, type);
        QFETCH(QList<int>, degrees);
        Module1 m;
        LookupChordDegrees(m, "Min13 "); // leftovers of a larger set must go
        LookupChordDegrees(m, type.toStdString());
        for (int k = 1; k <= 12; ++k)
            QCOMPARE(int(m.ChordDegrees[k]), degrees.contains(k) ? -1 : 0);
    }

    void walk_data()
    {
        // Presses: S is "Search" (from the start), N is "Next" (from the cursor).
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QList<int>>("cursor");
        QTest::newRow("one note") << list("C ") << "SNNNNN"
                                  << list("A Min |A Min6 |A Min\\6 |A Min6/9 |A Min6(9) |A Min7 ")
                                  << QList<int>{0, 6, 1};
        QTest::newRow("Next before any Search") << list("C ") << "N" << list("A Min ") << QList<int>{0, 1, 1};
        QTest::newRow("Search starts again") << list("C ") << "SNNS" << list("A Min |A Min6 |A Min\\6 |A Min ")
                                             << QList<int>{0, 1, 1};
        QTest::newRow("three notes, every chord that holds them")
            << list("C |E |G ") << "SNNNNNN"
            << list("A Min7 |A Min7\\b3|A Min7\\b7 |A Min9 |A Min11 |Bb 13#11 |C Maj ") << QList<int>{3, 0, 3};
        QTest::newRow("gaps between boxes") << list("D |||Gb ") << "SNN" << list("A Min13 |A Maj13+11 |Bb Maj7+5 ")
                                            << QList<int>{1, 16, 4};
        QTest::newRow("adjacent boxes") << list("D |Gb ") << "SNN" << list("A Min13 |A Maj13+11 |Bb Maj7+5 ")
                                        << QList<int>{1, 16, 2};
        QTest::newRow("five notes") << list("C |E |G |Bb |D ") << "SN" << list("C 9th |Not Found")
                                    << QList<int>{3, 0, 0};
        QTest::newRow("Next after Not Found keeps the root")
            << list("C |Eb |Gb |A ") << "SNNNNNNNNN"
            << list("A Dim7 |B 7b9 |C Dim7 |D 7b9 |Eb Dim7 |F 7b9 |Gb Dim7 |Ab 7b9 |Not Found|Ab 7b9 ")
            << QList<int>{11, 38, 4};
        QTest::newRow("same note twice") << list("C |C ") << "S" << list("Not Found") << QList<int>{0, 0, 0};
        QTest::newRow("no note of the system") << list("Cb ") << "S" << list("Not Found") << QList<int>{0, 0, 0};
    }

    void walk()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, presses);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, cursor);
        SearchBoxes entries;
        for (int i = 0; i < boxes.size(); ++i)
            entries[i] = boxes[i].toStdString();
        CoreSearchHost host;
        SearchCursorTable table{};
        QStringList seen;
        for (QChar p : presses) {
            if (p == QLatin1Char('S'))
                table = {0, 0, 0, 0};
            // The chord on display is the one found; after "Not Found", the last candidate.
            const bool found = SearchWalk(table, entries, host);
            const QString onDisplay = QString::fromStdString(host.choice.root + host.choice.type);
            QVERIFY(found || onDisplay == u"Ab Min7-5 "_s);
            seen << (found ? onDisplay : u"Not Found"_s);
        }
        QCOMPARE(seen, shown);
        QCOMPARE((QList<int>{table[1], table[2], table[3]}), cursor);
    }

    void notFoundWalksEveryCandidate()
    {
        // Every root is selected once and every type under each.
        struct Counting : CoreSearchHost {
            QList<int> roots;
            int types = 0;
            void selectRoot(int r) override { roots << r, CoreSearchHost::selectRoot(r); }
            void selectType(int t) override { ++types, CoreSearchHost::selectType(t); }
        } host;
        SearchCursorTable table{};
        QVERIFY(!SearchWalk(table, SearchBoxes{"C ", "Db ", "D ", "Eb ", "E "}, host)); // no chord holds them
        QCOMPARE(host.roots, QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
        QCOMPARE(host.types, 12 * 63);
        QCOMPARE(RequiredCount(SearchBoxes{"", "C ", "", "D ", ""}), 2);
    }

    void entry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("letter");
        QTest::addColumn<QString>("left");
        QTest::newRow("c") << "c" << true << "C ";
        QTest::newRow("eb") << "eb" << true << "Eb ";
        QTest::newRow("aA") << "aA" << true << "Aa ";
        QTest::newRow("gZ") << "gZ" << true << "Gz ";
        QTest::newRow("c9") << "c9" << true << "C9 ";
        QTest::newRow("padded") << "  g  " << false << "G ";
        QTest::newRow("abz") << "abz" << true << "AbZ ";
        QTest::newRow("h") << "h" << false << "H ";
        QTest::newRow("blanks") << "   " << false << "";
        QTest::newRow("empty") << "" << false << "";
    }

    void entry()
    {
        QFETCH(QString, typed);
        QFETCH(bool, letter);
        QFETCH(QString, left);
        QCOMPARE(StartsWithNoteLetter(typed.toStdString()), letter);
        QCOMPARE(QString::fromStdString(NormaliseEntry(typed.toStdString())), left);
    }

    void setFret_data()
    {
        QTest::addColumn<double>("valx");
        QTest::addColumn<QString>("result");
        QTest::newRow("3") << 3.0 << "G C F Bb D G ";
        QTest::newRow("12 is a whole turn") << 12.0 << "E A D G B E ";
        QTest::newRow("15 wraps like 3") << 15.0 << "G C F Bb D G ";
        QTest::newRow("0") << 0.0 << "E A D G B E ";
        QTest::newRow("negative") << -3.0 << "E A D G B E ";
        QTest::newRow("2.5 rounds to 2") << 2.5 << "Gb B E A Db Gb ";
        QTest::newRow("3.5 rounds to 4") << 3.5 << "Ab Db Gb B Eb Ab ";
        QTest::newRow("huge, in constant time") << 1.2e15 + 3 << "G C F Bb D G ";
    }

    void setFret()
    {
        QFETCH(double, valx);
        QFETCH(QString, result);
        Module1 m;
        Init(m, "C ");
        SetFret(m, valx);
        QCOMPARE(notes(m), result);
    }

    void setFretAddsUpAndIgnoresTheTurn()
    {
        for (const char* root : {"A ", "C ", "Gb ", "Ab ", "nonsense"}) {
            Module1 a, b;
            Init(a, root);
            Init(b, "Db ");
            SetFret(a, 1);
            SetFret(a, 2);
            SetFret(b, 3);
            QCOMPARE(notes(a), notes(b));
        }
        // A note missing from the circle stays at 0 and lands on slot 1 at the first step.
        Module1 m;
        Init(m, "C ");
        m.PositionNotes[2] = "H ";
        SetFret(m, 0);
        QCOMPARE(m.PositionNotes[2].str(), std::string("H "));
        SetFret(m, 1);
        QCOMPARE(m.PositionNotes[2].str(), std::string("C "));
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("fret");
        QTest::newRow("list item") << "7 " << 7.0 << 7;
        QTest::newRow("blanks inside") << " 1 2" << 12.0 << 12;
        QTest::newRow("trailing text") << "5th fret" << 5.0 << 5;
        QTest::newRow("signs") << "+3" << 3.0 << 3;
        QTest::newRow("negative") << "-2" << -2.0 << -2;
        QTest::newRow("fraction") << ".5" << 0.5 << 0;
        QTest::newRow("half to even up") << "3.5" << 3.5 << 4;
        QTest::newRow("point alone") << "." << 0.0 << 0;
        QTest::newRow("e exponent") << "1e1" << 10.0 << 10;
        QTest::newRow("d exponent") << "1d2" << 100.0 << 100;
        QTest::newRow("D exponent, negative") << "5D-1" << 0.5 << 0;
        QTest::newRow("exponent without digits") << "2e" << 2.0 << 2;
        QTest::newRow("other letters end the number") << "2x3" << 2.0 << 2;
        QTest::newRow("exponent sign without digits") << "4e+x" << 4.0 << 4;
        QTest::newRow("empty") << "" << 0.0 << 0;
        QTest::newRow("no number") << "x5" << 0.0 << 0;
        QTest::newRow("huge") << "99999999999999999999999" << 1e23 << 1000;
        QTest::newRow("too large for a double") << "-1e999" << -qInf() << -1000;
        QTest::newRow("too small for a double") << "1e-999" << 0.0 << 0;
        QTest::newRow("too large, then a bare exponent") << u"1"_s + QString(400, u'0') + u"e-"_s << qInf() << 1000;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, fret);
        QCOMPARE(LeadingNumber(text.toStdString()), value);
        QCOMPARE(PositionFret(text.toStdString()), fret);
    }

    void runIt_data()
    {
        QTest::addColumn<ChordChoice>("choice"); // four frets and alternate: 0, 1 or 2 (greyed)
        QTest::addColumn<QString>("frets");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("text1");
        QTest::newRow("C Maj") << ChordChoice{} << "0 x 2 0 1 0"
                               << "  3-E ||  3-E |  5-G |  1-C |  3-E " << "  1-C   5-G   3-E ";
        QTest::newRow("four frets") << ChordChoice{"C ", "Maj ", "0", 1} << "0 3 2 0 1 0" << "" << "";
        QTest::newRow("four frets, alternate") << ChordChoice{"C ", "Maj ", "0", 1, 1} << "3 3 2 0 1 3" << "" << "";
        QTest::newRow("greyed box is not checked") << ChordChoice{"C ", "Maj ", "0", 2, 2} << "0 x 2 0 1 0" << "" << "";
        QTest::newRow("E Min") << ChordChoice{"E ", "Min "} << "0 2 2 0 0 0" << "" << "  3b-G   5-B   1-E ";
        QTest::newRow("A 7th at 5") << ChordChoice{"A ", "7th ", "5 "} << "5 7 5 6 5 5"
                                    << "  1-A |  5-E |  7b-G |  3-Db |  5-E |  1-A " << "  7b-G   3-Db   1-A   5-E ";
        QTest::newRow("C 9th") << ChordChoice{"C ", "9th "} << "0 1 0 0 1 0"
                               << "  3-E |  7b-Bb |  9-D |  5-G |  1-C |  3-E " << "  7b-Bb   1-C   5-G   9-D   3-E ";
        QTest::newRow("C 7b9 lists a note no string plays") << ChordChoice{"C ", "7b9 "} << "0 1 2 0 1 0" << ""
                                                            << "  7b-Bb   1-C   5-G   b9-Db   3-E ";
        QTest::newRow("flat ninth caption") << ChordChoice{"C ", "7b9 ", "2"} << "3 3 2 3 2 3"
                                            << "  5-G |  1-C |  3-E |  7b-Bb |  9b-Db |  5-G " << "";
        QTest::newRow("Maj7: seventh without hyphen")
            << ChordChoice{"C ", "Maj7 "} << "0 2 2 0 0 0" << "  3-E |  7B |  3-E |  5-G |  7B |  3-E "
            << "  1-C   5-G   7-B   3-E ";
        QTest::newRow("Min13: 2, 4 and 13") << ChordChoice{"C ", "Min13 ", "0", 1} << "1 0 0 2 1 1" << ""
                                         << "  4-F   7b-Bb   3b-Eb   1-C   2-D   13-A ";
        QTest::newRow("Sus: 4") << ChordChoice{"C ", "Sus "} << "1 x x 0 1 1" << "" << "";
        QTest::newRow("Min6") << ChordChoice{"C ", "Min6 "} << "x 0 1 0 1 x" << "" << "  3b-Eb   1-C   5-G   6-A ";
        QTest::newRow("11 has no root") << ChordChoice{"C ", "11 "} << "1 1 0 0 x 1" << ""
                                        << "  11-F   7b-Bb   5-G   2-D ";
        QTest::newRow("12 with four frets") << ChordChoice{"C ", "Maj ", "12 ", 1} << "12 x 14 12 13 12" << "" << "";
        QTest::newRow("typed 13") << ChordChoice{"C ", "Maj ", "13"} << "x x 14 x 13 x" << "" << "";
        QTest::newRow("typed -2") << ChordChoice{"C ", "Maj ", "-2"} << "0 x x 0 x 0" << "" << "";
        QTest::newRow("huge") << ChordChoice{"C ", "Maj ", "1e999", 1} << "x x 14 x x x" << "" << "";
        QTest::newRow("garbage root builds on A") << ChordChoice{"Q# ", "Maj "} << "0 0 2 2 2 0" << "" << "";
        QTest::newRow("unknown type") << ChordChoice{"C ", "Maj"} << "x x x x x x" << "|||||" << "";
    }

    void runIt()
    {
        QFETCH(ChordChoice, choice);
        QFETCH(QString, frets);
        QFETCH(QString, captions);
        QFETCH(QString, text1);
        Fresh f(choice);
        QCOMPARE(f.strings(), frets);
        if (!captions.isEmpty())
            QCOMPARE(f.strings(true), captions);
        if (!text1.isEmpty() || frets.count(QLatin1Char('x')) == 6)
            QCOMPARE(QString::fromStdString(f.board.text1), text1);
    }

    void displayGroups()
    {
        // A run shows a sounding string's whole group and hides a muted one's,
        // which keeps its column.
        Fresh f(ChordChoice{});
        const StringGroup& low = f.board.string(1);
        QVERIFY(low.dotVisible && low.lineVisible && low.labelVisible);
        QVERIFY(low.ellipseVisible && low.lessVisible && low.moreVisible);
        QCOMPARE(low.lineX2, 11440.0f);
        const StringGroup& muted = f.board.string(2);
        QVERIFY(!muted.dotVisible && !muted.lineVisible && !muted.labelVisible && !muted.ellipseVisible);
        QVERIFY(!muted.lessVisible && !muted.moreVisible);
        QCOMPARE(muted.dotLeft, 10920.0f);
        QCOMPARE(muted.caption, std::string("Label2"));
        const Fresh min6(ChordChoice{"C ", "Min6 "}); // x 0 1 0 1 x: the high E keeps its first column too
        QVERIFY(min6.board.string(6).dotLeft == 11400.0f && min6.board.string(6).caption == "Label2");

        // The read-back: the first column that matches, up to 14, or up to 12 for the buttons.
        const float lefts[] = {11400, 7370, 7120, 6920, 11039.5f};
        const int dotFrets[] = {0, 12, 13, 14, -1}, buttonFrets[] = {0, 12, 13, 13, 13};
        for (int i = 0; i < 5; ++i) {
            f.board.string(1).dotLeft = lefts[i];
            QCOMPARE(DotFret(f.m, f.board, 1), dotFrets[i]);
            QCOMPARE(ButtonFret(f.m, f.board, 1), buttonFrets[i]);
        }
    }

    void rootChangeNeedsTwoRuns()
    {
        Fresh f(ChordChoice{});
        const ChordChoice g{"G ", "Maj "};
        RunIt(f.m, g, f.board);
        QCOMPARE(f.strings(), QStringLiteral("x 2 0 0 0 x"));
        QCOMPARE(QString::fromStdString(f.board.text1), QStringLiteral("  1-C   5-G   3-E "));
        RunIt(f.m, g, f.board);
        QCOMPARE(QString::fromStdString(f.board.text1), QStringLiteral("  1-G   5-D   3-B "));
    }

    void handEdits_data()
    {
        // An edit of one string of C major at 0 (0 x 2 0 1 0), its dot first put
        // at `from`. Buttons: "<" and ">"; labels: the mouse button and X in twips.
        QTest::addColumn<int>("s");
        QTest::addColumn<double>("from");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("left");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("shown");
        QTest::newRow("< from the nut") << 1 << 11400.0 << "<" << 0.0 << 11040.0 << "  F " << true;
        QTest::newRow("> at the nut") << 1 << 11400.0 << ">" << 0.0 << 11400.0 << "  3-E " << true;
        QTest::newRow("< of a muted string") << 2 << 10560.0 << "<" << 0.0 << 10200.0 << "  C " << false;
        QTest::newRow("> of a muted string") << 2 << 10560.0 << ">" << 0.0 << 11040.0 << "   Bb " << false;
        QTest::newRow("< at 12") << 4 << 7370.0 << "<" << 0.0 << 7370.0 << "  5-G " << true;
        QTest::newRow("> at 12") << 4 << 7370.0 << ">" << 0.0 << 7600.0 << "   Gb " << true;
        QTest::newRow("< at 13") << 5 << 7120.0 << "<" << 0.0 << 7120.0 << "  1-C " << true;
        QTest::newRow("> from 14 to 12") << 6 << 6920.0 << ">" << 0.0 << 7370.0 << "   E " << true;
        QTest::newRow("left press hides") << 3 << 10560.0 << "left" << 400.0 << 10560.0 << "  3-E " << false;
        QTest::newRow("middle press hides") << 3 << 10560.0 << "middle" << 400.0 << 10560.0 << "  3-E " << false;
        QTest::newRow("left press shows a muted string")
            << 2 << 10920.0 << "left" << 400.0 << 10920.0 << "Label2" << true;
        QTest::newRow("right at 150: toward the body") << 1 << 11400.0 << "right" << 150.0 << 11040.0 << "  F " << true;
        QTest::newRow("right past 150: low E writes three spaces")
            << 1 << 11040.0 << "right" << 150.1 << 11400.0 << "   E " << true;
        QTest::newRow("right on high E: two spaces") << 6 << 11040.0 << "right" << 150.1 << 11400.0 << "  E " << true;
        QTest::newRow("right shows a muted string") << 2 << 10200.0 << "right" << 20.0 << 9840.0 << "  Db " << true;
        QTest::newRow("right edge at 12") << 3 << 7370.0 << "right" << 0.0 << 7370.0 << "  3-E " << true;
        QTest::newRow("right nut side at 0") << 3 << 11400.0 << "right" << 400.0 << 11400.0 << "  3-E " << true;
        QTest::newRow("right edge at 14") << 4 << 6920.0 << "right" << 100.0 << 6920.0 << "  5-G " << true;
        QTest::newRow("right off the columns to 12") << 5 << 8000.0 << "right" << 900.0 << 7370.0 << "  B " << true;
    }

    void handEdits()
    {
        QFETCH(int, s);
        QFETCH(double, from);
        QFETCH(QString, edit);
        QFETCH(double, x);
        QFETCH(double, left);
        QFETCH(QString, caption);
        QFETCH(bool, shown);
        Fresh f(ChordChoice{});
        f.board.string(s).dotLeft = float(from);
        const FretboardState before = f.board;
        if (edit == QLatin1String("<") || edit == QLatin1String(">"))
            MoveStringButton(f.m, f.board, s, edit == QLatin1String("<"));
        else
            PressNoteLabel(f.m, f.board, s, edit == QLatin1String("left") ? LeftButton
                                         : edit == QLatin1String("middle") ? MiddleButton : RightButton, x);
        const StringGroup& g = f.board.string(s);
        QCOMPARE(g.dotLeft, float(left));
        QCOMPARE(g.lineX2, left == from ? before.string(s).lineX2 : float(left + 40));
        QCOMPARE(QString::fromStdString(g.caption), caption);
        QCOMPARE(g.dotVisible && g.lineVisible, shown);
        QCOMPARE(g.dotVisible || g.lineVisible, shown);
        // A right press that moves shows the whole group; the rest touch only dot and line.
        const bool whole = edit == QLatin1String("right") && left != from;
        const StringGroup& b = before.string(s);
        QCOMPARE(g.labelVisible && g.ellipseVisible && g.lessVisible && g.moreVisible, whole || b.labelVisible);
        QCOMPARE(g.labelVisible || g.ellipseVisible || g.lessVisible || g.moreVisible, whole || b.labelVisible);
        for (int o = 1; o <= 6; ++o)
            QCOMPARE(f.board.string(o).dotLeft, o == s ? float(left) : before.string(o).dotLeft);
        QCOMPARE(f.board.text1, before.text1);
    }
};

QTEST_GUILESS_MAIN(TestVoicing)
#include "test_voicing.moc"
