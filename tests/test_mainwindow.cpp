// The main window driven as a user drives it: start-up, the combos, the hand
// edits on labels and arrows, presses on the neck, the menus.
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "Form1.h"
#include "controls.h"

using namespace chordmoss;

namespace {

QVariant prop(QObject* root, const char* name, const char* property)
{
    QObject* o = root->findChild<QObject*>(QString::fromLatin1(name));
    if (!o)
        qFatal("no control %s", name);
    return o->property(property);
}

QString caption(QObject* root, const char* name) { return prop(root, name, "Caption").toString(); }
bool visible(QObject* root, const char* name) { return prop(root, name, "Visible").toBool(); }
double num(QObject* root, const char* name, const char* property) { return prop(root, name, property).toDouble(); }

QWidget* widget(QObject* root, const char* name) { return root->findChild<QWidget*>(QString::fromLatin1(name)); }

/// The next control that Tab moves the focus to.
QWidget* nextTabStop(QWidget* w)
{
    do
        w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy());
    return w;
}

/// Frets of strings 1..6 read from the dots ("x" for a hidden dot).
QString frets(Form1& f)
{
    static const double columns[] = {11400, 11040, 10560, 10200, 9840, 9440, 9070, 8760,
                                     8450,  8160,  7870,  7600,  7370, 7120, 6920};
    QStringList out;
    for (int s = 1; s <= 6; ++s) {
        const QByteArray dot = "Shape" + QByteArray::number(s);
        if (!visible(&f, dot.constData())) {
            out << QStringLiteral("x");
            continue;
        }
        const double left = num(&f, dot.constData(), "Left");
        int fret = -1;
        for (int i = 0; i < 15; ++i)
            if (columns[i] == left)
                fret = i;
        out << QString::number(fret);
    }
    return out.join(QLatin1Char(' '));
}

/// Answers the next modal message box from inside its event loop, recording
/// its title and text, the way a user presses OK.
struct MessageCatcher {
    QString title, text;
    bool iconless = false;
    void arm()
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            iconless = box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1;
            box->button(QMessageBox::Ok)->click();
        });
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void layout();
    void rootSelectionRunsTwice();
    void typingAndTickingWaitForTheNextRun();
    void arrowButtons();
    void arrowButtonsBeyondTwelve();
    void noteLabelToggle();
    void noteLabelMoves_data();
    void noteLabelMoves();
    void noteLabelRealPresses();
    void neckZones_data();
    void neckZones();
    void neckPressesReachThePicture();
    void badInputIsHarmless_data();
    void badInputIsHarmless();
    void menus();
};

void TestMainWindow::startUp()
{
    Form1 f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Razedu"));
    QCOMPARE(frets(f), QStringLiteral("0 x 2 0 1 0"));
    QCOMPARE(prop(&f, "Text1", "Text").toString(), QStringLiteral("  1-C   5-G   3-E "));
    const char* captions[] = {"  3-E ", nullptr, "  3-E ", "  5-G ", "  1-C ", "  3-E "};
    const char* labels[] = {"Label2", "Label3", "Label4", "Label5", "Label6", "Label7"};
    const char* ellipses[] = {"Shape7", "Shape8", "Shape9", "Shape10", "Shape11", "Shape12"};
    const char* lines[] = {"Line1", "Line2", "Line3", "Line6", "Line5", "Line4"};
    const char* less[] = {"Label15", "Label17", "Label19", "Label21", "Label23", "Label25"};
    const char* more[] = {"Label16", "Label18", "Label20", "Label22", "Label24", "Label26"};
    for (int i = 0; i < 6; ++i) {
        const bool sounds = captions[i] != nullptr;
        QCOMPARE(visible(&f, labels[i]), sounds);
        QCOMPARE(visible(&f, ellipses[i]), sounds);
        QCOMPARE(visible(&f, lines[i]), sounds);
        QCOMPARE(visible(&f, less[i]), sounds);
        QCOMPARE(visible(&f, more[i]), sounds);
        if (sounds)
            QCOMPARE(caption(&f, labels[i]), QString::fromLatin1(captions[i]));
    }
    QCOMPARE(num(&f, "Line1", "X2"), 11440.0);
    QCOMPARE(num(&f, "Line3", "X2"), 10600.0);
    QVERIFY(!visible(&f, "Shape13"));
    QVERIFY(visible(&f, "Line7"));
    QCOMPARE(prop(&f, "Combo1", "Text").toString(), QStringLiteral("C "));
    QCOMPARE(prop(&f, "Combo3", "Text").toString(), QStringLiteral("0"));
    QCOMPARE(prop(&f, "Check1", "Value").toInt(), 0);
    auto* timer = f.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 1000);

    // Shown, the widgets agree with the state of record and Combo1 has the focus.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(QApplication::focusWidget(), widget(&f, "Combo1"));
    QVERIFY(!widget(&f, "Label3")->isVisible());
    QCOMPARE(qobject_cast<QLabel*>(widget(&f, "Label2"))->text(), QStringLiteral("  3-E "));
}

