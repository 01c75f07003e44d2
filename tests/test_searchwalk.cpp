// The chord search walk over the voicing engine, as "Search" and "Next" run
// it, and the rules for a typed search note.
#include <QtTest>

#include "chordformulas.h"
#include "fretboardstate.h"
#include "module1.h"
#include "noteentry.h"
#include "notetables.h"
#include "runit.h"
#include "searchwalk.h"

using namespace chordmoss;

namespace {

/// The window's part of the walk: a root selection computes twice, a type
/// selection once, and an index off the list selects nothing.
class EngineHost : public SearchHost {
public:
    Module1 m;
    FretboardState board;
    ChordChoice choice;
    int root = 3, type = 0, typeSelections = 0;
    EngineHost()
    {
        Init(m, choice.root);
        chordmoss::RunIt(m, choice, board);
    }
    void selectRoot(int r) override
    {
        root = r;
        if (r < 0 || r >= kRootCount)
            return;
        choice.root = kChromaticFromA[r];
        chordmoss::RunIt(m, choice, board);
        chordmoss::RunIt(m, choice, board);
    }
    void selectType(int t) override
    {
        type = t;
        ++typeSelections;
        if (t < 0 || t >= kTypeCount)
            return;
        choice.type = ChordFormulas[t].key;
        chordmoss::RunIt(m, choice, board);
    }
    std::string_view notesText() const override { return board.text1; }
    QString shown() const
    {
        return QString::fromStdString(std::string(kChromaticFromA[root]) + std::string(ChordFormulas[type].key));
    }
};

/// Texts separated by "|".
QStringList list(const char* texts) { return QString::fromLatin1(texts).split(QLatin1Char('|')); }

} // namespace

class TestSearchWalk : public QObject {
    Q_OBJECT
private slots:
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
        EngineHost host;
        SearchCursorTable table{};
        QStringList seen;
        for (QChar p : presses) {
            if (p == QLatin1Char('S'))
                table = {0, 0, 0, 0};
            seen << (SearchWalk(table, entries, host) ? host.shown() : QStringLiteral("Not Found"));
            // The chord on display is the one found, or the last candidate.
            const bool found = seen.last() != QLatin1String("Not Found");
            QCOMPARE(QString::fromStdString(host.choice.root + host.choice.type),
                     found ? seen.last() : u"Ab Min7-5 "_qs);
        }
        QCOMPARE(seen, shown);
        QCOMPARE((QList<int>{table[1], table[2], table[3]}), cursor);
    }

    void notFoundWalksEveryCandidate()
    {
        EngineHost host;
        SearchCursorTable table{};
        QVERIFY(!SearchWalk(table, SearchBoxes{"C ", "Db ", "D ", "Eb ", "E "}, host)); // no chord holds them
        QCOMPARE(host.typeSelections, 12 * 63);
        QCOMPARE(host.root, 11);
        QCOMPARE(host.type, 62);
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
};

QTEST_GUILESS_MAIN(TestSearchWalk)
#include "test_searchwalk.moc"
