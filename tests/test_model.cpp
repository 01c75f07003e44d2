// The note circle and tables that Init fills, and the chord formula lookup.
#include <QtTest>

#include "chordformulas.h"
#include "module1.h"

using namespace chordmoss;

namespace {

template <typename Table>
QString joined(const Table& t, int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::fromStdString(t[i].str()).trimmed();
    return out.join(QLatin1Char(' '));
}

} // namespace

class TestModel : public QObject {
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
};

QTEST_GUILESS_MAIN(TestModel)
#include "test_model.moc"
