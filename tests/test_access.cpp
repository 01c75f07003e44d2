// The window without a mouse: through Qt's accessibility interfaces, as a
// screen reader reaches them, and by the keys alone.
#include "windowtest.h"

#include <QAccessibleActionInterface>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

#include "Form2.h"
#include "controls.h"
#include "stringplayer.h"
#include "volumeslider.h"

using namespace chordmoss;
using namespace windowtest;
using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface* reader(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

QAccessibleInterface* childNamed(QAccessibleInterface* a, const QString& name)
{
    for (int i = 0; i < a->childCount(); ++i)
        if (a->child(i)->text(QAccessible::Name) == name)
            return a->child(i);
    qFatal("no child %s", qPrintable(name));
}

void pressThrough(QAccessibleInterface* a) { a->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); }

/// Every name and description under `a`, `a`'s own included.
QStringList texts(QAccessibleInterface* a)
{
    QStringList out = {a->text(QAccessible::Name), a->text(QAccessible::Description)};
    for (int i = 0; i < a->childCount(); ++i)
        out += texts(a->child(i));
    return out;
}

/// A key as the window system gives it: to the focused control.
void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), mods);
}

} // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void throughTheScreenReaderInterfaces()
    {
        Window w;
        const std::tuple<const char*, QAccessible::Role, const char*> named[] = {
            {"Combo1", QAccessible::ComboBox, "Chord"}, {"Search1_4", QAccessible::EditableText, "Search note 5"},
            {"Text1", QAccessible::EditableText, "Notes and position in chord"},
            {"Label25", QAccessible::Button, "String 1 (high E) one fret up"},
            {"Label2", QAccessible::Button, "String 6 (low E) note, on or off"},
            {"Label12", QAccessible::StaticText, "Fret numbers"}};
        for (auto [name, role, text] : named) {
            QAccessibleInterface* a = reader(control(&w.f, QLatin1String(name)));
            QVERIFY2(a->role() == role && a->text(QAccessible::Name) == QLatin1String(text), name);
        }
        // A hidden label does nothing, pressed through a reader too.
        QVERIFY(reader(control(&w.f, u"Label3"_s))->state().invisible);
        pressThrough(reader(control(&w.f, u"Label3"_s)));
        QCOMPARE(w.frets(), u"0 x 2 0 1 0"_s);
        // F, Min7 and position 3 chosen from the combos' list items.
        const std::tuple<const char*, int, const char*> choices[] = {
            {"Combo1", 12, "F"}, {"Combo2", 63, "Min7"}, {"Combo3", 13, "3"}};
        for (auto [combo, count, item] : choices) {
            QAccessibleInterface* list = reader(control(&w.f, QLatin1String(combo)))->child(0);
            QVERIFY(list->role() == QAccessible::List && list->childCount() == count);
            QCOMPARE(reader(control(&w.f, QLatin1String(combo)))->indexOfChild(list), 0);
            pressThrough(childNamed(list, QLatin1String(item)));
            QVERIFY(childNamed(list, QLatin1String(item))->state().selected);
        }
        QCOMPARE(w.get(u"Text1"_s).toString(), u"  1-F   7b-Eb   3b-Ab   5-C "_s);
        w.f.syncDisplay();
        const QStringList spoken = {u"string 6, low E: fret 4, A flat, flat third"_s, u"string 5, A: fret 3, C, fifth"_s,
                                    u"string 4, D: fret 3, F, root"_s, u"string 3, G: fret 5, C, fifth"_s,
                                    u"string 2, B: fret 4, E flat, flat seventh"_s, u"string 1, high E: fret 4, A flat, flat third"_s};
        QAccessibleInterface* string4 = reader(control(&w.f, u"Label4"_s));
        for (int s = 1; s <= 6; ++s) {
            QAccessibleInterface* label = reader(control(&w.f, u"Label%1"_s.arg(s + 1)));
            QVERIFY(label->text(QAccessible::Description) == spoken[s - 1] && label->state().checkable && label->state().checked
                    && label->text(QAccessible::Value).isEmpty());
        }
        QCOMPARE(reader(control(&w.f, u"Image1"_s))->text(QAccessible::Description), spoken.join(u"; "_s));
        string4->actionInterface()->doAction(QAccessibleActionInterface::increaseAction()); // not a label's action
        w.f.syncDisplay();
        QVERIFY(string4->state().checked);
        pressThrough(string4); // off
        w.f.syncDisplay();
        QVERIFY(string4->text(QAccessible::Description) == u"string 4, D: muted"_s && !string4->state().checked);

        // The knob is a button that opens the volume window; its slider has a value.
        QAccessibleInterface* knob = childNamed(reader(control(&w.f, u"Image1"_s)), u"Volume knob"_s);
        knob->actionInterface()->doAction(QAccessibleActionInterface::increaseAction()); // not a button's action
        auto* picture = qobject_cast<PictureControl*>(control(&w.f, u"Image1"_s));
        QSignalSpy clicks(picture, &PictureControl::mouseDown);
        picture->pressHotSpot(-1); // no such spot
        picture->pressHotSpot(1);
        QVERIFY(clicks.isEmpty() && (!w.f.volumeWindow() || !w.f.volumeWindow()->isVisible()));
        pressThrough(knob);
        Form2* v = w.f.volumeWindow();
        QVERIFY(v && v->isVisible());
        QAccessibleInterface* slider = reader(v->picture());
        QVERIFY(slider->role() == QAccessible::Slider && slider->valueInterface());
        QCOMPARE(slider->valueInterface()->currentValue().toInt(), 60);
        QCOMPARE(slider->valueInterface()->maximumValue().toInt(), 103);
        slider->valueInterface()->setCurrentValue(40);
        QCOMPARE(prop(v, u"Label1"_s, "Caption").toString(), u"40"_s);
        QCOMPARE(w.f.players()[1]->volume(), 40);

        // No designer name reaches the reader, in either window.
        const QRegularExpression designer(u"(Label|Combo|Shape|Text|Command|Search|Picture|Image|Check|Line)\\d"_s);
        for (const QString& t : texts(reader(&w.f)) + texts(reader(v)))
            QVERIFY2(!t.contains(designer), qPrintable(t));

        // About pressed through the menu bar returns before its box opens.
        Messages m;
        pressThrough(childNamed(reader(w.f.menuBar()), u"About"_s));
        QVERIFY(m.texts.isEmpty());
        QTRY_COMPARE(m.texts.size(), 1);
    }

    void byTheKeysAlone()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.f));
        key(Qt::Key_Down); // the focus starts in the root list: Db
        QCOMPARE(w.get(u"Text1"_s).toString(), u"  3-F   5-Ab   1-Db "_s);
        auto* file = w.f.findChild<QMenu*>(u"File"_s);
        for (auto [k, mods] : {std::pair(Qt::Key_F10, Qt::NoModifier), std::pair(Qt::Key_F, Qt::AltModifier)}) {
            key(k, mods);
            QTRY_COMPARE(QApplication::activePopupWidget(), file);
            QTest::keyClick(file, Qt::Key_Escape);
            QTRY_VERIFY(!file->isVisible());
        }
        Messages m;
        key(Qt::Key_F1); // Help
        QTRY_VERIFY(m.texts.size() == 1 && m.texts[0].startsWith(u"Select chord"_s));
        w.f.activateWindow(); // as a window manager does when the box closes
        QVERIFY(QTest::qWaitForWindowActive(&w.f));

        // F9 opens the volume window with the keys on its slider.
        key(Qt::Key_F9);
        QTRY_VERIFY(w.f.volumeWindow() && QApplication::focusWidget() == w.f.volumeWindow()->picture());
        const std::pair<int, int> steps[] = {{Qt::Key_Right, 61}, {Qt::Key_PageUp, 71},  {Qt::Key_Down, 70},
                                             {Qt::Key_PageDown, 60}, {Qt::Key_Home, 0}, {Qt::Key_Left, 0},
                                             {Qt::Key_End, 103}, {Qt::Key_Up, 103}};
        for (auto [k, shown] : steps) {
            key(k);
            QCOMPARE(prop(w.f.volumeWindow(), u"Label1"_s, "Caption").toInt(), shown);
        }
        QCOMPARE(w.f.players()[6]->volume(), 100);
        key(Qt::Key_Escape);
        QVERIFY(!w.f.volumeWindow());
        QTRY_VERIFY(w.f.isActiveWindow());

        QSignalSpy exit(control(&w.f, u"Exit"_s), SIGNAL(triggered()));
        key(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(exit.count(), 1);
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