void TestMainWindow::layout()
{
    // Twips become pixels at 15 to one; the controls report twips back.
    Form1 f;
    QCOMPARE(f.centralWidget()->size(), QSize(918, 529));
    QCOMPARE(widget(&f, "Combo2")->geometry(), QRect(248, 24, 97, 21));
    QCOMPARE(widget(&f, "Image1")->geometry(), QRect(0, 152, 921, 377));
    QCOMPARE(num(&f, "Combo2", "Left"), 3720.0);
    QCOMPARE(num(&f, "Text1", "Width"), 3375.0);
    QCOMPARE(qobject_cast<QComboBox*>(widget(&f, "Combo2"))->count(), 63);
    QVERIFY(qobject_cast<PictureControl*>(widget(&f, "Image1"))->hasPicture());
    // Tab order runs through the search boxes to the buttons.
    QCOMPARE(nextTabStop(widget(&f, "Search1_4")), widget(&f, "Command1"));
    QCOMPARE(nextTabStop(widget(&f, "Check1")), widget(&f, "Command4"));
    QCOMPARE(nextTabStop(widget(&f, "Command4")), widget(&f, "AltChords"));
}

void TestMainWindow::rootSelectionRunsTwice()
{
    Form1 f;
    f.findChild<QObject*>(QStringLiteral("Combo1"))->setProperty("ListIndex", 10); // "G "
    QCOMPARE(prop(&f, "Combo1", "Text").toString(), QStringLiteral("G "));
    const QString listing = prop(&f, "Text1", "Text").toString();
    QCOMPARE(listing.count(QLatin1Char('-')), 3);
    QVERIFY(listing.contains(QLatin1String("1-G ")) && listing.contains(QLatin1String("3-B "))
            && listing.contains(QLatin1String("5-D ")));
    QCOMPARE(frets(f), QStringLiteral("x 2 0 0 0 x"));

    // The arrow keys choose from the list too.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    widget(&f, "Combo2")->setFocus();
    QTest::keyClick(widget(&f, "Combo2"), Qt::Key_Down);
    QCOMPARE(prop(&f, "Combo2", "Text").toString(), QStringLiteral("Min "));
    QVERIFY(prop(&f, "Text1", "Text").toString().contains(QLatin1String("3b-Bb ")));
}

void TestMainWindow::typingAndTickingWaitForTheNextRun()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    auto* combo2 = qobject_cast<QComboBox*>(widget(&f, "Combo2"));
    combo2->setFocus();
    combo2->lineEdit()->selectAll();
    QTest::keyClicks(combo2->lineEdit(), QStringLiteral("min "));
    QTest::keyClick(combo2->lineEdit(), Qt::Key_Return);
    QTest::keyClick(combo2->lineEdit(), Qt::Key_Tab); // leaving the field selects nothing
    QTest::mouseClick(widget(&f, "Check1"), Qt::LeftButton);
    QCOMPARE(combo2->currentText(), QStringLiteral("min ")); // not corrected to a list item
    QCOMPARE(prop(&f, "Check1", "Value").toInt(), 1);
    QCOMPARE(frets(f), QStringLiteral("0 x 2 0 1 0"));
    QCOMPARE(prop(&f, "Text1", "Text").toString(), QStringLiteral("  1-C   5-G   3-E "));

    // The next run reads what was typed: "min " is no type, so all is muted.
    QTest::mouseClick(widget(&f, "AltChords"), Qt::LeftButton);
    QCOMPARE(frets(f), QStringLiteral("x x x x x x"));
    QVERIFY(prop(&f, "Text1", "Text").toString().isEmpty());

    combo2->lineEdit()->setText(QStringLiteral("Maj "));
    QTest::mouseClick(widget(&f, "AltChords"), Qt::LeftButton); // alternate off again, four frets on
    QCOMPARE(frets(f), QStringLiteral("0 3 2 0 1 0"));
}

