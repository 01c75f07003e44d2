// The search boxes and the "Search", "Next" and "Clear" buttons, driven
// through the real window. The walk itself is tested on the core.
#include "windowtest.h"

#include <QLineEdit>

using namespace chordmoss;
using namespace windowtest;

namespace {

struct SearchWindow : Window {
    QLineEdit* box(int i) { return qobject_cast<QLineEdit*>(w(QStringLiteral("Search1_%1").arg(i))); }
    QString chord() { return get(QStringLiteral("Combo1")).toString() + get(QStringLiteral("Combo2")).toString(); }
    void click(const char* name) { QTest::mouseClick(w(QString::fromLatin1(name)), Qt::LeftButton); }
    QList<int> cursor() { return {f.module().SearchCursor[1], f.module().SearchCursor[2], f.module().SearchCursor[3]}; }
};

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void rejectionsAndTheirOrder()
    {
        SearchWindow w;
        Messages m([&] { return w.box(0)->text(); });
        w.box(0)->setFocus();
        for (const char* typed : {"h", "#", "F#", "c#x", " ", "9", "Gx"})
            QTest::keyClicks(w.box(0), QString::fromLatin1(typed));
        // A bad letter is shown before the box is emptied; a sharp after.
        const QString letter = QStringLiteral("Please enter a letter between A and G");
        const QString flats = QStringLiteral("Please only enter flats");
        QCOMPARE(m.texts, QStringList({letter, letter, flats, flats, letter, letter, letter}));
        QCOMPARE(m.seen.join(QLatin1Char('|')), QStringLiteral("h|#|||x| |9"));
        QCOMPARE(m.titles, QStringList(7, QStringLiteral("Razedu")));
        QCOMPARE(m.plain, QList<bool>(7, true));
        QCOMPARE(w.box(0)->text(), QStringLiteral("Gx")); // later letters are free
    }

    void buttons()
    {
        SearchWindow w;
        Messages m;
        w.box(0)->setText(QStringLiteral("C "));
        w.click("Command1");
        QCOMPARE(w.chord(), QStringLiteral("A Min "));
        QVERIFY(w.get(QStringLiteral("Text1")).toString().contains(QLatin1String("3b-C "))); // and computed it
        w.click("Command2");
        QCOMPARE(w.chord(), QStringLiteral("A Min6 "));
        QCOMPARE(w.cursor(), QList<int>({0, 2, 1}));

        // "Clear" empties the boxes, keeps cursor and chord; "Next" then goes on
        // with the notes entered now.
        w.box(3)->setText(QStringLiteral("Eb "));
        w.click("Command3");
        for (int i = 0; i < 5; ++i)
            QCOMPARE(w.box(i)->text(), QString());
        QCOMPARE(QApplication::focusWidget(), w.box(0));
        QCOMPARE(w.chord(), QStringLiteral("A Min6 "));
        QCOMPARE(w.cursor(), QList<int>({0, 2, 1}));
        w.box(0)->setText(QStringLiteral("E "));
        w.click("Command2");
        QCOMPARE(w.chord(), QStringLiteral("A Min\\6 "));
        QCOMPARE(w.get(QStringLiteral("Combo3")).toString(), QStringLiteral("0"));
        QVERIFY(m.texts.isEmpty());
    }

    void boxesFilledWithoutTheFocus_data()
    {
        QTest::addColumn<QString>("entries"); // box by box, parted by |
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("found");
        QTest::newRow("g bb D f") << "g|bb|D|f" << "Command1" << "Bb 6th "; // not Bb Min6, which has no D
        QTest::newRow("c E  g") << "c|E  |g" << "Command1" << "A Min7 ";
        QTest::newRow("Next: eb") << "eb" << "Command2" << "A Min7b5 ";
    }

    void boxesFilledWithoutTheFocus()
    {
        // Pasted, or set by a screen reader, the boxes are read as typing and
        // leaving them leaves them.
        QFETCH(QString, entries);
        QFETCH(QString, button);
        QFETCH(QString, found);
        Messages m;
        const QStringList notes = entries.split(u'|');
        for (bool typing : {false, true}) {
            SearchWindow w;
            for (int i = 0; i < notes.size(); ++i) {
                if (typing) {
                    w.box(i)->setFocus();
                    QTest::keyClicks(w.box(i), notes[i]);
                } else {
                    w.box(i)->setText(notes[i]);
                }
            }
            if (typing)
                w.click(qPrintable(button));
            else
                qobject_cast<QPushButton*>(w.w(button))->click(); // the focus stays where it was
            QCOMPARE(w.chord(), found);
            QCOMPARE(w.box(0)->text(), notes[0].left(1).toUpper() + notes[0].mid(1).trimmed() + u' ');
        }
        QVERIFY(m.texts.isEmpty());
    }

    void emptyFirstBoxAndNotFound()
    {
        SearchWindow w;
        Messages m;
        w.box(2)->setText(QStringLiteral("C "));
        w.click("Command1");
        w.click("Command2");
        QCOMPARE(m.texts, QStringList(2, QStringLiteral("Please enter the notes in the chord")));
        QCOMPARE(w.chord(), QStringLiteral("C Maj "));
        w.box(0)->setText(QStringLiteral("C "));
        w.click("Command1"); // the same note twice is never matched
        QCOMPARE(m.texts.size(), 3);
        QCOMPARE(m.texts.last(), QStringLiteral("Not Found"));
        QCOMPARE(w.chord(), QStringLiteral("Ab Min7-5 "));
    }
};

QTEST_MAIN(TestSearch)
#include "test_search.moc"
