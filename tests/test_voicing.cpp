// SetFret, RunIt and the read-back of the display, on a fresh model.
#include <QtTest>

#include "fretboardstate.h"
#include "module1.h"
#include "runit.h"
#include "setfret.h"

using namespace chordmoss;

namespace {

// A model and display as the window has them after its load handler.
struct Fresh {
    Module1 m;
    FretboardState board;
    ChordChoice choice;
    explicit Fresh(ChordChoice c) : choice(std::move(c))
    {
        Init(m, choice.root);
        RunIt(m, choice, board);
    }
    QString frets() const
    {
        QStringList out;
        for (int s = 1; s <= 6; ++s)
            out << (board.string(s).dotVisible ? QString::number(DotFret(m, board, s)) : QStringLiteral("x"));
        return out.join(QLatin1Char(' '));
    }
    QString captions() const
    {
        QStringList out;
        for (int s = 1; s <= 6; ++s)
            out << (board.string(s).labelVisible ? QString::fromStdString(board.string(s).caption) : QString());
        return out.join(QLatin1Char('|'));
    }
};

ChordChoice choose(const char* root, const char* type, const char* pos, int four = 0, int alt = 0)
{
    return ChordChoice{root, type, pos, four, alt};
}

QStringList notes(const Module1& m)
{
    QStringList out;
    for (int s = 1; s <= 6; ++s)
        out << QString::fromStdString(m.PositionNotes[s].str());
    return out;
}

} // namespace

class TestVoicing : public QObject {
    Q_OBJECT
private slots:
    void setFret_data();
    void setFret();
    void setFretAddsUpAndIgnoresTheTurn();
    void runIt_data();
    void runIt();
    void groupsAndLinesFollowTheDots();
    void rootChangeNeedsTwoRuns();
    void unknownTypeMutesEverything();
    void clampedWindows_data();
    void clampedWindows();
    void dotFretReadBack();
    void positionText_data();
    void positionText();
};

void TestVoicing::setFret_data()
{
    QTest::addColumn<double>("valx");
    QTest::addColumn<QString>("result");
    QTest::newRow("3") << 3.0 << "G C F Bb D G";
    QTest::newRow("12 is a whole turn") << 12.0 << "E A D G B E";
    QTest::newRow("15 wraps like 3") << 15.0 << "G C F Bb D G";
    QTest::newRow("0") << 0.0 << "E A D G B E";
    QTest::newRow("negative") << -3.0 << "E A D G B E";
    QTest::newRow("2.5 rounds to 2") << 2.5 << "Gb B E A Db Gb";
    QTest::newRow("3.5 rounds to 4") << 3.5 << "Ab Db Gb B Eb Ab";
    QTest::newRow("0.5 rounds to 0") << 0.5 << "E A D G B E";
    QTest::newRow("huge, in constant time") << 1.2e15 + 3 << "G C F Bb D G";
}

void TestVoicing::setFret()
{
    QFETCH(double, valx);
    QFETCH(QString, result);
    Module1 m;
    Init(m, "C ");
    SetFret(m, valx);
    QCOMPARE(notes(m).join(QString()), result + QLatin1Char(' '));
}

void TestVoicing::setFretAddsUpAndIgnoresTheTurn()
{
    const char* roots[] = {"A ", "C ", "Gb ", "Ab ", "nonsense"};
    for (const char* root : roots) {
        Module1 a, b;
        Init(a, root);
        Init(b, "Db ");
        SetFret(a, 1);
        SetFret(a, 2);
        SetFret(b, 3);
        QCOMPARE(notes(a), notes(b));
    }
    // A note missing from the circle lands on slot 1 at the first step.
    Module1 m;
    Init(m, "C ");
    m.PositionNotes[2] = "H ";
    SetFret(m, 1);
    QCOMPARE(m.PositionNotes[2].str(), std::string("C "));
}

