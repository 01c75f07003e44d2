// The search boxes and the chord search, driven through the real window.
#include <QtTest>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

#include "Form1.h"

using namespace chordmoss;

namespace {

/// Answers every modal message box that comes up, recording its text and, at
/// that moment, whatever `snapshot` returns.
class Messages : public QObject {
public:
    explicit Messages(std::function<QString()> snapshot = {}) : m_snapshot(std::move(snapshot))
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == m_last)
                return;
            m_last = box;
            texts << box->text();
            titles << box->windowTitle();
            seen << (m_snapshot ? m_snapshot() : QString());
            box->button(QMessageBox::Ok)->click();
        });
        m_timer.start();
    }
    QStringList texts, titles, seen;

private:
    QTimer m_timer;
    QPointer<QMessageBox> m_last;
    std::function<QString()> m_snapshot;
};

struct Window {
    Form1 f;
    Window()
    {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f))
            qFatal("window not exposed");
    }
    QLineEdit* box(int i) { return f.findChild<QLineEdit*>(QStringLiteral("Search1_%1").arg(i)); }
    QPushButton* button(const char* name) { return f.findChild<QPushButton*>(QString::fromLatin1(name)); }
    QString text(const char* name) { return f.findChild<QObject*>(QString::fromLatin1(name))->property("Text").toString(); }
    QString chord() { return text("Combo1") + QLatin1Char('|') + text("Combo2"); }
    void enter(const QStringList& notes)
    {
        for (int i = 0; i < notes.size(); ++i)
            box(i)->setText(notes[i]);
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QList<int> cursor() const
    {
        const auto& c = const_cast<Form1&>(f).module().SearchCursor;
        return {c[1], c[2], c[3]};
    }
};

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void rejectionsAndTheirOrder();
    void normalisation_data();
    void normalisation();
    void searchReadsTheBoxBeingEdited();
    void emptyFirstBox();
    void oneNoteStepsThroughChords();
    void threeNotes();
    void gapsBetweenBoxesDoNotMatter();
    void notFound_data();
    void notFound();
    void nextAfterNotFound();
    void clearKeepsCursorAndDisplay();
};

void TestSearch::rejectionsAndTheirOrder()
{
    Window w;
    Messages m([&] { return w.box(0)->text(); });
    w.box(0)->setFocus();
    QTest::keyClicks(w.box(0), QStringLiteral("h"));
    QCOMPARE(w.box(0)->text(), QString());
    QTest::keyClicks(w.box(0), QStringLiteral("#"));
    QTest::keyClicks(w.box(0), QStringLiteral("F#"));
    QCOMPARE(w.box(0)->text(), QString());
    QTest::keyClicks(w.box(0), QStringLiteral("c#x"));
    QTest::keyClicks(w.box(0), QStringLiteral(" "));
    QTest::keyClicks(w.box(0), QStringLiteral("9"));
    QTest::keyClicks(w.box(0), QStringLiteral("Gx"));
    // A bad letter is shown before the box is emptied; a sharp after.
    const QString letter = QStringLiteral("Please enter a letter between A and G");
    const QString flats = QStringLiteral("Please only enter flats");
    QCOMPARE(m.texts, QStringList({letter, letter, flats, flats, letter, letter, letter}));
    QCOMPARE(m.seen, QStringList({QStringLiteral("h"), QStringLiteral("#"), QString(), QString(), QStringLiteral("x"),
                                  QStringLiteral(" "), QStringLiteral("9")}));
    QCOMPARE(m.titles, QStringList(7, QStringLiteral("Razedu")));
    QCOMPARE(w.box(0)->text(), QStringLiteral("Gx")); // later letters are free
    QCOMPARE(w.text("Combo2"), QStringLiteral("Maj ")); // nothing else touched
}

