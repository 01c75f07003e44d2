// The note circle, the tables Init fills and the chord formula table.
#include <QtTest>

#include "chordformulas.h"
#include "module1.h"

using namespace chordmoss;

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void initTurnsCircle_data();
    void initTurnsCircle();
    void rootAKeepsWorkingSlot();
    void initResetsStringsAndTables();
    void formulaTable();
    void lookupIsExact_data();
    void lookupIsExact();
};

void TestModel::initTurnsCircle_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("slot1");
    QTest::addColumn<QString>("slot12");
    QTest::newRow("C") << "C " << "C " << "B ";
    QTest::newRow("Ab: eleven turns") << "Ab " << "Ab " << "G ";
    QTest::newRow("A without space") << "A" << "A " << "Ab ";
    QTest::newRow("padded A") << "  A  " << "A " << "Ab ";
    QTest::newRow("Bb without space builds on A") << "Bb" << "A " << "Ab ";
    QTest::newRow("lower case builds on A") << "c " << "A " << "Ab ";
    QTest::newRow("sharp builds on A") << "C# " << "A " << "Ab ";
    QTest::newRow("G") << "G " << "G " << "Gb ";
}

void TestModel::initTurnsCircle()
{
    QFETCH(QString, root);
    QFETCH(QString, slot1);
    QFETCH(QString, slot12);
    Module1 m;
    Init(m, root.toStdString());
    QCOMPARE(QString::fromStdString(m.NoteNames[1].str()), slot1);
    QCOMPARE(QString::fromStdString(m.NoteNames[12].str()), slot12);
    // Each slot is one semitone above the previous one.
    for (int j = 1; j < 12; ++j) {
        auto idx = [&](const NoteName& n) {
            for (int f = 0; f < 12; ++f)
                if (m.ENotes[f] == n)
                    return f;
            return -100;
        };
        QCOMPARE((idx(m.NoteNames[j + 1]) - idx(m.NoteNames[j]) + 12) % 12, 1);
    }
}

void TestModel::rootAKeepsWorkingSlot()
{
    Module1 m;
    Init(m, "C ");
    QCOMPARE(m.NoteNames[0].str(), std::string("B "));
    Init(m, "A ");
    QCOMPARE(m.NoteNames[1].str(), std::string("A "));
    QCOMPARE(m.NoteNames[0].str(), std::string("B ")); // untouched by a root of A
    Init(m, "xyz");                               // twelve turns: back to A, slot 0 = slot 12
    QCOMPARE(m.NoteNames[1].str(), std::string("A "));
    QCOMPARE(m.NoteNames[0].str(), std::string("Ab "));
    QVERIFY(m.NoteNames[13].empty());
}

void TestModel::initResetsStringsAndTables()
{
    Module1 m;
    Init(m, "C ");
    m.PositionNotes[3] = "Ab ";
    Init(m, "Eb ");
    const char* open[] = {"E ", "A ", "D ", "G ", "B ", "E "};
    for (int s = 1; s <= 6; ++s)
        QCOMPARE(m.PositionNotes[s].str(), std::string(open[s - 1]));
    QCOMPARE(m.DNotes[12].str(), std::string("D "));
    QCOMPARE(m.DNotes[14].str(), std::string("E "));
    QCOMPARE(m.ENotes[14].str(), std::string("Gb "));
    QCOMPARE(m.BNotes[1].str(), std::string("C "));
    QCOMPARE(m.FretX[0], 11400.0);
    QCOMPARE(m.FretX[14], 6920.0);
    QCOMPARE(&m.stringNotes(6), &m.ENotes);
    QCOMPARE(&m.stringNotes(4), &m.GNotes);
}

void TestModel::formulaTable()
{
    QCOMPARE(int(ChordFormulas.size()), 63);
    // Keys are unique, and every key but one ends in a space.
    for (std::size_t i = 0; i < ChordFormulas.size(); ++i) {
        QCOMPARE(FindChordFormula(ChordFormulas[i].key), &ChordFormulas[i]);
        if (i != 7)
            QVERIFY(ChordFormulas[i].key.back() == ' ');
    }
}

void TestModel::lookupIsExact_data()
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
    QTest::newRow("13#11") << "13#11 " << QList<int>{3, 7, 10, 11};
    QTest::newRow("Maj9+11 minor seventh") << "Maj9+11 " << QList<int>{1, 3, 5, 7, 11};
    QTest::newRow("Maj13+11 fourth and sharp eleventh") << "Maj13+11 " << QList<int>{1, 6, 7, 10, 12};
    QTest::newRow("6Add9 sharp fifth") << "6Add9 " << QList<int>{1, 3, 5, 8, 9};
    QTest::newRow("Min13") << "Min13 " << QList<int>{1, 3, 4, 6, 10, 11};
    QTest::newRow("(5)") << "(5) " << QList<int>{1, 8};
}

void TestModel::lookupIsExact()
{
    QFETCH(QString, type);
    QFETCH(QList<int>, degrees);
    Module1 m;
    LookupChordDegrees(m, "Min13 "); // leftovers of a larger set must go
    LookupChordDegrees(m, type.toStdString());
    for (int k = 1; k <= 12; ++k)
        QCOMPARE(int(m.ChordDegrees[k]), degrees.contains(k) ? -1 : 0);
}

QTEST_GUILESS_MAIN(TestModel)
#include "test_model.moc"