void TestMainWindow::arrowButtons()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(widget(&f, "Label16"), Qt::LeftButton); // ">" at the nut: nothing
    QCOMPARE(num(&f, "Shape1", "Left"), 11400.0);
    QTest::mouseClick(widget(&f, "Label15"), Qt::LeftButton);
    QCOMPARE(num(&f, "Shape1", "Left"), 11040.0);
    QCOMPARE(num(&f, "Line1", "X2"), 11080.0);
    QCOMPARE(caption(&f, "Label2"), QStringLiteral("  F "));
    QTest::mouseClick(widget(&f, "Label16"), Qt::LeftButton);
    QCOMPARE(caption(&f, "Label2"), QStringLiteral("   E "));
    QCOMPARE(prop(&f, "Text1", "Text").toString(), QStringLiteral("  1-C   5-G   3-E ")); // no recomputation

    // String 3 at fret 2: "<" to fret 3, ">" to fret 1.
    QTest::mouseClick(widget(&f, "Label19"), Qt::LeftButton);
    QCOMPARE(num(&f, "Shape3", "Left"), 10200.0);
    QCOMPARE(caption(&f, "Label4"), QStringLiteral("  F "));
    QTest::mouseClick(widget(&f, "Label20"), Qt::LeftButton);
    QTest::mouseClick(widget(&f, "Label20"), Qt::LeftButton);
    QCOMPARE(num(&f, "Shape3", "Left"), 11040.0);
    QCOMPARE(caption(&f, "Label4"), QStringLiteral("   Eb "));

    // Twelve presses reach fret 12; a thirteenth changes nothing. The G
    // string's arrows move Shape4 and Line6.
    for (int i = 0; i < 13; ++i)
        f.Label21_Click();
    QCOMPARE(num(&f, "Shape4", "Left"), 7370.0);
    QCOMPARE(num(&f, "Line6", "X2"), 7410.0);
    QCOMPARE(caption(&f, "Label5"), QStringLiteral("  G "));
    QCOMPARE(frets(f), QStringLiteral("0 x 1 12 1 0"));

    // A turned-off string's hidden dot still moves, and shows there later.
    f.Label7_MouseDown(LeftButton, 0, 300, 100);
    QVERIFY(!visible(&f, "Shape6") && !visible(&f, "Line4") && visible(&f, "Label7"));
    f.Label25_Click();
    QVERIFY(!visible(&f, "Shape6"));
    f.Label7_MouseDown(LeftButton, 0, 300, 100);
    QCOMPARE(num(&f, "Shape6", "Left"), 11040.0);
    QCOMPARE(num(&f, "Line4", "X2"), 11080.0);

    // Any computation puts everything back.
    f.findChild<QObject*>(QStringLiteral("Combo3"))->setProperty("ListIndex", 0);
    QCOMPARE(frets(f), QStringLiteral("0 x 2 0 1 0"));
    QCOMPARE(caption(&f, "Label2"), QStringLiteral("  3-E "));
}

void TestMainWindow::arrowButtonsBeyondTwelve()
{
    Form1 f;
    for (double left : {7120.0, 6920.0}) {
        f.findChild<QObject*>(QStringLiteral("Shape2"))->setProperty("Left", left);
        f.Label17_Click(); // "<": nothing
        QCOMPARE(num(&f, "Shape2", "Left"), left);
        f.Label18_Click(); // ">": to fret 12
        QCOMPARE(num(&f, "Shape2", "Left"), 7370.0);
        QCOMPARE(caption(&f, "Label3"), QStringLiteral("   A "));
    }
    QVERIFY(!visible(&f, "Shape2")); // the buttons never change visibility
}

void TestMainWindow::noteLabelToggle()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(widget(&f, "Label4"), Qt::LeftButton, {}, QPoint(30, 10));
    QVERIFY(!visible(&f, "Shape3") && !visible(&f, "Line3"));
    QVERIFY(visible(&f, "Label4") && visible(&f, "Shape9") && visible(&f, "Label19") && visible(&f, "Label20"));
    QTest::mouseClick(widget(&f, "Label4"), Qt::MiddleButton, {}, QPoint(30, 10));
    QVERIFY(visible(&f, "Shape3") && visible(&f, "Line3"));
    QCOMPARE(num(&f, "Shape3", "Left"), 10560.0);
}