void TestVoicing::runIt_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("pos");
    QTest::addColumn<int>("four");
    QTest::addColumn<int>("alt");
    QTest::addColumn<QString>("frets");
    QTest::addColumn<QString>("captions");
    QTest::addColumn<QString>("text1");
    QTest::newRow("C Maj") << "C " << "Maj " << "0" << 0 << 0 << "0 x 2 0 1 0"
                           << "  3-E ||  3-E |  5-G |  1-C |  3-E " << "  1-C   5-G   3-E ";
    QTest::newRow("C Maj four frets") << "C " << "Maj " << "0" << 1 << 0 << "0 3 2 0 1 0" << QString() << QString();
    QTest::newRow("C Maj four frets, alternate") << "C " << "Maj " << "0" << 1 << 1 << "3 3 2 0 1 3" << QString() << QString();
    QTest::newRow("C Maj alternate") << "C " << "Maj " << "0" << 0 << 1 << "0 x 2 0 1 0" << QString() << QString();
    QTest::newRow("E Min") << "E " << "Min " << "0" << 0 << 0 << "0 2 2 0 0 0" << QString() << "  3b-G   5-B   1-E ";
    QTest::newRow("A 7th at 5") << "A " << "7th " << "5 " << 0 << 0 << "5 7 5 6 5 5"
                                << "  1-A |  5-E |  7b-G |  3-Db |  5-E |  1-A " << "  7b-G   3-Db   1-A   5-E ";
    QTest::newRow("C 9th") << "C " << "9th " << "0" << 0 << 0 << "0 1 0 0 1 0"
                           << "  3-E |  7b-Bb |  9-D |  5-G |  1-C |  3-E " << "  7b-Bb   1-C   5-G   9-D   3-E ";
    QTest::newRow("C Maj at 12") << "C " << "Maj " << "12 " << 0 << 0 << "12 x 14 12 13 12" << QString() << QString();
    QTest::newRow("C Maj7 captions the seventh without hyphen")
        << "C " << "Maj7 " << "0" << 0 << 0 << "0 2 2 0 0 0" << "  3-E |  7B |  3-E |  5-G |  7B |  3-E " << QString();
}

void TestVoicing::runIt()
{
    QFETCH(QString, root);
    QFETCH(QString, type);
    QFETCH(QString, pos);
    QFETCH(int, four);
    QFETCH(int, alt);
    QFETCH(QString, frets);
    QFETCH(QString, captions);
    QFETCH(QString, text1);
    Fresh f(ChordChoice{root.toStdString(), type.toStdString(), pos.toStdString(), four, alt});
    QCOMPARE(f.frets(), frets);
    if (!captions.isNull())
        QCOMPARE(f.captions(), captions);
    if (!text1.isNull())
        QCOMPARE(QString::fromStdString(f.board.text1), text1);
}

void TestVoicing::groupsAndLinesFollowTheDots()
{
    Fresh f(choose("C ", "Maj ", "0"));
    const StringGroup& low = f.board.string(1);
    QCOMPARE(low.dotLeft, 11400.0f);
    QCOMPARE(low.lineX2, 11440.0f);
    QVERIFY(low.lineVisible && low.ellipseVisible && low.lessVisible && low.moreVisible);
    const StringGroup& muted = f.board.string(2);
    QVERIFY(!muted.dotVisible && !muted.lineVisible && !muted.labelVisible && !muted.ellipseVisible);
    QVERIFY(!muted.lessVisible && !muted.moreVisible);
    QCOMPARE(muted.dotLeft, 10920.0f); // keeps its design-time column
    QCOMPARE(f.board.string(3).dotLeft, 10560.0f);
    QCOMPARE(f.board.string(5).dotLeft, 11040.0f);

    // C 7b9 lists the flat ninth although no string of the window plays it.
    Fresh b9(choose("C ", "7b9 ", "0"));
    QVERIFY(QString::fromStdString(b9.board.text1).contains(QLatin1String("  b9-Db ")));
    for (int s = 1; s <= 6; ++s)
        QVERIFY(!QString::fromStdString(b9.board.string(s).caption).contains(QLatin1String("Db")));
}

