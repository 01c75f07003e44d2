// The volume window: loaded by the timer, opened by the knob, the slider and
// the players' volume, following the main window.
#include "windowtest.h"

#include <QMouseEvent>

#include "Form2.h"
#include "stringplayer.h"
#include "volumeslider.h"

using namespace chordmoss;
using windowtest::press;

namespace {

QList<int> volumes(Form1& f)
{
    QList<int> out;
    for (int s = 1; s <= 6; ++s)
        out << f.players()[s]->volume();
    return out;
}

QString shown(Form2* w) { return w->findChild<QObject*>(QStringLiteral("Label1"))->property("Caption").toString(); }

/// A pointer move over the slider with the given buttons held, X in pixels
/// of the inner drawing area.
void drag(Form2* w, double x, Qt::MouseButtons buttons = Qt::LeftButton)
{
    VolumeSlider* p = w->picture();
    const QPointF pos(x + VolumeSlider::kFrame, 10 + VolumeSlider::kFrame);
    QMouseEvent move(QEvent::MouseMove, pos, p->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(p, &move);
}

/// Opens the volume window by a press on the pictured knob.
Form2* openByKnob(Form1& f)
{
    press(windowtest::widget(&f, QStringLiteral("Image1")), Qt::LeftButton, QPointF(5700, 4200));
    return f.volumeWindow();
}

} // namespace

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    void loadedHiddenOneTickAfterStart();
    void layoutAndFlags();
    void dragSetsPlayers();
    void reopeningRestoresTheVolume();
    void ignoredMoves();
    void closeAndTheNextTick();
    void knobReopensAndFocuses();
    void knobZone_data();
    void knobZone();
    void followsTheMainWindow();
    void closingTheMainWindowUnloadsIt();
};

void TestVolume::loadedHiddenOneTickAfterStart()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(!f.volumeWindow());
    QCOMPARE(volumes(f), QList<int>(6, 50));
    QTRY_VERIFY_WITH_TIMEOUT(f.volumeWindow() != nullptr, 1500);
    QVERIFY(!f.volumeWindow()->isVisible());
    QCOMPARE(volumes(f), QList<int>(6, 60));
    QCOMPARE(shown(f.volumeWindow()), QStringLiteral("60"));
    QCOMPARE(f.module().Volume, 60.0f);
}

void TestVolume::layoutAndFlags()
{
    Form1 f;
    f.show();
    Form2* w = openByKnob(f);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("             Volume Control Slider"));
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    // The wedge fills up to its last column and the bar stands where the slider says.
    const QImage& img = w->picture()->surface();
    const int bar = int(w->barPositionFor(60));
    QCOMPARE(bar, 66);
    QCOMPARE(img.pixelColor(bar + 7, 2), QColor(255, 128, 0));
    QCOMPARE(img.pixelColor(128, 20), QColor(Qt::black));
    QCOMPARE(img.pixelColor(128, 7), QColor(Qt::black));
    QVERIFY(img.pixelColor(10, 3) != QColor(Qt::black));
    QVERIFY(img.pixelColor(128, 3) != QColor(Qt::black));
}

void TestVolume::dragSetsPlayers()
{
    Form1 f;
    f.show();
    Form2* w = openByKnob(f);
    drag(w, 0);
    QCOMPARE(shown(w), QStringLiteral("0"));
    QCOMPARE(volumes(f), QList<int>(6, 0));
    QCOMPARE(f.module().Volume, 0.0f);
    drag(w, 60);
    QCOMPARE(shown(w), QStringLiteral("55"));
    QCOMPARE(volumes(f), QList<int>(6, 55));
    QCOMPARE(f.module().Volume, 55.0f);
    drag(w, 113); // beyond 100 reaches the players, which keep to 100
    QCOMPARE(shown(w), QStringLiteral("103"));
    QCOMPARE(volumes(f), QList<int>(6, 100));
    drag(w, 0);
    w->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    f.Timer1_Timer(); // the next load turns a volume of 0 into 60
    QCOMPARE(shown(f.volumeWindow()), QStringLiteral("60"));
    QCOMPARE(volumes(f), QList<int>(6, 60));
}