void TestMainWindow::noteLabelMoves_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<double>("startLeft");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("left");
    QTest::addColumn<QString>("caption");
    QTest::newRow("low E toward the body") << "Label2" << 11400.0 << 150.0 << 11040.0 << "  F ";
    QTest::newRow("low E toward the nut: three spaces") << "Label2" << 11040.0 << 150.1 << 11400.0 << "   E ";
    QTest::newRow("high E toward the nut: two") << "Label7" << 11040.0 << 150.1 << 11400.0 << "  E ";
    QTest::newRow("edge at the top fret") << "Label3" << 7370.0 << 0.0 << 7370.0 << "";
    QTest::newRow("nut side at the nut") << "Label3" << 11400.0 << 400.0 << 11400.0 << "";
    QTest::newRow("fret 14 edge: nothing") << "Label5" << 6920.0 << 100.0 << 6920.0 << "";
    QTest::newRow("fret 13 to 12") << "Label5" << 7120.0 << 200.0 << 7370.0 << "  G ";
    QTest::newRow("off any column to 12") << "Label6" << 8000.0 << 900.0 << 7370.0 << "  B ";
    QTest::newRow("fret 3 toward the body") << "Label6" << 10200.0 << 20.0 << 9840.0 << "  Eb ";
}

void TestMainWindow::noteLabelMoves()
{
    QFETCH(QString, label);
    QFETCH(double, startLeft);
    QFETCH(double, x);
    QFETCH(double, left);
    QFETCH(QString, caption);
    Form1 f;
    f.findChild<QObject*>(QStringLiteral("Combo2"))->setProperty("Text", QStringLiteral("none"));
    f.RunIt(); // every string muted
    const int s = label.mid(5).toInt() - 1;
    const QByteArray dot = "Shape" + QByteArray::number(s);
    f.findChild<QObject*>(QString::fromLatin1(dot))->setProperty("Left", startLeft);
    const QString before = ::caption(&f, label.toLatin1().constData());
    QMetaObject::invokeMethod(&f, (label + QStringLiteral("_MouseDown")).toLatin1().constData(),
                              Q_ARG(int, RightButton), Q_ARG(int, 0), Q_ARG(double, x), Q_ARG(double, 30.0));
    QCOMPARE(num(&f, dot.constData(), "Left"), left);
    const bool moved = !caption.isEmpty();
    QCOMPARE(::caption(&f, label.toLatin1().constData()), moved ? caption : before);
    // A move shows the whole group, even of a muted string.
    QCOMPARE(visible(&f, dot.constData()), moved);
    QCOMPARE(visible(&f, label.toLatin1().constData()), moved);
}

void TestMainWindow::noteLabelRealPresses()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // Pixel 10 is 150 twips: the left edge. Pixel 11 is past it.
    QTest::mouseClick(widget(&f, "Label2"), Qt::RightButton, {}, QPoint(10, 30));
    QCOMPARE(num(&f, "Shape1", "Left"), 11040.0);
    QTest::mouseClick(widget(&f, "Label2"), Qt::RightButton, {}, QPoint(11, 30));
    QCOMPARE(num(&f, "Shape1", "Left"), 11400.0);
    QCOMPARE(caption(&f, "Label2"), QStringLiteral("   E "));
}

void TestMainWindow::neckZones_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("position");
    QTest::newRow("11235: fret 0") << 1 << 11235.0 << 3000.0 << "0";
    QTest::newRow("11234.9: fret 1") << 1 << 11234.9 << 3000.0 << "1";
    QTest::newRow("11730: fret 0") << 4 << 11730.0 << 3000.0 << "0";
    QTest::newRow("11730.1: off") << 1 << 11730.1 << 3000.0 << "";
    QTest::newRow("7410: fret 12") << 1 << 7410.0 << 3000.0 << "12";
    QTest::newRow("7409.9: off") << 1 << 7409.9 << 3000.0 << "";
    QTest::newRow("7440: fret 11") << 1 << 7440.0 << 3000.0 << "11";
    QTest::newRow("9135: fret 5") << 1 << 9135.0 << 2600.0 << "5";
    QTest::newRow("9134.9: fret 6") << 1 << 9134.9 << 2600.0 << "6";
    QTest::newRow("top edge") << 1 << 9000.0 << 2445.0 << "6";
    QTest::newRow("bottom edge") << 1 << 9000.0 << 3235.0 << "6";
    QTest::newRow("above") << 1 << 9000.0 << 2444.9 << "";
    QTest::newRow("below") << 1 << 9000.0 << 3235.1 << "";
    QTest::newRow("right button") << 2 << 9000.0 << 3000.0 << "";
    QTest::newRow("knob edge") << 1 << 5650.0 << 4200.0 << "";
}