void TestVoicing::rootChangeNeedsTwoRuns()
{
    Fresh f(choose("C ", "Maj ", "0"));
    f.choice.root = "G ";
    RunIt(f.m, f.choice, f.board);
    QCOMPARE(f.frets(), QStringLiteral("x 2 0 0 0 x"));
    const QString stale = QString::fromStdString(f.board.text1);
    QVERIFY(stale.contains(QLatin1String("C ")) && stale.contains(QLatin1String("E ")));
    QVERIFY(!stale.contains(QLatin1String("D ")));
    RunIt(f.m, f.choice, f.board);
    const QString fresh = QString::fromStdString(f.board.text1);
    QCOMPARE(fresh.count(QLatin1Char('-')), 3);
    QVERIFY(fresh.contains(QLatin1String("1-G ")) && fresh.contains(QLatin1String("5-D ")) && fresh.contains(QLatin1String("3-B ")));
}

void TestVoicing::unknownTypeMutesEverything()
{
    Fresh f(choose("C ", "Maj ", "0"));
    f.choice.type = "Major";
    RunIt(f.m, f.choice, f.board);
    QCOMPARE(f.frets(), QStringLiteral("x x x x x x"));
    QVERIFY(f.board.text1.empty());
    for (int s = 1; s <= 6; ++s)
        QVERIFY(!f.board.string(s).labelVisible);
}

void TestVoicing::clampedWindows_data()
{
    QTest::addColumn<QString>("pos");
    QTest::addColumn<int>("four");
    QTest::addColumn<QString>("frets");
    QTest::newRow("12 with four frets") << "12 " << 1 << "12 x 14 12 13 12";
    QTest::newRow("13") << "13" << 0 << "x x 14 x 13 x";
    QTest::newRow("-2") << "-2" << 0 << "0 x x 0 x 0";
    QTest::newRow("huge") << "99999999999" << 0 << "x x 14 x x x";
    QTest::newRow("1e9") << "1e9" << 0 << "x x 14 x x x";
    QTest::newRow("1e999") << "1e999" << 1 << "x x 14 x x x";
    QTest::newRow("no number") << "abc" << 0 << "0 x 2 0 1 0";
}

void TestVoicing::clampedWindows()
{
    QFETCH(QString, pos);
    QFETCH(int, four);
    QFETCH(QString, frets);
    Fresh f(choose("C ", "Maj ", pos.toUtf8().constData(), four));
    QCOMPARE(f.frets(), frets);
}

void TestVoicing::dotFretReadBack()
{
    Module1 m;
    Init(m, "C ");
    FretboardState board;
    board.string(1).dotLeft = 11400;
    QCOMPARE(DotFret(m, board, 1), 0);
    QCOMPARE(ButtonFret(m, board, 1), 0);
    board.string(1).dotLeft = 6920;
    QCOMPARE(DotFret(m, board, 1), 14);
    QCOMPARE(ButtonFret(m, board, 1), 13);
    board.string(1).dotLeft = 7120;
    QCOMPARE(DotFret(m, board, 1), 13);
    QCOMPARE(ButtonFret(m, board, 1), 13);
    board.string(1).dotLeft = 11039.5f;
    QCOMPARE(DotFret(m, board, 1), -1);
    QCOMPARE(ButtonFret(m, board, 1), 13);
}

void TestVoicing::positionText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fret");
    QTest::newRow("list item") << "7 " << 7;
    QTest::newRow("plain") << "12" << 12;
    QTest::newRow("leading blanks") << "  5" << 5;
    QTest::newRow("trailing text") << "5th fret" << 5;
    QTest::newRow("half to even down") << "2.5" << 2;
    QTest::newRow("half to even up") << "3.5" << 4;
    QTest::newRow("exponent") << "1e1" << 10;
    QTest::newRow("negative") << "-2" << -2;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("no number") << "x5" << 0;
    QTest::newRow("huge") << "99999999999999999999999" << 1000;
    QTest::newRow("huge negative") << "-1e308" << -1000;
}

void TestVoicing::positionText()
{
    QFETCH(QString, text);
    QFETCH(int, fret);
    QCOMPARE(PositionFret(text.toStdString()), fret);
}

QTEST_GUILESS_MAIN(TestVoicing)
#include "test_voicing.moc"