void TestVolume::reopeningRestoresTheVolume()
{
    Form1 f;
    f.show();
    Form2* w = openByKnob(f);
    drag(w, 60);
    w->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY(!f.volumeWindow());
    w = openByKnob(f);
    QCOMPARE(shown(w), QStringLiteral("55"));
    QCOMPARE(volumes(f), QList<int>(6, 55));
    QCOMPARE(w->picture()->surface().pixelColor(int(w->barPositionFor(55)) + 2, 2), QColor(255, 128, 0));
}

void TestVolume::ignoredMoves()
{
    Form1 f;
    f.show();
    Form2* w = openByKnob(f);
    drag(w, 30);
    const QString before = shown(w);
    drag(w, 129 - 15);
    drag(w, 200);
    drag(w, -1);
    drag(w, 80, Qt::RightButton);
    drag(w, 80, Qt::LeftButton | Qt::RightButton);
    drag(w, 80, Qt::NoButton);
    QTest::mouseClick(w->picture(), Qt::LeftButton, {}, QPoint(90, 10));
    QCOMPARE(shown(w), before);
    QCOMPARE(volumes(f), QList<int>(6, before.toInt()));
}

void TestVolume::closeAndTheNextTick()
{
    Form1 f;
    f.show();
    Form2* w = openByKnob(f);
    drag(w, 40);
    QPointer<Form2> old = w;
    w->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY(!f.volumeWindow());
    QTRY_VERIFY(old.isNull());
    QCOMPARE(f.module().Volume, 36.0f); // kept
    f.Timer1_Timer();
    QVERIFY(f.volumeWindow() && !f.volumeWindow()->isVisible());
    QCOMPARE(shown(f.volumeWindow()), QStringLiteral("36"));
    // The title bar's close button closes it the same way.
    openByKnob(f)->close();
    QVERIFY(!f.volumeWindow());
}

void TestVolume::knobReopensAndFocuses()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QPointer<Form2> first = openByKnob(f);
    const QString text = f.findChild<QObject*>(QStringLiteral("Text1"))->property("Text").toString();
    QPointer<Form2> second = openByKnob(f);
    QVERIFY(second && second != first);
    QVERIFY(second->isVisible());
    QTRY_VERIFY(first.isNull());
    QCOMPARE(second->focusWidget(), second->picture());
    QCOMPARE(f.findChild<QObject*>(QStringLiteral("Text1"))->property("Text").toString(), text);
}

void TestVolume::knobZone_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("opens");
    QTest::newRow("inside") << 1 << 5700.0 << 4200.0 << true;
    QTest::newRow("middle button") << 4 << 5651.0 << 4379.0 << true;
    QTest::newRow("right button") << 2 << 5700.0 << 4200.0 << false;
    QTest::newRow("left edge") << 1 << 5650.0 << 4200.0 << false;
    QTest::newRow("right edge") << 1 << 5800.0 << 4200.0 << false;
    QTest::newRow("top edge") << 1 << 5700.0 << 4150.0 << false;
    QTest::newRow("bottom edge") << 1 << 5700.0 << 4380.0 << false;
}

void TestVolume::knobZone()
{
    QFETCH(int, button);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, opens);
    Form1 f;
    f.show();
    press(windowtest::widget(&f, QStringLiteral("Image1")), Qt::MouseButton(button), QPointF(x, y));
    QCOMPARE(f.volumeWindow() != nullptr && f.volumeWindow()->isVisible(), opens);
}

void TestVolume::followsTheMainWindow()
{
    Form1 f;
    f.show();
    Form2* w = openByKnob(f);
    f.move(f.pos() + QPoint(40, 30));
    QTRY_COMPARE_WITH_TIMEOUT(w->pos(), f.frameGeometry().topLeft() + QPoint(567, 80), 1500);
}

void TestVolume::closingTheMainWindowUnloadsIt()
{
    for (bool opened : {true, false}) {
        Form1 f;
        f.show();
        if (opened)
            openByKnob(f);
        QVERIFY(f.close());
        QVERIFY(!f.volumeWindow());
    }
}

QTEST_MAIN(TestVolume)
#include "test_volume.moc"