void TestMainWindow::neckZones()
{
    QFETCH(int, button);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QString, position);
    Form1 f;
    f.findChild<QObject*>(QStringLiteral("Combo3"))->setProperty("Text", QStringLiteral("9 "));
    f.Image1_MouseDown(button, 0, x, y);
    QCOMPARE(prop(&f, "Combo3", "Text").toString(), position.isEmpty() ? QStringLiteral("9 ") : position);
    // A press recomputes even at the same position; no press leaves the old voicing.
    QCOMPARE(frets(f), position.isEmpty() ? QStringLiteral("0 x 2 0 1 0") : frets(f));
    if (position == QLatin1String("5"))
        QCOMPARE(frets(f), QStringLiteral("x 7 5 5 5 x"));
}

void TestMainWindow::neckPressesReachThePicture()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.syncDisplay();
    QWidget* client = f.centralWidget();
    // The open D string's dot stands over the neck at fret 0: a press on it is a neck press.
    const QPoint onDot(int((11400 + 52) / 15), int((5040 + 52) / 15));
    QCOMPARE(client->childAt(onDot), widget(&f, "Image1"));
    // An arrow lies above its note label.
    QCOMPARE(client->childAt(QPoint(int(7680 / 15) + 8, int(3720 / 15) + 8)), widget(&f, "Label15"));
    f.findChild<QObject*>(QStringLiteral("Combo3"))->setProperty("Text", QStringLiteral("7 "));
    QTest::mouseClick(widget(&f, "Image1"), Qt::LeftButton, {}, onDot - QPoint(0, 152));
    QCOMPARE(prop(&f, "Combo3", "Text").toString(), QStringLiteral("0"));
}

void TestMainWindow::badInputIsHarmless_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("frets");
    QTest::newRow("garbage root builds on A") << "Q# " << "Maj " << "0" << "0 0 2 2 2 0";
    QTest::newRow("unknown type") << "C " << "Maj" << "0" << "x x x x x x";
    QTest::newRow("empty everything") << "" << "" << "" << "x x x x x x";
    QTest::newRow("non-ASCII") << "Dé " << "Maj ☃" << "３" << "x x x x x x";
    QTest::newRow("very long") << QString(5000, QLatin1Char('C')) << "Maj " << QString(400, QLatin1Char('9')) << "x x 14 14 14 x";
    QTest::newRow("four frets at 12") << "C " << "Maj " << "12 " << "12 x 14 12 13 12";
    QTest::newRow("typed 13") << "C " << "Maj " << "13" << "x x 14 x 13 x";
    QTest::newRow("typed -2") << "C " << "Maj " << "-2" << "0 x x 0 x 0";
}

void TestMainWindow::badInputIsHarmless()
{
    QFETCH(QString, root);
    QFETCH(QString, type);
    QFETCH(QString, position);
    QFETCH(QString, frets);
    Form1 f;
    f.findChild<QObject*>(QStringLiteral("Combo1"))->setProperty("Text", root);
    f.findChild<QObject*>(QStringLiteral("Combo2"))->setProperty("Text", type);
    f.findChild<QObject*>(QStringLiteral("Combo3"))->setProperty("Text", position);
    f.findChild<QObject*>(QStringLiteral("Check1"))->setProperty("Value", position == QLatin1String("12 ") ? 1 : 0);
    f.RunIt();
    f.RunIt();
    QCOMPARE(::frets(f), frets);
    if (frets.count(QLatin1Char('x')) == 6)
        QVERIFY(prop(&f, "Text1", "Text").toString().isEmpty());
}

void TestMainWindow::menus()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    MessageCatcher help;
    help.arm();
    f.findChild<QAction*>(QStringLiteral("HLP"))->trigger();
    QCOMPARE(help.title, QStringLiteral("Razedu"));
    QVERIFY(help.iconless);
    const QString helpText = QStringLiteral(
        "Select chord by changing the three combo boxes. Click on the fret bar to change the fret position. To hear "
        "the chord move the cursor over the strings next to the pickup or click the hear button. To turn notes on "
        "and off click on the note labels. To Search for an unknown chord, enter the notes in the search boxes and "
        "click the search button. Touch the 'NEXT' buton to continue the search. To move the fingering up or down "
        "right click on the label on the left or right side or click the buttons under the chord label");
    QCOMPARE(help.text, helpText);

    MessageCatcher about;
    about.arm();
    f.findChild<QAction*>(QStringLiteral("Abt"))->trigger();
    QCOMPARE(about.title, QStringLiteral("Razedu"));
    QVERIFY(about.text.contains(QLatin1String("Chordmoss")));

    QVERIFY(f.findChild<QAction*>(QStringLiteral("Exit")));
    QVERIFY(f.findChild<QObject*>(QStringLiteral("File")));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