void TestSearch::normalisation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("c") << "c" << "C ";
    QTest::newRow("eb") << "eb" << "Eb ";
    QTest::newRow("EB") << "EB" << "Eb ";
    QTest::newRow("bb") << "bb" << "Bb ";
    QTest::newRow("g and two spaces") << "g  " << "G ";
    QTest::newRow("abc") << "abc" << "AbC ";
    QTest::newRow("Cb") << "Cb" << "Cb ";
    QTest::newRow("Gx") << "Gx" << "Gx ";
    QTest::newRow("Db") << "DB" << "Db ";
}

void TestSearch::normalisation()
{
    QFETCH(QString, typed);
    QFETCH(QString, left);
    Window w;
    Messages m;
    w.box(1)->setFocus();
    QTest::keyClicks(w.box(1), typed);
    QTest::keyClick(w.box(1), Qt::Key_Tab);
    QCOMPARE(w.box(1)->text(), left);
    // Leaving it again, several times, changes nothing.
    for (int i = 0; i < 3; ++i) {
        w.box(1)->setFocus();
        w.box(3)->setFocus();
    }
    QCOMPARE(w.box(1)->text(), left);
    // An empty box stays empty, silently.
    w.box(2)->setFocus();
    w.box(4)->setFocus();
    QCOMPARE(w.box(2)->text(), QString());
    QVERIFY(m.texts.isEmpty());
}

void TestSearch::searchReadsTheBoxBeingEdited()
{
    Window w;
    Messages m;
    w.box(0)->setFocus();
    QTest::keyClicks(w.box(0), QStringLiteral("c"));
    w.click("Command1");
    QCOMPARE(w.box(0)->text(), QStringLiteral("C "));
    QCOMPARE(w.chord(), QStringLiteral("A |Min "));
    QVERIFY(m.texts.isEmpty());
}

void TestSearch::emptyFirstBox()
{
    Window w;
    Messages m;
    w.box(2)->setText(QStringLiteral("C "));
    w.click("Command1");
    w.click("Command2");
    QCOMPARE(m.texts, QStringList(2, QStringLiteral("Please enter the notes in the chord")));
    QCOMPARE(w.chord(), QStringLiteral("C |Maj "));
    QCOMPARE(w.cursor(), QList<int>({0, 0, 0}));
}

void TestSearch::oneNoteStepsThroughChords()
{
    Window w;
    Messages m;
    w.enter({QStringLiteral("C ")});
    w.click("Command1");
    QStringList found = {w.chord()};
    for (int i = 0; i < 5; ++i) {
        w.click("Command2");
        found << w.chord();
    }
    QCOMPARE(found, QStringList({QStringLiteral("A |Min "), QStringLiteral("A |Min6 "), QStringLiteral("A |Min\\6 "),
                                 QStringLiteral("A |Min6/9 "), QStringLiteral("A |Min6(9) "),
                                 QStringLiteral("A |Min7 ")}));
    QCOMPARE(w.cursor(), QList<int>({0, 6, 1}));
    // The chord found is shown with its own listing.
    QVERIFY(w.text("Text1").contains(QLatin1String("3b-C ")));
    // "Search" starts again from the beginning.
    w.click("Command1");
    QCOMPARE(w.chord(), QStringLiteral("A |Min "));
    QVERIFY(m.texts.isEmpty());
}

void TestSearch::threeNotes()
{
    Window w;
    Messages m;
    w.enter({QStringLiteral("C "), QStringLiteral("E "), QStringLiteral("G ")});
    w.click("Command1");
    QStringList found = {w.chord()};
    for (int i = 0; i < 6; ++i) {
        w.click("Command2");
        found << w.chord();
    }
    QCOMPARE(found, QStringList({QStringLiteral("A |Min7 "), QStringLiteral("A |Min7\\b3"),
                                 QStringLiteral("A |Min7\\b7 "), QStringLiteral("A |Min9 "),
                                 QStringLiteral("A |Min11 "), QStringLiteral("Bb |13#11 "),
                                 QStringLiteral("C |Maj ")}));
    QCOMPARE(w.cursor(), QList<int>({3, 0, 3}));
    // Position and options are neither read nor changed.
    QCOMPARE(w.text("Combo3"), QStringLiteral("0"));
}

