// The volume window: loaded by the timer, opened by the knob, the slider and
// the players' volume, following the main window.
#include "windowtest.h"

#include "Form2.h"
#include "stringplayer.h"
#include "volumeslider.h"

using namespace chordmoss;
using namespace windowtest;

namespace {

struct VolumeWindow : Window {
    QList<int> volumes()
    {
        QList<int> out;
        for (int s = 1; s <= 6; ++s)
            out << f.players()[s]->volume();
        return out;
    }
    QString shown() { return prop(f.volumeWindow(), QStringLiteral("Label1"), "Caption").toString(); }
    /// A press on the pictured knob.
    Form2* openByKnob()
    {
        press(w(QStringLiteral("Image1")), Qt::LeftButton, QPointF(5700, 4200));
        return f.volumeWindow();
    }
    /// A pointer move over the slider with `buttons` held, X in its pixels.
    void drag(double x, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        VolumeSlider* p = f.volumeWindow()->picture();
        const QPointF pos(x + VolumeSlider::kFrame, 10 + VolumeSlider::kFrame);
        QMouseEvent move(QEvent::MouseMove, pos, p->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(p, &move);
    }
    void close() { qobject_cast<QPushButton*>(widget(f.volumeWindow(), QStringLiteral("Command1")))->click(); }
};

} // namespace

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    void loadedHiddenOneTickAfterStartAndFollows()
    {
        VolumeWindow w;
        QVERIFY(!w.f.volumeWindow());
        QCOMPARE(w.volumes(), QList<int>(6, 50));
        QTRY_VERIFY_WITH_TIMEOUT(w.f.volumeWindow() != nullptr, 1500);
        QVERIFY(!w.f.volumeWindow()->isVisible());
        QCOMPARE(w.volumes(), QList<int>(6, 60));
        QCOMPARE(w.shown(), QStringLiteral("60"));
        Form2* v = w.openByKnob();
        w.f.move(w.f.pos() + QPoint(40, 30));
        QTRY_COMPARE_WITH_TIMEOUT(v->pos(), w.f.frameGeometry().topLeft() + QPoint(567, 80), 1500);
    }

    void slider()
    {
        VolumeWindow w;
        Form2* v = w.openByKnob();
        QVERIFY(v->isVisible() && (v->windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(v->focusWidget(), v->picture());
        // The wedge fills up to its last column; the bar stands at the volume.
        const QImage& img = v->picture()->surface();
        auto at = [&](int x, int y) { return img.pixelColor(QPoint(x, y) * img.devicePixelRatio()); };
        QCOMPARE(at(66 + 7, 2), QColor(255, 128, 0));
        QCOMPARE(at(128, 7), QColor(Qt::black));
        QVERIFY(at(128, 3) != QColor(Qt::black) && at(10, 3) != QColor(Qt::black));
        // The sunken frame is light on all its right column and bottom row,
        // the focus ring inside it.
        v->activateWindow();
        QTRY_VERIFY(v->picture()->hasFocus());
        const QImage frame = v->picture()->grab().toImage();
        const int right = v->picture()->width() - 1, bottom = v->picture()->height() - 1;
        for (int i = 0; i <= std::max(right, bottom); ++i)
            for (QPoint p : {QPoint(right, std::min(i, bottom)), QPoint(std::min(i, right), bottom)})
                QCOMPARE(frame.pixelColor(p * frame.devicePixelRatio()), QColor(Qt::white));
        const int xs[] = {0, 60, 113, 114, 200, -1};
        const char* labels[] = {"0", "55", "103", "103", "103", "103"};
        const int players[] = {0, 55, 100, 100, 100, 100}; // the players keep to 100
        for (int i = 0; i < 6; ++i) {
            w.drag(xs[i]);
            QCOMPARE(w.shown(), QString::fromLatin1(labels[i]));
            QCOMPARE(w.volumes(), QList<int>(6, players[i]));
        }
        QCOMPARE(w.f.module().Volume, 103.0f);
        // Only the left button alone drags; a press alone changes nothing.
        w.drag(30, Qt::RightButton);
        w.drag(30, Qt::LeftButton | Qt::RightButton);
        w.drag(30, Qt::NoButton);
        QTest::mouseClick(v->picture(), Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(w.shown(), QStringLiteral("103"));
    }

    void closeKeepsTheVolumeForTheNextLoad()
    {
        VolumeWindow w;
        QPointer<Form2> first = w.openByKnob();
        w.drag(60);
        w.close();
        QVERIFY(!w.f.volumeWindow());
        QTRY_VERIFY(first.isNull());
        QCOMPARE(w.f.module().Volume, 55.0f);
        w.f.Timer1_Timer(); // the next load shows the stored volume again
        QVERIFY(w.f.volumeWindow() && !w.f.volumeWindow()->isVisible());
        QCOMPARE(w.shown(), QStringLiteral("55"));
        QCOMPARE(w.volumes(), QList<int>(6, 55));
        // A knob press closes an open window and opens it afresh.
        first = w.openByKnob();
        QPointer<Form2> second = w.openByKnob();
        QVERIFY(second && second != first && second->isVisible());
        w.drag(0);
        second->close(); // the title bar's close button closes it the same way
        QVERIFY(!w.f.volumeWindow());
        w.f.Timer1_Timer(); // a volume of 0 loads as 60
        QCOMPARE(w.shown(), QStringLiteral("60"));
    }

    void closingTheMainWindowUnloadsIt()
    {
        for (bool opened : {true, false}) {
            VolumeWindow w;
            if (opened)
                w.openByKnob();
            QVERIFY(w.f.close());
            QVERIFY(!w.f.volumeWindow());
        }
    }
};

QTEST_MAIN(TestVolume)
#include "test_volume.moc"
