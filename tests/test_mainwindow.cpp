// The main window's wiring, driven as a user drives it: start-up, the combos
// and check boxes, every note label and arrow, presses on the neck, the menus,
// the search boxes and buttons.
// What the handlers compute is tested on the core.
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "Form2.h"
#include "controls.h"
#include "volumeslider.h"

using namespace chordmoss;
using namespace windowtest;
using namespace Qt::StringLiterals;

namespace {

/// The next control that Tab moves the focus to.
QWidget* nextTabStop(QWidget* w)
{
    do
        w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy());
    return w;
}

/// The window's search boxes and buttons; the walk itself is tested on the core.
struct SearchWindow : Window {
    QLineEdit* box(int i) { return qobject_cast<QLineEdit*>(w(QStringLiteral("Search1_%1").arg(i))); }
    QString chord() { return get(QStringLiteral("Combo1")).toString() + get(QStringLiteral("Combo2")).toString(); }
    void click(const char* name) { QTest::mouseClick(w(QString::fromLatin1(name)), Qt::LeftButton); }
    QList<int> cursor() { return {f.module().SearchCursor[1], f.module().SearchCursor[2], f.module().SearchCursor[3]}; }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startUp()
    {
        Window w;
        QCOMPARE(w.f.windowTitle(), QStringLiteral("Razedu"));
        QCOMPARE(w.frets(), QStringLiteral("0 x 2 0 1 0"));
        QCOMPARE(w.get(QStringLiteral("Text1")).toString(), QStringLiteral("  1-C   5-G   3-E "));
        // Each string's label, ellipse, line and arrows show with its dot.
        const QStringList captions = {u"  3-E "_s, QString(), u"  3-E "_s, u"  5-G "_s, u"  1-C "_s, u"  3-E "_s};
        const int lines[6] = {1, 2, 3, 6, 5, 4};
        for (int s = 1; s <= 6; ++s) {
            const QString label = QStringLiteral("Label%1").arg(s + 1);
            for (const QString& name : {label, u"Shape%1"_s.arg(s + 6), u"Line%1"_s.arg(lines[s - 1]),
                                        u"Label%1"_s.arg(13 + 2 * s), u"Label%1"_s.arg(14 + 2 * s)})
                QCOMPARE(w.get(name, "Visible").toBool(), !captions[s - 1].isEmpty());
            // A hidden label shows nothing: presses reach what lies beneath
            // and screen readers do not see it.
            QCOMPARE(w.f.childAt(w.w(label)->mapTo(&w.f, QPoint(8, 8))) == w.w(label), !captions[s - 1].isEmpty());
            QCOMPARE(QAccessible::queryAccessibleInterface(w.w(label))->state().invisible, captions[s - 1].isEmpty());
            if (!captions[s - 1].isEmpty())
                QCOMPARE(qobject_cast<QLabel*>(w.w(label))->text(), captions[s - 1]);
            const QString arrows = qobject_cast<QLabel*>(w.w(u"Label%1"_s.arg(13 + 2 * s)))->text()
                                   + qobject_cast<QLabel*>(w.w(u"Label%1"_s.arg(14 + 2 * s)))->text();
            QCOMPARE(arrows, u"  <  >"_s);
        }
        QCOMPARE(w.get(QStringLiteral("Line3"), "X2").toDouble(), 10600.0);
        for (int i = 7; i <= 12; ++i) // the pick's line and the frame
            QVERIFY(w.get(u"Line%1"_s.arg(i), "Visible").toBool());
        QVERIFY(!w.get(QStringLiteral("Shape13"), "Visible").toBool());
        QCOMPARE(QApplication::focusWidget(), w.w(QStringLiteral("Combo1")));
        // The fixed captions, letter for letter.
        for (const auto& [name, caption] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"Label1", "Chord                     Type                  Position"},
                 {"Label14", "Select Chord,Type,and Pos"}, {"Label13", "Notes and position in chord"},
                 {"Label10", "Enter Search Notes Below"}, {"Command1", "Search"}, {"Command2", "Next"},
                 {"Command3", "Clear"}, {"Command4", "Hear"}, {"Check1", "Show chords that expand 4 frets"},
                 {"AltChords", "Show Alternate Fingering"}, {"Label11", "Click on labels to turn notes on and off"},
                 {"Label8", "Strum to hear chord or press >"}, {"Label9", "Click on fret board to set position"}}) {
            QWidget* c = w.w(QLatin1String(name));
            const auto* label = qobject_cast<QLabel*>(c);
            QCOMPARE(label ? label->text() : qobject_cast<QAbstractButton*>(c)->text(), QLatin1String(caption));
        }
        // Tab runs through the search boxes to the buttons.
        QCOMPARE(nextTabStop(w.w(QStringLiteral("Search1_4"))), w.w(QStringLiteral("Command1")));
        QCOMPARE(nextTabStop(w.w(QStringLiteral("Check1"))), w.w(QStringLiteral("Command4")));
        QCOMPARE(nextTabStop(w.w(QStringLiteral("Command4"))), w.w(QStringLiteral("AltChords")));
        // A check box's Value: 0 unchecked, 1 checked, 2 greyed.
        for (const auto& [value, state] : {std::pair(1, Qt::Checked), std::pair(2, Qt::PartiallyChecked), std::pair(0, Qt::Unchecked)}) {
            w.set(QStringLiteral("AltChords"), "Value", value);
            QCOMPARE(qobject_cast<QCheckBox*>(w.w(QStringLiteral("AltChords")))->checkState(), state);
        }
        // Help and About: plain boxes under the window's title.
        Messages m;
        for (const char* menu : {"HLP", "Abt"}) { // each box opens once its menu has returned
            qobject_cast<QAction*>(control(&w.f, QLatin1String(menu)))->trigger();
            QTRY_COMPARE(m.texts.size(), menu[0] == 'H' ? 1 : 2);
        }
        QVERIFY(m.texts[1].contains(QLatin1String("Chordmoss")));
        QVERIFY(m.texts[0].startsWith(QLatin1String("Select chord by changing the three combo boxes.")));
        QCOMPARE(m.titles, QStringList(2, QStringLiteral("Razedu")));
        QCOMPARE(m.plain, QList<bool>({true, true}));
    }

    void selections_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("frets");
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("captions"); // strings 1..6, "x" for a hidden label
        const char* cMajor = "3-E x 3-E 5-G 1-C 3-E";
        // A root is computed twice: the listing then names the new root's notes.
        QTest::newRow("root G") << "Combo1" << 10 << "G " << "x 2 0 0 0 x" << "  1-G   5-D   3-B "
                                << "x 3-B 5-D 1-G 3-B x";
        QTest::newRow("last position") << "Combo3" << 12 << "12 " << "12 x 14 12 13 12" << "  1-C   5-G   3-E " << cMajor;
        // An index off the list runs nothing; -1 only clears the selection.
        QTest::newRow("past the last type") << "Combo2" << 63 << "Maj " << "0 x 2 0 1 0" << "  1-C   5-G   3-E " << cMajor;
        QTest::newRow("no selection") << "Combo2" << -1 << "" << "0 x 2 0 1 0" << "  1-C   5-G   3-E " << cMajor;
        // The flattened fifth and sixth, labelled alike in listing and captions.
        QTest::newRow("Dim") << "Combo2" << 24 << "Dim " << "2 x 1 x 1 2" << "  3b-Eb   1-C   5b-Gb "
                             << "5b-Gb x 3b-Eb x 1-C 5b-Gb";
        QTest::newRow("Aug5") << "Combo2" << 27 << "Aug5 " << "0 x 2 1 1 0" << "  6b-Ab   1-C   3-E "
                              << "3-E x 3-E 6b-Ab 1-C 3-E";
    }

    void selections()
    {
        QFETCH(QString, combo);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QString, frets);
        QFETCH(QString, listing);
        QFETCH(QString, captions);
        Window w;
        w.set(combo, "ListIndex", index);
        QCOMPARE(w.get(combo).toString(), text);
        QCOMPARE(w.get(combo, "ListIndex").toInt(), index == 63 ? 0 : index); // an index off the list is ignored
        QCOMPARE(w.frets(), frets);
        QCOMPARE(w.get(QStringLiteral("Text1")).toString(), listing);
        QCoreApplication::processEvents(); // the labels catch up at the next pass of the event loop
        QStringList shown;
        for (int s = 2; s <= 7; ++s)
            shown << (!qobject_cast<LabelControl*>(w.w(u"Label%1"_s.arg(s)))->shows() ? u"x"_s : w.get(u"Label%1"_s.arg(s), "Caption").toString().trimmed());
        QCOMPARE(shown.join(u' '), captions);
    }

    void typedTextTakenAtTheNextRun_data()
    {
        QTest::addColumn<int>("combo"); // where the text is typed, 1 to 3
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("chosen"); // the combo then chosen from its list
        QTest::addColumn<QString>("shown"); // the typed box after the run
        QTest::addColumn<QList<int>>("lists"); // the list indices then selected (-1: none)
        QTest::addColumn<QString>("frets");
        QTest::addColumn<QString>("listing");
        // A new root typed is computed twice: the listing names the chord shown.
        const char* gMin7[] = {"1 1 0 0 x 1", "  7b-F   3b-Bb   1-G   5-D "};
        QTest::newRow("G, then Min7") << 1 << "G" << 2 << "G " << QList<int>{10, 6, 0} << gMin7[0] << gMin7[1];
        QTest::newRow("blanks, lower case") << 1 << " g  " << 2 << "G " << QList<int>{10, 6, 0} << gMin7[0] << gMin7[1];
        QTest::newRow("min7, then G") << 2 << "min7" << 1 << "Min7 " << QList<int>{10, 6, 0} << gMin7[0] << gMin7[1];
        QTest::newRow("MIN7, then position 5") << 2 << "MIN7" << 3 << "Min7 " << QList<int>{3, 6, 5} << "6 6 5 5 x 6"
                                               << "  7b-Bb   3b-Eb   1-C   5-G ";
        QTest::newRow("5, then 7th") << 3 << "5" << 2 << "5 " << QList<int>{3, 35, 5} << "6 7 5 5 5 6"
                                     << "  7b-Bb   1-C   5-G   3-E ";
        // The root chosen again is computed twice too: the second run lists
        // from the tables the first left at the typed position.
        QTest::newRow("2, then C again") << 3 << "2" << 1 << "2 " << QList<int>{3, 0, 2} << "3 3 2 x x 3"
                                         << "  5-G   1-C   3-E ";
        QTest::newRow("no such type stays") << 2 << "mi" << 1 << "mi" << QList<int>{10, -1, 0} << "x x x x x x" << "";
    }

    void typedTextTakenAtTheNextRun()
    {
        QFETCH(int, combo);
        QFETCH(QString, typed);
        QFETCH(int, chosen);
        QFETCH(QString, shown);
        QFETCH(QList<int>, lists);
        QFETCH(QString, frets);
        QFETCH(QString, listing);
        Window w;
        auto* box = qobject_cast<QComboBox*>(w.w(u"Combo%1"_s.arg(combo)));
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), typed);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTest::keyClick(box->lineEdit(), Qt::Key_Tab); // neither Return nor leaving the field runs anything
        QCOMPARE(box->currentText(), typed);
        QCOMPARE(w.frets(), u"0 x 2 0 1 0"_s);
        w.set(u"Combo%1"_s.arg(chosen), "ListIndex", lists[chosen - 1]);
        QCOMPARE(box->currentText(), shown);
        QCOMPARE(w.get(u"Combo%1"_s.arg(combo), "ListIndex").toInt(), lists[combo - 1]);
        QCOMPARE(w.frets(), frets);
        QCOMPARE(w.get(u"Text1"_s).toString(), listing);
    }

    void everyStringControlReachesItsString_data()
    {
        // From A 7th at 5 (5 7 5 6 5 5, every string sounding, none at an end).
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("button");
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("frets");
        const char* arrows[12] = {"6 7 5 6 5 5", "4 7 5 6 5 5", "5 8 5 6 5 5", "5 6 5 6 5 5",
                                  "5 7 6 6 5 5", "5 7 4 6 5 5", "5 7 5 7 5 5", "5 7 5 5 5 5",
                                  "5 7 5 6 6 5", "5 7 5 6 4 5", "5 7 5 6 5 6", "5 7 5 6 5 4"};
        for (int i = 0; i < 12; ++i) {
            const QString name = QStringLiteral("Label%1").arg(15 + i);
            QTest::newRow(qPrintable(name)) << name << 0 << 0.0 << arrows[i];
        }
        QTest::newRow("Label2 right, left edge") << "Label2" << int(Qt::RightButton) << 150.0 << "6 7 5 6 5 5";
        QTest::newRow("Label3 right, nut side") << "Label3" << int(Qt::RightButton) << 150.1 << "5 6 5 6 5 5";
        QTest::newRow("Label4 left") << "Label4" << int(Qt::LeftButton) << 400.0 << "5 7 x 6 5 5";
        QTest::newRow("Label5 middle") << "Label5" << int(Qt::MiddleButton) << 400.0 << "5 7 5 x 5 5";
        QTest::newRow("Label6 right, left edge") << "Label6" << int(Qt::RightButton) << 100.0 << "5 7 5 6 6 5";
        QTest::newRow("Label7 right, nut side") << "Label7" << int(Qt::RightButton) << 400.0 << "5 7 5 6 5 4";
        QTest::newRow("Label15 right: no click") << "Label15" << int(Qt::RightButton) << 100.0 << "5 7 5 6 5 5";
    }

    void everyStringControlReachesItsString()
    {
        QFETCH(QString, name);
        QFETCH(int, button);
        QFETCH(double, x);
        QFETCH(QString, frets);
        Window w;
        w.set(QStringLiteral("Combo1"), "ListIndex", 0);
        w.set(QStringLiteral("Combo2"), "ListIndex", 35);
        w.set(QStringLiteral("Combo3"), "ListIndex", 5);
        QCOMPARE(w.frets(), QStringLiteral("5 7 5 6 5 5"));
        w.f.syncDisplay();
        if (button == 0)
            QTest::mouseClick(w.w(name), Qt::LeftButton);
        else
            press(w.w(name), Qt::MouseButton(button), QPointF(x, 100));
        QCOMPARE(w.frets(), frets);
        // A hand edit recomputes nothing.
        QCOMPARE(w.get(QStringLiteral("Text1")).toString(), QStringLiteral("  7b-G   3-Db   1-A   5-E "));
    }

    void pictureZones_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("frets"); // C major as shown after the press
        QTest::newRow("11235: fret 0") << 1 << 11235.0 << 3000.0 << "0" << "0 x 2 0 1 0";
        QTest::newRow("11234.9: fret 1") << 1 << 11234.9 << 3000.0 << "1" << "3 3 2 x 1 3";
        QTest::newRow("11730: fret 0") << 4 << 11730.0 << 3000.0 << "0" << "0 x 2 0 1 0";
        QTest::newRow("11730.1: off") << 1 << 11730.1 << 3000.0 << "" << "";
        QTest::newRow("7410: fret 12") << 1 << 7410.0 << 3000.0 << "12" << "12 x 14 12 13 12";
        QTest::newRow("7409.9: off") << 1 << 7409.9 << 3000.0 << "" << "";
        QTest::newRow("7440: fret 11") << 1 << 7440.0 << 3000.0 << "11" << "12 x x 12 13 12";
        QTest::newRow("9135: fret 5") << 1 << 9135.0 << 2600.0 << "5" << "x 7 5 5 5 x";
        QTest::newRow("top edge") << 1 << 9000.0 << 2445.0 << "6" << "8 7 x x 8 8";
        QTest::newRow("bottom edge") << 1 << 9000.0 << 3235.0 << "6" << "8 7 x x 8 8";
        QTest::newRow("above") << 1 << 9000.0 << 2444.9 << "" << "";
        QTest::newRow("below") << 1 << 9000.0 << 3235.1 << "" << "";
        QTest::newRow("right button") << 2 << 9000.0 << 3000.0 << "" << "";
        // The knob opens the volume window; its edges are neither knob nor neck.
        QTest::newRow("knob") << 1 << 5700.0 << 4200.0 << "knob" << "";
        QTest::newRow("knob, middle button") << 4 << 5651.0 << 4379.0 << "knob" << "";
        QTest::newRow("knob, right button") << 2 << 5700.0 << 4200.0 << "" << "";
        QTest::newRow("knob left edge") << 1 << 5650.0 << 4200.0 << "" << "";
        QTest::newRow("knob right edge") << 1 << 5800.0 << 4200.0 << "" << "";
        QTest::newRow("knob top edge") << 1 << 5700.0 << 4150.0 << "" << "";
        QTest::newRow("knob bottom edge") << 1 << 5700.0 << 4380.0 << "" << "";
    }

    void pictureZones()
    {
        QFETCH(int, button);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QString, position);
        QFETCH(QString, frets);
        Window w;
        w.set(QStringLiteral("Combo3"), "Text", QStringLiteral("9 "));
        // Dots and lines lie over the picture but let presses through to it.
        QCOMPARE(w.f.centralWidget()->childAt(QPoint((11400 + 52) / 15, (5040 + 52) / 15)),
                 w.w(QStringLiteral("Image1")));
        press(w.w(QStringLiteral("Image1")), Qt::MouseButton(button), QPointF(x, y));
        const bool knob = position == QLatin1String("knob"), neck = !knob && !position.isEmpty();
        QCOMPARE(w.get(QStringLiteral("Combo3")).toString(), neck ? position : QStringLiteral("9 "));
        QCOMPARE(w.frets(), neck ? frets : u"0 x 2 0 1 0"_s); // elsewhere nothing runs
        QCOMPARE(w.f.volumeWindow() && w.f.volumeWindow()->isVisible(), knob);
        if (knob)
            QCOMPARE(w.f.volumeWindow()->focusWidget(), w.f.volumeWindow()->picture());
    }

    void leavingThePictureEndsTheStrum_data()
    {
        QTest::addColumn<bool>("leave");
        QTest::addColumn<int>("sounding");
        QTest::newRow("staying: every string crossed") << false << 5;
        QTest::newRow("leaving: nothing crossed") << true << 0;
    }
    void leavingThePictureEndsTheStrum()
    {
        QFETCH(bool, leave);
        QFETCH(int, sounding);
        Window w;
        moveOver(w.f, 4000, 2500); // above the strings
        if (leave) {
            QEvent left(QEvent::Leave);
            QApplication::sendEvent(w.w(u"Image1"_s), &left);
        }
        moveOver(w.f, 4000, 3250); // coming back below them
        int playing = 0;
        for (int s = 1; s <= 6; ++s)
            playing += w.f.players()[s]->playState() == StringPlayer::Playing;
        QCOMPARE(playing, sounding);
    }

    // The search boxes and the "Search", "Next" and "Clear" buttons.
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

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