void TestSearch::gapsBetweenBoxesDoNotMatter()
{
    QStringList adjacent, apart;
    for (QStringList* out : {&adjacent, &apart}) {
        Window w;
        Messages m;
        w.box(0)->setText(QStringLiteral("D "));
        w.box(out == &adjacent ? 1 : 3)->setText(QStringLiteral("Gb "));
        w.click("Command1");
        *out << w.chord();
        for (int i = 0; i < 4; ++i) {
            w.click("Command2");
            *out << w.chord();
        }
    }
    QCOMPARE(apart, adjacent);
}

void TestSearch::notFound_data()
{
    QTest::addColumn<QStringList>("notes");
    QTest::newRow("same note twice") << QStringList{QStringLiteral("C "), QStringLiteral("C ")};
    QTest::newRow("no note of the system") << QStringList{QStringLiteral("Cb ")};
    QTest::newRow("five notes no chord holds")
        << QStringList{QStringLiteral("C "), QStringLiteral("Db "), QStringLiteral("D "), QStringLiteral("Eb "),
                       QStringLiteral("E ")};
}

void TestSearch::notFound()
{
    QFETCH(QStringList, notes);
    Window w;
    Messages m;
    w.enter(notes);
    w.click("Command1");
    QCOMPARE(m.texts, QStringList({QStringLiteral("Not Found")}));
    // The last candidate stays on display.
    QCOMPARE(w.chord(), QStringLiteral("Ab |Min7-5 "));
    QVERIFY(w.text("Text1").contains(QLatin1String("1-Ab ")));
    QCOMPARE(w.cursor(), QList<int>({0, 0, 0}));
}

void TestSearch::nextAfterNotFound()
{
    Window w;
    Messages m;
    // The diminished sevenths and the 7b9 chords hold these four notes.
    w.enter({QStringLiteral("C "), QStringLiteral("Eb "), QStringLiteral("Gb "), QStringLiteral("A ")});
    w.click("Command1");
    QStringList found = {w.chord()};
    QCOMPARE(w.cursor(), QList<int>({0, 25, 4}));
    while (m.texts.isEmpty() && found.size() < 20) {
        w.click("Command2");
        if (m.texts.isEmpty())
            found << w.chord();
    }
    QCOMPARE(found, QStringList({QStringLiteral("A |Dim7 "), QStringLiteral("B |7b9 "), QStringLiteral("C |Dim7 "),
                                 QStringLiteral("D |7b9 "), QStringLiteral("Eb |Dim7 "), QStringLiteral("F |7b9 "),
                                 QStringLiteral("Gb |Dim7 "), QStringLiteral("Ab |7b9 ")}));
    QCOMPARE(m.texts, QStringList({QStringLiteral("Not Found")}));
    QCOMPARE(w.cursor(), QList<int>({11, 0, 0})); // still the root of the last chord found
    w.click("Command2"); // walks again from that root's first type
    QCOMPARE(w.chord(), QStringLiteral("Ab |7b9 "));
}

void TestSearch::clearKeepsCursorAndDisplay()
{
    Window w;
    Messages m;
    w.enter({QStringLiteral("C ")});
    w.click("Command1");
    w.box(3)->setText(QStringLiteral("Eb "));
    w.click("Command3");
    for (int i = 0; i < 5; ++i)
        QCOMPARE(w.box(i)->text(), QString());
    QCOMPARE(QApplication::focusWidget(), w.box(0));
    QCOMPARE(w.chord(), QStringLiteral("A |Min "));
    QCOMPARE(w.cursor(), QList<int>({0, 1, 1}));
    // "Next" continues from the cursor with the notes entered now.
    w.box(0)->setText(QStringLiteral("E "));
    w.click("Command2");
    QCOMPARE(w.chord(), QStringLiteral("A |Min6 "));
    QVERIFY(m.texts.isEmpty());
}

QTEST_MAIN(TestSearch)
#include "test_search.moc"
